#include "desk/desk_icons.h"

#include <QPainter>
#include <QPixmap>

namespace {
QPixmap DrawFilingTray(int size, const QColor& sheet, const QColor& tray) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;
    painter.setPen(QPen(Qt::black, unit * 0.75));
    painter.setBrush(sheet);
    painter.drawRect(QRectF(4 * unit, 1 * unit, 8 * unit, 9 * unit));
    painter.setBrush(tray);
    painter.drawRect(QRectF(1 * unit, 8 * unit, 14 * unit, 6 * unit));
    return pixmap;
}
}  // namespace

namespace DeskIcons {

QIcon program() {
    QIcon icon;
    for (const int size : kProgramSizes) {
        icon.addPixmap(DrawFilingTray(size, Qt::white, QColor(30, 60, 140)));
    }
    return icon;
}

QIcon tray(int index) {
    const QColor trayColour = index == 1 ? QColor(20, 150, 40) : QColor(120, 120, 120);
    QIcon icon;
    for (const int size : {16, 22, 32}) {
        icon.addPixmap(DrawFilingTray(size, Qt::white, trayColour));
    }
    return icon;
}

}  // namespace DeskIcons
