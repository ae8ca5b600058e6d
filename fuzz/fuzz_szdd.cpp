// libFuzzer target: the SZDD expander on arbitrary images, and the
// compressor's round trip on the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "services/core/update/Szdd.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)szdd::Expand(bytes, 1 << 20);
    const szdd::TExpandResult back = szdd::Expand(szdd::Compress(bytes));
    if (!back.Ok || back.Data != bytes) std::abort();
    return 0;
}
