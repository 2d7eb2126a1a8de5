#include "log/receive_decoder.h"

namespace quorvel {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

ReceiveOutput ReceiveDecoder::DecodeReceivedBytes(std::string_view bytes, const ReceiveOptions& options) {
  ReceiveOutput out;
  if (bytes.empty()) return out;

  if (options.wrap) {
    out.wrap_period = options.WrapIntervalMs;
    // Only the first byte of a batch can find the flag set: the tick that
    // sets it is handled between batches.
    out.wrap_break = WrapPending;
    WrapPending = false;
  }
  out.set_style = true;

  if (options.hex_display) {
    out.text.reserve(bytes.size() * 3);
    for (const char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      out.text.push_back(kHexDigits[byte >> 4]);
      out.text.push_back(kHexDigits[byte & 0x0F]);
      out.text.push_back(' ');
    }
    out.append = true;
  } else if (options.text_display) {
    out.text.reserve(bytes.size() + 1);
    for (const char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x80) {
        out.append = true;
        if (byte == 0) continue;  // the text of byte 0 is empty
        if (c == '\n' && !out.text.empty() && out.text.back() == '\r') {
          out.text.push_back('\r');
        } else {
          out.text.push_back(c);
        }
      } else if (PairBuffer == 0) {
        PairBuffer = byte;
      } else {
        out.text.push_back(static_cast<char>(PairBuffer));
        out.text.push_back(c);
        PairBuffer = 0;
        out.append = true;
      }
    }
  }

  out.count = bytes.size();
  out.scroll = true;
  return out;
}

ReceiveOutput ReceiveDecoder::DecodeReceivedByte(int byte, const ReceiveOptions& options) {
  const char c = static_cast<char>(byte);
  return DecodeReceivedBytes(std::string_view(&c, 1), options);
}

}  // namespace quorvel
