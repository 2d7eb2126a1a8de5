#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

#include "app/settings_store.h"
#include "gbk_literal.h"

using namespace std::string_literals;
using quorvel::SettingsStore;
using quorvel::test::G;

namespace {

std::string ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void WriteBytes(const QString& path, const std::string& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
}

// Sets or unsets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<QByteArray> value) : name_(name) {
    if (qEnvironmentVariableIsSet(name)) old_ = qgetenv(name);
    if (value) {
      qputenv(name, *value);
    } else {
      qunsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      qputenv(name_, *old_);
    } else {
      qunsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<QByteArray> old_;
};

enum class WriteFailure { kReadOnlyFolder, kFileSizeLimit, kLineBreakInValue };

}  // namespace

Q_DECLARE_METATYPE(std::optional<QByteArray>)
Q_DECLARE_METATYPE(WriteFailure)

class TestSettingsStore : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void roundTrip_data();
  void roundTrip();
  void fileGrowsBySectionAndKey();
  void createsFileAndFolder();
  void defaults_data();
  void defaults();
  void leadingBlanksSkippedOnReadOnly();
  void valueCutOnRead_data();
  void valueCutOnRead();
  void readsForeignFiles_data();
  void readsForeignFiles();
  void rewriteKeepsOtherLines_data();
  void rewriteKeepsOtherLines();
  void readsEveryCallAfresh();
  void failedWriteKeepsOldFile_data();
  void failedWriteKeepsOldFile();
  void defaultConfigPath_data();
  void defaultConfigPath();

 private:
  std::optional<QTemporaryDir> dir_;
  QString path_;
  SettingsStore store_;
};

void TestSettingsStore::init() {
  dir_.emplace();
  QVERIFY(dir_->isValid());
  path_ = dir_->filePath(QStringLiteral("peizhi.ini"));
  store_.SetConfigPath(QFile::encodeName(path_).toStdString());
}

