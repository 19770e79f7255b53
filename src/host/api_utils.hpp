#pragma once

#include <memory>

#include "host/fstring.hpp"
#include "host/game.hpp"
#include "host/host_api.hpp"
#include "host/messaging.hpp"

class HOST_API IApiUtils {
 public:
  virtual ~IApiUtils();

  [[nodiscard]] virtual UWorld* GetWorld() const = 0;
  [[nodiscard]] virtual AShooterGameMode* GetShooterGameMode() const = 0;
  // The first connected player whose unique net id equals `unique_net_id`, or null.
  [[nodiscard]] virtual AShooterPlayerController* FindPlayerFromUniqueNetId(
      const FString& unique_net_id) const = 0;
  // The messaging object for the plug-in whose module file is `module_path`.
  virtual std::shared_ptr<MessagingManager> GetMessagingManager(const FString& module_path) = 0;
};
