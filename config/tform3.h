#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QDialog>
#include <QStringList>

#include "config/configuration_face.h"
#include "config/sequence_language.h"
#include "desk/desk_services.h"
#include "desk/target_button.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class DeskFace;
class SequenceRunner;
class TForm2;

// The Configuration dialog. Its fields hold the live values of most settings, which the desk
// reads through its face; it shows the automation runner's state and window list, and its
// buttons drive the runner.
class TForm3 : public QDialog, public ConfigurationFace {
    Q_OBJECT
public:
    // `desk` is asked to save and load; `runner` is shown on the automation tab.
    TForm3(DeskServices services, DeskFace* desk, SequenceRunner* runner,
           QWidget* parent = nullptr);
    ~TForm3() override;

    // The Edit Button dialog, made when first needed, a sibling of this one.
    TForm2* editButtonDialog();

    QTabWidget* PageControl1 = nullptr;

    // "Detection && Action" tab.
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button3 = nullptr;    // "Tab"
    QPushButton* Button4 = nullptr;    // "Enter"
    QPushButton* Button6 = nullptr;    // "Space"
    QPushButton* Button5 = nullptr;    // "Escape"
    QLineEdit* Edit3 = nullptr;        // "Type: "
    QPushButton* Button9 = nullptr;    // "Type"
    QPushButton* Button31 = nullptr;   // "Run Program", with the "Type: " field's text
    QLineEdit* Edit2 = nullptr;        // "Wait:"
    QPushButton* Button12 = nullptr;   // "Wait Seconds"
    QPushButton* Wait = nullptr;       // "Wait"
    QPushButton* Button14 = nullptr;   // "UnWait"
    QPushButton* Button2 = nullptr;    // "Switch"
    QPushButton* Button7 = nullptr;    // "Close"
    QPushButton* Button28 = nullptr;   // "Handle Document"
    QListWidget* ListBox1 = nullptr;   // window titles
    QLabel* WindowListNote = nullptr;  // why no windows can be listed, where they cannot
    QListWidget* ListBox2 = nullptr;   // their process ids, hidden
    QListWidget* ListBox3 = nullptr;   // their window handles, hidden
    QPushButton* Button10 = nullptr;   // "Update"
    QPushButton* Button11 = nullptr;   // "Run"
    QPushButton* Button13 = nullptr;   // "Abort"
    QGroupBox* GroupBox4 = nullptr;    // "Activity"
    QLabel* Label12 = nullptr;

    // "Buttons" tab: one row per target, columns Icon, Caption, Folder, Hide.
    QTreeWidget* ListView1 = nullptr;
    QPushButton* Button8 = nullptr;   // "&New"
    QPushButton* Button15 = nullptr;  // "&Delete"
    QPushButton* Button16 = nullptr;  // "&Edit"
    QPushButton* Button17 = nullptr;  // "&Up"
    QPushButton* Button18 = nullptr;  // "&Down"

    // "Names" tab.
    QLineEdit* Edit5 = nullptr;       // "Name:"
    QListWidget* ListBox4 = nullptr;  // the names, master copy
    QPushButton* Button23 = nullptr;  // "&Add"
    QPushButton* Button24 = nullptr;  // "&Modify"
    QPushButton* Button25 = nullptr;  // "&Delete"
    QPushButton* Button26 = nullptr;  // "&Up"
    QPushButton* Button27 = nullptr;  // "&Down"

    // "General" tab.
    QLineEdit* Edit1 = nullptr;       // "Number of Columns:"
    QLineEdit* Edit4 = nullptr;       // "Document Input Folder: "
    QPushButton* Button22 = nullptr;  // "Browse ..."
    QCheckBox* CheckBox1 = nullptr;   // "Attach original file name"
    QCheckBox* CheckBox3 = nullptr;   // present every new PDF, also without a scan run
    QCheckBox* CheckBox4 = nullptr;   // "Show a preview of the document"
    QCheckBox* CheckBox2 = nullptr;   // start with the desktop session
    QPushButton* Button21 = nullptr;  // "Load Defaults"
    QPushButton* Button29 = nullptr;  // "Export"
    QPushButton* Button30 = nullptr;  // "Import"
    // Why the input folder cannot be used, if it cannot.
    QLabel* InputFolderNote = nullptr;
    // Where Export and Import find the INI file.
    QLabel* ExchangeFolderNote = nullptr;

