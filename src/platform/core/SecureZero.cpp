#include "platform/core/SecureZero.h"

#include <atomic>

namespace secure {

void Zero(void *data, std::size_t size) {
    volatile unsigned char *p = static_cast<volatile unsigned char *>(data);
    while (size--) *p++ = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

}  // namespace secure
