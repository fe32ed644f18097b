#include "app/captions.h"

#include <gtest/gtest.h>

#include "app/errors.h"

namespace qvl {
namespace {

TEST(Captions, NumberToText) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0, "0"},   {-0.0, "0"},      {-1, "-1"},   {92, "92"},       {113, "113"},
      {-9, "-9"}, {1e6, "1000000"}, {2.5, "2.5"}, {-0.25, "-0.25"},
  };
  for (const auto& c : cases) EXPECT_EQ(NumberToText(c.value), c.text) << c.value;
}

TEST(Captions, TextToNumberReadsDecimals) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"6", 6}, {"22", 22},   {"-1", -1}, {"92", 92},   {"-9", -9},
      {"0", 0}, {" 22 ", 22}, {"+3", 3},  {"2.5", 2.5},
  };
  for (const auto& c : cases) EXPECT_EQ(TextToNumber(c.text), c.value) << c.text;
}

TEST(Captions, TextThatSpellsNoNumberIsATypeMismatch) {
  for (const char* text : {"TotalDays", "", " ", "-", "June", "62 days ", "14 Hours ", "inf", "nan",
                           "1x", "--1", "0x10"}) {
    try {
      TextToNumber(text);
      ADD_FAILURE() << "read a number from '" << text << "'";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), 13) << text;
    }
  }
}

}  // namespace
}  // namespace qvl
