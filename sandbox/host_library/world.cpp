#include "host_library/world.hpp"

#include <algorithm>

#include "host_library/clock.hpp"
#include "host_library/commands.hpp"
#include "host_library/events.hpp"
#include "host_library/hooks.hpp"
#include "host_library/object_table.hpp"
#include "host_library/text.hpp"

namespace Sandbox {

namespace {

// The game's own functions. Detours reach them through their trampolines.

void OwnPossessedBy(ACharacter* character, AController* controller) {
  auto* const body = dynamic_cast<Character*>(character);
  if (body == nullptr) {
    return;
  }
  if (body->ownable) {
    body->owner = controller;
  }
  if (auto* const player = dynamic_cast<PlayerController*>(controller)) {
    player->character = body;
  }
}

// The engine drops the list entries of controllers that are gone here.
void OwnDefaultTimer(AGameState* /*state*/) {
  GameWorld* const world = TheWorld().GetWorld();
  TArray<TWeakObjectPtr<APlayerController>> kept;
  for (const auto& entry : world->player_controllers) {
    if (entry.Get() != nullptr) {
      kept.Add(entry);
    }
  }
  world->player_controllers = std::move(kept);
}

void OwnLogout(AShooterGameMode* /*mode*/, AController* /*controller*/) {}

// The game's spam rule comes first, so a chat command obeys it as well.
void OwnServerSendChatMessage(AShooterPlayerController* controller, FString& message,
                              EChatSendMode::Type mode, int sender_platform) {
  auto* const player = dynamic_cast<PlayerController*>(controller);
  if (player == nullptr) {
    return;
  }
  const double now = TheClock().GameSeconds();
  if (now - player->last_chat_message_time < 1.0) {
    Emit("chat_dropped", {{"from", ToUtf8(player->unique_net_id)}, {"text", ToUtf8(message)}});
    return;
  }
  player->last_chat_message_time = now;
  if (TheCommandRegistry().RunChat(player, message, mode, sender_platform)) {
    return;
  }
  Emit("player_chat", {{"from", ToUtf8(player->unique_net_id)},
                       {"mode", static_cast<int>(mode)},
                       {"text", ToUtf8(message)}});
}

}  // namespace

void DefineGameOwnFunctions(GameFunctions& functions) {
  functions.Define(kPossessedBy, reinterpret_cast<void*>(&OwnPossessedBy));
  functions.Define(kDefaultTimer, reinterpret_cast<void*>(&OwnDefaultTimer));
  functions.Define(kLogout, reinterpret_cast<void*>(&OwnLogout));
  functions.Define(kServerSendChatMessage, reinterpret_cast<void*>(&OwnServerSendChatMessage));
}

World::World() {
  Reset();
}

template <typename Object>
Object* World::Spawn() {
  auto object = std::make_unique<Object>();
  Object* const raw = object.get();
  objects_.emplace(raw, std::move(object));
  return raw;
}

template <typename Object>
void World::Despawn(Object* object) {
  TheObjectTable().Destroy(object->handle);
  objects_.erase(object);
}

void World::Reset() {
  TheObjectTable().Clear();
  connected_.clear();
  connected_by_id_.clear();
  allowed_to_cheat_.clear();
  groups_.clear();
  objects_.clear();
  world_ = Spawn<GameWorld>();
  game_mode_ = Spawn<GameMode>();
  game_state_ = Spawn<GameState>();
}

Character* World::SpawnCharacter(const FString& name, bool dead_or_dying, bool unowned) {
  auto* const character = Spawn<Character>();
  character->name = name;
  character->dead_or_dying = dead_or_dying;
  character->ownable = !unowned;
  character->handle = TheObjectTable().Register(character);
  return character;
}

std::string World::Join(const FString& unique_net_id, const FString& character_name) {
  if (FindConnected(unique_net_id) != nullptr) {
    return "player " + ToUtf8(unique_net_id) + " is already connected";
  }
  auto* const player = Spawn<PlayerController>();
  player->unique_net_id = unique_net_id;
  player->handle = TheObjectTable().Register(player);
  world_->player_controllers.Add(TWeakObjectPtr<APlayerController>{player->handle});
  connected_.push_back(player);
  connected_by_id_.emplace(unique_net_id, player);
  Character* const character = SpawnCharacter(character_name, false, false);
  TheGameFunctions().Call<ACharacter*, AController*>(kPossessedBy, character, player);
  // A detour that never let the game possess the character leaves it with nobody.
  if (player->character != character) {
    Despawn(character);
  }
  return {};
}

void World::SpawnCreature(const FString& name) {
  auto* const controller = Spawn<AiController>();
  controller->handle = TheObjectTable().Register(controller);
  Character* const creature = SpawnCharacter(name, false, false);
  TheGameFunctions().Call<ACharacter*, AController*>(kPossessedBy, creature, controller);
}

std::string World::Possess(const FString& unique_net_id, bool dead_or_dying, bool unowned) {
  PlayerController* const player = FindConnected(unique_net_id);
  if (player == nullptr) {
    return "player " + ToUtf8(unique_net_id) + " is not connected";
  }
  Character* const previous = player->character;
  const FString name = previous != nullptr ? previous->name : FString();
  Character* const character = SpawnCharacter(name, dead_or_dying, unowned);
  TheGameFunctions().Call<ACharacter*, AController*>(kPossessedBy, character, player);
  // The controller keeps the body it possesses now; the other one, the old body or a
  // new one that a detour kept from being possessed, is gone from the world.
  for (Character* const body : {previous, character}) {
    if (body != nullptr && body != player->character) {
      Despawn(body);
    }
  }
  return {};
}

std::string World::Leave(const FString& unique_net_id) {
  PlayerController* const player = FindConnected(unique_net_id);
  if (player == nullptr) {
    return "player " + ToUtf8(unique_net_id) + " is not connected";
  }
  TheGameFunctions().Call<AShooterGameMode*, AController*>(kLogout, game_mode_, player);
  std::erase(connected_, player);
  std::erase_if(connected_by_id_, [player](const auto& entry) { return entry.second == player; });
  // The plug-in held the controller only during the logout call. Its entry in the
  // player-controller list resolves to null from now until the game-state timer drops it.
  if (player->character != nullptr) {
    Despawn(player->character);
  }
  Despawn(player);
  return {};
}

std::string World::Chat(const FString& unique_net_id, const FString& text) {
  PlayerController* const player = FindConnected(unique_net_id);
  if (player == nullptr) {
    return "player " + ToUtf8(unique_net_id) + " is not connected";
  }
  FString message = text;
  player->ServerSendChatMessage_Implementation(message, EChatSendMode::GlobalChat, 0);
  return {};
}

void World::RunGameStateTimer() {
  TheGameFunctions().Call<AGameState*>(kDefaultTimer, game_state_);
}

void World::SetAllowedToCheat(const FString& unique_net_id, bool allowed) {
  allowed_to_cheat_[unique_net_id] = allowed;
}

void World::SetGroups(const FString& unique_net_id, std::vector<FString> groups) {
  groups_[unique_net_id] = std::move(groups);
}

bool World::IsAllowedToCheat(const FString& unique_net_id) const {
  const auto found = allowed_to_cheat_.find(unique_net_id);
  return found != allowed_to_cheat_.end() && found->second;
}

bool World::IsInGroup(const FString& unique_net_id, const FString& group) const {
  const auto found = groups_.find(unique_net_id);
  return found != groups_.end() &&
         std::find(found->second.begin(), found->second.end(), group) != found->second.end();
}

PlayerController* World::FindConnected(const FString& unique_net_id) const {
  const auto found =
      std::find_if(connected_.begin(), connected_.end(), [&](const PlayerController* player) {
        return player->unique_net_id.EqualsExactly(unique_net_id);
      });
  return found == connected_.end() ? nullptr : *found;
}

PlayerController* World::FindPlayer(const FString& unique_net_id) const {
  // Equal ids keep their joining order, which is the order of the player-controller
  // list, so the first of them is the first connected player in list order.
  const auto found = connected_by_id_.lower_bound(unique_net_id);
  return found != connected_by_id_.end() && found->first == unique_net_id ? found->second : nullptr;
}

World& TheWorld() {
  static World world;
  return world;
}

}  // namespace Sandbox
