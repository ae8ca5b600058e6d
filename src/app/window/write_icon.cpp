// write_icon <png> <size> [<png> <size> ...]: the application icon as PNG
// files, for the desktop entry.

#include <QGuiApplication>
#include <cstdio>

#include "app/window/icons/ImageListMain.h"

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!ImageListMain::WriteApplicationIconPng(QString::fromLocal8Bit(argv[i]), std::atoi(argv[i + 1]))) {
            std::fprintf(stderr, "cannot write %s\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
