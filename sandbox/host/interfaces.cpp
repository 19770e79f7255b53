#include "host/asa_api.hpp"

// Out-of-line destructors anchor the interfaces' type information in the host
// library, so the plug-in and the sandbox agree on one copy of each.
UObject::~UObject() = default;
RCONClientConnection::~RCONClientConnection() = default;
ICommands::~ICommands() = default;
IHooks::~IHooks() = default;
IApiUtils::~IApiUtils() = default;
MessagingManager::~MessagingManager() = default;
API::Timer::~Timer() = default;
