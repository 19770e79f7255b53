#pragma once

#include "host/api_utils.hpp"
#include "host/colors.hpp"
#include "host/commands.hpp"
#include "host/fstring.hpp"
#include "host/game.hpp"
#include "host/hooks.hpp"
#include "host/host_api.hpp"
#include "host/messaging.hpp"
#include "host/permissions.hpp"
#include "host/tarray.hpp"
#include "host/timer.hpp"
#include "host/tools.hpp"

namespace AsaApi {

HOST_API ICommands& GetCommands();
HOST_API IHooks& GetHooks();
HOST_API IApiUtils& GetApiUtils();

}  // namespace AsaApi
