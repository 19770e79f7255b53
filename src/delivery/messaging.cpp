#include "delivery/messaging.hpp"

#include "host/asa_api.hpp"
#include "plugin/module_path.hpp"

namespace Bellwright {

std::shared_ptr<MessagingManager> PluginMessaging() {
  return AsaApi::GetApiUtils().GetMessagingManager(PluginModulePath());
}

}  // namespace Bellwright
