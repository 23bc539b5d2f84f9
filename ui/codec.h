// The byte <-> Unicode table of the desktop edge: every one of the 256 bytes maps to one character and back, so any
// 8-bit text round-trips. Identity below 128; superscript digits for 128..137, subscript digits for 144..153,
// superscript and subscript plus and minus for the keyboard's sign codes, Windows-1252 or Latin-1 for the rest.
#pragma once

#include <QString>
#include <string>

namespace zelm {

QString ToUnicode(const std::string& bytes);
// Characters without a byte of their own become "?".
std::string FromUnicode(const QString& text);
char32_t ByteToChar(unsigned char byte);

}  // namespace zelm
