#pragma once

#include "host/fstring.hpp"
#include "host/host_api.hpp"
#include "host/tarray.hpp"

// The game's classes, reduced to the operations and fields the plug-in calls. The
// game server owns every object; the plug-in only holds pointers it is handed.

namespace EChatSendMode {
enum Type : int { GlobalChat = 0, GlobalTribeChat = 1, LocalChat = 2, AllianceChat = 3 };
}  // namespace EChatSendMode

class HOST_API UObject {
 public:
  UObject() = default;
  UObject(const UObject&) = delete;
  UObject& operator=(const UObject&) = delete;
  virtual ~UObject();
};

// "FWeakObjectPtr.Get()": the object, or null once it is gone.
struct HOST_API FWeakObjectPtr {
  int ObjectIndex = 0;
  int ObjectSerialNumber = 0;

  [[nodiscard]] UObject* Get(bool even_if_pending_kill = false) const;
};

template <typename T>
struct TWeakObjectPtr : FWeakObjectPtr {
  [[nodiscard]] T* Get(bool even_if_pending_kill = false) const {
    return static_cast<T*>(FWeakObjectPtr::Get(even_if_pending_kill));
  }
};

class HOST_API AActor : public UObject {};

class AController;

class HOST_API APawn : public AActor {
 public:
  // "APrimalPawn.GetOwnerController()"
  AController* GetOwnerController();
};

class HOST_API ACharacter : public APawn {};

class HOST_API APrimalCharacter : public ACharacter {
 public:
  // "APrimalCharacter.IsDeadOrDying()"
  bool IsDeadOrDying();
};

class HOST_API AController : public AActor {
 public:
  // "AController.IsPlayerController()": whether a player, not an AI, controls through it.
  bool IsPlayerController();
};

class HOST_API APlayerController : public AController {};

class HOST_API AShooterPlayerController : public APlayerController {
 public:
  // "AShooterPlayerController.GetUniqueNetIdAsString()"
  FString GetUniqueNetIdAsString();
  // "AShooterPlayerController.GetPlayerCharacterName()"
  FString GetPlayerCharacterName();
  // "AShooterPlayerController.ServerSendChatMessage_Implementation(FString&,EChatSendMode::Type,int)"
  void ServerSendChatMessage_Implementation(FString& message, EChatSendMode::Type mode,
                                            int sender_platform);
  // "AShooterPlayerController.LastChatMessageTime": seconds on the game clock.
  double& LastChatMessageTimeField();
};

class HOST_API AGameState : public AActor {};

class HOST_API AShooterGameMode : public AActor {
 public:
  // "AShooterGameMode.IsPlayerAllowedToCheat(AShooterPlayerController*)"
  bool IsPlayerAllowedToCheat(AShooterPlayerController* player);
};

class HOST_API UWorld : public UObject {
 public:
  // "UWorld.PlayerControllerList"
  TArray<TWeakObjectPtr<APlayerController>>& PlayerControllerListField();
};

struct HOST_API FSoftObjectPath {
  FString AssetPath;

  // "FSoftObjectPath.operator=(FString&)"
  FSoftObjectPath& operator=(FString& path);
};

template <typename T>
struct TSoftObjectPtr {
  FWeakObjectPtr WeakPtr;
  FSoftObjectPath ObjectPath;
};

class HOST_API UPrimalAssets {
 public:
  // "UPrimalAssets.AssetResolve(TSoftObjectPtr<UObject>)": the loaded object or null.
  static UObject* AssetResolve(TSoftObjectPtr<UObject> asset);
};

struct RCONPacket {
  int Length = 0;
  int Id = 0;
  int Type = 0;
  FString Body;
};

class HOST_API RCONClientConnection {
 public:
  RCONClientConnection() = default;
  RCONClientConnection(const RCONClientConnection&) = delete;
  RCONClientConnection& operator=(const RCONClientConnection&) = delete;
  virtual ~RCONClientConnection();

  // "RCONClientConnection.SendMessage(int,int,FString&)"
  void SendMessage(int request_id, int type, FString& message);
};
