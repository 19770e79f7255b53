#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// Small files beside the configuration, read and written by the game thread, which must
// never be held by what it finds there: a named pipe nobody writes to, a device, a
// directory, a link planted at a temporary name, a file far larger than it should be.
namespace Bellwright::LocalFile {

struct FileRead {
  enum class Outcome {
    kRead,
    // Nothing there: `failure` says so in the system's words.
    kMissing,
    // Not a regular file (a directory, a named pipe, a device), larger than the limit,
    // or unreadable: `failure` says which, in words.
    kRefused,
  };
  Outcome outcome = Outcome::kMissing;
  std::string text;
  std::string failure;
};

// The bytes of the regular file at `path`, at most `limit` of them. Anything else at the
// path is refused before it is opened; a file found larger than `limit` is refused without
// being read. A link is followed to what it names.
FileRead ReadRegularFile(const std::filesystem::path& path, std::size_t limit);

// "it is larger than 16 MiB": why a file over the limit is refused.
std::string TooLargeText(std::size_t limit);

enum class Durability {
  // Left to the system's cache: a crash of the process loses nothing, a power cut may.
  kCached,
  // On the disk before the call returns: the file, then its new name.
  kOnDisk,
};

struct Replacement {
  enum class Outcome { kReplaced, kChangedMeanwhile, kFailed };
  Outcome outcome = Outcome::kReplaced;
  std::string failure;  // for kFailed
};

// Replaces the file at `path` with `bytes`: written under a name of this process's own
// beside it (made afresh, never through a link or file already there), flushed, then
// renamed over, so a reader sees the old file or the new one, never a part. Just before
// the rename `unchanged` is asked whether the file is still as the caller read it; when
// it is not (another process wrote it meanwhile), nothing is replaced.
Replacement ReplaceContents(const std::filesystem::path& path, std::string_view bytes,
                        Durability durability, const std::function<bool()>& unchanged = {});

// Removes the file at `path`; a missing file is no failure. Empty on success.
std::string RemoveFile(const std::filesystem::path& path);

// Moves whatever is at `path` aside, to "NAME.unreadable" or, when that is taken,
// "NAME.unreadable-2" and so on, for an administrator to look at. The new path, or
// empty with `failure` set.
std::filesystem::path MoveAside(const std::filesystem::path& path, std::string& failure);

}  // namespace Bellwright::LocalFile
