// Writes the program's icon as PNG files for the desktop's icon theme, from the same drawing
// the program uses for its window:  make_icons FOLDER  gives FOLDER/<size>/apps/sortwell.png.
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

#include "desk/desk_icons.h"

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const int size : DeskIcons::kProgramSizes) {
        const QString sizeFolder = QStringLiteral("%1x%1/apps").arg(size);
        if (!folder.mkpath(sizeFolder) ||
            !DeskIcons::program()
                 .pixmap(size, size)
                 .save(folder.filePath(sizeFolder + QStringLiteral("/sortwell.png")))) {
            std::fprintf(stderr, "cannot write the %dx%d icon\n", size, size);
            return 1;
        }
    }
    return 0;
}
