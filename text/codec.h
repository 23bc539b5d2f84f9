// The byte <-> Unicode table: every one of the 256 bytes of the label coding maps to one character and back, so any
// 8-bit text round-trips. Identity below 128; superscript digits for 128..137, subscript digits for 144..153,
// superscript and subscript plus and minus for the keyboard's sign codes, Windows-1252 or Latin-1 for the rest.
// Files stay 8-bit; the window, the clipboard, the printer and the command line's output get Unicode.
#pragma once

#include <string>
#include <string_view>

namespace zelm {

char32_t ByteToChar(unsigned char byte);
// The byte of a character, or -1 when it has none.
int CharToByte(char32_t c);

// 8-bit text to UTF-8, and back; characters without a byte of their own (and broken UTF-8) become "?".
std::string BytesToUtf8(std::string_view bytes);
std::string Utf8ToBytes(std::string_view utf8);

}  // namespace zelm
