#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

#include "config/configuration_face.h"
#include "desk/button_grid.h"
#include "desk/tform1.h"

namespace {
constexpr int kIconSize = 32;

// The face of a target button: an icon drawn at 32 x 32, a bitmap at its own size, nothing
// for any other file or one that cannot be read.
QPixmap FaceImage(const sortwell::desk::GridCell& cell) {
    const QString path = QString::fromStdString(cell.icon);
    if (cell.face == sortwell::desk::FaceKind::None || !QFileInfo(path).isFile()) {
        return {};
    }
    QImageReader reader(path);
    if (cell.face == sortwell::desk::FaceKind::Icon) {
        reader.setFormat("ico");
        const QImage icon = reader.read();
        if (icon.isNull()) {
            return {};
        }
        QPixmap face(kIconSize, kIconSize);
        face.fill(Qt::transparent);
        QPainter painter(&face);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(0, 0, kIconSize, kIconSize), icon);
        return face;
    }
    reader.setFormat("bmp");
    return QPixmap::fromImage(reader.read());
}

const QString kMainButtonPrefix = QStringLiteral("MainButton");

QString MainButtonName(int serial) {
    return kMainButtonPrefix + QString::number(serial);
}
}  // namespace

void TForm1::PostponedRefreshButtons() {
    ButtonRefreshTimer.restart();
}

void TForm1::ButtonRefreshTimerTimer() {
    ButtonRefreshTimer.setEnabled(false);
    RefreshButtons();
}

void TForm1::RefreshButtons() {
    // Looking up every serial ever given would grow with every rebuild of a long run; the
    // panel's own buttons are the same set.
    for (QToolButton* old : Panel1->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        if (old->objectName().startsWith(kMainButtonPrefix)) {
            old->hide();
            delete old;
        }
    }
    const sortwell::desk::NameSelection selection{!ComboBox1->isHidden(),
                                                  ComboBox1->currentText().toStdString()};
    const std::vector<sortwell::desk::TargetButton> targets = configuration_->targetButtons();
    updateGridHint(!targets.empty());
    const sortwell::desk::ButtonGrid grid =
        sortwell::desk::LayOutButtons(targets, configuration_->columnsText().toStdString(),
                                      selection, {Panel1->width(), Panel1->height()});
    // Positions are inside the panel's border, as the layout counts them.
    const int border = Panel1->frameWidth();
    for (const sortwell::desk::GridCell& cell : grid.cells) {
        ++mainButtonSerial;
        auto* button = new QToolButton(Panel1);
        button->setObjectName(MainButtonName(mainButtonSerial));
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(false);
        button->setAutoFillBackground(true);
        const QPixmap face = FaceImage(cell);
        if (!face.isNull()) {
            button->setIcon(QIcon(face));
            button->setIconSize(face.size());
        }
        button->setText(QString::fromStdString(cell.caption));
        button->setProperty("folder", QString::fromStdString(cell.folder));
        button->setGeometry(border + cell.rect.left, border + cell.rect.top, cell.rect.width,
                            cell.rect.height);
        connect(button, &QToolButton::clicked, this, [this, button] { MainButtonClick(button); });
        button->show();
    }
    checkTargetFolders();
}

void TForm1::updateGridHint(bool hasTargets) {
    QStringList missing;
    if (inputFolder().isEmpty()) {
        missing << QStringLiteral(
            "No document input folder is set yet: choose the folder your "
            "scanner saves into under \"Show Configuration ...\", "
            "General tab.");
    }
    if (!hasTargets) {
        missing << QStringLiteral(
            "No target buttons yet: add one under \"Show Configuration "
            "...\", Buttons tab, \"New\".");
    }
    GridHint->setText(missing.join(QStringLiteral("\n\n")));
    GridHint->setVisible(!missing.isEmpty());
}
