#include "vault/core/StoredForm.h"

#include <algorithm>
#include <cstring>

#include "platform/core/SecureZero.h"
#include "vault/core/CipherErrors.h"

namespace vault {

QByteArray EncipherBlocks(const BlockOpMask &op, Block start, QByteArrayView clearText) {
    const qsizetype n = clearText.size();
    QByteArray bytes(StoredByteCount(n), Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(bytes.data());
    const auto *in = reinterpret_cast<const unsigned char *>(clearText.data());

    Block chain = op.Apply(start);
    StoreBlock(chain, out);
    out += kBlockSize;

    const qsizetype groups = n / kBlockSize;
    for (qsizetype i = 0; i < groups; ++i, out += kBlockSize) {
        chain = op.Apply(LoadBlock(in + i * kBlockSize) ^ chain);
        StoreBlock(chain, out);
    }

    unsigned char last[kBlockSize] = {};
    const qsizetype rest = n % kBlockSize;
    if (rest) std::memcpy(last, in + groups * kBlockSize, static_cast<std::size_t>(rest));
    last[kBlockSize - 1] = static_cast<unsigned char>(rest);
    StoreBlock(op.Apply(LoadBlock(last) ^ chain), out);
    secure::Zero(last, sizeof last);
    return bytes;
}

QByteArray DecipherBlocks(const BlockOpMask &op, QByteArrayView bytes) {
    if (bytes.size() < 2 * kBlockSize) throw ECipherException();
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype blocks = bytes.size() / kBlockSize - 1;  // after the start block; its time is never used

    // The last block first: its length byte fixes the size of the result.
    unsigned char last[kBlockSize];
    StoreBlock(op.Apply(LoadBlock(in + blocks * kBlockSize)) ^ LoadBlock(in + (blocks - 1) * kBlockSize), last);
    const qsizetype tail = std::min<qsizetype>(last[kBlockSize - 1], kBlockSize);

    const qsizetype full = blocks - 1;
    QByteArray clear(full * kBlockSize + tail, Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(clear.data());
    for (qsizetype i = 1; i <= full; ++i, out += kBlockSize)
        StoreBlock(op.Apply(LoadBlock(in + i * kBlockSize)) ^ LoadBlock(in + (i - 1) * kBlockSize), out);
    if (tail) std::memcpy(out, last, static_cast<std::size_t>(tail));
    secure::Zero(last, sizeof last);
    return clear;
}

}  // namespace vault
