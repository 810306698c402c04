#pragma once

#include <set>
#include <string>

#include <QDialog>

#include "components/event_timer.h"
#include "config/window_list.h"
#include "desk/button_grid.h"
#include "desk/desk_services.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class TForm1;

// The Configuration dialog. It holds the live values of most settings in its controls, and it
// hosts the automation runner and the window list, which work whether it is shown or not.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    TForm3(DeskServices services, TForm1* form1);

    QTabWidget* PageControl1 = nullptr;
    // Buttons tab: one row per target, columns Icon, Caption, Folder, Hide.
    QTreeWidget* ListView1 = nullptr;
    // Names tab.
    QListWidget* ListBox4 = nullptr;
    // General tab.
    QLineEdit* Edit1 = nullptr;      // "Number of Columns:"
    QLineEdit* Edit4 = nullptr;      // "Document Input Folder: "
    QCheckBox* CheckBox1 = nullptr;  // "Attach original file name"
    QCheckBox* CheckBox2 = nullptr;  // start with the desktop session
    // "Detection && Action" tab.
    QPlainTextEdit* Memo1 = nullptr;
    QListWidget* ListBox1 = nullptr;  // window titles
    QListWidget* ListBox2 = nullptr;  // their process ids, hidden
    QListWidget* ListBox3 = nullptr;  // their window handles, hidden
    QPushButton* Button10 = nullptr;  // "Update"
    QPushButton* Button11 = nullptr;  // "Run"
    QPushButton* Button13 = nullptr;  // "Abort"
    QGroupBox* GroupBox4 = nullptr;   // "Activity"
    QLabel* Label12 = nullptr;

    EventTimer NextTimer;
    int currentLine = 0;

    // The runner.
    void Run();
    void AbortRun();
    void Button11Click();
    void Button13Click();
    void NextTimerTimer();
    // The window list.
    void Button10Click();
    const sortwell::config::WindowList& windowList() const { return windowList_; }

    // The rows of the Buttons list, and the names of the Names tab, in list order.
    std::vector<sortwell::desk::TargetButton> targetButtons() const;
    void setTargetButtons(const std::vector<sortwell::desk::TargetButton>& buttons);
    std::vector<std::string> names() const;

    // The sequence as the runner reads it, lines ended by CR LF.
    std::string sequenceText() const;
    void setSequenceText(const std::string& text);

private:
    QWidget* createButtonsTab();
    QWidget* createNamesTab();
    QWidget* createGeneralTab();
    QWidget* createAutomationTab();
    void setActivity(const QString& text);
    void fillWindowListBoxes();
    void reportStepProblem(const std::string& problem);

    DeskServices services_;
    TForm1* form1_;
    sortwell::config::WindowList windowList_;
    std::set<std::string> reportedProblems_;
};
