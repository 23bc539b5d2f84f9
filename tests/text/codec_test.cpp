#include <gtest/gtest.h>

#include <set>
#include <string>

#include "text/codec.h"
#include "text/text.h"

namespace zelm {
namespace {

TEST(Codec, EveryByteIsACharacterOfItsOwnAndComesBack) {
  std::string all;
  std::set<char32_t> chars;
  for (int b = 0; b < 256; ++b) {
    all += static_cast<char>(b);
    chars.insert(ByteToChar(static_cast<unsigned char>(b)));
    EXPECT_EQ(CharToByte(ByteToChar(static_cast<unsigned char>(b))), b);
  }
  EXPECT_EQ(chars.size(), 256u);
  EXPECT_EQ(Utf8ToBytes(BytesToUtf8(all)), all);
}

TEST(Codec, CodedDigitsAreTheUnicodeSuperscriptsAndSubscripts) {
  const std::string ten = ToSuperscript("12") + "C" + ToSubscript("10");
  EXPECT_EQ(BytesToUtf8(ten), "\u00b9\u00b2C\u2081\u2080");
  EXPECT_EQ(Utf8ToBytes("\u00b9H\u2082\u00b9\u2076O"), ToSuperscript("1") + "H" + ToSubscript("2") + ToSuperscript("16") + "O");
  EXPECT_EQ(BytesToUtf8(ToSuperscript("0456789")), "\u2070\u2074\u2075\u2076\u2077\u2078\u2079");
  EXPECT_EQ(BytesToUtf8("plain, 12"), "plain, 12");
}

TEST(Codec, CharactersWithoutAByteAndBrokenTextBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToBytes("a\u4e2db"), "a?b");
  EXPECT_EQ(Utf8ToBytes("\U0001F600"), "?");
  EXPECT_EQ(Utf8ToBytes("x\xC3"), "x?");            // cut in the middle of a character
  EXPECT_EQ(Utf8ToBytes("\xE2\x82x"), "??x");       // a lead byte without its followers
  EXPECT_EQ(Utf8ToBytes("\xFF\xFE"), "??");
  EXPECT_EQ(CharToByte(0x4e2d), -1);
}

}  // namespace
}  // namespace zelm
