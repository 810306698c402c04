#include "config/tform3.h"

#include <utility>

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "config/sequence_step.h"
#include "desk/tform1.h"

TForm3::TForm3(DeskServices services, TForm1* form1)
    : QDialog(form1),
      NextTimer(this, sortwell::config::kStepIntervalMs),
      services_(std::move(services)),
      form1_(form1) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Configuration"));
    resize(560, 460);
    PageControl1 = new QTabWidget(this);
    PageControl1->addTab(createButtonsTab(), QStringLiteral("Buttons"));
    PageControl1->addTab(createNamesTab(), QStringLiteral("Names"));
    PageControl1->addTab(createGeneralTab(), QStringLiteral("General"));
    PageControl1->addTab(createAutomationTab(), QStringLiteral("Detection && Action"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    connect(&NextTimer, &EventTimer::timeout, this, &TForm3::NextTimerTimer);
}

QWidget* TForm3::createButtonsTab() {
    auto* page = new QWidget(this);
    ListView1 = new QTreeWidget(page);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setHeaderLabels({QStringLiteral("Icon"), QStringLiteral("Caption"),
                                QStringLiteral("Folder"), QStringLiteral("Hide")});
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(ListView1);
    return page;
}

QWidget* TForm3::createNamesTab() {
    auto* page = new QWidget(this);
    ListBox4 = new QListWidget(page);
    ListBox4->setObjectName(QStringLiteral("ListBox4"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(ListBox4);
    return page;
}

QWidget* TForm3::createGeneralTab() {
    auto* page = new QWidget(this);
    Edit1 = new QLineEdit(QStringLiteral("3"), page);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit4 = new QLineEdit(page);
    Edit4->setObjectName(QStringLiteral("Edit4"));
    CheckBox1 = new QCheckBox(QStringLiteral("Attach original file name"), page);
    CheckBox1->setChecked(true);
    CheckBox2 = new QCheckBox(QStringLiteral("Start with the desktop session"), page);
    CheckBox2->setChecked(true);
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Number of Columns:"), page), 0, 0);
    layout->addWidget(Edit1, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Document Input Folder: "), page), 1, 0);
    layout->addWidget(Edit4, 1, 1);
    layout->addWidget(CheckBox1, 2, 0, 1, 2);
    layout->addWidget(CheckBox2, 3, 0, 1, 2);
    layout->setRowStretch(4, 1);
    return page;
}

QWidget* TForm3::createAutomationTab() {
    auto* page = new QWidget(this);
    Memo1 = new QPlainTextEdit(page);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The runner reads the lines as written, so a long line must not be shown as two.
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    ListBox1 = new QListWidget(page);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox2 = new QListWidget(page);
    ListBox2->setVisible(false);
    ListBox3 = new QListWidget(page);
    ListBox3->setVisible(false);
    Button10 = new QPushButton(QStringLiteral("Update"), page);
    Button11 = new QPushButton(QStringLiteral("Run"), page);
    Button13 = new QPushButton(QStringLiteral("Abort"), page);
    Button13->setEnabled(false);
    GroupBox4 = new QGroupBox(QStringLiteral("Activity"), page);
    Label12 = new QLabel(QString::fromUtf8(sortwell::config::kNoActivity.data(),
                                           sortwell::config::kNoActivity.size()),
                         GroupBox4);
    Label12->setObjectName(QStringLiteral("Label12"));
    Label12->setTextFormat(Qt::PlainText);
    auto* activityLayout = new QVBoxLayout(GroupBox4);
    activityLayout->addWidget(Label12);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button10);
    buttons->addWidget(Button11);
    buttons->addWidget(Button13);
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Automatically do the following:"), page), 0, 0);
    layout->addWidget(Memo1, 1, 0);
    layout->addWidget(new QLabel(QStringLiteral("Opened Processes/Windows:"), page), 0, 1);
    layout->addWidget(ListBox1, 1, 1);
    layout->addLayout(buttons, 2, 1);
    layout->addWidget(GroupBox4, 2, 0);

    connect(Button10, &QPushButton::clicked, this, &TForm3::Button10Click);
    connect(Button11, &QPushButton::clicked, this, &TForm3::Button11Click);
    connect(Button13, &QPushButton::clicked, this, &TForm3::Button13Click);
    return page;
}

std::string TForm3::sequenceText() const {
    QString text = Memo1->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text.toStdString();
}

void TForm3::setSequenceText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Memo1->setPlainText(shown);
}

std::vector<sortwell::desk::TargetButton> TForm3::targetButtons() const {
    std::vector<sortwell::desk::TargetButton> buttons;
    buttons.reserve(static_cast<std::size_t>(ListView1->topLevelItemCount()));
    for (int row = 0; row < ListView1->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = ListView1->topLevelItem(row);
        buttons.push_back({item->text(0).toStdString(), item->text(1).toStdString(),
                           item->text(2).toStdString(), item->text(3).toStdString()});
    }
    return buttons;
}

void TForm3::setTargetButtons(const std::vector<sortwell::desk::TargetButton>& buttons) {
    ListView1->clear();
    for (const sortwell::desk::TargetButton& button : buttons) {
        new QTreeWidgetItem(
            ListView1,
            {QString::fromStdString(button.icon), QString::fromStdString(button.caption),
             QString::fromStdString(button.folder), QString::fromStdString(button.hide)});
    }
}

std::vector<std::string> TForm3::names() const {
    std::vector<std::string> result;
    result.reserve(static_cast<std::size_t>(ListBox4->count()));
    for (int row = 0; row < ListBox4->count(); ++row) {
        result.push_back(ListBox4->item(row)->text().toStdString());
    }
    return result;
}
