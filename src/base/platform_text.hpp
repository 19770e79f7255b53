#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Text at the edge of the operating system: file paths. Inside, text is UTF-8
// everywhere; Windows opens files by their UTF-16 (wide) name, which a narrow call
// would squeeze through the ANSI code page.
namespace Bellwright::Platform {

// A path named by UTF-8 text, and back: the bytes themselves on Linux, wide on Windows.
// The host names its server directory in UTF-8, and SQLite takes its path in UTF-8 on
// every platform, so the configuration file and the database are found by one name.
std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace Bellwright::Platform
