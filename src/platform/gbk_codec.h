#pragma once

// The one place where the program's GBK byte strings meet Qt's UTF-16
// strings. Everything below the widgets works on GBK bytes; widgets convert
// here when they read or write a control.

#include <QString>
#include <string>
#include <string_view>

namespace quorvel {

// GBK bytes to text. A byte sequence that is no GBK character becomes the
// replacement character U+FFFD, one per byte, so nothing is silently merged.
QString FromGbk(std::string_view gbk);

// Text to GBK bytes. A character that GBK cannot hold becomes "?", the way
// the system code page of the original platform writes it.
std::string ToGbk(const QString& text);

// True when the two bytes form a character of code page 936.
bool IsGbkPair(unsigned char lead, unsigned char trail);

}  // namespace quorvel
