#include "text/codec.h"

#include <unordered_map>

namespace zelm {

namespace {

struct Table {
  char32_t toChar[256];
  std::unordered_map<char32_t, unsigned char> toByte;

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
    for (int b = 0; b < 256; ++b) toByte.emplace(toChar[b], static_cast<unsigned char>(b));
  }
};

}  // namespace

const Table& table() {
  static const Table t;
  return t;
}

char32_t ByteToChar(unsigned char byte) { return table().toChar[byte]; }

int CharToByte(char32_t c) {
  const auto& map = table().toByte;
  auto it = map.find(c);
  return it == map.end() ? -1 : it->second;
}

std::string BytesToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    const char32_t c = table().toChar[b];
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string Utf8ToBytes(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
    char32_t c = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
    bool ok = extra >= 0 && i + static_cast<size_t>(extra) < utf8.size() + (extra == 0 ? 1 : 0);
    if (ok) {
      for (int k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
        if ((next & 0xC0) != 0x80) {
          ok = false;
          break;
        }
        c = (c << 6) | (next & 0x3F);
      }
    }
    if (!ok) {
      out += '?';
      ++i;
      continue;
    }
    i += static_cast<size_t>(extra) + 1;
    const int b = CharToByte(c);
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

}  // namespace zelm
