// The whole receive pipeline under load: a pseudo-terminal pinned as COM1,
// the serial adapter, the receive decoder, the log view and the main window,
// shown. A thread writes to the terminal's far end as fast as it takes
// bytes; the figures are the sustained rate, the worst stall of the event
// loop (the largest gap a 5 ms timer sees), the peak memory per received byte
// and the bytes lost, found by comparing the log's whole text with what was
// sent.
//
// Run on demand: bench_receive [megabytes per run, default 50]
// (QT_QPA_PLATFORM=offscreen is used when no platform is set.)
//   1. hexadecimal display without line wrap: the log must be "%02X " of
//      every byte sent;
//   2. GBK text in text display: the log must be the text, its LF line
//      breaks read back as CR LF.

#include <fcntl.h>
#include <malloc.h>
#include <pty.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "log/log_view.h"
#include "platform/gbk_codec.h"

namespace {

// A kernel figure of the process, in bytes ("VmHWM:" peak, "VmRSS:" now).
long long StatusBytes(const char* field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(field)) {
      return line.mid(static_cast<int>(qstrlen(field))).trimmed().split(' ').first().toLongLong() * 1024;
    }
  }
  return 0;
}

// Lets the next VmHWM start from the present resident size.
void ResetPeak() {
  QFile refs(QStringLiteral("/proc/self/clear_refs"));
  if (refs.open(QIODevice::WriteOnly)) refs.write("5");
}

