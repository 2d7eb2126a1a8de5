#include "app/settings_store.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "engine/gbk_text.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// Values are read into a buffer of 10,240 bytes, terminator included.
constexpr std::size_t kMaxValueBytes = 10239;
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kFileName = "peizhi.ini";

// Control characters and the space: skipped before names, trimmed around
// names and values in the file. Never the second byte of a GBK character.
bool IsBlank(char byte) { return static_cast<unsigned char>(byte) <= 0x20; }

std::string_view SkipLeadingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::string_view TrimBlanks(std::string_view text) {
  text = SkipLeadingBlanks(text);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// ASCII letters match in either case; the bytes of double-byte characters
// (whose second byte may look like a letter) must match exactly.
bool SameName(std::string_view a, std::string_view b) {
  return ToUpperAscii(TrimBlanks(a)) == ToUpperAscii(TrimBlanks(b));
}

// A value with blanks at either end, or one that is itself wrapped in double
// quotes, is written in double quotes so that it reads back unchanged even
// though the reader trims the blanks around "=".
std::string QuoteValue(std::string_view value) {
  const bool quoted_already = value.size() >= 2 && value.front() == '"' && value.back() == '"';
  if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || quoted_already)) {
    return "\"" + std::string(value) + "\"";
  }
  return std::string(value);
}

std::string_view UnquoteValue(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return value.substr(1, value.size() - 2);
  return value;
}

struct Line {
  std::string text;    // without its line break
  std::string ending;  // "\r\n", "\n", or empty for a last line without one
};

enum class LineKind { kBlank, kComment, kSection, kKey, kOther };

struct ParsedLine {
  LineKind kind = LineKind::kOther;
  std::string_view name;   // section or key name, blanks trimmed
  std::string_view value;  // key value, blanks trimmed and quotes removed
};

ParsedLine ParseLine(std::string_view text) {
  const std::string_view line = TrimBlanks(text);
  if (line.empty()) return {LineKind::kBlank, {}, {}};
  if (line.front() == ';') return {LineKind::kComment, {}, {}};
  if (line.front() == '[') {
    // The name runs to the last "]", found by characters: the second byte of
    // a GBK character can be 0x5D.
    std::size_t close = std::string_view::npos;
    for (std::size_t pos = 1; pos < line.size(); pos += CharLengthAt(line, pos)) {
      if (line[pos] == ']') close = pos;
    }
    if (close != std::string_view::npos) return {LineKind::kSection, TrimBlanks(line.substr(1, close - 1)), {}};
    return {LineKind::kOther, {}, {}};
  }
  const std::size_t equals = FindText(line, "=");
  if (equals == std::string_view::npos) return {LineKind::kOther, {}, {}};
  return {LineKind::kKey, TrimBlanks(line.substr(0, equals)), UnquoteValue(TrimBlanks(line.substr(equals + 1)))};
}

// The file as lines, each kept byte for byte so that a rewrite changes only
// the line it means to.
struct Profile {
  std::string byte_order_mark;
  std::vector<Line> lines;

  static Profile Parse(std::string_view bytes) {
    Profile profile;
    if (bytes.starts_with(kUtf8ByteOrderMark)) {
      profile.byte_order_mark = kUtf8ByteOrderMark;
      bytes.remove_prefix(kUtf8ByteOrderMark.size());
    }
    while (!bytes.empty()) {
      const std::size_t newline = bytes.find('\n');
      if (newline == std::string_view::npos) {
        profile.lines.push_back({std::string(bytes), {}});
        break;
      }
      const bool crlf = newline > 0 && bytes[newline - 1] == '\r';
      profile.lines.push_back({std::string(bytes.substr(0, crlf ? newline - 1 : newline)), crlf ? "\r\n" : "\n"});
      bytes.remove_prefix(newline + 1);
    }
    return profile;
  }

  std::string Serialize() const {
    std::string bytes = byte_order_mark;
    for (const Line& line : lines) bytes += line.text + line.ending;
    return bytes;
  }

