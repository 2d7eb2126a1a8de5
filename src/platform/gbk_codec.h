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

// A multi-line box's text as GBK with CR LF line breaks, the form the cores
// read lists in: each LF (a text box's line break) or CR LF becomes one CR LF;
// a lone CR stays. "A\nB" -> "A\r\nB"
std::string ToGbkLines(const QString& text);

// GBK text with CR LF line breaks as a multi-line box's text, each CR LF one
// LF; a lone CR or LF stays. "A\r\nB" -> "A\nB"
QString FromGbkLines(std::string_view gbk);

// True when the two bytes form a character of code page 936.
bool IsGbkPair(unsigned char lead, unsigned char trail);

}  // namespace quorvel
