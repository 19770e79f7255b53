#include <gtest/gtest.h>

#include "in_process_host.hpp"

namespace Sandbox {
namespace {

// The misreading is the fault under test, made on purpose: the sanitizer's own type check
// must not stop it before the sandbox reports it.
#if defined(__GNUC__) || defined(__clang__)
__attribute__((no_sanitize("vptr")))
#endif
void MisreadAsPlayerController(AController* controller) {
  auto* misread = static_cast<AShooterPlayerController*>(controller);
  EXPECT_EQ(misread->GetUniqueNetIdAsString(), FString());
  misread->GetPlayerCharacterName();
  misread->LastChatMessageTimeField();
  TheWorld().GetGameMode()->IsPlayerAllowedToCheat(misread);
}

// In the game, reading an AI's controller as a player's is undefined behaviour: the
// sandbox turns each such call into a host_error, and says which controllers are players.
TEST(CreatureTest, PlayerControllerOperationsOnAnAiControllerAreHostErrors) {
  InProcessHost host;
  TheWorld().SpawnCreature(FString("Wolf"));
  EXPECT_TRUE(host.Named("host_error").empty()) << "possessing a creature is fine";

  AiController ai;
  AController* controller = &ai;
  EXPECT_FALSE(controller->IsPlayerController());
  MisreadAsPlayerController(controller);
  const auto errors = host.Named("host_error");
  ASSERT_EQ(errors.size(), 4u);
  EXPECT_EQ(errors[0]["where"], "AShooterPlayerController.GetUniqueNetIdAsString()");

  ASSERT_EQ(TheWorld().Join(FString("A1"), FString("Alice")), "");
  EXPECT_TRUE(TheWorld().FindConnected(FString("A1"))->IsPlayerController());
  TheWorld().Reset();
}

}  // namespace
}  // namespace Sandbox
