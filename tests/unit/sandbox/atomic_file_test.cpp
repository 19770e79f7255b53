#include "atomic_file.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace Sandbox {
namespace {

class AtomicFileTest : public ::testing::Test {
 protected:
  AtomicFileTest()
      : folder_(std::filesystem::temp_directory_path() /
                ("bellwright-atomic-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(folder_);
  }
  ~AtomicFileTest() override { std::filesystem::remove_all(folder_); }

  static std::string Read(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
  }

  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder_),
                                                  std::filesystem::directory_iterator()));
  }

  std::filesystem::path folder_;
};

TEST_F(AtomicFileTest, ReplacesTheContentAndLeavesNothingBehind) {
  const std::filesystem::path page = folder_ / "page.html";
  EXPECT_EQ(WriteFileAtomically(page, "first"), "");
  EXPECT_EQ(WriteFileAtomically(page, "second, longer"), "");
  EXPECT_EQ(Read(page), "second, longer");
  EXPECT_EQ(FilesInFolder(), 1U);
}

TEST_F(AtomicFileTest, SaysWhyItCannotWriteAndKeepsTheOldContent) {
  EXPECT_NE(WriteFileAtomically(folder_ / "missing" / "page.html", "x"), "");
  // A folder in the way of the rename: the temporary file is written, then removed.
  std::filesystem::create_directories(folder_ / "taken" / "inside");
  EXPECT_NE(WriteFileAtomically(folder_ / "taken", "x"), "");
  EXPECT_EQ(FilesInFolder(), 1U);
}

}  // namespace
}  // namespace Sandbox