std::string RandomBytes(std::size_t size) {
  std::mt19937 random(12345);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

// GBK text: ASCII and Chinese characters, a line break about every 60 bytes.
std::string GbkText(std::size_t size) {
  const std::string chinese = quorvel::ToGbk(QStringLiteral("串口调试接收数据帧校验温度通道模块地址读写寄存器"));
  const std::string ascii = "0123456789 ABCDEF abcdef,.;:=+-*/()[]";
  std::mt19937 random(54321);
  std::string text;
  text.reserve(size + 2);
  std::size_t line = 0;
  while (text.size() < size) {
    if (line >= 60 && random() % 8 == 0) {
      text += '\n';
      line = 0;
    } else if (random() % 2 == 0) {
      const std::size_t i = (random() % (chinese.size() / 2)) * 2;
      text.append(chinese, i, 2);
      line += 2;
    } else {
      text += ascii[random() % ascii.size()];
      ++line;
    }
  }
  return text;  // may end one byte past `size`, with a whole character
}

struct Figures {
  double seconds = 0;
  double worst_gap_ms = 0;
  long long peak_bytes = 0;  // above the resident size at the start
  long long received = 0;
  long long lost = 0;        // bytes sent that the log does not show as sent
};

class Bench {
 public:
  Bench() {
    QDir(dir_.path()).mkdir(QStringLiteral("ports"));
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
      std::fprintf(stderr, "openpty failed\n");
      std::exit(1);
    }
    QFile::link(QString::fromLocal8Bit(name), dir_.filePath(QStringLiteral("ports/COM1")));
  }
  ~Bench() {
    ::close(master_);
    ::close(slave_);
  }

  Figures Run(const std::string& sent, bool text_display) {
    Figures figures;
    // Memory the previous run freed goes back to the system, so that this
    // run's peak counts what it uses itself.
    malloc_trim(0);
    ResetPeak();
    const long long rss_before = StatusBytes("VmRSS:");
    {
      quorvel::MainWindow window(dir_.filePath(QStringLiteral("peizhi.ini")).toStdString());
      window.show();
      if (text_display) window.findChild<QRadioButton*>(QStringLiteral("单选框_ASCII显示"))->click();
      window.findChild<QPushButton*>(QStringLiteral("按钮_打开串口"))->click();
      if (!window.PortLink().PortIsOpen()) {
        std::fprintf(stderr, "COM1 did not open\n");
        std::exit(1);
      }
      QApplication::processEvents();

      const auto total = static_cast<long long>(sent.size());
      QElapsedTimer since_tick;
      QTimer ticker;
      ticker.setTimerType(Qt::PreciseTimer);
      QObject::connect(&ticker, &QTimer::timeout, [&] {
        figures.worst_gap_ms = std::max(figures.worst_gap_ms, since_tick.nsecsElapsed() / 1e6);
        since_tick.restart();
      });
      QEventLoop loop;
      QTimer done;
      QObject::connect(&done, &QTimer::timeout, [&] {
        if (window.State().counters.RxCount() >= total) loop.quit();
      });

      QElapsedTimer clock;
      clock.start();
      since_tick.start();
      ticker.start(5);
      done.start(20);
      std::thread writer([this, &sent] {
        std::size_t at = 0;
        while (at < sent.size()) {
          const ssize_t written = ::write(master_, sent.data() + at, std::min<std::size_t>(65536, sent.size() - at));
          if (written > 0) at += static_cast<std::size_t>(written);
        }
      });
      loop.exec();
      figures.seconds = clock.nsecsElapsed() / 1e9;
      ticker.stop();
      writer.join();

      figures.received = window.State().counters.RxCount();
      // Before the log's text is copied out for the comparison.
      figures.peak_bytes = StatusBytes("VmHWM:") - rss_before;
      const std::string log = window.findChild<quorvel::LogView*>(QStringLiteral("超级编辑框1"))->WholeText();
      figures.lost = text_display ? LostInText(sent, log) : LostInHex(sent, log);
    }
    return figures;
  }

 private:
  // The bytes whose "%02X " group is missing or wrong.
  static long long LostInHex(const std::string& sent, const std::string& log) {
    static const char kDigits[] = "0123456789ABCDEF";
    long long lost = 0;
    for (std::size_t i = 0; i < sent.size(); ++i) {
      const auto byte = static_cast<unsigned char>(sent[i]);
      const std::size_t at = i * 3;
      if (at + 3 > log.size() || log[at] != kDigits[byte >> 4] || log[at + 1] != kDigits[byte & 0xF] ||
          log[at + 2] != ' ') {
        ++lost;
      }
    }
    if (log.size() != sent.size() * 3) {
      std::printf("  log holds %zu bytes, expected %zu\n", log.size(), sent.size() * 3);
    }
    return lost;
  }

  // The bytes of the text not read back in place (LF as CR LF).
  static long long LostInText(const std::string& sent, const std::string& log) {
    std::string expected;
    expected.reserve(sent.size() + sent.size() / 30);
    for (char c : sent) {
      if (c == '\n') expected += '\r';
      expected += c;
    }
    if (expected == log) return 0;
    const auto mismatch = std::mismatch(expected.begin(), expected.end(), log.begin(), log.end());
    std::printf("  log differs from byte %td on (log %zu bytes, expected %zu)\n", mismatch.first - expected.begin(),
                log.size(), expected.size());
    return static_cast<long long>(expected.end() - mismatch.first);
  }

  QTemporaryDir dir_;
  int master_ = -1;
  int slave_ = -1;
};

void Report(const char* name, const Figures& f) {
  const double megabytes = f.received / 1e6;
  std::printf("%s\n", name);
  std::printf("  received         %lld bytes in %.2f s\n", f.received, f.seconds);
  std::printf("  sustained rate   %.2f MB/s\n", megabytes / f.seconds);
  std::printf("  worst stall      %.1f ms (largest gap between 5 ms timer ticks)\n", f.worst_gap_ms);
  std::printf("  peak memory      %.1f MB, %.2f bytes per received byte\n", f.peak_bytes / 1e6,
              f.received > 0 ? static_cast<double>(f.peak_bytes) / f.received : 0.0);
  std::printf("  bytes lost       %lld\n", f.lost);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 50;
  const auto size = static_cast<std::size_t>(megabytes * 1e6);

  Bench bench;
  {
    const std::string bytes = RandomBytes(size);
    Report("hexadecimal display, no line wrap", bench.Run(bytes, false));
  }
  {
    const std::string text = GbkText(size);
    Report("GBK text in text display", bench.Run(text, true));
  }
  return 0;
}
