#pragma once

// Tells from what an open port reports whether its device has gone away (a
// USB adapter pulled out, the far end of a pseudo-terminal closed).
//
// A resource error means the device is gone. A read error alone may be a
// passing fault, but a device that has gone keeps reporting read errors
// without ever delivering data (Qt reports a hung-up pseudo-terminal this way,
// hundreds of thousands of times a second), so a run of them counts as gone.

namespace quorvel {

class DeviceLossDetector {
 public:
  enum class Report {
    kData,           // bytes were read
    kResourceError,  // the driver says the device is unavailable
    kReadError,      // a read failed
    kOtherError,     // anything else: a refused setting, a failed write, a timeout
  };

  // Read errors in a row, with no data between them, that mean the device is
  // gone.
  static constexpr int kReadErrorsMeaningLoss = 8;

  // Takes one report. True exactly once: for the report that shows the device
  // gone; every later report gives false until Reset.
  bool Note(Report report);

  bool Gone() const { return gone_; }

  // Starts afresh, for a newly opened device.
  void Reset();

 private:
  int read_errors_in_row_ = 0;
  bool gone_ = false;
};

}  // namespace quorvel
