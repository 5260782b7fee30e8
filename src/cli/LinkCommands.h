// Settings of the read and write commands that tests replace.
#pragma once

#include "link/SerialPort.h"

namespace cli {

// How long the read and write commands try to reach the loader: without a
// window to cancel from, the connect loop gives up after a minute.
inline constexpr int kConnectLimitMs = 60000;

// The clock the read and write commands wait with; null (the default)
// restores the system clock.
void SetLinkClock(dbase::LinkClock* clock);

} // namespace cli
