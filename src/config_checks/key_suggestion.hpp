#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config_checks/schema.hpp"

namespace Bellwright::ConfigCheck {

// The message for a key the plug-in never reads in an object of kind `here`: the
// key it probably means, in this object or in another (a key in the wrong section).
std::string UnknownKeyMessage(std::string_view key, const ObjectKind& here,
                              const std::vector<ObjectKind>& kinds);

}  // namespace Bellwright::ConfigCheck
