#pragma once

// The settings file, peizhi.ini: a sectioned key=value profile in GBK with
// CR LF lines. Nothing is cached; every call reads or rewrites the file.
//
// The reader also takes files edited by hand or by other tools: LF-only
// lines, blanks around "=", ";" comment lines, blank lines, no final line
// break, a UTF-8 byte-order mark, names in any ASCII case (the bytes of
// double-byte characters match exactly), a value in double quotes. Of a
// repeated section or key the first one counts. A rewrite changes only the
// line of its key and keeps every other line byte for byte.

#include <string>
#include <string_view>

namespace quorvel {

class SettingsStore {
 public:
  explicit SettingsStore(std::string config_path = {});

  // ConfigPath: the full path of the settings file, as the file system's bytes.
  void SetConfigPath(std::string config_path);
  const std::string& ConfigPath() const { return config_path_; }

  // The stored value of `key` in `section`, even when empty; `default_value`
  // when the file, the section or the key is missing. Empty when the path,
  // section or key is empty after its leading bytes <= 0x20 are skipped. The
  // result is cut after 10,239 bytes.
  // "端口", "波特率", "5" on a file without that key -> "5"
  std::string ReadSetting(std::string_view section, std::string_view key, std::string_view default_value) const;

  // Sets `key` in `section` to `value`, adding the key at the end of its
  // section, the section at the end of the file, or the file and its folder
  // as needed; section and key are written as given. The new file is written
  // next to the old one and renamed over it, so a failed write leaves the old
  // file whole. A value with blanks at its ends is stored in double quotes.
  // Returns false when nothing could be written, and for a line break in any
  // of the three texts (the program does not tell the user).
  // "自动换行", "间隔毫秒", "50" -> the line "间隔毫秒=50" in [自动换行]
  bool WriteSetting(std::string_view section, std::string_view key, std::string_view value) const;

 private:
  std::string config_path_;
};

// Where peizhi.ini lives: on Linux $XDG_CONFIG_HOME/quorvel/peizhi.ini
// (~/.config/quorvel/peizhi.ini when it is unset or not absolute), its folder
// created when missing; on Windows the temporary-files folder. The bare
// "peizhi.ini" when no folder can be determined (neither variable set).
std::string DefaultConfigPath();

}  // namespace quorvel
