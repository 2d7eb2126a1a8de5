#include "platform/gbk_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace quorvel {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// ICU's "GBK" converter is code page 936 as Windows has it.
QStringDecoder& Decoder() {
  static thread_local QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
  return decoder;
}

}  // namespace

bool IsGbkPair(unsigned char lead, unsigned char trail) {
  return lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

QString FromGbk(std::string_view gbk) {
  QString out;
  out.reserve(static_cast<qsizetype>(gbk.size()));
  std::size_t run_start = 0;  // start of a run of well-formed characters
  auto flush = [&](std::size_t end) {
    if (end > run_start) {
      out += Decoder().decode(QByteArrayView(gbk.data() + run_start, static_cast<qsizetype>(end - run_start)));
    }
  };
  std::size_t pos = 0;
  while (pos < gbk.size()) {
    const auto byte = static_cast<unsigned char>(gbk[pos]);
    if (byte < 0x80) {
      ++pos;
    } else if (pos + 1 < gbk.size() && IsGbkPair(byte, static_cast<unsigned char>(gbk[pos + 1]))) {
      pos += 2;
    } else {
      flush(pos);
      out += QChar(kReplacement);
      ++pos;
      run_start = pos;
    }
  }
  flush(pos);
  return out;
}

std::string ToGbk(const QString& text) {
  static thread_local QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()) * 2);
  // Encode character by character so that one that GBK lacks becomes "?"
  // instead of whatever substitution the converter prefers.
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    const QStringView ch = QStringView(text).mid(i, len);
    if (len == 1 && ch.at(0).unicode() < 0x80) {
      out.push_back(static_cast<char>(ch.at(0).unicode()));
    } else {
      const QByteArray bytes = encoder.encode(ch);
      if (encoder.hasError() || bytes.isEmpty() || (bytes.size() == 1 && bytes.at(0) == 0x1A)) {
        // resetState() keeps the error flag, which would turn every later
        // character into "?"; only a new encoder starts clean.
        encoder = QStringEncoder("GBK", QStringConverter::Flag::Stateless);
        out.push_back('?');
      } else {
        out.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
      }
    }
    i += len;
  }
  return out;
}

std::string ToGbkLines(const QString& text) {
  QString lines = text;
  // A CR LF already there is one line break, not two.
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return ToGbk(lines);
}

QString FromGbkLines(std::string_view gbk) {
  QString text = FromGbk(gbk);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

}  // namespace quorvel
