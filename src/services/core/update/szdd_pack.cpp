// Build-time tool: compresses a file into SZDD and checks that it expands
// back to the same bytes. Usage: tresoro_szdd_pack <input> <output>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "services/core/update/Szdd.h"

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <input> <output>\n", argv[0]);
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QByteArray data = in.readAll();
    // The header keeps the last character of the expanded name ("upd.exe").
    const QByteArray image = szdd::Compress(data, 'e');
    const szdd::TExpandResult back = szdd::Expand(image);
    if (!back.Ok || back.Data != data) {
        std::fprintf(stderr, "the SZDD image of %s does not expand to its input\n", argv[1]);
        return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(image) != image.size()) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
