#pragma once

#include <filesystem>

namespace Bellwright {

// The file of the module this code is linked into: the plug-in's library, or a program.
// Empty when the system cannot say.
std::filesystem::path ModuleFilePath();

}  // namespace Bellwright
