#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "components/dialog_frame.h"
#include "components/message_box.h"
#include "config/sequence_step.h"
#include "config/tform3.h"

namespace {
QPushButton* MakeButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    // The tab has more buttons in a row than the dialog is wide at the style's preferred width.
    KeepTextWhole(button);
    return button;
}
}  // namespace

QWidget* TForm3::createAutomationTab() {
    auto* page = new QWidget(this);
    Memo1 = new QPlainTextEdit(page);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    Memo1->setFont(courier);
    // The runner reads the lines as written, so a long line must not be shown as two.
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    GroupBox4 = new QGroupBox(QStringLiteral("Activity"), page);
    Label12 =
        new QLabel(QString::fromUtf8(sortwell::config::kNoActivity.data(),
                                     static_cast<qsizetype>(sortwell::config::kNoActivity.size())),
                   GroupBox4);
    Label12->setObjectName(QStringLiteral("Label12"));
    Label12->setTextFormat(Qt::PlainText);
    auto* activityLayout = new QVBoxLayout(GroupBox4);
    activityLayout->addWidget(Label12);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Automatically do the following:"), page));
    left->addWidget(Memo1, 1);
    left->addWidget(createKeyboardGroup(page));
    left->addWidget(GroupBox4);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 3);
    layout->addWidget(createWindowListGroup(page), 2);
    connectAutomationButtons();
    return page;
}

QWidget* TForm3::createKeyboardGroup(QWidget* page) {
    auto* box = new QWidget(page);
    Button3 = MakeButton(QStringLiteral("Tab"), box);
    Button4 = MakeButton(QStringLiteral("Enter"), box);
    Button6 = MakeButton(QStringLiteral("Space"), box);
    Button5 = MakeButton(QStringLiteral("Escape"), box);
    Edit3 = new QLineEdit(box);
    Button9 = MakeButton(QStringLiteral("Type"), box);
    Button31 = MakeButton(QStringLiteral("Run Program"), box);
    Edit2 = new QLineEdit(QStringLiteral("5"), box);
    Button12 = MakeButton(QStringLiteral("Wait Seconds"), box);
    Button28 = MakeButton(QStringLiteral("Handle Document"), box);

    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Virtual Keyboard:"), box), 0, 0);
    auto* keys = new QHBoxLayout;
    for (QPushButton* key : {Button3, Button4, Button6, Button5}) {
        keys->addWidget(key);
    }
    grid->addLayout(keys, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Type: "), box), 1, 0);
    grid->addWidget(Edit3, 1, 1);
    grid->addWidget(Button9, 1, 2);
    grid->addWidget(Button31, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Wait:"), box), 2, 0);
    grid->addWidget(Edit2, 2, 1);
    grid->addWidget(Button12, 2, 2);
    grid->addWidget(Button28, 3, 2);
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* TForm3::createWindowListGroup(QWidget* page) {
    auto* box = new QWidget(page);
    ListBox1 = new QListWidget(box);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox2 = new QListWidget(box);
    ListBox2->setVisible(false);
    ListBox3 = new QListWidget(box);
    ListBox3->setVisible(false);
    Wait = MakeButton(QStringLiteral("Wait"), box);
    Button14 = MakeButton(QStringLiteral("UnWait"), box);
    Button2 = MakeButton(QStringLiteral("Switch"), box);
    Button7 = MakeButton(QStringLiteral("Close"), box);
    Button10 = MakeButton(QStringLiteral("Update"), box);
    Button11 = MakeButton(QStringLiteral("Run"), box);
    Button13 = MakeButton(QStringLiteral("Abort"), box);

    auto* windowButtons = new QHBoxLayout;
    for (QPushButton* button : {Wait, Button14, Button2, Button7}) {
        windowButtons->addWidget(button);
    }
    auto* runButtons = new QHBoxLayout;
    for (QPushButton* button : {Button10, Button11, Button13}) {
        runButtons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Opened Processes/Windows:"), box));
    // Where the desktop shows no other windows, the empty list says why instead of nothing.
    WindowListNote = new QLabel(box);
    WindowListNote->setObjectName(QStringLiteral("WindowListNote"));
    WindowListNote->setTextFormat(Qt::PlainText);
    WindowListNote->setWordWrap(true);
    WindowListNote->setStyleSheet(QStringLiteral("color: maroon;"));
    const bool listable = services_.windowSystem->isAvailable();
    WindowListNote->setText(
        listable ? QString() : QString::fromStdString(services_.windowSystem->unavailableReason()));
    WindowListNote->setVisible(!listable);
    layout->addWidget(WindowListNote);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(windowButtons);
    layout->addLayout(runButtons);
    return box;
}

void TForm3::connectAutomationButtons() {
    using sortwell::config::Command;
    using sortwell::config::CommandLine;
    connect(Button3, &QPushButton::clicked, this,
            [this] { AppendSequenceLine(CommandLine(Command::Tab)); });
    connect(Button4, &QPushButton::clicked, this,
            [this] { AppendSequenceLine(CommandLine(Command::Enter)); });
    connect(Button6, &QPushButton::clicked, this,
            [this] { AppendSequenceLine(CommandLine(Command::Space)); });
    connect(Button5, &QPushButton::clicked, this,
            [this] { AppendSequenceLine(CommandLine(Command::Esc)); });
    connect(Button9, &QPushButton::clicked, this, [this] {
        AppendSequenceLine(CommandLine(Command::Type, Edit3->text().toStdString()));
    });
    connect(Button31, &QPushButton::clicked, this,
            [this] { AppendSequenceLine(CommandLine(Command::Run, Edit3->text().toStdString())); });
    connect(Button28, &QPushButton::clicked, this,
            [this] { AppendSequenceLine(CommandLine(Command::HandleDocument)); });
    connect(Button12, &QPushButton::clicked, this, &TForm3::Button12Click);
    connect(Wait, &QPushButton::clicked, this, [this] { AppendWindowLine(Command::WaitWindow); });
    connect(Button14, &QPushButton::clicked, this,
            [this] { AppendWindowLine(Command::UnwaitWindow); });
    connect(Button2, &QPushButton::clicked, this, [this] { AppendWindowLine(Command::Switch); });
    connect(Button7, &QPushButton::clicked, this, [this] { AppendWindowLine(Command::Close); });
    connect(Button10, &QPushButton::clicked, this, &TForm3::Button10Click);
    connect(Button11, &QPushButton::clicked, this, &TForm3::Button11Click);
    connect(Button13, &QPushButton::clicked, this, &TForm3::Button13Click);
}

void TForm3::AppendSequenceLine(const std::string& line) {
    setSequenceText(sortwell::config::AppendLine(sequenceText(), line));
    Memo1->moveCursor(QTextCursor::End);
}

void TForm3::Button12Click() {
    const sortwell::config::AppendedLine appended =
        sortwell::config::WaitSecondsLine(Edit2->text().toStdString());
    if (!appended.error.empty()) {
        MessageBox::warning(this, windowTitle(), QString::fromStdString(appended.error));
        return;
    }
    AppendSequenceLine(appended.line);
}

void TForm3::AppendWindowLine(sortwell::config::Command command) {
    const QListWidgetItem* selected = ListBox1->currentItem();
    if (selected == nullptr || !selected->isSelected()) {
        return;
    }
    AppendSequenceLine(sortwell::config::CommandLine(command, selected->text().toStdString()));
}
