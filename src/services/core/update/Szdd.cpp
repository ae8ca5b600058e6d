#include "services/core/update/Szdd.h"

#include <array>
#include <cstring>
#include <vector>

namespace szdd {
namespace {

constexpr unsigned char Magic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr int WindowSize = 4096;
constexpr int WindowMask = WindowSize - 1;
constexpr int StartPos = WindowSize - 16;
constexpr int MinMatch = 3;
constexpr int MaxMatch = 18;

void PutLength(QByteArray &out, quint32 length) {
    for (int i = 0; i < 4; ++i) out.append(char((length >> (8 * i)) & 0xFF));
}

}  // namespace

TExpandResult Expand(const QByteArray &image, qint64 maxLength) {
    TExpandResult r;
    const auto *in = reinterpret_cast<const unsigned char *>(image.constData());
    const qsizetype size = image.size();
    if (size < HeaderSize || std::memcmp(in, Magic, sizeof Magic) != 0) {
        r.Error = QStringLiteral("no SZDD header");
        return r;
    }
    if (in[8] != 'A') {
        r.Error = QStringLiteral("unknown SZDD compression mode %1").arg(int(in[8]));
        return r;
    }
    r.MissingChar = char(in[9]);
    const qint64 length = qint64(in[10]) | qint64(in[11]) << 8 | qint64(in[12]) << 16 | qint64(in[13]) << 24;
    if (length > maxLength) {
        r.Error = QStringLiteral("declared length %1 exceeds the limit of %2 bytes").arg(length).arg(maxLength);
        return r;
    }

    // Each input byte yields at most 18 output bytes, so a short image cannot
    // make us reserve gigabytes.
    QByteArray out;
    out.reserve(qsizetype(std::min<qint64>(length, (size - HeaderSize) * MaxMatch + 8)));
    std::array<unsigned char, WindowSize> window;
    window.fill(' ');
    int pos = StartPos;
    qsizetype i = HeaderSize;
    while (out.size() < length) {
        if (i >= size) break;
        const unsigned control = in[i++];
        for (int bit = 0; bit < 8 && out.size() < length; ++bit) {
            if (control & (1u << bit)) {
                if (i >= size) break;
                const unsigned char c = in[i++];
                out.append(char(c));
                window[pos] = c;
                pos = (pos + 1) & WindowMask;
            } else {
                if (i + 1 >= size) {
                    i = size;
                    break;
                }
                const int lo = in[i++];
                const int hi = in[i++];
                int from = lo | ((hi & 0xF0) << 4);
                int n = (hi & 0x0F) + MinMatch;
                // Byte by byte: a match may overlap the bytes it produces.
                while (n-- > 0 && out.size() < length) {
                    const unsigned char c = window[from];
                    from = (from + 1) & WindowMask;
                    out.append(char(c));
                    window[pos] = c;
                    pos = (pos + 1) & WindowMask;
                }
            }
        }
    }
    if (out.size() < length) {
        r.Error = QStringLiteral("SZDD data ends after %1 of %2 bytes").arg(out.size()).arg(length);
        return r;
    }
    r.Ok = true;
    r.Data = std::move(out);
    return r;
}

QByteArray Compress(const QByteArray &data, char missingChar) {
    const auto *in = reinterpret_cast<const unsigned char *>(data.constData());
    const qsizetype n = data.size();
    QByteArray out;
    out.reserve(HeaderSize + n + n / 8 + 16);
    out.append(reinterpret_cast<const char *>(Magic), sizeof Magic);
    out.append('A');
    out.append(missingChar);
    PutLength(out, quint32(n));

    // Hash chains over three-byte prefixes. Matches only refer to input the
    // expander has already written into its window, at most 4096 - 18 back,
    // so that no slot read during a copy was overwritten by it.
    constexpr int HashBits = 14;
    constexpr int MaxChain = 96;
    constexpr qsizetype MaxDistance = WindowSize - MaxMatch;
    std::vector<qsizetype> head(size_t(1) << HashBits, -1);
    std::vector<qsizetype> prev(size_t(n > 0 ? n : 1), -1);
    auto hash = [&](qsizetype p) {
        return ((unsigned(in[p]) << 10) ^ (unsigned(in[p + 1]) << 5) ^ unsigned(in[p + 2])) & ((1u << HashBits) - 1);
    };
    auto insert = [&](qsizetype p) {
        if (p + MinMatch > n) return;
        const unsigned h = hash(p);
        prev[size_t(p)] = head[h];
        head[h] = p;
    };

    qsizetype p = 0;
    while (p < n) {
        const qsizetype controlAt = out.size();
        out.append('\0');
        unsigned control = 0;
        for (int bit = 0; bit < 8 && p < n; ++bit) {
            int bestLen = 0;
            qsizetype bestFrom = 0;
            if (p + MinMatch <= n) {
                const qsizetype limit = std::min<qsizetype>(MaxMatch, n - p);
                int chain = MaxChain;
                for (qsizetype c = head[hash(p)]; c >= 0 && p - c <= MaxDistance && chain-- > 0; c = prev[size_t(c)]) {
                    int len = 0;
                    while (len < limit && in[c + len] == in[p + len]) ++len;
                    if (len > bestLen) {
                        bestLen = len;
                        bestFrom = c;
                        if (len == limit) break;
                    }
                }
            }
            if (bestLen >= MinMatch) {
                const int slot = int((StartPos + bestFrom) & WindowMask);
                out.append(char(slot & 0xFF));
                out.append(char(((slot >> 4) & 0xF0) | (bestLen - MinMatch)));
                for (int k = 0; k < bestLen; ++k) insert(p + k);
                p += bestLen;
            } else {
                control |= 1u << bit;
                out.append(char(in[p]));
                insert(p);
                ++p;
            }
        }
        out[controlAt] = char(control);
    }
    return out;
}

}  // namespace szdd
