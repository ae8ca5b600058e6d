#pragma once
// Milliseconds since the system started, truncated to 32 bits, so the value
// wraps after about 49.7 days. Monotonic: it never jumps with the wall clock.

#include <QtGlobal>

namespace ticks {

quint32 GetTickCount32();

}  // namespace ticks
