#include "base/local_file.hpp"

#include <fmt/format.h>

#include <array>
#include <cerrno>
#include <system_error>

#include "base/platform_text.hpp"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Bellwright::LocalFile {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kChunkBytes = std::size_t{64} * 1024;

std::string WhatItIs(fs::file_type type) {
  switch (type) {
    case fs::file_type::directory:
      return "it is a directory";
    case fs::file_type::fifo:
      return "it is a named pipe (FIFO)";
    case fs::file_type::character:
      return "it is a character device";
    case fs::file_type::block:
      return "it is a block device";
    case fs::file_type::socket:
      return "it is a socket";
    default:
      return "it is not a regular file";
  }
}

FileRead Refused(std::string failure) {
  return {FileRead::Outcome::kRefused, {}, std::move(failure)};
}

std::string SystemMessage(int code) {
#ifdef _WIN32
  return std::system_category().message(code);
#else
  return std::generic_category().message(code);
#endif
}

#ifdef _WIN32
int LastError() {
  return static_cast<int>(GetLastError());
}
#endif

// Reads what the opened file holds, at most `limit` bytes and one more to tell a file
// that grew past it.
#ifdef _WIN32

using Handle = HANDLE;

struct OpenedFile {
  HANDLE handle = INVALID_HANDLE_VALUE;
  ~OpenedFile() {
    if (handle != INVALID_HANDLE_VALUE) {
      CloseHandle(handle);
    }
  }
};

FileRead ReadOpened(const fs::path& path, std::size_t limit) {
  OpenedFile file;
  file.handle = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file.handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    const FileRead::Outcome outcome = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                                          ? FileRead::Outcome::kMissing
                                          : FileRead::Outcome::kRefused;
    return {outcome, {}, SystemMessage(static_cast<int>(error))};
  }
  if (GetFileType(file.handle) != FILE_TYPE_DISK) {
    return Refused("it is not a regular file");
  }
  FileRead read{FileRead::Outcome::kRead, {}, {}};
  std::array<char, kChunkBytes> chunk{};
  for (;;) {
    DWORD got = 0;
    if (ReadFile(file.handle, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) == 0) {
      return Refused("reading it failed: " + SystemMessage(LastError()));
    }
    if (got == 0) {
      return read;
    }
    read.text.append(chunk.data(), got);
    if (read.text.size() > limit) {
      return Refused(TooLargeText(limit));
    }
  }
}

#else

struct OpenedFile {
  int descriptor = -1;
  ~OpenedFile() {
    if (descriptor >= 0) {
      ::close(descriptor);
    }
  }
};

FileRead ReadOpened(const fs::path& path, std::size_t limit) {
  OpenedFile file;
  // Not blocking: a named pipe put in the file's place after the look above opens at
  // once, and the look below refuses it.
  file.descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (file.descriptor < 0) {
    const FileRead::Outcome outcome =
        errno == ENOENT ? FileRead::Outcome::kMissing : FileRead::Outcome::kRefused;
    return {outcome, {}, SystemMessage(errno)};
  }
  struct stat opened {};
  if (::fstat(file.descriptor, &opened) != 0 || !S_ISREG(opened.st_mode)) {
    return Refused("it is not a regular file");
  }
  FileRead read{FileRead::Outcome::kRead, {}, {}};
  std::array<char, kChunkBytes> chunk{};
  for (;;) {
    const ssize_t got = ::read(file.descriptor, chunk.data(), chunk.size());
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      return Refused("reading it failed: " + SystemMessage(errno));
    }
    if (got == 0) {
      return read;
    }
    read.text.append(chunk.data(), static_cast<std::size_t>(got));
    if (read.text.size() > limit) {
      return Refused(TooLargeText(limit));
    }
  }
}

#endif

fs::path TemporaryBeside(const fs::path& path) {
#ifdef _WIN32
  const unsigned long process = GetCurrentProcessId();
#else
  const long process = ::getpid();
#endif
  fs::path temporary = path;
  temporary += fmt::format(".{}.new", process);
  return temporary;
}

#ifdef _WIN32

std::string WriteNew(const fs::path& temporary, std::string_view bytes, Durability durability) {
  OpenedFile file;
  // CREATE_NEW fails on anything already there, a link included, so nothing is written
  // through one.
  file.handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file.handle == INVALID_HANDLE_VALUE) {
    return "cannot create it: " + SystemMessage(LastError());
  }
  while (!bytes.empty()) {
    const DWORD want = static_cast<DWORD>(bytes.size() < kChunkBytes ? bytes.size() : kChunkBytes);
    DWORD wrote = 0;
    if (WriteFile(file.handle, bytes.data(), want, &wrote, nullptr) == 0) {
      return "cannot write it: " + SystemMessage(LastError());
    }
    bytes.remove_prefix(wrote);
  }
  if (durability == Durability::kOnDisk && FlushFileBuffers(file.handle) == 0) {
    return "cannot flush it to the disk: " + SystemMessage(LastError());
  }
  return {};
}

