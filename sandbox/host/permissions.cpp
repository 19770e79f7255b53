#include "host/permissions.hpp"

#include <array>

#include "events.hpp"
#include "text.hpp"
#include "world.hpp"

bool Permissions::IsPlayerInGroup(const FString& unique_net_id, const FString& group) {
  const bool result = Sandbox::TheWorld().IsInGroup(unique_net_id, group);
  std::array<Sandbox::EventField, 3> fields{{{"id", Sandbox::ToUtf8(unique_net_id)},
                                             {"group", Sandbox::ToUtf8(group)},
                                             {"result", result}}};
  Sandbox::EmitFields("permission_query", fields);
  return result;
}