void TestSettingsStore::cleanup() {
  QFile::setPermissions(dir_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  dir_.reset();
}

void TestSettingsStore::roundTrip_data() {
  QTest::addColumn<std::string>("section");
  QTest::addColumn<std::string>("key");
  QTest::addColumn<std::string>("value");

  QTest::addRow("index value") << G(u8"端口") << G(u8"波特率") << std::string("5");
  QTest::addRow("empty value") << G(u8"自动换行") << G(u8"间隔毫秒") << std::string();
  QTest::addRow("chinese value") << std::string("MoKuai") << G(u8"地址起") << G(u8"甲型模块");
  QTest::addRow("blanks at both ends") << std::string("MoKuai") << G(u8"地址终") << std::string(" 2 5 1\t");
  QTest::addRow("value in quotes") << std::string("MoKuai") << G(u8"地址终") << std::string("\"251\"");
  QTest::addRow("equals sign and semicolon") << std::string("MoKuai") << G(u8"地址终") << std::string("a=b;c");
  // Second bytes 0x5D "]" and 0x5B "[" must not end or start a section name.
  QTest::addRow("brackets as second bytes") << std::string("\xB0\x5D\xB0\x5B") << std::string("\xB0\x3D")
                                            << std::string("\xB0\x5D");
}

void TestSettingsStore::roundTrip() {
  QFETCH(std::string, section);
  QFETCH(std::string, key);
  QFETCH(std::string, value);
  QVERIFY(store_.WriteSetting(G(u8"端口"), "com", "3"));
  QVERIFY(store_.WriteSetting(section, key, value));
  QCOMPARE(store_.ReadSetting(section, key, "default"), value);
  QCOMPARE(store_.ReadSetting(G(u8"端口"), "com", "default"), std::string("3"));
}

void TestSettingsStore::fileGrowsBySectionAndKey() {
  QVERIFY(store_.WriteSetting(G(u8"端口"), "com", "1"));
  QVERIFY(store_.WriteSetting("MoKuai", G(u8"毫秒"), "3"));
  QVERIFY(store_.WriteSetting(G(u8"端口"), G(u8"波特率"), "5"));
  QVERIFY(store_.WriteSetting(G(u8"端口"), "com", "29"));
  QVERIFY(store_.WriteSetting(G(u8"自动换行"), G(u8"间隔毫秒"), ""));
  QCOMPARE(ReadBytes(path_), G(u8"[端口]\r\ncom=29\r\n波特率=5\r\n[MoKuai]\r\n毫秒=3\r\n[自动换行]\r\n间隔毫秒=\r\n"));
}

void TestSettingsStore::createsFileAndFolder() {
  const QString nested = dir_->filePath(QStringLiteral("a/b/peizhi.ini"));
  const SettingsStore store(QFile::encodeName(nested).toStdString());
  QVERIFY(store.WriteSetting(G(u8"自动换行"), G(u8"间隔毫秒"), "50"));
  QCOMPARE(ReadBytes(nested), G(u8"[自动换行]\r\n间隔毫秒=50\r\n"));
  QCOMPARE(QDir(dir_->filePath(QStringLiteral("a/b"))).entryList(QDir::Files), QStringList{"peizhi.ini"});
}

void TestSettingsStore::defaults_data() {
  QTest::addColumn<std::optional<std::string>>("file");
  QTest::addColumn<std::string>("section");
  QTest::addColumn<std::string>("key");
  QTest::addColumn<std::string>("default_value");
  QTest::addColumn<std::string>("expected");

  const std::string file = G(u8"[端口]\r\ncom=7\r\n波特率=\r\n[MoKuai]\r\n毫秒=3\r\n");
  QTest::addRow("missing file") << std::optional<std::string>() << G(u8"端口") << "com"s << "0"s << "0"s;
  QTest::addRow("empty file") << std::optional<std::string>("") << G(u8"端口") << "com"s << "0"s << "0"s;
  QTest::addRow("missing section") << std::optional(file) << G(u8"自动换行") << G(u8"间隔毫秒") << "50"s << "50"s;
  QTest::addRow("missing key") << std::optional(file) << G(u8"端口") << G(u8"校验位") << "0"s << "0"s;
  QTest::addRow("empty default") << std::optional(file) << G(u8"端口") << G(u8"校验位") << ""s << ""s;
  QTest::addRow("stored key") << std::optional(file) << G(u8"端口") << "com"s << "0"s << "7"s;
  QTest::addRow("stored empty value beats default") << std::optional(file) << G(u8"端口") << G(u8"波特率") << "5"s
                                                    << ""s;
  QTest::addRow("key of another section") << std::optional(file) << "MoKuai"s << "com"s << "0"s << "0"s;
}

void TestSettingsStore::defaults() {
  QFETCH(std::optional<std::string>, file);
  QFETCH(std::string, section);
  QFETCH(std::string, key);
  QFETCH(std::string, default_value);
  QFETCH(std::string, expected);
  if (file) WriteBytes(path_, *file);
  QCOMPARE(store_.ReadSetting(section, key, default_value), expected);
}

void TestSettingsStore::leadingBlanksSkippedOnReadOnly() {
  QVERIFY(store_.WriteSetting(" \t" + G(u8"端口"), "\x01" "com", "4"));
  // Written as given...
  QCOMPARE(ReadBytes(path_), "[ \t" + G(u8"端口]") + "\r\n\x01" "com=4\r\n");
  // ...and found by the names without their leading blanks.
  QCOMPARE(store_.ReadSetting(G(u8"端口"), "com", "0"), std::string("4"));
  QCOMPARE(store_.ReadSetting("\r\n" + G(u8"端口"), " com", "0"), std::string("4"));
  const SettingsStore padded_path("  " + store_.ConfigPath());
  QCOMPARE(padded_path.ReadSetting(G(u8"端口"), "com", "0"), std::string("4"));

  // Nothing left after skipping: the empty text, not the default.
  QCOMPARE(store_.ReadSetting(" \t", "com", "0"), std::string());
  QCOMPARE(store_.ReadSetting(G(u8"端口"), "\x1F ", "0"), std::string());
  QCOMPARE(SettingsStore(" ").ReadSetting(G(u8"端口"), "com", "0"), std::string());
}

void TestSettingsStore::valueCutOnRead_data() {
  QTest::addColumn<int>("stored_length");
  QTest::addColumn<int>("read_length");
  QTest::addRow("just fits") << 10239 << 10239;
  QTest::addRow("one byte over") << 10240 << 10239;
  QTest::addRow("far over") << 50000 << 10239;
}

void TestSettingsStore::valueCutOnRead() {
  QFETCH(int, stored_length);
  QFETCH(int, read_length);
  std::string value;
  for (int i = 0; i < stored_length; ++i) value.push_back(static_cast<char>('0' + i % 10));
  QVERIFY(store_.WriteSetting("MoKuai", G(u8"地址起"), value));
  QCOMPARE(store_.ReadSetting("MoKuai", G(u8"地址起"), "0"), value.substr(0, static_cast<std::size_t>(read_length)));
  // The file keeps the whole value.
  QVERIFY(ReadBytes(path_).find(value + "\r\n") != std::string::npos);
}

void TestSettingsStore::readsForeignFiles_data() {
  QTest::addColumn<std::string>("file");
  QTest::addColumn<std::string>("section");
  QTest::addColumn<std::string>("key");
  QTest::addColumn<std::string>("expected");

  const std::string port = G(u8"端口");
  QTest::addRow("LF lines") << G(u8"[MoKuai]\n毫秒=1\n[端口]\ncom=7\n") << port << "com"s << "7"s;
  QTest::addRow("blanks around equals") << G(u8"[端口]\r\ncom = 7 \r\n") << port << "com"s << "7"s;
  QTest::addRow("tabs and indentation") << G(u8"  [ 端口 ]\r\n\tcom\t=\t7\r\n") << port << "com"s << "7"s;
  QTest::addRow("comment lines") << G(u8"; com=1\r\n[端口]\r\n;com=2\r\ncom=7\r\n") << port << "com"s << "7"s;
  QTest::addRow("commented key only") << G(u8"[端口]\r\n;com=2\r\n") << port << "com"s << "none"s;
  QTest::addRow("blank lines") << G(u8"\r\n[端口]\r\n\r\n  \r\ncom=7\r\n\r\n") << port << "com"s << "7"s;
  QTest::addRow("no final line break") << G(u8"[端口]\r\ncom=7") << port << "com"s << "7"s;
  QTest::addRow("utf-8 byte-order mark") << "\xEF\xBB\xBF[MoKuai]\r\nleixing=7\r\n"s << "MoKuai"s << "leixing"s << "7"s;
  QTest::addRow("section in other case") << G(u8"[MOKUAI]\r\n毫秒=7\r\n") << "MoKuai"s << G(u8"毫秒") << "7"s;
  QTest::addRow("key in other case") << G(u8"[端口]\r\nCoM=7\r\n") << port << "com"s << "7"s;
  // B0 61 and B0 41 are two different characters, not two cases of one.
  QTest::addRow("second bytes compare exactly") << "[A\xB0\x61]\r\ncom=7\r\n"s << "a\xB0\x41"s << "com"s << "none"s;
  QTest::addRow("duplicated key") << G(u8"[端口]\r\ncom=7\r\ncom=8\r\n") << port << "com"s << "7"s;
  QTest::addRow("duplicated section") << G(u8"[端口]\r\ncom=7\r\n[端口]\r\ncom=8\r\n") << port << "com"s << "7"s;
  QTest::addRow("same key in two sections") << G(u8"[MoKuai]\r\ncom=1\r\n[端口]\r\ncom=7\r\n") << port << "com"s
                                            << "7"s;
  QTest::addRow("key before any section") << G(u8"com=1\r\n[端口]\r\n") << port << "com"s << "none"s;
  QTest::addRow("quoted value") << G(u8"[端口]\r\ncom=\" 7 \"\r\n") << port << "com"s << " 7 "s;
  QTest::addRow("line without equals skipped") << G(u8"[端口]\r\ngarbage\r\ncom=7\r\n") << port << "com"s << "7"s;
}

void TestSettingsStore::readsForeignFiles() {
  QFETCH(std::string, file);
  QFETCH(std::string, section);
  QFETCH(std::string, key);
  QFETCH(std::string, expected);
  WriteBytes(path_, file);
  QCOMPARE(store_.ReadSetting(section, key, "none"), expected);
}

void TestSettingsStore::rewriteKeepsOtherLines_data() {
  QTest::addColumn<std::string>("file");
  QTest::addColumn<std::string>("section");
  QTest::addColumn<std::string>("key");
  QTest::addColumn<std::string>("value");
  QTest::addColumn<std::string>("expected");

  const std::string port = G(u8"端口");
  QTest::addRow("replace in LF file") << G(u8"; top\n[端口]\n  com = 1\n\n[MoKuai]\n毫秒=3") << port << "com"s << "4"s
                                      << G(u8"; top\n[端口]\ncom=4\r\n\n[MoKuai]\n毫秒=3");
  QTest::addRow("new key before gap and comment")
      << G(u8"[端口]\r\ncom=1\r\n\r\n; next\r\n[MoKuai]\r\n毫秒=3\r\n") << port << G(u8"波特率") << "5"s
      << G(u8"[端口]\r\ncom=1\r\n波特率=5\r\n\r\n; next\r\n[MoKuai]\r\n毫秒=3\r\n");
  QTest::addRow("new key in header-only section") << G(u8"[端口]\r\n[MoKuai]\r\n") << port << "com"s << "0"s
                                                  << G(u8"[端口]\r\ncom=0\r\n[MoKuai]\r\n");
  QTest::addRow("new key after last line without break") << G(u8"[端口]\r\ncom=1") << port << G(u8"波特率") << "5"s
                                                         << G(u8"[端口]\r\ncom=1\r\n波特率=5\r\n");
  QTest::addRow("new section after last line without break")
      << G(u8"[端口]\r\ncom=1") << "MoKuai"s << G(u8"毫秒") << "3"s << G(u8"[端口]\r\ncom=1\r\n[MoKuai]\r\n毫秒=3\r\n");
  QTest::addRow("byte-order mark kept") << "\xEF\xBB\xBF[MoKuai]\r\n"s << "MoKuai"s << "leixing"s << "1"s
                                        << "\xEF\xBB\xBF[MoKuai]\r\nleixing=1\r\n"s;
  QTest::addRow("first duplicate replaced") << G(u8"[端口]\r\ncom=7\r\ncom=8\r\n") << port << "com"s << "2"s
                                            << G(u8"[端口]\r\ncom=2\r\ncom=8\r\n");
  QTest::addRow("key in other case replaced") << G(u8"[端口]\r\nCOM=7\r\n") << port << "com"s << "2"s
                                              << G(u8"[端口]\r\ncom=2\r\n");
  QTest::addRow("unrelated lines kept") << G(u8"[端口]\r\ngarbage\r\ncom=1\r\n[x]\r\na = b ; c\r\n") << port << "com"s
                                        << "2"s << G(u8"[端口]\r\ngarbage\r\ncom=2\r\n[x]\r\na = b ; c\r\n");
}

void TestSettingsStore::rewriteKeepsOtherLines() {
  QFETCH(std::string, file);
  QFETCH(std::string, section);
  QFETCH(std::string, key);
  QFETCH(std::string, value);
  QFETCH(std::string, expected);
  WriteBytes(path_, file);
  QVERIFY(store_.WriteSetting(section, key, value));
  QCOMPARE(ReadBytes(path_), expected);
  QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"peizhi.ini"});
}

