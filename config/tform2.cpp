#include "config/tform2.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <utility>

#include "components/dialog_frame.h"
#include "components/file_dialog.h"
#include "components/message_box.h"
#include "components/qbrfolder.h"
#include "desk/folder_pattern.h"

namespace {
constexpr int kPreviewSize = 32;
}

// Qt writes a filter as "Name (patterns)" with ";;" between choices.
const QString TForm2::kPictureFilter =
    QStringLiteral("All (*.ico *.bmp);;Icons (*.ico);;Bitmap (*.bmp)");

TForm2::TForm2(DeskServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Edit Button"));
    // The layout decides the height, so no text is cut at a larger font.
    setMinimumWidth(465);

    Image1 = new QLabel(this);
    Image1->setFixedSize(kPreviewSize + 4, kPreviewSize + 4);
    Image1->setFrameShape(QFrame::Box);
    Image1->setAlignment(Qt::AlignCenter);
    Edit3 = new QLineEdit(this);
    Button3 = new QPushButton(QStringLiteral("&Select ..."), this);
    Button4 = new QPushButton(QStringLiteral("C&lear"), this);
    Edit1 = new QLineEdit(this);
    Edit2 = new QLineEdit(this);
    PatternWarning = new QLabel(this);
    PatternWarning->setObjectName(QStringLiteral("PatternWarning"));
    PatternWarning->setTextFormat(Qt::PlainText);
    PatternWarning->setWordWrap(true);
    PatternWarning->setStyleSheet(QStringLiteral("color: maroon;"));
    auto* hint = new QLabel(QStringLiteral("%YEAR, %MONTH, %TAG, %NAME are replaced when filing; "
                                           "the last part starts the file name."),
                            this);
    hint->setObjectName(QStringLiteral("PatternHint"));
    hint->setWordWrap(true);
    hint->setStyleSheet(QStringLiteral("color: grey;"));
    Button5 = new QPushButton(QStringLiteral("Browse ..."), this);
    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    Button1 = new QPushButton(QStringLiteral("&Ok"), this);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("&Cancel"), this);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Icon:"), this), 0, 0);
    auto* iconRow = new QHBoxLayout;
    iconRow->addWidget(Image1);
    iconRow->addWidget(Edit3, 1);
    iconRow->addWidget(Button3);
    iconRow->addWidget(Button4);
    grid->addLayout(iconRow, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Caption:"), this), 1, 0);
    grid->addWidget(Edit1, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Folder:"), this), 2, 0);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(Edit2, 1);
    folderRow->addWidget(Button5);
    grid->addLayout(folderRow, 2, 1);
    grid->addWidget(PatternWarning, 3, 1);
    grid->addWidget(hint, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("Visible for:"), this), 5, 0, Qt::AlignTop);
    grid->addWidget(CheckListBox1, 5, 1);
    grid->setRowStretch(5, 1);
    LayOutDialog(this, grid, {Button1, Button2});

    connect(Button3, &QPushButton::clicked, this, &TForm2::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm2::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm2::Button5Click);
    connect(Edit2, &QLineEdit::textChanged, this, &TForm2::showPatternProblem);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
    showPatternProblem(Edit2->text());
}

void TForm2::setNames(const QStringList& names) {
    CheckListBox1->clear();
    for (const QString& name : names) {
        auto* item = new QListWidgetItem(name, CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
}

sortwell::config::VisibleForList TForm2::visibleFor() const {
    sortwell::config::VisibleForList list;
    for (int row = 0; row < CheckListBox1->count(); ++row) {
        const QListWidgetItem* item = CheckListBox1->item(row);
        list.push_back({item->text().toStdString(), item->checkState() == Qt::Checked});
    }
    return list;
}

void TForm2::ApplyHide(const QString& hide) {
    sortwell::config::VisibleForList list = visibleFor();
    sortwell::config::ApplyHide(list, hide.toStdString());
    for (int row = 0; row < CheckListBox1->count(); ++row) {
        CheckListBox1->item(row)->setCheckState(
            list.at(static_cast<std::size_t>(row)).checked ? Qt::Checked : Qt::Unchecked);
    }
}

sortwell::config::HideText TForm2::GetHide() const {
    return sortwell::config::GetHide(visibleFor());
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TForm2::FormShow() {
    cancelled = true;
    Edit1->setFocus();
    refreshPreview();
}

void TForm2::refreshPreview() {
    const QString path = Edit3->text();
    Image1->clear();
    Image1->setVisible(!path.isEmpty());
    if (path.isEmpty()) {
        return;
    }
    QImageReader reader(path);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        // The dialog stays usable; the preview just stays empty.
        MessageBox::warning(
            this, windowTitle(),
            QStringLiteral("The picture %1 cannot be shown: %2").arg(path, reader.errorString()));
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(
        picture.scaled(kPreviewSize, kPreviewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void TForm2::Button3Click() {
    const QString start = QString::fromStdString(services_.store->Pop("icondir"));
    const QString chosen =
        FileDialog::openFile(this, QStringLiteral("Select a picture"), start, kPictureFilter);
    if (chosen.isEmpty()) {
        return;
    }
    Edit3->setText(chosen);
    rememberFolder("icondir", QFileInfo(chosen).absolutePath() + QLatin1Char('/'));
    refreshPreview();
}

void TForm2::Button4Click() {
    Edit3->clear();
    refreshPreview();
}

void TForm2::Button5Click() {
    const QString start = QString::fromStdString(services_.store->Pop("folderdir"));
    const QString chosen =
        TQBrFolder::Execute(start, QStringLiteral("Choose a folder to save"), this);
    if (chosen.isEmpty()) {
        return;
    }
    // The last part of a pattern starts the file name, so the folder alone would file beside it.
    Edit2->setText(QString::fromStdString(
        sortwell::desk::PatternInFolder(chosen.toStdString(), Edit2->text().toStdString())));
    rememberFolder("folderdir", chosen);
}

void TForm2::showPatternProblem(const QString& pattern) {
    const std::string problem = sortwell::desk::PatternProblem(pattern.toStdString());
    PatternWarning->setText(QString::fromStdString(problem));
    PatternWarning->setVisible(!problem.empty());
}

void TForm2::rememberFolder(const char* key, const QString& folder) {
    services_.store->Push(key, folder.toStdString());
    if (!services_.store->SaveToRegistry()) {
        MessageBox::warning(this, windowTitle(),
                            QString::fromStdString(services_.store->LastError()));
    }
}

void TForm2::Button1Click() {
    cancelled = false;
    accept();
}

void TForm2::Button2Click() {
    reject();
}
