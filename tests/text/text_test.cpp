#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <cstdio>
#include <random>
#include <string>

#include "text/text.h"

namespace zelm {
namespace {

TEST(NumberText, WritesTheBlankThePointAndNoTrailingZeros) {
  EXPECT_EQ(NumberText(0.55), " .55");
  EXPECT_EQ(NumberText(-0.55), "-.55");
  EXPECT_EQ(NumberText(120), " 120");
  EXPECT_EQ(NumberText(0), " 0");
  EXPECT_EQ(NumberText(-12.5), "-12.5");
  EXPECT_EQ(NumberText(1234.567890123), " 1234.567890123");
  EXPECT_EQ(NumberText(120.00006), " 120.00006");
  EXPECT_EQ(NumberTextBare(132), "132");
}

TEST(FixedText, RoundsToItsDecimalsWithAZeroBeforeThePoint) {
  EXPECT_EQ(FixedText(0.2504, 2), "0.25");
  EXPECT_EQ(FixedText(0.0486, 2), "0.05");
  EXPECT_EQ(FixedText(-1.0833, 2), "-1.08");
  EXPECT_EQ(FixedText(0.1, 2), "0.10");
  EXPECT_EQ(FixedText(6, 0), "6");
  EXPECT_EQ(FixedText(-0.5, 1), "-0.5");
  EXPECT_EQ(FixedText(1234.5678, 3), "1234.568");
  // A negative number that rounds to zero has no minus.
  EXPECT_EQ(FixedText(-0.004, 2), "0.00");
  EXPECT_EQ(FixedText(-0.0, 0), "0");
}

TEST(NumberText, KeepsFifteenSignificantDigits) {
  EXPECT_EQ(NumberText(1.0 / 3.0), " .333333333333333");
  EXPECT_EQ(NumberText(2.0 / 3.0 * 1000), " 666.666666666667");
  // 0.1 + 0.2 is not exactly 0.3, but fifteen digits show it so.
  EXPECT_EQ(NumberText(0.1 + 0.2), " .3");
  EXPECT_EQ(NumberText(65535), " 65535");
}

TEST(NumberText, UsesAnExponentOnlyForExtremeNumbers) {
  EXPECT_EQ(NumberText(1e16), " 1E+16");
  EXPECT_EQ(NumberText(0.00001), " 1E-05");
  EXPECT_EQ(NumberText(0.0001), " .0001");
  EXPECT_EQ(NumberText(999999999999999.0), " 999999999999999");
  EXPECT_DOUBLE_EQ(LeadingNumber(NumberText(1.5e-7)), 1.5e-7);
}

TEST(NumberText, EveryTextReadsBackFinite) {
  // Rounded to fifteen digits, the largest numbers would pass the largest double: they are rounded toward zero.
  const double largest = std::numeric_limits<double>::max();
  EXPECT_EQ(NumberText(largest), " 1.79769313486231E+308");
  EXPECT_EQ(NumberText(-largest), "-1.79769313486231E+308");
  EXPECT_EQ(NumberText(HUGE_VAL), " 1.79769313486231E+308");
  EXPECT_EQ(NumberText(-HUGE_VAL), "-1.79769313486231E+308");
  EXPECT_EQ(NumberText(std::numeric_limits<double>::quiet_NaN()), " 0");
  std::mt19937_64 random(7);
  std::uniform_int_distribution<uint64_t> bits;
  for (int i = 0; i < 20000; ++i) {
    // Any finite double, the near-largest ones often.
    uint64_t b = bits(random);
    if (i % 4 == 0) b = (b & 0x800FFFFFFFFFFFFFull) | 0x7FE0000000000000ull;
    double v = std::bit_cast<double>(b);
    if (!std::isfinite(v)) continue;
    const std::string text = NumberText(v);
    ASSERT_TRUE(IsNumberText(text)) << text;
    const double back = LeadingNumber(text);
    ASSERT_TRUE(std::isfinite(back)) << text;
    if (std::fabs(v) >= 1e-300) {
      ASSERT_LE(std::fabs(back - v), std::fabs(v) * 1e-14) << text;
    }
  }
}

// Fifteen significant digits as the C library's printf writes them with %.15g, trimmed as the number text trims them:
// the plain-notation numbers must come out the same, whole or not, near a decade or not.
std::string PrintfFifteen(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", value);
  std::string s = buf;
  if (s.find('e') != std::string::npos) {
    int decimals = std::max(0, 15 - 1 - static_cast<int>(std::floor(std::log10(std::fabs(value)))));
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    s = buf;
    if (s.find('.') != std::string::npos) {
      while (s.back() == '0') s.pop_back();
      if (s.back() == '.') s.pop_back();
    }
  }
  const bool negative = s[0] == '-';
  std::string digits = negative ? s.substr(1) : s;
  if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.') digits.erase(0, 1);
  return negative ? "-" + digits : digits;
}

TEST(NumberText, PlainNumbersAreWrittenAsPrintfWritesFifteenDigits) {
  std::mt19937_64 random(15);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int i = 0; i < 300000; ++i) {
    double value;
    switch (i % 5) {
      case 0: value = std::ldexp(unit(random), static_cast<int>(random() % 62) - 12); break;         // any
      case 1: value = std::round(unit(random) * std::pow(10, random() % 16));  break;               // whole
      case 2: value = std::pow(10, static_cast<int>(random() % 19) - 4) * (1 - unit(random) * 1e-14); break;
      case 3: value = static_cast<double>(random() % 100000) / 64; break;                           // binary fractions
      default: value = std::bit_cast<double>(0x3F10000000000000ull + random() % 0x0420000000000000ull);  // any bits
    }
    if (random() % 2) value = -value;
    if (!std::isfinite(value) || value == 0 || std::fabs(value) >= 1e15 || std::fabs(value) < 1e-4) continue;
    ASSERT_EQ(NumberTextBare(value), PrintfFifteen(value)) << std::hexfloat << value;
  }
}

TEST(LeadingNumber, TakesTheLongestLeadingNumber) {
  EXPECT_EQ(LeadingNumber("120,60"), 120);
  EXPECT_EQ(LeadingNumber("  12.5abc"), 12.5);
  EXPECT_EQ(LeadingNumber(" .55"), 0.55);
  EXPECT_EQ(LeadingNumber("-3"), -3);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("."), 0);
  EXPECT_EQ(LeadingNumber("1e3x"), 1000);
  EXPECT_EQ(LeadingNumber("12C"), 12);
  EXPECT_EQ(LeadingNumber("12E"), 12);
  EXPECT_EQ(LeadingNumber(" 3(C)"), 3);
}

