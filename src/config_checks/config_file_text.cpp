#include "config_checks/config_file_text.hpp"

#include <fmt/format.h>

#include <array>
#include <cerrno>
#include <fstream>
#include <system_error>

#include "config_checks/report.hpp"

namespace Bellwright::ConfigCheck {
namespace {

namespace fs = std::filesystem;

FileText Refused(std::string failure) {
  return {std::nullopt, std::move(failure)};
}

std::string TooLarge() {
  return fmt::format("it is larger than {} MiB", kMaxTextBytes / (std::size_t{1024} * 1024));
}

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

}  // namespace

FileText ReadConfigFileText(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error) {
    return Refused(error.message());
  }
  if (status.type() != fs::file_type::regular) {
    return Refused(WhatItIs(status.type()));
  }
  if (const auto size = fs::file_size(path, error); !error && size > kMaxTextBytes) {
    return Refused(TooLarge());
  }
  errno = 0;
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) {
    // The stream opens the file through the C library, which says why it could not.
    return Refused(errno != 0 ? std::generic_category().message(errno) : "it cannot be opened");
  }
  // The file may have grown since its size was asked: never more than the limit.
  std::string text;
  std::array<char, std::size_t{64} * 1024> chunk{};
  while (text.size() <= kMaxTextBytes && file.read(chunk.data(), chunk.size()).gcount() > 0) {
    text.append(chunk.data(), static_cast<std::size_t>(file.gcount()));
  }
  if (file.bad()) {
    return Refused("reading it failed");
  }
  if (text.size() > kMaxTextBytes) {
    return Refused(TooLarge());
  }
  return {std::move(text), {}};
}

}  // namespace Bellwright::ConfigCheck
