#include "base/module_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace Bellwright {
namespace {

// Linked into this test program, the module is the program itself.
TEST(ModuleFile, IsTheFileOfTheModuleTheCodeIsLinkedInto) {
  const std::filesystem::path path = ModuleFilePath();
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
  EXPECT_EQ(path.filename(), "bellwright_plugin_tests");
}

}  // namespace
}  // namespace Bellwright
