#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace Sandbox {

// Replaces the file's content all at once: written beside it under a temporary name,
// then renamed over it, so a reader (a browser reloading) never sees half a file.
// Returns the reason it failed, or empty.
std::string WriteFileAtomically(const std::filesystem::path& path, std::string_view content);

}  // namespace Sandbox
