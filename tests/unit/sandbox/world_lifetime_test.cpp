#include <gtest/gtest.h>

#include "host_library/hooks.hpp"
#include "host_library/object_table.hpp"
#include "host_library/world.hpp"

namespace Sandbox {
namespace {

class WorldLifetimeTest : public ::testing::Test {
 protected:
  void SetUp() override { world().Reset(); }
  void TearDown() override { world().Reset(); }

  static World& world() { return TheWorld(); }
  static PlayerController* Player(const char* id) { return world().FindConnected(FString(id)); }
  static TArray<TWeakObjectPtr<APlayerController>>& List() {
    return world().GetWorld()->PlayerControllerListField();
  }
};

TEST_F(WorldLifetimeTest, JoinsPossessionsAndLeavesLeaveNothingBehind) {
  ASSERT_EQ(world().Join(FString("Stay"), FString("Resident")), "");
  const std::size_t objects = world().ObjectCount();
  const std::size_t live = TheObjectTable().LiveCount();
  for (int cycle = 0; cycle < 1000; ++cycle) {
    ASSERT_EQ(world().Join(FString("P1"), FString("Visitor")), "");
    ASSERT_EQ(world().Possess(FString("P1"), true, false), "");
    ASSERT_EQ(world().Possess(FString("P1"), false, true), "");
    ASSERT_EQ(world().Leave(FString("P1")), "");
    world().RunGameStateTimer();
  }
  EXPECT_EQ(world().ObjectCount(), objects);
  EXPECT_EQ(TheObjectTable().LiveCount(), live);
  // The resident's two objects plus the most a visitor holds at once: a controller and
  // two characters during a possession.
  EXPECT_LE(TheObjectTable().SlotCount(), 5U);
  EXPECT_EQ(List().Num(), 1);
}

TEST_F(WorldLifetimeTest, WeakPointersToWhatLeftTheWorldResolveToNull) {
  struct Case {
    const char* name;
    // What happens to player P1 (joined as "Old") after its pointers are taken.
    void (*depart)();
    bool controller_stays;
    bool character_stays;
  };
  const Case cases[] = {
      {"leave", [] { world().Leave(FString("P1")); }, false, false},
      {"respawn", [] { world().Possess(FString("P1"), false, false); }, true, false},
      {"leave, then another player takes the freed slots",
       [] {
         world().Leave(FString("P1"));
         world().Join(FString("P2"), FString("New"));
       },
       false, false},
      {"leave and rejoin under the same id",
       [] {
         world().Leave(FString("P1"));
         world().Join(FString("P1"), FString("Old"));
       },
       false, false},
      {"reset, then a new player",
       [] {
         world().Reset();
         world().Join(FString("P2"), FString("New"));
       },
       false, false},
  };
  for (const Case& test : cases) {
    world().Reset();
    ASSERT_EQ(world().Join(FString("P1"), FString("Old")), "");
    const TWeakObjectPtr<APlayerController> controller{Player("P1")->handle};
    const TWeakObjectPtr<APrimalCharacter> character{Player("P1")->character->handle};
    test.depart();
    EXPECT_EQ(controller.Get() != nullptr, test.controller_stays) << test.name;
    EXPECT_EQ(character.Get() != nullptr, test.character_stays) << test.name;
    // Whoever is in the world now is reached through their own pointers.
    for (const char* id : {"P1", "P2"}) {
      if (PlayerController* const player = Player(id)) {
        EXPECT_EQ(FWeakObjectPtr{player->handle}.Get(), player) << test.name;
        EXPECT_EQ(FWeakObjectPtr{player->character->handle}.Get(), player->character) << test.name;
      }
    }
  }
}

TEST_F(WorldLifetimeTest, ADepartedPlayersListEntryIsNullUntilTheTimerDropsIt) {
  ASSERT_EQ(world().Join(FString("P1"), FString("Alice")), "");
  ASSERT_EQ(world().Leave(FString("P1")), "");
  // A newcomer may take the departed player's slot; the old entry must stay null.
  ASSERT_EQ(world().Join(FString("P2"), FString("Bob")), "");
  ASSERT_EQ(List().Num(), 2);
  EXPECT_EQ(List()[0].Get(), nullptr);
  EXPECT_EQ(List()[1].Get(), Player("P2"));
  world().RunGameStateTimer();
  ASSERT_EQ(List().Num(), 1);
  EXPECT_EQ(List()[0].Get(), Player("P2"));
}

// A plug-in's possess detour that never lets the game possess the new body.
void SwallowPossession(ACharacter* /*character*/, AController* /*controller*/) {}

TEST_F(WorldLifetimeTest, ABodyThatWasNeverPossessedIsFreedAndTheOldOneKept) {
  ASSERT_EQ(world().Join(FString("P1"), FString("Alice")), "");
  Character* const body = Player("P1")->character;
  const std::size_t objects = world().ObjectCount();
  void* original = nullptr;
  ASSERT_TRUE(TheGameFunctions().SetHookInternal(
      kPossessedBy, reinterpret_cast<void*>(&SwallowPossession), &original));
  const std::string possessed = world().Possess(FString("P1"), false, false);
  const std::string joined = world().Join(FString("P2"), FString("Bob"));
  TheGameFunctions().DisableHook(kPossessedBy, reinterpret_cast<void*>(&SwallowPossession));
  ASSERT_EQ(possessed, "");
  ASSERT_EQ(joined, "");
  EXPECT_EQ(Player("P1")->character, body);
  EXPECT_EQ(FWeakObjectPtr{body->handle}.Get(), body);
  EXPECT_EQ(Player("P2")->character, nullptr);
  // Only Bob's controller is new.
  EXPECT_EQ(world().ObjectCount(), objects + 1);
  ASSERT_EQ(world().Leave(FString("P2")), "");
}

}  // namespace
}  // namespace Sandbox
