#include "console/console_input.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace Sandbox {
namespace {

// Puts a descriptor in place of standard input for the life of the object.
class StandardInputReplaced {
 public:
  explicit StandardInputReplaced(int replacement) : saved_(::dup(STDIN_FILENO)) {
    ::dup2(replacement, STDIN_FILENO);
    ::close(replacement);
  }
  StandardInputReplaced(const StandardInputReplaced&) = delete;
  StandardInputReplaced& operator=(const StandardInputReplaced&) = delete;
  ~StandardInputReplaced() {
    ::dup2(saved_, STDIN_FILENO);
    ::close(saved_);
  }

 private:
  int saved_;
};

struct Reading {
  std::vector<std::string> lines;
  bool ended = false;
};

// Runs the input to its end and returns what it delivered.
Reading ReadAll() {
  asio::io_context io;
  Reading reading;
  ConsoleInput input(
      io, [&](const std::string& line) { reading.lines.push_back(line); },
      [&] { reading.ended = true; });
  EXPECT_FALSE(input.interactive());
  input.Start();
  io.run();
  return reading;
}

const std::vector<std::string> kExpectedLines = {"join A1 Alice", "", "chat A1 hi there",
                                                 "last line without a feed"};
constexpr const char* kInputText = "join A1 Alice\n\nchat A1 hi there\r\nlast line without a feed";

TEST(ConsoleInput, ReadsLinesFromAPipeWrittenInPieces) {
  int ends[2] = {-1, -1};
  ASSERT_EQ(::pipe(ends), 0);
  const StandardInputReplaced replaced(ends[0]);
  const std::string text = kInputText;
  // Pieces that split lines and the CR LF pair, all written before reading starts;
  // the pipe holds them, and the reader must still put the lines together.
  for (std::size_t start = 0; start < text.size(); start += 7) {
    ASSERT_GT(::write(ends[1], text.data() + start, std::min<std::size_t>(7, text.size() - start)),
              0);
  }
  ::close(ends[1]);
  const Reading reading = ReadAll();
  EXPECT_EQ(reading.lines, kExpectedLines);
  EXPECT_TRUE(reading.ended);
}

TEST(ConsoleInput, ReadsLinesFromARegularFile) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  std::fputs(kInputText, file);
  std::fflush(file);
  std::rewind(file);
  const StandardInputReplaced replaced(::dup(::fileno(file)));
  const Reading reading = ReadAll();
  std::fclose(file);
  EXPECT_EQ(reading.lines, kExpectedLines);
  EXPECT_TRUE(reading.ended);
}

TEST(ConsoleInput, EmptyInputEndsAtOnce) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  const StandardInputReplaced replaced(::dup(::fileno(file)));
  const Reading reading = ReadAll();
  std::fclose(file);
  EXPECT_TRUE(reading.lines.empty());
  EXPECT_TRUE(reading.ended);
}

}  // namespace
}  // namespace Sandbox
