// The byte <-> Unicode table (text/codec.h) for the desktop edge's QString.
#pragma once

#include <QString>
#include <string>

#include "text/codec.h"

namespace zelm {

QString ToUnicode(const std::string& bytes);
// Characters without a byte of their own become "?".
std::string FromUnicode(const QString& text);

}  // namespace zelm