void TestSettingsStore::readsEveryCallAfresh() {
  QVERIFY(store_.WriteSetting(G(u8"端口"), "com", "1"));
  QCOMPARE(store_.ReadSetting(G(u8"端口"), "com", "0"), std::string("1"));
  WriteBytes(path_, G(u8"[端口]\r\ncom=2\r\n"));
  QCOMPARE(store_.ReadSetting(G(u8"端口"), "com", "0"), std::string("2"));
  WriteBytes(path_, G(u8"[端口]\r\ncom=3\r\n[MoKuai]\r\n"));
  QVERIFY(store_.WriteSetting("MoKuai", "x", "4"));
  QCOMPARE(ReadBytes(path_), G(u8"[端口]\r\ncom=3\r\n[MoKuai]\r\nx=4\r\n"));
}

void TestSettingsStore::failedWriteKeepsOldFile_data() {
  QTest::addColumn<WriteFailure>("failure");
  QTest::addRow("folder not writable") << WriteFailure::kReadOnlyFolder;
  QTest::addRow("file size limit mid-write") << WriteFailure::kFileSizeLimit;
  QTest::addRow("line break in value") << WriteFailure::kLineBreakInValue;
}

void TestSettingsStore::failedWriteKeepsOldFile() {
  QFETCH(WriteFailure, failure);
  const std::string old_file = G(u8"[端口]\r\ncom=1\r\n[MoKuai]\r\n毫秒=3\r\n");
  WriteBytes(path_, old_file);
  std::string value = "2";
  bool written = true;

  switch (failure) {
    case WriteFailure::kReadOnlyFolder: {
      QVERIFY(QFile::setPermissions(dir_->path(), QFile::ReadOwner | QFile::ExeOwner));
      QFile probe(dir_->filePath(QStringLiteral("probe")));
      if (probe.open(QIODevice::WriteOnly)) {
        probe.close();
        probe.remove();
        QSKIP("this user can write into folders without write permission");
      }
      written = store_.WriteSetting(G(u8"端口"), "com", value);
      break;
    }
    case WriteFailure::kFileSizeLimit: {
#ifdef Q_OS_UNIX
      // Writes past the limit fail (EFBIG) instead of raising SIGXFSZ.
      const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
      rlimit old_limit{};
      QCOMPARE(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
      rlimit limit = old_limit;
      limit.rlim_cur = 64;
      QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
      value = std::string(4096, '7');
      written = store_.WriteSetting(G(u8"端口"), "com", value);
      setrlimit(RLIMIT_FSIZE, &old_limit);
      std::signal(SIGXFSZ, old_handler);
#else
      QSKIP("needs a file size limit");
#endif
      break;
    }
    case WriteFailure::kLineBreakInValue:
      written = store_.WriteSetting(G(u8"端口"), "com", "2\r\n[MoKuai]\r\n" + G(u8"毫秒") + "=9");
      break;
  }

  QVERIFY(!written);
  QCOMPARE(ReadBytes(path_), old_file);
  QCOMPARE(store_.ReadSetting("MoKuai", G(u8"毫秒"), "0"), std::string("3"));
  QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"peizhi.ini"});
}

