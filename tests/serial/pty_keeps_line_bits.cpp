// Linux pseudo-terminals hold only 8 data bits without parity: current
// kernels refuse anything else with EINVAL, older ones quietly keep 8N. A
// test can then neither open a pty with 7E2 nor read 7E2 back. Linked into a
// test, this file puts its own tcsetattr and tcgetattr in front of the C
// library's (for the Qt libraries too; the executable exports them): a
// pseudo-terminal slave is given 8N in place of the character size and parity
// asked for, and reports back what was asked for, the way a UART would. Every
// other bit, every other device and every other call reach the driver
// unchanged.

#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>

#include <map>
#include <mutex>
#include <optional>

namespace {

constexpr tcflag_t kPtyBits = CSIZE | PARENB;  // what a pty does not keep

std::mutex kept_mutex;

// Per pty slave, the character size and parity last asked for.
std::map<dev_t, tcflag_t>& Kept() {
  static std::map<dev_t, tcflag_t> kept;
  return kept;
}

// The device of `fd` when it is a Unix 98 pty slave (majors 136 to 143).
std::optional<dev_t> PtySlaveOf(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return std::nullopt;
  if (major(st.st_rdev) < 136 || major(st.st_rdev) > 143) return std::nullopt;
  return st.st_rdev;
}

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int tcsetattr(int fd, int optional_actions, const termios* tio) {
  static const auto real = Next<int (*)(int, int, const termios*)>("tcsetattr");
  const std::optional<dev_t> pty = PtySlaveOf(fd);
  if (!pty || tio == nullptr) return real(fd, optional_actions, tio);
  termios held = *tio;
  held.c_cflag = (held.c_cflag & ~kPtyBits) | CS8;
  const int result = real(fd, optional_actions, &held);
  if (result == 0) {
    const std::lock_guard lock(kept_mutex);
    Kept()[*pty] = tio->c_cflag & kPtyBits;
  }
  return result;
}

extern "C" int tcgetattr(int fd, termios* tio) {
  static const auto real = Next<int (*)(int, termios*)>("tcgetattr");
  const int result = real(fd, tio);
  const std::optional<dev_t> pty = PtySlaveOf(fd);
  if (result != 0 || !pty) return result;
  const std::lock_guard lock(kept_mutex);
  const auto found = Kept().find(*pty);
  if (found != Kept().end()) tio->c_cflag = (tio->c_cflag & ~kPtyBits) | found->second;
  return result;
}
