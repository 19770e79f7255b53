#include "host/permissions.hpp"

#include <array>

#include "host_library/events.hpp"
#include "host_library/text.hpp"
#include "host_library/world.hpp"

bool Permissions::IsPlayerInGroup(const FString& unique_net_id, const FString& group) {
  const bool result = Sandbox::TheWorld().IsInGroup(unique_net_id, group);
  std::array<Sandbox::EventField, 3> fields{{{"id", Sandbox::ToUtf8(unique_net_id)},
                                             {"group", Sandbox::ToUtf8(group)},
                                             {"result", result}}};
  Sandbox::EmitFields("permission_query", fields);
  return result;
}
