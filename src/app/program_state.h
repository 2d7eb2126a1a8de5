#pragma once

// The program-wide state the main window owns and hands to the parts: one
// record, created with the window and released with it.

#include <string>
#include <vector>

#include "app/settings_store.h"
#include "log/text_style.h"
#include "log/traffic_counters.h"

namespace quorvel {

struct ProgramState {
  // The line-wrap interval in milliseconds: the integer value of 编辑框1.
  int WrapIntervalMs = 0;

  // The formats of sent data, received data and the copied send list.
  TextStyle TxStyle;
  TextStyle RxStyle;
  TextStyle ListStyle;

  // peizhi.ini at ConfigPath.
  SettingsStore settings;

  // TxCount and RxCount, shown in the status bar.
  TrafficCounters counters;

  // The id of the registered Enter hotkey; 0 before the first registration
  // and when it was refused. Kept when the hotkey is removed.
  int HotkeyId = 0;

  // The automatic sender's items (GBK), taken from its list box at a click
  // on 按钮_自动发送, and the 1-based number of the item the next tick sends.
  std::vector<std::string> SendList;
  int SendIndex = 0;
};

}  // namespace quorvel
