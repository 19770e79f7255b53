#pragma once

#include <filesystem>
#include <string_view>

namespace Bellwright::Storage::Testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(std::string_view prefix = "bellwright-storage");
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace Bellwright::Storage::Testing
