// The receive path's load on the log: "XX " appended one piece at a time in
// the receive style, all in one line, with a scroll to the end after each,
// the view shown and repainting. Then a log of a million lines scrolled to
// its end and painted, and the same receive load on a QTextEdit for
// comparison.
//
// Run on demand: bench_log_view [appends, default 10000000] [QTextEdit seconds, default 20]
// (QT_QPA_PLATFORM=offscreen works; the figures are printed.)

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "log/log_view.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kEventEvery = 4096;  // appends between two turns of the event loop
constexpr int kWidth = 583;        // the log's size in the main window
constexpr int kHeight = 379;

quorvel::TextStyle RxStyle() {
  quorvel::TextStyle style;
  style.size_pt = 11;
  style.colour = 0xFF0000;
  return style;
}

// Peak resident memory of the process in bytes.
long long PeakRss() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
  }
  return 0;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Run {
  long long appends = 0;
  double seconds = 0;
  double slowest_append_ms = 0;
  double slowest_events_ms = 0;
};

std::string HexPiece(long long i) {
  static const char kDigits[] = "0123456789ABCDEF";
  return {kDigits[(i >> 4) & 0xF], kDigits[i & 0xF], ' '};
}

Run ReceiveIntoLogView(quorvel::LogView& view, long long appends) {
  const quorvel::TextStyle rx = RxStyle();
  Run run;
  const auto start = Clock::now();
  for (long long i = 0; i < appends; ++i) {
    const std::string piece = HexPiece(i);
    const auto before = Clock::now();
    view.LogSetStyle(rx);
    view.LogAppend(piece);
    view.LogScrollToEnd();
    run.slowest_append_ms = std::max(run.slowest_append_ms, Ms(Clock::now() - before));
    if (i % kEventEvery == kEventEvery - 1) {
      const auto events = Clock::now();
      QCoreApplication::processEvents();
      run.slowest_events_ms = std::max(run.slowest_events_ms, Ms(Clock::now() - events));
    }
  }
  run.appends = appends;
  run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return run;
}

Run ReceiveIntoTextEdit(QTextEdit& edit, double limit_seconds) {
  QTextCharFormat format;
  format.setFont(QFont(QStringLiteral("Noto Sans Mono CJK SC"), 11));
  format.setForeground(QColor(0, 0, 255));
  QTextCursor cursor(edit.document());
  cursor.movePosition(QTextCursor::End);
  Run run;
  const auto start = Clock::now();
  auto last_events = start;
  for (long long i = 0;; ++i) {
    const auto before = Clock::now();
    if (std::chrono::duration<double>(before - start).count() >= limit_seconds) break;
    cursor.setCharFormat(format);
    cursor.insertText(QString::fromLatin1(HexPiece(i).c_str()));
    edit.verticalScrollBar()->setValue(edit.verticalScrollBar()->maximum());
    const auto after = Clock::now();
    run.slowest_append_ms = std::max(run.slowest_append_ms, Ms(after - before));
    ++run.appends;
    if (run.appends % kEventEvery == 0 || after - last_events > std::chrono::milliseconds(16)) {
      QCoreApplication::processEvents();
      last_events = Clock::now();
      run.slowest_events_ms = std::max(run.slowest_events_ms, Ms(last_events - after));
    }
  }
  run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return run;
}

void Print(const char* name, const Run& run) {
  std::printf("%-10s %lld appends in %.2f s = %.0f appends/s; slowest append %.3f ms, slowest event-loop turn "
              "(repaints) %.3f ms\n",
              name, run.appends, run.seconds, run.appends / run.seconds, run.slowest_append_ms,
              run.slowest_events_ms);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const long long appends = argc > 1 ? std::atoll(argv[1]) : 10'000'000;
  const double baseline_seconds = argc > 2 ? std::atof(argv[2]) : 20.0;

  // 1. The receive load, one line of 3 * appends characters.
  Run ours;
  {
    quorvel::LogView view;
    view.resize(kWidth, kHeight);
    view.show();
    QCoreApplication::processEvents();
    const long long rss_before = PeakRss();
    ours = ReceiveIntoLogView(view, appends);
    const long long rss_after = PeakRss();
    QCoreApplication::processEvents();
    const auto paint_start = Clock::now();
    view.viewport()->grab();
    const double paint_ms = Ms(Clock::now() - paint_start);
    Print("LogView", ours);
    const double chars = 3.0 * static_cast<double>(appends);
    std::printf("LogView    %.0f characters, %d scroll-bar rows; peak memory grew by %.1f MB = %.3f bytes per "
                "character; painting a frame at the end %.3f ms\n",
                chars, view.verticalScrollBar()->maximum(), (rss_after - rss_before) / 1e6,
                static_cast<double>(rss_after - rss_before) / chars, paint_ms);

    // 1b. A narrower window: only what is on screen is wrapped at once.
    const auto resize_start = Clock::now();
    view.resize(kWidth - 200, kHeight);
    QCoreApplication::processEvents();
    view.viewport()->grab();
    std::printf("LogView    narrowing the view of %.0f characters to %d pixels and painting a frame %.3f ms\n", chars,
                view.viewport()->width(), Ms(Clock::now() - resize_start));

    // 1c. The user clicked into the middle of that line: writes go there.
    const qint64 middle = static_cast<qint64>(chars / 2);
    view.Select(middle, middle);
    Print("middle", ReceiveIntoLogView(view, std::min<long long>(appends, 1'000'000)));
  }

  // 2. A million lines: scroll from the top to the end and paint one frame.
  {
    quorvel::LogView view;
    view.resize(kWidth, kHeight);
    view.show();
    QCoreApplication::processEvents();
    const quorvel::TextStyle rx = RxStyle();
    for (int line = 0; line < 1'000'000; ++line) view.LogAppend("01 03 10 00 00 25 D1 80\r\n", rx);
    view.verticalScrollBar()->setValue(0);
    view.viewport()->grab();
    // grab() paints into a new pixmap: an upper bound for one frame.
    const auto start = Clock::now();
    view.LogScrollToEnd();
    view.viewport()->grab();
    std::printf("LogView    1000000 lines: scroll to the end and paint one frame %.3f ms (scroll bar %d of %d)\n",
                Ms(Clock::now() - start), view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
  }

  // 3. The same receive load on QTextEdit, for a limited time.
  if (baseline_seconds > 0) {
    QTextEdit edit;
    edit.setLineWrapMode(QTextEdit::WidgetWidth);
    edit.resize(kWidth, kHeight);
    edit.show();
    QCoreApplication::processEvents();
    const Run baseline = ReceiveIntoTextEdit(edit, baseline_seconds);
    Print("QTextEdit", baseline);
    std::printf("ratio      LogView / QTextEdit = %.0f times the appends per second\n",
                (ours.appends / ours.seconds) / (baseline.appends / baseline.seconds));
  }
  return 0;
}
