#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include "components/message_box.h"
#include "components/notice.h"
#include "components/qstatus.h"
#include "config/run_arguments.h"
#include "config/run_report.h"
#include "config/sequence_language.h"
#include "config/sequence_runner.h"
#include "config/sequence_step.h"
#include "config/tform3.h"
#include "desk/tform1.h"
#include "windows/desk_fixture.h"

// The runner's test scenes: a desk over fakes with a sequence, stepped by hand.
namespace sortwell::test::runner {

using sortwell::platform::KeyEvent;
using sortwell::platform::NamedKey;

inline constexpr std::uint64_t kQuickMenuHandle = 0x51;
inline constexpr std::uint64_t kLoadingHandle = 0x52;
inline const std::string kQuickMenu = "ScanSnap QuickMenu";
// Far more ticks than any sequence here needs; a runner that stalls stops the walk.
inline constexpr int kMaxSteps = 50;

// A started desk with the default sequence in the Configuration dialog.
inline void StartWithDefaultSequence(DeskFixture& desk) {
    desk.start();
    desk.form3->setSequenceText(sortwell::config::DefaultSequence());
}

inline void ShowQuickMenu(DeskFixture& desk) {
    desk.windowSystem.open(kQuickMenuHandle, 4242, kQuickMenu);
    desk.form3->Button10Click();
}

// Ticks the runner until it stands at `line`; false when it does not get there.
inline bool StepTo(DeskFixture& desk, int line) {
    for (int step = 0; step < kMaxSteps && desk.runner().currentLine != line; ++step) {
        desk.runner().NextTimerTimer();
    }
    return desk.runner().currentLine == line;
}

inline QString Activity(const DeskFixture& desk) {
    return desk.form3->Label12->text();
}

inline QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int row = 0; row < list->count(); ++row) {
        items.append(list->item(row)->text());
    }
    return items;
}

// What the runner shows about a step that went wrong: the step, a dash and the problem.
inline QString Report(const QString& step, const QString& problem) {
    return step + QStringLiteral(" \u2014 ") + problem;
}

// A window that is listed but closed before the runner gets to it.
inline void ListThenCloseScanner(DeskFixture& desk) {
    desk.windowSystem.open(0x60, 600, "Scanner");
    desk.form3->Button10Click();
    desk.windowSystem.close("Scanner");
}

// The problem stands in the activity label, the status panel and the note, and no message box
// waits for an answer.
inline void VerifySaidWithoutAMessageBox(DeskFixture& desk, const QString& report) {
    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(Activity(desk), report);
    QCOMPARE(desk.form1->QStatus1->panelText(1), report);
    QVERIFY(desk.runner().notice().isVisible());
    QCOMPARE(desk.runner().notice().text(), report);
}

// Lets the note's time run out, so that a later showing can be told apart.
inline void LetTheNoticeExpire(DeskFixture& desk) {
    emit desk.runner().notice().hideTimer().timeout();
    QVERIFY(!desk.runner().notice().isVisible());
}

// A started desk whose sequence the user wrote and applied in the dialog.
inline void StartWithAppliedSequence(DeskFixture& desk, const std::string& sequence) {
    desk.start();
    desk.form3->setInputFolder(QStringLiteral("/scans"));
    desk.form3->setSequenceText(sequence);
    desk.form3->Memo1->document()->setModified(true);  // as typing it leaves the editor
    desk.form3->Button20Click();
}

inline const QString kRunStep = QStringLiteral("0: RUN:scanimage");

// Active on, a RUN line that fails, the run stopped and the problem shown.
inline void VerifyRunStopped(DeskFixture& desk, const std::string& problem) {
    QVERIFY(!desk.form1->CheckBox1->isChecked());
    QVERIFY(!desk.runner().isRunning());
    QVERIFY(!desk.runner().isProgramRunning());
    QCOMPARE(desk.persisted("active"), std::string("0"));
    VerifySaidWithoutAMessageBox(desk, Report(kRunStep, QString::fromStdString(problem)));
}

// Answers the question about unconfirmed programs, asked once the start is done.
inline void AnswerConfirmation(MessageBox::Answer answer) {
    MessageBox::clearAnswers();
    MessageBox::setNextAnswer(answer);
    QCoreApplication::sendPostedEvents();
}

inline std::vector<KeyEvent> EnterPressed(int times) {
    std::vector<KeyEvent> events;
    for (int i = 0; i < times; ++i) {
        events.push_back({KeyEvent::Action::Press, NamedKey::Enter});
        events.push_back({KeyEvent::Action::Release, NamedKey::Enter});
    }
    return events;
}

}  // namespace sortwell::test::runner
