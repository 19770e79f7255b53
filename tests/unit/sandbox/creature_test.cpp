#include <gtest/gtest.h>

#include "in_process_host.hpp"

namespace Sandbox {
namespace {

// In the game, reading an AI's controller as a player's is undefined behaviour: the
// sandbox turns each such call into a host_error, and says which controllers are players.
TEST(CreatureTest, PlayerControllerOperationsOnAnAiControllerAreHostErrors) {
  InProcessHost host;
  TheWorld().SpawnCreature(FString("Wolf"));
  EXPECT_TRUE(host.Named("host_error").empty()) << "possessing a creature is fine";

  AiController ai;
  AController* controller = &ai;
  EXPECT_FALSE(controller->IsPlayerController());
  auto* misread = static_cast<AShooterPlayerController*>(controller);
  EXPECT_EQ(misread->GetUniqueNetIdAsString(), FString());
  misread->GetPlayerCharacterName();
  misread->LastChatMessageTimeField();
  TheWorld().GetGameMode()->IsPlayerAllowedToCheat(misread);
  const auto errors = host.Named("host_error");
  ASSERT_EQ(errors.size(), 4u);
  EXPECT_EQ(errors[0]["where"], "AShooterPlayerController.GetUniqueNetIdAsString()");

  ASSERT_EQ(TheWorld().Join(FString("A1"), FString("Alice")), "");
  EXPECT_TRUE(TheWorld().FindConnected(FString("A1"))->IsPlayerController());
  TheWorld().Reset();
}

}  // namespace
}  // namespace Sandbox
