#include "platform/core/TickCounter.h"

#include <chrono>

namespace ticks {

quint32 GetTickCount32() {
    // The steady clock counts from system start on the desktops we run on
    // (CLOCK_MONOTONIC on Linux); only the low 32 bits are kept.
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return static_cast<quint32>(static_cast<quint64>(ms));
}

}  // namespace ticks
