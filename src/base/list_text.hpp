#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Bellwright {

// The items as a sentence lists them: "a", "a and b", "a, b and c".
inline std::string JoinedAsList(const std::vector<std::string>& items,
                                std::string_view last_joint = " and ") {
  std::string joined;
  for (std::size_t index = 0; index < items.size(); ++index) {
    if (index > 0) {
      joined += index + 1 == items.size() ? last_joint : std::string_view(", ");
    }
    joined += items[index];
  }
  return joined;
}

}  // namespace Bellwright
