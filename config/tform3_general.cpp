#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>
#include <functional>
#include <system_error>
#include <utility>

#include "components/message_box.h"
#include "components/qbrfolder.h"
#include "config/run_confirmation.h"
#include "config/tform3.h"
#include "desk/desk_face.h"
#include "desk/settings_model.h"

namespace {

QLabel* Note(const QString& text, const char* colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(colour)));
    return label;
}

// A note whose text names folders: shown in full and selectable, so a path can be copied.
QLabel* PathNote(const char* colour, QWidget* parent) {
    QLabel* label = Note(QString(), colour, parent);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// Runs `onShow` each time the watched widget is shown: the folders it tells of may have changed
// while the dialog was hidden.
class ShowWatcher : public QObject {
public:
    ShowWatcher(QWidget* watched, std::function<void()> onShow)
        : QObject(watched), onShow_(std::move(onShow)) {
        watched->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            onShow_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onShow_;
};

std::string InputFolderProblem(const std::string& folder,
                               sortwell::platform::DocumentFiles& files) {
    if (folder.empty()) {
        return "No input folder is set: new scans cannot be found.";
    }
    if (!files.folderExists(folder)) {
        return "There is no folder " + folder + ".";
    }
    const std::string problem = files.listDocuments(folder).problem;
    return problem.empty() ? std::string() : "The folder " + folder + " cannot be read: " + problem;
}

// The General tab has more lines than any other; its layouts are kept close so that it fits the
// dialog at the desktop's font without squeezing a button.
template <typename Layout>
Layout* Tight(Layout* layout) {
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setSpacing(3);
    return layout;
}

}  // namespace

QWidget* TForm3::createGeneralTab() {
    auto* page = new QWidget(this);

    auto* arrangement = new QGroupBox(QStringLiteral("Button Arrangement "), page);
    Edit1 = new QLineEdit(QStringLiteral("3"), arrangement);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaximumWidth(60);
    // Beside the column count: both arrange the desk, and the tab has no line to spare.
    CheckBox4 = new QCheckBox(QStringLiteral("Show a preview of the document"), arrangement);
    CheckBox4->setObjectName(QStringLiteral("CheckBox4"));
    CheckBox4->setChecked(true);
    auto* arrangementLayout = Tight(new QHBoxLayout(arrangement));
    arrangementLayout->addWidget(new QLabel(QStringLiteral("Number of Columns:"), arrangement));
    arrangementLayout->addWidget(Edit1);
    arrangementLayout->addSpacing(24);
    arrangementLayout->addWidget(CheckBox4);
    arrangementLayout->addStretch(1);

    auto* detect = new QGroupBox(QStringLiteral("Detect Document File"), page);
    Edit4 = new QLineEdit(detect);
    Edit4->setObjectName(QStringLiteral("Edit4"));
    Edit4->setStyleSheet(QStringLiteral("background-color: palette(button);"));
    Button22 = new QPushButton(QStringLiteral("Browse ..."), detect);
    InputFolderNote = PathNote("maroon", detect);
    InputFolderNote->setObjectName(QStringLiteral("InputFolderNote"));
    CheckBox1 = new QCheckBox(QStringLiteral("Attach original file name"), detect);
    CheckBox1->setChecked(true);
    CheckBox3 = new QCheckBox(
        QStringLiteral("Present every new PDF in the input folder, also without a scan run"),
        detect);
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    CheckBox3->setChecked(true);
    auto* detectLayout = Tight(new QGridLayout(detect));
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
    detectLayout->addWidget(InputFolderNote, 2, 1, 1, 2);
    // Side by side: one more line would squeeze the tab at the desktop's font.
    auto* detectOptions = new QHBoxLayout;
    detectOptions->addWidget(CheckBox1);
    detectOptions->addWidget(CheckBox3);
    detectOptions->addStretch(1);
    detectLayout->addLayout(detectOptions, 3, 0, 1, 3);

    auto* autostart = new QGroupBox(QStringLiteral("Autostart "), page);
    // The desktop session starts the program here, as Windows' start-up list does there.
    CheckBox2 = new QCheckBox(QStringLiteral("Start with the desktop session"), autostart);
    CheckBox2->setChecked(true);
    auto* autostartLayout = Tight(new QVBoxLayout(autostart));
    autostartLayout->addWidget(CheckBox2);

    auto* layout = Tight(new QGridLayout(page));
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(arrangement, 0, 0);
    layout->addWidget(autostart, 0, 1);
    layout->addWidget(detect, 1, 0, 1, 2);
    layout->addWidget(createExchangeGroup(page), 2, 0, 1, 2);
    layout->setRowStretch(3, 1);

    connect(Edit4, &QLineEdit::textChanged, this, [this] {
        // Only a shown field is checked: a hidden dialog has nobody to tell, and the desk
        // changes the field at every load.
        if (InputFolderNote->isVisible()) {
            showInputFolderProblem();
        }
    });
    new ShowWatcher(page, [this] {
        showInputFolderProblem();
        showExchangeFolder();
    });
    connect(Button22, &QPushButton::clicked, this, &TForm3::Button22Click);
    return page;
}

QWidget* TForm3::createExchangeGroup(QWidget* page) {
    auto* reset = new QGroupBox(QStringLiteral("Reset/Export/Import Settings "), page);
    Button21 = new QPushButton(QStringLiteral("Load Defaults"), reset);
    Button29 = new QPushButton(QStringLiteral("Export"), reset);
    Button30 = new QPushButton(QStringLiteral("Import"), reset);
    ExchangeFolderNote = PathNote("grey", reset);
    ExchangeFolderNote->setObjectName(QStringLiteral("ExchangeFolderNote"));
    auto* resetLayout = Tight(new QGridLayout(reset));
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
    resetLayout->addWidget(ExchangeFolderNote, 5, 1);
    resetLayout->setColumnStretch(1, 1);

    connect(Button21, &QPushButton::clicked, this, &TForm3::Button21Click);
    connect(Button29, &QPushButton::clicked, this, &TForm3::Button29Click);
    connect(Button30, &QPushButton::clicked, this, &TForm3::Button30Click);
    return reset;
}

void TForm3::showInputFolderProblem() {
    InputFolderNote->setText(
        QString::fromStdString(InputFolderProblem(Edit4->text().toStdString(), *services_.files)));
}

void TForm3::showExchangeFolder() {
    const TQDReg& store = *services_.store;
    const std::string folder = store.ExchangeDir();
    const std::string file = store.IniFileName;
    ExchangeFolderNote->setText(QString::fromStdString(
        folder.empty() ? "There is no folder for " + file + ": no home folder is known."
                       : "The file is " + file + " in " + folder + "."));
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
    desk_->LoadDefaults();
}

std::string TForm3::pointStoreAtExchangeFolder(bool forExport) {
    TQDReg& store = *services_.store;
    store.IniFileDir = store.ExchangeDir();
    showExchangeFolder();
    if (store.IniFileDir.empty()) {
        return "There is no folder for " + store.IniFileName + ": no home folder is known.";
    }
    // The program's own folder exists; the per-user one may not have been made yet.
    if (!forExport || store.IniFileDir == store.AppDir()) {
        return {};
    }
    std::error_code error;
    std::filesystem::create_directories(store.IniFileDir, error);
    return error ? "Cannot create the folder " + store.IniFileDir + ": " + error.message()
                 : std::string();
}

void TForm3::Button29Click() {
    const std::string folderProblem = pointStoreAtExchangeFolder(true);
    desk_->Save();
    TQDReg& store = *services_.store;
    const bool exported = folderProblem.empty() && store.SaveToFile();
    if (!exported) {
        const std::string reason = folderProblem.empty() ? store.LastError() : folderProblem;
        MessageBox::warning(this, QStringLiteral("Export"),
                            QStringLiteral("The settings were saved, but not exported:\n%1")
                                .arg(QString::fromStdString(reason)));
        return;
    }
    MessageBox::information(this, QStringLiteral("Export"),
                            QStringLiteral("The settings were exported to %1.")
                                .arg(QString::fromStdString(store.IniFilePath())));
}

void TForm3::Button30Click() {
    const std::string folderProblem = pointStoreAtExchangeFolder(false);
    TQDReg& store = *services_.store;
    // Confirmations are this machine's own; the file's would let its RUN lines run unasked.
    const std::string confirmedRuns = sortwell::config::ConfirmedRuns(store);
    if (!folderProblem.empty() || !store.LoadFromFile()) {
        std::string reason = folderProblem;
        if (reason.empty()) {
            reason = store.LastError().empty() ? "There is no file " + store.IniFilePath() + "."
                                               : store.LastError();
            // Reading emptied the store; what is stored stays, and so do the dialog's fields.
            store.LoadFromRegistry();
        }
        MessageBox::warning(
            this, QStringLiteral("Import"),
            QStringLiteral("Nothing was imported:\n%1").arg(QString::fromStdString(reason)));
        return;
    }
    sortwell::config::RestoreConfirmedRuns(store, confirmedRuns);
    if (!store.SaveToRegistry()) {
        MessageBox::warning(this, QStringLiteral("Import"),
                            QString::fromStdString(store.LastError()));
    }
    desk_->Load();
    // The imported choice takes effect at once, as a save would make it.
    const std::string startupError = sortwell::desk::RegisterStartup(store, CheckBox2->isChecked());
    if (!startupError.empty()) {
        MessageBox::warning(this, QStringLiteral("Import"), QString::fromStdString(startupError));
    }
}
