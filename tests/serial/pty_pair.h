#pragma once

// Pseudo-terminal pairs for the serial tests: the adapter opens the slave
// side by its path, the test keeps the master side and plays the device.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <string>
#include <string_view>

namespace quorvel::test {

class PtyPair {
 public:
  PtyPair() {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
      slave_path_ = QString::fromLocal8Bit(name);
      fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
  }
  ~PtyPair() {
    CloseSlave();
    CloseMaster();
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool IsValid() const { return master_ >= 0; }
  const QString& SlavePath() const { return slave_path_; }
  int Master() const { return master_; }
  // The test's own descriptor of the slave side, for tcgetattr and poll.
  int Slave() const { return slave_; }

  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }
  void CloseSlave() {
    if (slave_ >= 0) ::close(slave_);
    slave_ = -1;
  }

  // Writes all of `bytes` to the master side, waiting for room as needed.
  bool WriteMaster(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t written = ::write(master_, bytes.data(), bytes.size());
      if (written > 0) {
        bytes.remove_prefix(static_cast<std::size_t>(written));
      } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
        return false;
      } else {
        pollfd fd{master_, POLLOUT, 0};
        ::poll(&fd, 1, 100);
      }
    }
    return true;
  }

  // Reads what arrives on the master side until `count` bytes have come or
  // the timeout has run out, handling events meanwhile so that the adapter's
  // queued writes go out.
  std::string ReadMaster(std::size_t count, int timeout_ms) {
    std::string out;
    QDeadlineTimer deadline(timeout_ms);
    char buffer[4096];
    while (out.size() < count && !deadline.hasExpired()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      pollfd fd{master_, POLLIN, 0};
      if (::poll(&fd, 1, 10) <= 0) continue;
      const ssize_t got = ::read(master_, buffer, sizeof buffer);
      if (got > 0) out.append(buffer, static_cast<std::size_t>(got));
    }
    return out;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  QString slave_path_;
};

// Two pseudo-terminals joined by socat, reachable through the links `a` and
// `b`. Ending socat hangs up both and removes the links.
class SocatPair {
 public:
  SocatPair(const QString& link_a, const QString& link_b) : link_a_(link_a), link_b_(link_b) {
    const QString socat = QStandardPaths::findExecutable(QStringLiteral("socat"));
    if (socat.isEmpty()) return;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(socat, {QStringLiteral("pty,raw,echo=0,link=") + link_a,
                           QStringLiteral("pty,raw,echo=0,link=") + link_b});
    if (!process_.waitForStarted(10000)) return;
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && process_.state() == QProcess::Running &&
           !(QFile::exists(link_a) && QFile::exists(link_b))) {
      process_.waitForFinished(20);
    }
  }
  ~SocatPair() { Stop(); }
  SocatPair(const SocatPair&) = delete;
  SocatPair& operator=(const SocatPair&) = delete;

  bool IsRunning() const {
    return process_.state() == QProcess::Running && QFile::exists(link_a_) && QFile::exists(link_b_);
  }

  void Stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
      process_.kill();
      process_.waitForFinished(5000);
    }
  }

 private:
  QString link_a_;
  QString link_b_;
  QProcess process_;
};

}  // namespace quorvel::test
