#pragma once

#include <filesystem>
#include <optional>
#include <string>

// Reading a configuration file, for the plug-in and the bellwright-check command alike.
namespace Bellwright::ConfigCheck {

// A configuration file's bytes, or why they cannot be had.
struct FileText {
  std::optional<std::string> text;
  // The real cause, in words: "No such file or directory", "Permission denied", "it
  // is a directory", "it is larger than 16 MiB".
  std::string failure;
};

// Reads at most kMaxTextBytes (a larger file is refused, not read), so that neither a
// huge file nor an endless device costs more than the limit. A path that is not a
// regular file (a directory, a named pipe, a device) is refused without being
// opened: a pipe nobody writes to would hold the reader for ever.
FileText ReadConfigFileText(const std::filesystem::path& path);

}  // namespace Bellwright::ConfigCheck
