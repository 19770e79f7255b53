#include "config/config_file.hpp"

#include <fstream>
#include <sstream>
#include <utility>

namespace Bellwright {

std::optional<std::string> ReadConfigFileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) {
    return std::nullopt;
  }
  std::ostringstream contents;
  contents << file.rdbuf();
  return std::move(contents).str();
}

}  // namespace Bellwright
