#pragma once

#include "host/fstring.hpp"
#include "host/host_api.hpp"

namespace Permissions {

// Whether the player with this unique net id is a member of `group`.
HOST_API bool IsPlayerInGroup(const FString& unique_net_id, const FString& group);

}  // namespace Permissions
