#include "serial/device_loss.h"

namespace quorvel {

bool DeviceLossDetector::Note(Report report) {
  if (gone_) return false;
  switch (report) {
    case Report::kData:
      read_errors_in_row_ = 0;
      return false;
    case Report::kResourceError:
      gone_ = true;
      return true;
    case Report::kReadError:
      gone_ = ++read_errors_in_row_ >= kReadErrorsMeaningLoss;
      return gone_;
    case Report::kOtherError:
      return false;
  }
  return false;
}

void DeviceLossDetector::Reset() {
  read_errors_in_row_ = 0;
  gone_ = false;
}

}  // namespace quorvel