std::string RenameOver(const fs::path& from, const fs::path& to, Durability durability) {
  const DWORD flags =
      MOVEFILE_REPLACE_EXISTING | (durability == Durability::kOnDisk ? MOVEFILE_WRITE_THROUGH : 0);
  return MoveFileExW(from.c_str(), to.c_str(), flags) != 0 ? std::string()
                                                           : SystemMessage(LastError());
}

void RemoveLeftover(const fs::path& temporary) {
  DeleteFileW(temporary.c_str());
}

#else

std::string WriteNew(const fs::path& temporary, std::string_view bytes, Durability durability) {
  OpenedFile file;
  // O_EXCL fails on anything already there, a link included, so nothing is written
  // through one.
  file.descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH);
  if (file.descriptor < 0) {
    return "cannot create it: " + SystemMessage(errno);
  }
  while (!bytes.empty()) {
    const ssize_t wrote = ::write(file.descriptor, bytes.data(), bytes.size());
    if (wrote < 0 && errno == EINTR) {
      continue;
    }
    if (wrote < 0) {
      return "cannot write it: " + SystemMessage(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
  if (durability == Durability::kOnDisk && ::fsync(file.descriptor) != 0) {
    return "cannot flush it to the disk: " + SystemMessage(errno);
  }
  const int descriptor = file.descriptor;
  file.descriptor = -1;
  return ::close(descriptor) == 0 ? std::string() : "cannot write it: " + SystemMessage(errno);
}

// The new name lasts on the disk once the folder that holds it is flushed.
void FlushFolder(const fs::path& folder) {
  OpenedFile directory;
  directory.descriptor =
      ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory.descriptor >= 0) {
    ::fsync(directory.descriptor);
  }
}

std::string RenameOver(const fs::path& from, const fs::path& to, Durability durability) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    return SystemMessage(errno);
  }
  if (durability == Durability::kOnDisk) {
    FlushFolder(to.parent_path());
  }
  return {};
}

void RemoveLeftover(const fs::path& temporary) {
  ::unlink(temporary.c_str());
}

#endif

}  // namespace

std::string TooLargeText(std::size_t limit) {
  constexpr std::size_t kMiB = std::size_t{1024} * 1024;
  return limit % kMiB == 0 ? fmt::format("it is larger than {} MiB", limit / kMiB)
                           : fmt::format("it is larger than {} bytes", limit);
}

FileRead ReadRegularFile(const fs::path& path, std::size_t limit) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_type::not_found) {
    return {FileRead::Outcome::kMissing, {}, error ? error.message() : "it is gone"};
  }
  if (error) {
    return Refused(error.message());
  }
  if (status.type() != fs::file_type::regular) {
    return Refused(WhatItIs(status.type()));
  }
  if (const auto size = fs::file_size(path, error); !error && size > limit) {
    return Refused(TooLargeText(limit));
  }
  return ReadOpened(path, limit);
}

Replacement ReplaceContents(const fs::path& path, std::string_view bytes, Durability durability,
                        const std::function<bool()>& unchanged) {
  const fs::path temporary = TemporaryBeside(path);
  // A leftover of an earlier process with this id, or a link someone put there, is
  // removed itself; what a link names is never touched.
  RemoveLeftover(temporary);
  if (std::string failure = WriteNew(temporary, bytes, durability); !failure.empty()) {
    RemoveLeftover(temporary);
    return {Replacement::Outcome::kFailed, Platform::Utf8FromPath(temporary) + ": " + failure};
  }
  if (unchanged && !unchanged()) {
    RemoveLeftover(temporary);
    return {Replacement::Outcome::kChangedMeanwhile, {}};
  }
  if (std::string failure = RenameOver(temporary, path, durability); !failure.empty()) {
    RemoveLeftover(temporary);
    return {Replacement::Outcome::kFailed, "cannot rename " + Platform::Utf8FromPath(temporary) +
                                               " to " + Platform::Utf8FromPath(path.filename()) +
                                               ": " + failure};
  }
  return {};
}

std::string RemoveFile(const fs::path& path) {
  std::error_code error;
  const fs::file_type type = fs::symlink_status(path, error).type();
  if (type == fs::file_type::not_found) {
    return {};
  }
  if (type != fs::file_type::regular && type != fs::file_type::symlink) {
    return "cannot remove " + Platform::Utf8FromPath(path) + ": " + WhatItIs(type);
  }
  fs::remove(path, error);
  return error ? "cannot remove " + Platform::Utf8FromPath(path) + ": " + error.message()
               : std::string();
}

fs::path MoveAside(const fs::path& path, std::string& failure) {
  constexpr int kMostTries = 100;
  for (int number = 1; number <= kMostTries; ++number) {
    fs::path target = path;
    target += number == 1 ? std::string(".unreadable") : fmt::format(".unreadable-{}", number);
    std::error_code error;
    if (fs::symlink_status(target, error).type() != fs::file_type::not_found) {
      continue;
    }
    fs::rename(path, target, error);
    if (error) {
      failure = error.message();
      return {};
    }
    return target;
  }
  failure = fmt::format("{} names beside it are taken", kMostTries);
  return {};
}

}  // namespace Bellwright::LocalFile
