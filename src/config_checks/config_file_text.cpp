#include "config_checks/config_file_text.hpp"

#include "base/local_file.hpp"
#include "config_checks/report.hpp"

namespace Bellwright::ConfigCheck {

FileText ReadConfigFileText(const std::filesystem::path& path) {
  LocalFile::FileRead read = LocalFile::ReadRegularFile(path, kMaxTextBytes);
  if (read.outcome != LocalFile::FileRead::Outcome::kRead) {
    return {std::nullopt, std::move(read.failure)};
  }
  return {std::move(read.text), {}};
}

}  // namespace Bellwright::ConfigCheck
