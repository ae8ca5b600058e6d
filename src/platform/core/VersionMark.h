#pragma once
// Our executables carry their four-part file version as a marked string, so
// that the update engine can read the version of a program file on disk the
// way a version resource would be read. The mark is
//   "\x7FTRESORO-FILEVERSION:" + "a.b.c.d" + "\0"
// and TRESORO_VERSION_MARK places it in the executable.

#include <QString>
#include <optional>

#define TRESORO_VERSION_MARK_STR2(x) #x
#define TRESORO_VERSION_MARK_STR(x) TRESORO_VERSION_MARK_STR2(x)
// Keeps the mark in the file even though nothing reads it at run time.
#define TRESORO_VERSION_MARK(a, b, c, d)                                                                  \
    [[gnu::used]] static const char tresoro_version_mark[] =                                              \
        "\x7F" "TRESORO-FILEVERSION:" TRESORO_VERSION_MARK_STR(a) "." TRESORO_VERSION_MARK_STR(b) "." \
        TRESORO_VERSION_MARK_STR(c) "." TRESORO_VERSION_MARK_STR(d)

struct TFileVersion {
    quint16 Part[4] = {0, 0, 0, 0};
    // Most significant part first, as four 16-bit numbers.
    quint64 Packed() const {
        return quint64(Part[0]) << 48 | quint64(Part[1]) << 32 | quint64(Part[2]) << 16 | Part[3];
    }
    QString Text() const;
    // "a.b.c.d", each 0..65535; nothing for any other text.
    static std::optional<TFileVersion> Parse(const QString &text);
};

// The version marked in a file, or nothing when the file cannot be read or
// carries no (well-formed) mark.
std::optional<TFileVersion> ReadFileVersion(const QString &path);