    // Bottom row.
    QPushButton* Button1 = nullptr;   // "&Ok"
    QPushButton* Button20 = nullptr;  // "&Apply"
    QPushButton* Button19 = nullptr;  // "&Cancel"

    // Whether closing throws away what was not applied; only "&Ok" clears it.
    bool reloadOnClose = true;

    // Closing.
    void Button1Click();
    void Button20Click();
    void Button19Click();
    void FormClose();

    // Buttons tab.
    void Button8Click();
    void Button16Click();
    void ListView1DblClick();
    void Button15Click();
    void Button17Click();
    void Button18Click();

    // Names tab.
    void Button23Click();
    void Button24Click();
    void Button25Click();
    void Button26Click();
    void Button27Click();
    void ListBox4Click();

    // General tab.
    void Button22Click();
    void Button21Click();
    void Button29Click();
    void Button30Click();

    // Automation tab: lines appended by the editing buttons.
    void AppendSequenceLine(const std::string& line);
    void Button12Click();
    // The four window buttons: the command with the selected title; nothing without one.
    void AppendWindowLine(sortwell::config::Command command);

    // The runner, which goes on while the dialog is hidden.
    void Run() override;
    void AbortRun() override;
    void resumeRunner() override;
    void Button11Click();
    void Button13Click();
    void notify(const QString& title, const QString& text) override;
    // The window list.
    void Button10Click();
    void refreshWindowList() override;

    // The fields the desk reads and fills.
    QString inputFolder() const override;
    void setInputFolder(const QString& folder) override;
    bool attachOriginalName() const override;
    void setAttachOriginalName(bool attach) override;
    bool watchInput() const override;
    void setWatchInput(bool watch) override;
    bool showPreview() const override;
    void setShowPreview(bool show) override;
    bool autostart() const override;
    void setAutostart(bool autostart) override;
    QString columnsText() const override;
    void setColumnsText(const QString& text) override;
    // The rows of the Buttons list, and the names of the Names tab, in list order.
    std::vector<sortwell::desk::TargetButton> targetButtons() const override;
    void setTargetButtons(const std::vector<sortwell::desk::TargetButton>& buttons) override;
    std::vector<std::string> names() const override;
    void setNames(const std::vector<std::string>& names) override;

    // The sequence as the runner reads it, lines ended by CR LF.
    std::string sequenceText() const override;
    void setSequenceText(const std::string& text) override;

    void showModal() override;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* createButtonsTab();
    QWidget* createNamesTab();
    QWidget* createGeneralTab();
    QWidget* createExchangeGroup(QWidget* page);
    QWidget* createAutomationTab();
    QWidget* createKeyboardGroup(QWidget* page);
    QWidget* createWindowListGroup(QWidget* page);
    void connectAutomationButtons();
    void followRunner();
    void showRunning(bool running);
    void fillWindowListBoxes();
    // Shows the Edit Button dialog on the given values; false when it was not confirmed.
    bool editTargetButton(const QString& caption, const sortwell::desk::TargetButton& button);
    sortwell::desk::TargetButton editedTargetButton();
    void appendRow(const sortwell::desk::TargetButton& button);
    void moveSelectedRow(int offset);
    void moveSelectedName(int offset);
    bool refuseName(const QString& name);
    // Points the store's INI file at the folder of Export and Import, making the folder for an
    // export; the problem, or empty text.
    std::string pointStoreAtExchangeFolder(bool forExport);
    void showExchangeFolder();
    void confirmEditedSequence();
    void showInputFolderProblem();

    DeskServices services_;
    DeskFace* desk_;
    SequenceRunner* runner_;
    std::unique_ptr<TForm2> form2_;
    // The names last set, which the Edit Button dialog offers once it is made.
    QStringList editableNames_;
};
