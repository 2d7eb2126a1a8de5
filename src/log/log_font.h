#pragma once

// The screen font for a TextStyle: the one place where the font names the
// program uses become fonts this system has.

#include <QFont>
#include <QString>
#include <string_view>

#include "log/text_style.h"

namespace quorvel {

// The family that shows the GBK font name `gbk_name` (at most its first 31
// bytes count). A family the system has is used as it is. "宋体" (SimSun),
// the program's font, becomes "Noto Sans Mono CJK SC" where the system lacks
// it: a CJK font in which a double-byte character is exactly two ASCII cells
// wide, so hexadecimal columns line up as they do in SimSun. Other missing
// names are left to Qt's own substitution.
QString ScreenFontFamily(std::string_view gbk_name);

// The font for `style`: family, size in points and the bold, italic,
// underline and strike-out effects. Colour, offset and protection are drawn
// or kept by the log itself. Kerning is off, so that a text is exactly as
// wide as its characters.
QFont LogFont(const TextStyle& style);

}  // namespace quorvel
