#pragma once

// Turns received bytes into log text: two hex digits and a space per byte in
// hex display, the characters themselves in text display (the two bytes of a
// double-byte GBK character joined), and the timed line wrap. Qt-free: the
// main window applies the result to the log, the wrap timer and the counter.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// The receive options as the controls show them while a batch is decoded.
struct ReceiveOptions {
  bool wrap = false;          // 选择框_自动换行 ticked
  bool hex_display = true;    // 单选框_16显示 ticked (wins if both are)
  bool text_display = false;  // 单选框_ASCII显示 ticked; neither: nothing shown
  int WrapIntervalMs = 50;    // the integer value of the wrap interval box
};

// What one batch asks of the main window, applied in this order:
//   if (wrap_period) wrap timer.SetPeriod(*wrap_period);
//   if (wrap_break)  LogAppend("\r\n");       // still in the style before
//   if (set_style)   LogSetStyle(RxStyle);
//   if (append)      LogAppend(text);
//   if (scroll)      LogScrollToEnd();
//   CountRx(count);
struct ReceiveOutput {
  std::optional<int> wrap_period;  // set while line wrap is ticked
  bool wrap_break = false;
  bool set_style = false;          // every non-empty batch
  // True when some byte of the batch is shown on its own, even with an empty
  // text (byte 0 in text display): the append replaces a selection in the
  // log, as each byte's own append would.
  bool append = false;
  std::string text;                // GBK
  std::uint64_t count = 0;         // every byte counts, in every display
  bool scroll = false;             // every non-empty batch
};

// Received bytes come in batches; a batch gives the same log, counts and
// timer periods as handing its bytes over one at a time, because the wrap
// timer can only tick between batches and the options do not change inside
// one. So the log is written, scrolled and counted once per batch.
class ReceiveDecoder {
 public:
  // Decodes `bytes` in order.
  // - Line wrap ticked: the wrap period is WrapIntervalMs (the timer starts
  //   with the first byte after a stop; setting the same period again does
  //   nothing); a pending wrap breaks the line before the batch.
  // - Hex display: "%02X " per byte. "\x01\x03\x0A" -> "01 03 0A "
  // - Text display: a byte below 128 is shown as itself (byte 0 as nothing);
  //   a byte of 128 or above is held as a lead byte, and the next byte of 128
  //   or above is shown together with it; bytes below 128 in between are
  //   shown at once and the lead byte keeps waiting, across batches and
  //   display switches. "\xB0\x41\xA1" -> "A\xB0\xA1"
  //   The log takes CR LF in one append as a single line break but a CR and
  //   an LF appended one by one as two, so an LF that directly follows a CR
  //   within a batch is written as a second CR: two line breaks, as the bytes
  //   one at a time give.
  ReceiveOutput DecodeReceivedBytes(std::string_view bytes, const ReceiveOptions& options);

  // One byte, 0..255: a batch of one.
  ReceiveOutput DecodeReceivedByte(int byte, const ReceiveOptions& options);

  // The tick of the wrap timer: the next batch that arrives while line wrap
  // is ticked starts on a new line. The caller then stops the timer
  // (period 0).
  void OnWrapTick() { WrapPending = true; }

 private:
  bool WrapPending = false;
  // The lead byte of a double-byte character waiting for its second byte;
  // 0 is the empty pair (a lead byte is never below 128).
  unsigned char PairBuffer = 0;
};

}  // namespace quorvel
