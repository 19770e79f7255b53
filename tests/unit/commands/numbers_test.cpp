#include "commands/numbers.hpp"

#include <gtest/gtest.h>

#include <limits>

#include "base/text.hpp"

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
  for (const char* text :
       {"", "+", "-", ".", "x", ".5", "2147483648", "-2147483649", "99999999999999999999"}) {
    EXPECT_FALSE(TextToInt(FromUtf8(text)).has_value()) << text;
  }
}

TEST(TextToFloat, ReadsDecimalNumbers) {
  EXPECT_FLOAT_EQ(TextToFloat(FString("1.5")).value(), 1.5F);
  EXPECT_FLOAT_EQ(TextToFloat(FString("10")).value(), 10.0F);
  EXPECT_FLOAT_EQ(TextToFloat(FString("-.25")).value(), -0.25F);
  EXPECT_FLOAT_EQ(TextToFloat(FString("3x")).value(), 3.0F);
  for (const char* text : {"x", "-", "1e999"}) {
    EXPECT_FALSE(TextToFloat(FString(text)).has_value()) << text;
  }
}

}  // namespace
}  // namespace Bellwright
