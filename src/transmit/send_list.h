#pragma once

// The automatic sender's list: how the list box text becomes items, when it
// counts as empty, and which part of an item a tick sends.

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// The list box text split at every CR LF (found by characters): lines are
// items even when empty, a final line break adds no item, an empty text
// gives none; items keep their spaces.
// "01 03\r\n\r\n02 03\r\n" -> {"01 03", "", "02 03"}
std::vector<std::string> SplitSendList(std::string_view list_text);

// True when the text holds nothing but ASCII and ideographic spaces; line
// breaks and tabs count as content, so a list of empty lines is not empty.
bool IsSendListEmpty(std::string_view list_text);

// The part of an item a tick sends: the first 24 bytes when the item holds
// "→" (GBK A1 FA) anywhere, else the first 12 bytes when it holds "←" (GBK
// A1 FB), else the whole item. The arrows are found by characters; bytes
// are counted, so a shorter item is taken whole, arrow included. Lines of
// the module frame generator thus give their frame and one space:
// "01 03 10 00 00 25 D1 80  → 1" -> "01 03 10 00 00 25 D1 80 "
std::string ChosenText(std::string_view item);

}  // namespace quorvel
