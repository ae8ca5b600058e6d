#include "platform/core/PerfCounter.h"

#include <chrono>

namespace perf {

qint64 Counter() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace perf
