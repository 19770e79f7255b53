#pragma once

#include "host/host_api.hpp"

class ICommands;
class IHooks;
class IApiUtils;

// The host framework's entry points; each interface has its own header.
namespace AsaApi {

HOST_API ICommands& GetCommands();
HOST_API IHooks& GetHooks();
HOST_API IApiUtils& GetApiUtils();

}  // namespace AsaApi