  // Index of the header of the first section named `section`.
  std::optional<std::size_t> FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const ParsedLine parsed = ParseLine(lines[i].text);
      if (parsed.kind == LineKind::kSection && SameName(parsed.name, section)) return i;
    }
    return std::nullopt;
  }

  // One past the last line of the section whose header is at `header`.
  std::size_t SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines.size() && ParseLine(lines[i].text).kind != LineKind::kSection) ++i;
    return i;
  }

  // Index of the first line of `key` in the section at `header`; a repeated
  // key is ignored, the first one wins.
  std::optional<std::size_t> FindKey(std::size_t header, std::string_view key) const {
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
      const ParsedLine parsed = ParseLine(lines[i].text);
      if (parsed.kind == LineKind::kKey && SameName(parsed.name, key)) return i;
    }
    return std::nullopt;
  }

  void Insert(std::size_t index, std::string text) {
    // A last line without a line break gets one before anything follows it.
    if (index > 0 && lines[index - 1].ending.empty()) lines[index - 1].ending = kLineBreak;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(index), Line{std::move(text), std::string(kLineBreak)});
  }

  void Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string key_line = std::string(key) + "=" + QuoteValue(value);
    const std::optional<std::size_t> header = FindSection(section);
    if (!header) {
      Insert(lines.size(), "[" + std::string(section) + "]");
      Insert(lines.size(), std::move(key_line));
      return;
    }
    if (const std::optional<std::size_t> existing = FindKey(*header, key)) {
      lines[*existing] = Line{std::move(key_line), std::string(kLineBreak)};
      return;
    }
    // After the section's last entry, so that blank lines and comments that
    // lead into the next section stay in front of it.
    const std::size_t end = SectionEnd(*header);
    std::size_t after = *header + 1;
    for (std::size_t i = *header + 1; i < end; ++i) {
      const LineKind kind = ParseLine(lines[i].text).kind;
      if (kind != LineKind::kBlank && kind != LineKind::kComment) after = i + 1;
    }
    Insert(after, std::move(key_line));
  }
};

std::optional<std::string> ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

// Writes a temporary file next to `target` and renames it over the old one,
// so that a write that fails or is cut short leaves the old file as it was.
bool ReplaceFile(const fs::path& target, const std::string& bytes) {
  std::error_code error;
  fs::path real_target = target;
  if (fs::is_symlink(target, error)) {
    // Replace the file the link points to, not the link.
    const fs::path resolved = fs::canonical(target, error);
    if (!error) real_target = resolved;
  }
  const fs::path folder = real_target.parent_path();
  if (!folder.empty()) fs::create_directories(folder, error);

  std::random_device random;
  fs::path temporary = real_target;
  temporary += ".tmp" + std::to_string(random() % 1000000000u);
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      fs::remove(temporary, error);
      return false;
    }
  }
  const fs::file_status old_status = fs::status(real_target, error);
  if (!error && fs::exists(old_status)) fs::permissions(temporary, old_status.permissions(), error);
  fs::rename(temporary, real_target, error);
  if (error) {
    fs::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace

SettingsStore::SettingsStore(std::string config_path) : config_path_(std::move(config_path)) {}

void SettingsStore::SetConfigPath(std::string config_path) { config_path_ = std::move(config_path); }

std::string SettingsStore::ReadSetting(std::string_view section, std::string_view key,
                                       std::string_view default_value) const {
  const std::string_view path = SkipLeadingBlanks(config_path_);
  section = SkipLeadingBlanks(section);
  key = SkipLeadingBlanks(key);
  if (path.empty() || section.empty() || key.empty()) return {};

  std::string_view result = default_value;
  const std::optional<std::string> bytes = ReadWholeFile(fs::path(std::string(path)));
  Profile profile;
  if (bytes) {
    profile = Profile::Parse(*bytes);
    if (const std::optional<std::size_t> header = profile.FindSection(section)) {
      if (const std::optional<std::size_t> line = profile.FindKey(*header, key)) {
        result = ParseLine(profile.lines[*line].text).value;
      }
    }
  }
  return std::string(FirstBytes(result, static_cast<int>(kMaxValueBytes)));
}

bool SettingsStore::WriteSetting(std::string_view section, std::string_view key, std::string_view value) const {
  if (config_path_.empty()) return false;
  // A line break would end the line early and could inject other entries.
  for (const std::string_view text : {section, key, value}) {
    if (text.find_first_of("\r\n") != std::string_view::npos) return false;
  }

  const fs::path path(config_path_);
  Profile profile;
  std::error_code error;
  if (fs::exists(path, error)) {
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) return false;  // rewriting would lose what could not be read
    profile = Profile::Parse(*bytes);
  }
  profile.Set(section, key, value);
  return ReplaceFile(path, profile.Serialize());
}

std::string DefaultConfigPath() {
  fs::path folder;
#ifdef _WIN32
  std::error_code error;
  folder = fs::temp_directory_path(error);
  if (error) return std::string(kFileName);
#else
  // Relative values are invalid by the XDG base directory rules.
  const char* config_home = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (config_home != nullptr && fs::path(config_home).is_absolute()) {
    folder = fs::path(config_home) / "quorvel";
  } else if (home != nullptr && *home != '\0') {
    folder = fs::path(home) / ".config" / "quorvel";
  } else {
    return std::string(kFileName);
  }
  std::error_code error;
  fs::create_directories(folder, error);
#endif
  return (folder / kFileName).string();
}

}  // namespace quorvel
