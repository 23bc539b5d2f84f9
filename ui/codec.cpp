#include "ui/codec.h"

#include <QHash>

namespace zelm {

namespace {

struct Table {
  char32_t toChar[256];
  QHash<char32_t, unsigned char> toByte;

  Table() {
    static const char32_t super[10] = {0x2070, 0x00B9, 0x00B2, 0x00B3, 0x2074, 0x2075, 0x2076, 0x2077, 0x2078, 0x2079};
    // Windows-1252 for 128..159; its five undefined bytes keep their own value.
    static const char32_t cp1252[32] = {
        0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021, 0x2C6,  0x2030, 0x160,
        0x2039, 0x152,  0x8D,   0x17D,  0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};
    for (int b = 0; b < 256; ++b) toChar[b] = b < 128 ? char32_t(b) : (b < 160 ? cp1252[b - 128] : char32_t(b));
    for (int d = 0; d < 10; ++d) {
      toChar[128 + d] = super[d];
      toChar[144 + d] = char32_t(0x2080 + d);
    }
    // The keyboard's sign codes: Alt with "=" or the key after 9, Alt with "-", Ctrl with the key after 9, "=", "-".
    toChar[138] = 0x207A;  // superscript plus
    toChar[139] = 0x207B;  // superscript minus
    toChar[154] = 0x208C;  // subscript equals
    toChar[254] = 0x208A;  // subscript plus
    toChar[253] = 0x208B;  // subscript minus
    // Latin-1 superscripts one, two and three now stand for coded digits: their own bytes take private stand-ins.
    toChar[178] = 0xF7B2;
    toChar[179] = 0xF7B3;
    toChar[185] = 0xF7B9;
    for (int b = 0; b < 256; ++b) toByte.insert(toChar[b], static_cast<unsigned char>(b));
  }
};

}  // namespace

const Table& table() {
  static const Table t;
  return t;
}

char32_t ByteToChar(unsigned char byte) { return table().toChar[byte]; }

QString ToUnicode(const std::string& bytes) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  for (unsigned char b : bytes) {
    char32_t c = table().toChar[b];
    out += QString::fromUcs4(&c, 1);
  }
  return out;
}

std::string FromUnicode(const QString& text) {
  std::string out;
  for (char32_t c : text.toUcs4()) {
    auto it = table().toByte.find(c);
    out += it == table().toByte.end() ? '?' : static_cast<char>(it.value());
  }
  return out;
}

}  // namespace zelm
