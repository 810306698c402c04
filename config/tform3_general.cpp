#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "components/message_box.h"
#include "components/qbrfolder.h"
#include "config/tform3.h"
#include "desk/settings_model.h"
#include "desk/tform1.h"

namespace {

QLabel* Note(const QString& text, const char* colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(colour)));
    return label;
}

}  // namespace

QWidget* TForm3::createGeneralTab() {
    auto* page = new QWidget(this);

    auto* arrangement = new QGroupBox(QStringLiteral("Button Arrangement "), page);
    Edit1 = new QLineEdit(QStringLiteral("3"), arrangement);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaximumWidth(60);
    auto* arrangementLayout = new QHBoxLayout(arrangement);
    arrangementLayout->addWidget(new QLabel(QStringLiteral("Number of Columns:"), arrangement));
    arrangementLayout->addWidget(Edit1);
    arrangementLayout->addStretch(1);

    auto* detect = new QGroupBox(QStringLiteral("Detect Document File"), page);
    Edit4 = new QLineEdit(detect);
    Edit4->setObjectName(QStringLiteral("Edit4"));
    Edit4->setStyleSheet(QStringLiteral("background-color: palette(button);"));
    Button22 = new QPushButton(QStringLiteral("Browse ..."), detect);
    CheckBox1 = new QCheckBox(QStringLiteral("Attach original file name"), detect);
    CheckBox1->setChecked(true);
    auto* detectLayout = new QGridLayout(detect);
    detectLayout->addWidget(
        Note(QStringLiteral("Specify the folder in which the doument file should be detected. If a "
                            "new file is placed by some other program in this folder, this file "
                            "is considered to be the document file and is moved by users button "
                            "choice."),
             "grey", detect),
        0, 0, 1, 3);
    detectLayout->addWidget(new QLabel(QStringLiteral("Document Input Folder: "), detect), 1, 0);
    detectLayout->addWidget(Edit4, 1, 1);
    detectLayout->addWidget(Button22, 1, 2);
    detectLayout->addWidget(CheckBox1, 2, 0, 1, 3);

    auto* autostart = new QGroupBox(QStringLiteral("Autostart "), page);
    // The desktop session starts the program here, as Windows' start-up list does there.
    CheckBox2 = new QCheckBox(QStringLiteral("Start with the desktop session"), autostart);
    CheckBox2->setChecked(true);
    auto* autostartLayout = new QVBoxLayout(autostart);
    autostartLayout->addWidget(CheckBox2);

    auto* reset = new QGroupBox(QStringLiteral("Reset/Export/Import Settings "), page);
    Button21 = new QPushButton(QStringLiteral("Load Defaults"), reset);
    Button29 = new QPushButton(QStringLiteral("Export"), reset);
    Button30 = new QPushButton(QStringLiteral("Import"), reset);
    auto* resetLayout = new QGridLayout(reset);
    resetLayout->addWidget(Button21, 0, 0);
    resetLayout->addWidget(
        Note(QStringLiteral("Reset all settings to their defaults."), "grey", reset), 0, 1);
    resetLayout->addWidget(Button29, 1, 0);
    resetLayout->addWidget(
        Note(
            QStringLiteral("Export all settings to an *.ini file placed in the program directory."),
            "grey", reset),
        1, 1);
    resetLayout->addWidget(
        Note(QStringLiteral("Attention: This results in immediate saving of settings."), "maroon",
             reset),
        2, 1);
    resetLayout->addWidget(Button30, 3, 0);
    resetLayout->addWidget(
        Note(
            QStringLiteral("Import all settings to an *.ini file placed in the program directory."),
            "grey", reset),
        3, 1);
    resetLayout->addWidget(
        Note(
            QStringLiteral("Attention: This results in immediate overwriting of current settings."),
            "maroon", reset),
        4, 1);
    resetLayout->setColumnStretch(1, 1);

    auto* layout = new QGridLayout(page);
    layout->addWidget(arrangement, 0, 0);
    layout->addWidget(autostart, 0, 1);
    layout->addWidget(detect, 1, 0, 1, 2);
    layout->addWidget(reset, 2, 0, 1, 2);
    layout->setRowStretch(3, 1);

    connect(Button22, &QPushButton::clicked, this, &TForm3::Button22Click);
    connect(Button21, &QPushButton::clicked, this, &TForm3::Button21Click);
    connect(Button29, &QPushButton::clicked, this, &TForm3::Button29Click);
    connect(Button30, &QPushButton::clicked, this, &TForm3::Button30Click);
    return page;
}

void TForm3::Button22Click() {
    // Starts where the stored setting points, whatever has been typed into the field since.
    const QString start = QString::fromStdString(services_.store->Pop("inputdir"));
    const QString chosen =
        TQBrFolder::Execute(start, QStringLiteral("Choose a folder for doument detection"), this);
    if (!chosen.isEmpty()) {
        Edit4->setText(chosen);
    }
}

void TForm3::Button21Click() {
    form1_->LoadDefaults();
}

void TForm3::pointStoreAtProgramFolder() {
    services_.store->IniFileDir = services_.store->AppDir();
}

void TForm3::Button29Click() {
    pointStoreAtProgramFolder();
    form1_->Save();
    TQDReg& store = *services_.store;
    if (!store.SaveToFile()) {
        MessageBox::warning(this, QStringLiteral("Export"),
                            QStringLiteral("The settings were saved, but not exported:\n%1")
                                .arg(QString::fromStdString(store.LastError())));
        return;
    }
    MessageBox::information(this, QStringLiteral("Export"),
                            QStringLiteral("The settings were exported to %1.")
                                .arg(QString::fromStdString(store.IniFilePath())));
}

void TForm3::Button30Click() {
    pointStoreAtProgramFolder();
    TQDReg& store = *services_.store;
    if (!store.LoadFromFile()) {
        const std::string reason = store.LastError().empty()
                                       ? "There is no file " + store.IniFilePath() + "."
                                       : store.LastError();
        // Reading emptied the store; what is stored stays, and so do the dialog's fields.
        store.LoadFromRegistry();
        MessageBox::warning(
            this, QStringLiteral("Import"),
            QStringLiteral("Nothing was imported:\n%1").arg(QString::fromStdString(reason)));
        return;
    }
    if (!store.SaveToRegistry()) {
        MessageBox::warning(this, QStringLiteral("Import"),
                            QString::fromStdString(store.LastError()));
    }
    form1_->Load();
    // The imported choice takes effect at once, as a save would make it.
    const std::string startupError = sortwell::desk::RegisterStartup(store, CheckBox2->isChecked());
    if (!startupError.empty()) {
        MessageBox::warning(this, QStringLiteral("Import"), QString::fromStdString(startupError));
    }
}
