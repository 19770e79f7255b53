#include "atomic_file.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace Sandbox {
namespace {

// Removes the temporary file unless it was renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::filesystem::path path) : path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!kept_) {
      std::error_code ignored;
      std::filesystem::remove(path_, ignored);
    }
  }
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  void Keep() { kept_ = true; }

 private:
  std::filesystem::path path_;
  bool kept_ = false;
};

}  // namespace

std::string WriteFileAtomically(const std::filesystem::path& path, std::string_view content) {
  // Same folder, so the rename cannot cross file systems; the process id keeps two
  // servers writing beside each other apart.
  std::string name = ".";
  name += path.filename().string();
  name += '.';
  name += std::to_string(::getpid());
  name += ".tmp";
  TemporaryFile temporary(path.parent_path() / name);
  {
    std::ofstream file(temporary.path(), std::ios::binary | std::ios::trunc);
    if (!file) {
      return "cannot write " + temporary.path().string() + ": " + std::strerror(errno);
    }
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    file.close();
    if (!file) {
      return "cannot write " + temporary.path().string();
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary.path(), path, error);
  if (error) {
    return "cannot replace " + path.string() + ": " + error.message();
  }
  temporary.Keep();
  return {};
}

}  // namespace Sandbox
