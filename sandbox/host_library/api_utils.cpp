#include <map>
#include <mutex>

#include "host/api_utils.hpp"
#include "host/asa_api.hpp"
#include "host_library/messaging.hpp"
#include "host_library/world.hpp"

// Anchors the interface's type information in the host library.
IApiUtils::~IApiUtils() = default;

namespace {

class SandboxApiUtils final : public IApiUtils {
 public:
  [[nodiscard]] UWorld* GetWorld() const override { return Sandbox::TheWorld().GetWorld(); }
  [[nodiscard]] AShooterGameMode* GetShooterGameMode() const override {
    return Sandbox::TheWorld().GetGameMode();
  }
  [[nodiscard]] AShooterPlayerController* FindPlayerFromUniqueNetId(
      const FString& unique_net_id) const override {
    return Sandbox::TheWorld().FindPlayer(unique_net_id);
  }
  // One messaging object per plug-in module, kept for the life of the host.
  std::shared_ptr<MessagingManager> GetMessagingManager(const FString& module_path) override {
    const std::scoped_lock lock(mutex_);
    auto& manager = managers_[module_path.Wide()];
    if (!manager) {
      manager = std::make_shared<Sandbox::TranscriptMessaging>();
    }
    return manager;
  }

 private:
  std::mutex mutex_;
  std::map<std::u16string, std::shared_ptr<MessagingManager>> managers_;
};

}  // namespace

IApiUtils& AsaApi::GetApiUtils() {
  static SandboxApiUtils utils;
  return utils;
}
