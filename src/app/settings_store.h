#pragma once

// The settings file, peizhi.ini: a sectioned key=value profile in GBK with
// CR LF lines. Nothing is cached; every call reads or rewrites the file.

#include <string>
#include <string_view>

namespace quorvel {

class SettingsStore {
 public:
  explicit SettingsStore(std::string config_path = {});

  // ConfigPath: the full path of the settings file, as the file system's bytes.
  void SetConfigPath(std::string config_path);
  const std::string& ConfigPath() const { return config_path_; }

  // The stored value of `key` in `section`; `default_value` when the file,
  // the section or the key is missing. Empty when the path, section or key is
  // empty after its leading bytes <= 0x20 are skipped.
  std::string ReadSetting(std::string_view section, std::string_view key, std::string_view default_value) const;

  // Sets `key` in `section` to `value`, adding the key, the section or the
  // file as needed. Returns false when the file could not be written (the
  // program does not tell the user).
  bool WriteSetting(std::string_view section, std::string_view key, std::string_view value) const;

 private:
  std::string config_path_;
};

// Where peizhi.ini lives: on Linux $XDG_CONFIG_HOME/quorvel/peizhi.ini
// (default ~/.config/quorvel/peizhi.ini), its folder created when missing; on
// Windows the temporary-files folder. The bare "peizhi.ini" when no folder can
// be determined.
std::string DefaultConfigPath();

}  // namespace quorvel
