#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "commands/numeric_text.hpp"
#include "delivery/utf8.hpp"

namespace Bellwright {
namespace {

TEST(IsNumericText, AcceptsOneSignDigitsAndAtMostOnePoint) {
  struct Case {
    const char* token;
    bool numeric;
  };
  const Case cases[] = {
      {"0", true},      {"255", true},     {"-1", true},   {"+12", true}, {"12.5", true},
      {".5", true},     {"+", true},       {"-", true},    {".", true},   {"", false},
      {"1.2.3", false}, {"12a", false},    {"--1", false}, {"1-", false}, {"1e5", false},
      {" 1", false},    {"\"Hi\"", false}, {"٣", false},   {"+-", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsNumericText(FromUtf8(c.token)), c.numeric) << '"' << c.token << '"';
  }
}

TEST(TextToInt, ReadsTheLongestIntegerPrefix) {
  struct Case {
    const char* text;
    int value;
  };
  const Case cases[] = {
      {"0", 0},     {"255", 255},
      {"-1", -1},   {"+7", 7},
      {"12.7", 12}, {"300", 300},
      {"\t42", 42}, {"2147483647", 2147483647},
      {"12a", 12},  {"-2147483648", std::numeric_limits<int>::min()},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextToInt(FromUtf8(c.text)), c.value) << c.text;
  }
}

TEST(TextToInt, RejectsTextWithoutDigitsAndValuesOutsideThirtyTwoBits) {
  for (const char* text : {"", "+", "-", ".", "x", ".5"}) {
    EXPECT_THROW(TextToInt(FromUtf8(text)), std::invalid_argument) << text;
  }
  for (const char* text : {"2147483648", "-2147483649", "99999999999999999999"}) {
    EXPECT_THROW(TextToInt(FromUtf8(text)), std::out_of_range) << text;
  }
}

TEST(TextToFloat, ReadsDecimalNumbers) {
  EXPECT_FLOAT_EQ(TextToFloat(FString("1.5")), 1.5F);
  EXPECT_FLOAT_EQ(TextToFloat(FString("10")), 10.0F);
  EXPECT_FLOAT_EQ(TextToFloat(FString("-.25")), -0.25F);
  EXPECT_FLOAT_EQ(TextToFloat(FString("3x")), 3.0F);
  EXPECT_THROW(TextToFloat(FString("x")), std::invalid_argument);
  EXPECT_THROW(TextToFloat(FString("-")), std::invalid_argument);
  EXPECT_THROW(TextToFloat(FString("1e999")), std::out_of_range);
}

}  // namespace
}  // namespace Bellwright
