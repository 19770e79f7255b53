// The game's operations on its own objects, answered by the simulated world.
#include "host/game.hpp"

#include <map>
#include <memory>

#include "host_library/events.hpp"
#include "host_library/hooks.hpp"
#include "host_library/icon_asset.hpp"
#include "host_library/object_table.hpp"
#include "host_library/rcon_connection.hpp"
#include "host_library/world.hpp"

// Out-of-line destructors anchor the classes' type information in the host library,
// so the plug-in and the sandbox agree on one copy of each.
UObject::~UObject() = default;
RCONClientConnection::~RCONClientConnection() = default;

UObject* FWeakObjectPtr::Get(bool /*even_if_pending_kill*/) const {
  return Sandbox::TheObjectTable().Resolve(*this);
}

AController* APawn::GetOwnerController() {
  auto* const character = dynamic_cast<Sandbox::Character*>(this);
  return character != nullptr ? character->owner : nullptr;
}

bool APrimalCharacter::IsDeadOrDying() {
  auto* const character = dynamic_cast<Sandbox::Character*>(this);
  return character != nullptr && character->dead_or_dying;
}

namespace {

// In the game, a player-controller operation on any other object reads that object as
// something it is not: undefined behaviour, reported here instead.
Sandbox::PlayerController* AsPlayer(UObject* object, const char* operation) {
  auto* const player = dynamic_cast<Sandbox::PlayerController*>(object);
  if (player == nullptr) {
    Sandbox::EmitHostError(operation, "called on an object that is not a player controller");
  }
  return player;
}

}  // namespace

bool AController::IsPlayerController() {
  return dynamic_cast<Sandbox::PlayerController*>(this) != nullptr;
}

FString AShooterPlayerController::GetUniqueNetIdAsString() {
  auto* const player = AsPlayer(this, "AShooterPlayerController.GetUniqueNetIdAsString()");
  return player != nullptr ? player->unique_net_id : FString();
}

FString AShooterPlayerController::GetPlayerCharacterName() {
  auto* const player = AsPlayer(this, "AShooterPlayerController.GetPlayerCharacterName()");
  return player != nullptr && player->character != nullptr ? player->character->name : FString();
}

void AShooterPlayerController::ServerSendChatMessage_Implementation(FString& message,
                                                                    EChatSendMode::Type mode,
                                                                    int sender_platform) {
  if (AsPlayer(this, "AShooterPlayerController.ServerSendChatMessage_Implementation") == nullptr) {
    return;
  }
  Sandbox::TheGameFunctions().Call<AShooterPlayerController*, FString&, EChatSendMode::Type, int>(
      Sandbox::kServerSendChatMessage, this, message, mode, sender_platform);
}

double& AShooterPlayerController::LastChatMessageTimeField() {
  auto* const player = AsPlayer(this, "AShooterPlayerController.LastChatMessageTime");
  static double nowhere = Sandbox::kNeverChatted;
  return player != nullptr ? player->last_chat_message_time : nowhere;
}

bool AShooterGameMode::IsPlayerAllowedToCheat(AShooterPlayerController* player) {
  auto* const known =
      player != nullptr
          ? AsPlayer(player, "AShooterGameMode.IsPlayerAllowedToCheat(AShooterPlayerController*)")
          : nullptr;
  return known != nullptr && Sandbox::TheWorld().IsAllowedToCheat(known->unique_net_id);
}

TArray<TWeakObjectPtr<APlayerController>>& UWorld::PlayerControllerListField() {
  return static_cast<Sandbox::GameWorld*>(this)->player_controllers;
}

void RCONClientConnection::SendMessage(int request_id, int type, FString& message) {
  if (auto* const connection = dynamic_cast<Sandbox::RconConnection*>(this)) {
    connection->Reply(request_id, type, message);
  }
}

FSoftObjectPath& FSoftObjectPath::operator=(FString& path) {
  AssetPath = path;
  return *this;
}

// By value, as the game's own function takes it.
UObject* UPrimalAssets::AssetResolve(
    TSoftObjectPtr<UObject> asset) {  // NOLINT(performance-unnecessary-value-param)
  const std::u16string& path = asset.ObjectPath.AssetPath.Wide();
  if (!path.starts_with(u"/Game/")) {
    return nullptr;
  }
  // One object per path for the life of the server, as loaded assets stay loaded.
  static std::map<std::u16string, std::unique_ptr<Sandbox::IconAsset>> loaded;
  auto& icon = loaded[path];
  if (!icon) {
    icon = std::make_unique<Sandbox::IconAsset>(asset.ObjectPath.AssetPath);
  }
  return icon.get();
}
