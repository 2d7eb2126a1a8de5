#include "log/log_font.h"

#include <QFontDatabase>
#include <algorithm>

#include "platform/gbk_codec.h"

namespace quorvel {
namespace {

// TextStyle keeps at most this many bytes of a font name.
constexpr std::size_t kFontNameBytes = 31;

bool IsSimSun(const QString& family) {
  static const QString kNames[] = {QStringLiteral(u"宋体"), QStringLiteral(u"新宋体"), QStringLiteral("SimSun"),
                                   QStringLiteral("NSimSun")};
  return std::any_of(std::begin(kNames), std::end(kNames),
                     [&](const QString& name) { return family.compare(name, Qt::CaseInsensitive) == 0; });
}

}  // namespace

QString ScreenFontFamily(std::string_view gbk_name) {
  const QString family = FromGbk(gbk_name.substr(0, std::min(gbk_name.size(), kFontNameBytes)));
  if (QFontDatabase::hasFamily(family)) return family;
  if (IsSimSun(family)) return QStringLiteral("Noto Sans Mono CJK SC");
  return family;
}

QFont LogFont(const TextStyle& style) {
  QFont font(ScreenFontFamily(style.font_name));
  font.setPointSizeF(std::max(1, style.size_pt));
  font.setBold((style.effects & kBold) != 0);
  font.setItalic((style.effects & kItalic) != 0);
  font.setUnderline((style.effects & kUnderline) != 0);
  font.setStrikeOut((style.effects & kStrikeOut) != 0);
  font.setKerning(false);
  // Unhinted advances keep a CJK character exactly two ASCII cells wide.
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

}  // namespace quorvel
