#include "host/permissions.hpp"

#include "events.hpp"
#include "text.hpp"
#include "world.hpp"

bool Permissions::IsPlayerInGroup(const FString& unique_net_id, const FString& group) {
  const bool result = Sandbox::TheWorld().IsInGroup(unique_net_id, group);
  Sandbox::Emit("permission_query", {{"id", Sandbox::ToUtf8(unique_net_id)},
                                     {"group", Sandbox::ToUtf8(group)},
                                     {"result", result}});
  return result;
}
