#pragma once

// The selection radix tip on screen: the words selected in the log, read as
// hexadecimal numbers, shown with their decimal and binary values in the
// balloon tip at the mouse pointer.

namespace quorvel {

class BalloonTip;
class LogView;

// ShowRadixTip, the handler of the left-button release in the log: shows
// RadixTipText of the log's selection at the mouse pointer's position on the
// screen, without time-out, so that it stays until the next click or key
// press, or until the next tip replaces it. Nothing is shown when there is
// no tip text (an empty selection, or spaces only); a tip already up stays.
// The selection "01 FF 1A" -> three lines "16进制：      01       FF       1A ",
// "10进制：       1      255       26 ", " 2进制：00000001 11111111 00011010 "
void ShowRadixTip(const LogView& log, BalloonTip& tip);

}  // namespace quorvel