void TestSettingsStore::defaultConfigPath_data() {
  QTest::addColumn<std::optional<QByteArray>>("xdg_config_home");
  QTest::addColumn<std::optional<QByteArray>>("home");
  QTest::addColumn<QString>("expected_folder");  // relative to the test folder; empty for the bare name

  QTest::addRow("XDG_CONFIG_HOME set") << std::optional<QByteArray>("xdg") << std::optional<QByteArray>("home")
                                       << "xdg/quorvel";
  QTest::addRow("only HOME set") << std::optional<QByteArray>() << std::optional<QByteArray>("home")
                                 << "home/.config/quorvel";
  QTest::addRow("XDG_CONFIG_HOME empty") << std::optional<QByteArray>("") << std::optional<QByteArray>("home")
                                         << "home/.config/quorvel";
  QTest::addRow("XDG_CONFIG_HOME relative") << std::optional<QByteArray>("relative/xdg")
                                            << std::optional<QByteArray>("home") << "home/.config/quorvel";
  QTest::addRow("neither") << std::optional<QByteArray>() << std::optional<QByteArray>() << QString();
}

void TestSettingsStore::defaultConfigPath() {
#ifdef Q_OS_WIN
  QSKIP("the temporary-files folder is used on Windows");
#endif
  QFETCH(std::optional<QByteArray>, xdg_config_home);
  QFETCH(std::optional<QByteArray>, home);
  QFETCH(QString, expected_folder);
  // Table values name folders inside the test folder, except relative ones.
  const auto inside = [this](std::optional<QByteArray> value) {
    if (value && !value->isEmpty() && !value->startsWith("relative")) {
      *value = QFile::encodeName(dir_->filePath(QString::fromUtf8(*value)));
    }
    return value;
  };
  const ScopedEnv xdg("XDG_CONFIG_HOME", inside(xdg_config_home));
  const ScopedEnv home_env("HOME", inside(home));

  const std::string path = quorvel::DefaultConfigPath();
  if (expected_folder.isEmpty()) {
    QCOMPARE(path, std::string("peizhi.ini"));
    return;
  }
  const QString folder = dir_->filePath(expected_folder);
  QCOMPARE(path, QFile::encodeName(folder + QStringLiteral("/peizhi.ini")).toStdString());
  QVERIFY(QFileInfo(folder).isDir());
}

QTEST_APPLESS_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
