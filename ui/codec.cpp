#include "ui/codec.h"

#include <QList>

#include "text/codec.h"

namespace zelm {

QString ToUnicode(const std::string& bytes) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  for (unsigned char b : bytes) {
    char32_t c = ByteToChar(b);
    out += QString::fromUcs4(&c, 1);
  }
  return out;
}

std::string FromUnicode(const QString& text) {
  std::string out;
  for (char32_t c : text.toUcs4()) {
    const int b = CharToByte(c);
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

}  // namespace zelm
