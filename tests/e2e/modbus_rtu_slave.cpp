// A Modbus RTU device for the whole-program tests: slave 1 on a serial line
// at 9600 baud, 8 data bits, no parity, one stop bit, with the 37 holding
// registers 0x1000..0x1024 that the program's polling frames read. Register
// 0x1000 + k holds k * 0x0101, so the data bytes of a full read are
// 00 00 01 01 02 02 ... 24 24.
//
//   modbus_rtu_slave TTY [REQUESTS]
//
// Prints "ready" once the line is open, then answers until killed, until it
// has answered REQUESTS requests (when given), or until the line goes away.
// Frames with a wrong CRC or for another slave get no answer and do not
// count. Exit status: 0 after REQUESTS answers or on SIGTERM or SIGINT,
// 1 for bad arguments or a line that cannot be opened, 2 when the line goes away.

#include <modbus.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kSlaveId = 1;
constexpr int kFirstRegister = 0x1000;
constexpr int kRegisterCount = 37;

// libmodbus resumes its wait for a request after a signal, so a stop request
// ends the process right in the handler; the kernel closes the line.
void Stop(int) { _exit(0); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s TTY [REQUESTS]\n", argv[0]);
    return 1;
  }
  long requests_left = -1;
  if (argc == 3) {
    char* end = nullptr;
    requests_left = std::strtol(argv[2], &end, 10);
    if (*end != '\0' || requests_left < 1) {
      std::fprintf(stderr, "REQUESTS must be a positive number\n");
      return 1;
    }
  }

  std::signal(SIGTERM, Stop);
  std::signal(SIGINT, Stop);

  modbus_t* ctx = modbus_new_rtu(argv[1], 9600, 'N', 8, 1);
  modbus_mapping_t* map = modbus_mapping_new_start_address(0, 0, 0, 0, kFirstRegister, kRegisterCount, 0, 0);
  if (ctx == nullptr || map == nullptr) {
    std::fprintf(stderr, "out of memory\n");
    return 1;
  }
  for (int k = 0; k < kRegisterCount; ++k) map->tab_registers[k] = static_cast<uint16_t>(k * 0x0101);
  modbus_set_slave(ctx, kSlaveId);
  if (modbus_connect(ctx) == -1) {
    std::fprintf(stderr, "cannot open %s: %s\n", argv[1], modbus_strerror(errno));
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);

  int status = 0;
  uint8_t request[MODBUS_RTU_MAX_ADU_LENGTH];
  while (requests_left != 0) {
    const int length = modbus_receive(ctx, request);
    if (length > 0) {
      modbus_reply(ctx, request, length, map);
      if (requests_left > 0) --requests_left;
    } else if (length == -1 && errno != EMBBADCRC && errno != EMBBADDATA && errno != ETIMEDOUT &&
               errno != EINTR) {
      // The far end of the line has gone (a hung-up pseudo-terminal reads as
      // end of file, which libmodbus reports as ECONNRESET).
      std::fprintf(stderr, "line lost: %s\n", modbus_strerror(errno));
      status = 2;
      break;
    }
  }

  modbus_close(ctx);
  modbus_mapping_free(map);
  modbus_free(ctx);
  return status;
}
