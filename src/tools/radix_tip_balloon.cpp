#include "tools/radix_tip_balloon.h"

#include <QCursor>
#include <string>

#include "log/log_view.h"
#include "platform/balloon_tip.h"
#include "platform/gbk_codec.h"
#include "tools/radix_tip.h"

namespace quorvel {

void ShowRadixTip(const LogView& log, BalloonTip& tip) {
  const std::string text = RadixTipText(log.SelectedText());
  if (text.empty()) return;
  tip.ShowTip(QCursor::pos(), FromGbkLines(text), 0);
}

}  // namespace quorvel
