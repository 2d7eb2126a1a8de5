#include "transmit/send_list.h"

#include "engine/gbk_text.h"

namespace quorvel {
namespace {

constexpr std::string_view kRightArrow = "\xA1\xFA";  // →
constexpr std::string_view kLeftArrow = "\xA1\xFB";   // ←
// A 甲型模块 frame with its CRC is eight bytes as "HH " (24 bytes), a
// 乙型模块 frame four (12 bytes): the frame and the space after it.
constexpr int kRightArrowFrameBytes = 24;
constexpr int kLeftArrowFrameBytes = 12;

}  // namespace

std::vector<std::string> SplitSendList(std::string_view list_text) { return SplitText(list_text, "\r\n"); }

bool IsSendListEmpty(std::string_view list_text) { return RemoveSpaces(list_text).empty(); }

std::string ChosenText(std::string_view item) {
  if (ContainsText(item, kRightArrow)) return std::string(FirstBytes(item, kRightArrowFrameBytes));
  if (ContainsText(item, kLeftArrow)) return std::string(FirstBytes(item, kLeftArrowFrameBytes));
  return std::string(item);
}

}  // namespace quorvel
