// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the application icon for an icon theme at build time:
//   orvellin-icons FOLDER SIZE...
// writes FOLDER/<SIZE>x<SIZE>/apps/orvellin.png for every size, the same
// drawing as the window icon. Needs no display (QT_QPA_PLATFORM=offscreen).
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "app/artwork.h"

namespace {

constexpr int kLargestSize = 1024;

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: orvellin-icons FOLDER SIZE...\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QByteArray(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > kLargestSize) {
            std::fprintf(stderr, "orvellin-icons: not a size from 1 to %d: %s\n", kLargestSize,
                         argv[i]);
            return 2;
        }
        const QString apps = QStringLiteral("%1x%1/apps").arg(size);
        const QString path = folder.filePath(apps + QStringLiteral("/orvellin.png"));
        if (!folder.mkpath(apps) || !orv::applicationIconImage(size).save(path, "PNG")) {
            std::fprintf(stderr, "orvellin-icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
