#include "base/plugin_messaging.hpp"

#include "base/module_path.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"

namespace Bellwright {

std::shared_ptr<MessagingManager> PluginMessaging() {
  return AsaApi::GetApiUtils().GetMessagingManager(PluginModulePath());
}

}  // namespace Bellwright
