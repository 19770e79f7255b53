#include "base/module_path.hpp"

#include <string>

#include "base/module_file.hpp"
#include "base/text.hpp"

namespace Bellwright {
namespace {

FString FindModulePath() {
  const std::filesystem::path path = ModuleFilePath();
#ifdef _WIN32
  const std::wstring& wide = path.native();
  return FString(std::u16string(wide.begin(), wide.end()));
#else
  return FromUtf8(path.native());
#endif
}

}  // namespace

// The library does not move while it is loaded, and every delivery asks for it.
FString PluginModulePath() {
  static const FString path = FindModulePath();
  return path;
}

}  // namespace Bellwright
