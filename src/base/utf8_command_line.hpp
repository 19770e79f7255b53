#pragma once

#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// shellapi.h after windows.h, which it needs.
#include <shellapi.h>
#endif

namespace Bellwright::Platform {

// A program's arguments in UTF-8, for its option parser, so that any file name can be
// given. Windows hands main its arguments in the ANSI code page: there they are read
// again as UTF-16. Elsewhere main's own are kept. Header-only and included by the
// programs alone, so the plug-in links no shell library.
class Utf8CommandLine {
 public:
  Utf8CommandLine(int argc, char** argv) : count_(argc), values_(argv) {
#ifdef _WIN32
    int count = 0;
    wchar_t** const wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
      return;
    }
    for (int index = 0; index < count; ++index) {
      const std::u8string text = std::filesystem::path(wide[index]).u8string();
      texts_.emplace_back(text.begin(), text.end());
    }
    LocalFree(wide);
    // Only once every text is in place: the pointers must not move.
    for (std::string& text : texts_) {
      pointers_.push_back(text.data());
    }
    if (!pointers_.empty()) {
      count_ = static_cast<int>(pointers_.size());
      values_ = pointers_.data();
    }
#endif
  }
  Utf8CommandLine(const Utf8CommandLine&) = delete;
  Utf8CommandLine& operator=(const Utf8CommandLine&) = delete;

  [[nodiscard]] int Count() const {
    return count_;
  }
  [[nodiscard]] char** Values() const {
    return values_;
  }

 private:
  int count_;
  char** values_;
  std::vector<std::string> texts_;
  std::vector<char*> pointers_;
};

}  // namespace Bellwright::Platform
