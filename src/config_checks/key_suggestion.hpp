#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "config_checks/schema.hpp"

namespace Bellwright::ConfigCheck {

// Edits (insert, delete, replace, swap two neighbours) between two keys, ignoring
// letter case.
std::size_t KeyDistance(std::string_view first, std::string_view second);

// The message for a key the plug-in never reads in an object of kind `here`: the
// key it probably means, in this object or in another (a key in the wrong section).
std::string UnknownKeyMessage(std::string_view key, const ObjectKind& here,
                              const std::vector<ObjectKind>& kinds);

}  // namespace Bellwright::ConfigCheck