TEST(LeadingNumber, RoundTripsNumberText) {
  for (double v : {0.0, 1.00782503207, 12.0, 119.999451, 1234.567890123, -0.000549, 22.98976928})
    EXPECT_DOUBLE_EQ(LeadingNumber(NumberText(v)), v) << v;
}

TEST(IsNumberText, AcceptsOnlyAWholeNumber) {
  EXPECT_TRUE(IsNumberText(" 12"));
  EXPECT_TRUE(IsNumberText("12.000 "));
  EXPECT_TRUE(IsNumberText("-.5"));
  EXPECT_FALSE(IsNumberText("12x"));
  EXPECT_FALSE(IsNumberText(""));
  EXPECT_FALSE(IsNumberText("  "));
  EXPECT_FALSE(IsNumberText("C"));
  EXPECT_FALSE(IsNumberText("1 2"));
}

TEST(Coding, DigitsAreOffsetFromThePlainDigits) {
  EXPECT_EQ(static_cast<unsigned char>(SuperDigit(1)), 129);
  EXPECT_EQ(static_cast<unsigned char>(SuperDigit(2)), 130);
  EXPECT_EQ(static_cast<unsigned char>(SubDigit(0)), 144);
  EXPECT_EQ(static_cast<unsigned char>(SubDigit(9)), 153);
  EXPECT_EQ(ToSuperscript("12") + "C" + ToSubscript("10"), "\x81\x82" "C\x91\x90");
  EXPECT_TRUE(IsSuperDigit('\x89'));
  EXPECT_FALSE(IsSuperDigit('\x8a'));
  EXPECT_TRUE(IsSubscript('\xfe'));
  EXPECT_FALSE(IsSubscript('\x8f'));
}

TEST(Ordering, PlainTextSortsBeforeCodedDigits) {
  EXPECT_LT(CompareCoded("Z", "\x80"), 0);
  EXPECT_LT(CompareCoded("\x7f", "\x81"), 0);
  EXPECT_LT(CompareCoded("ab", "abc"), 0);
  EXPECT_EQ(CompareCoded("abc", "abc"), 0);
}

TEST(Ordering, SuperscriptDigitsFollowTheCodePageOrder) {
  const int order[] = {1, 3, 8, 2, 4, 6, 7, 5, 9, 0};
  for (int i = 0; i + 1 < 10; ++i) {
    std::string a(1, SuperDigit(order[i])), b(1, SuperDigit(order[i + 1]));
    EXPECT_LT(CompareCoded(a, b), 0) << order[i] << " before " << order[i + 1];
  }
}

TEST(Ordering, SubscriptDigitsFollowTheCodePageOrder) {
  const int order[] = {0, 8, 6, 7, 1, 2, 3, 4, 5, 9};
  for (int i = 0; i + 1 < 10; ++i) {
    std::string a(1, SubDigit(order[i])), b(1, SubDigit(order[i + 1]));
    EXPECT_LT(CompareCoded(a, b), 0) << order[i] << " before " << order[i + 1];
  }
}

TEST(Ordering, HydrogenGroupBeforeCarbonAndCarbon13BeforeCarbon12) {
  std::string h = ToSuperscript("1") + "H" + ToSubscript("6");
  std::string c12 = ToSuperscript("12") + "C" + ToSubscript("1");
  std::string c13 = ToSuperscript("13") + "C" + ToSubscript("1");
  EXPECT_TRUE(CodedLess(h, c12));
  EXPECT_TRUE(CodedLess(c13, c12));
  EXPECT_FALSE(CodedLess(c12, c13));
}

}  // namespace
}  // namespace zelm
