#pragma once

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/game.hpp"

namespace Sandbox {

class GameFunctions;

// Before a player's first chat message the game's spam rule must let it through.
inline constexpr double kNeverChatted = -1.0e9;

// The game's own names for the functions the world runs through the function table.
inline constexpr const char* kPossessedBy = "ACharacter.PossessedBy(AController*)";
inline constexpr const char* kDefaultTimer = "AGameState.DefaultTimer()";
inline constexpr const char* kLogout = "AShooterGameMode.Logout(AController*)";
inline constexpr const char* kServerSendChatMessage =
    "AShooterPlayerController.ServerSendChatMessage_Implementation(FString&,EChatSendMode::Type,"
    "int)";

class Character final : public APrimalCharacter {
 public:
  FString name;
  bool dead_or_dying = false;
  // An unowned character keeps no owning controller even when possessed.
  bool ownable = true;
  AController* owner = nullptr;
  FWeakObjectPtr handle;
};

class PlayerController final : public AShooterPlayerController {
 public:
  FString unique_net_id;
  Character* character = nullptr;
  double last_chat_message_time = kNeverChatted;
  FWeakObjectPtr handle;
};

// A creature's controller: an AI, no player's, and never in the player-controller list.
class AiController final : public AController {
 public:
  FWeakObjectPtr handle;
};

class GameWorld final : public UWorld {
 public:
  TArray<TWeakObjectPtr<APlayerController>> player_controllers;
};

class GameMode final : public AShooterGameMode {};
class GameState final : public AGameState {};

// The simulated game: connected players, their characters, what the game knows
// about ids (cheat flag, permission groups), and the game's own functions.
// Every operation that fails returns the reason; an empty text means done.
class World {
 public:
  World();

  // Back to an empty world (no players, no flags, no groups).
  void Reset();

  std::string Join(const FString& unique_net_id, const FString& character_name);
  std::string Possess(const FString& unique_net_id, bool dead_or_dying, bool unowned);
  std::string Leave(const FString& unique_net_id);
  // A creature named `name` is possessed by an AI controller of its own; both stay in
  // the world.
  void SpawnCreature(const FString& name);
  std::string Chat(const FString& unique_net_id, const FString& text);
  // One call of the game-state timer, as the engine makes periodically.
  void RunGameStateTimer();

  void SetAllowedToCheat(const FString& unique_net_id, bool allowed);
  void SetGroups(const FString& unique_net_id, std::vector<FString> groups);
  [[nodiscard]] bool IsAllowedToCheat(const FString& unique_net_id) const;
  [[nodiscard]] bool IsInGroup(const FString& unique_net_id, const FString& group) const;

  // The connected player whose id is exactly this text.
  [[nodiscard]] PlayerController* FindConnected(const FString& unique_net_id) const;
  // The first connected player, in list order, whose id equals this one ignoring case.
  [[nodiscard]] PlayerController* FindPlayer(const FString& unique_net_id) const;

  [[nodiscard]] GameWorld* GetWorld() const { return world_; }
  [[nodiscard]] GameMode* GetGameMode() const { return game_mode_; }
  [[nodiscard]] GameState* GetGameState() const { return game_state_; }
  // Objects the world keeps allocated, its own world, game mode and game state included.
  [[nodiscard]] std::size_t ObjectCount() const { return objects_.size(); }

 private:
  template <typename Object>
  Object* Spawn();
  Character* SpawnCharacter(const FString& name, bool dead_or_dying, bool unowned);
  // Takes a controller or character out of the object table and frees it.
  template <typename Object>
  void Despawn(Object* object);

  // Controllers and characters are freed as soon as they leave the world: the host
  // hands the plug-in raw pointers only for the length of a call, and afterwards the
  // plug-in reaches them through weak pointers, which then resolve to null.
  std::unordered_map<const UObject*, std::unique_ptr<UObject>> objects_;
  GameWorld* world_ = nullptr;
  GameMode* game_mode_ = nullptr;
  GameState* game_state_ = nullptr;
  std::vector<PlayerController*> connected_;
  // The same players by id, ignoring letter case, for the host's find-player.
  std::multimap<FString, PlayerController*, FStringCaseInsensitiveLess> connected_by_id_;
  std::map<FString, bool, FStringCaseInsensitiveLess> allowed_to_cheat_;
  std::map<FString, std::vector<FString>, FStringCaseInsensitiveLess> groups_;
};

World& TheWorld();

// Enters the game's own functions into the function table.
void DefineGameOwnFunctions(GameFunctions& functions);

}  // namespace Sandbox
