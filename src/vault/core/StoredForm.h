#pragma once
// Byte layout of an enciphered text (before Base64), chained block by block:
//   bytes 0-7   start block: a time reading, enciphered; the first chaining value
//   8 ...       one block per complete 8-byte group of the clear text
//   last 8      the n mod 8 remaining clear bytes, zeros, and n mod 8 in byte 7
// A clear text of n bytes thus takes 8 * (n / 8 + 2) bytes.

#include <QByteArray>
#include <QByteArrayView>

#include "vault/core/BlockOp.h"

namespace vault {

inline constexpr qsizetype kBlockSize = 8;

constexpr qsizetype StoredByteCount(qsizetype clearLength) { return kBlockSize * (clearLength / kBlockSize + 2); }
constexpr qsizetype StoredTextLength(qsizetype clearLength) { return (StoredByteCount(clearLength) + 2) / 3 * 4; }

QByteArray EncipherBlocks(const BlockOpMask &op, Block start, QByteArrayView clearText);

// Throws ECipherException when fewer than 16 bytes are given. Bytes after the
// last complete block are ignored; a length byte above 7 (wrong key, damaged
// value) yields the whole last block and never more.
QByteArray DecipherBlocks(const BlockOpMask &op, QByteArrayView bytes);

}  // namespace vault
