#include "config/tform3.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

#include "components/dialog_frame.h"
#include "config/sequence_step.h"
#include "desk/tform1.h"

namespace {
constexpr int kGeneralTab = 3;
}

TForm3::TForm3(DeskServices services, TForm1* form1, TForm2* form2)
    : QDialog(form1),
      NextTimer(this, sortwell::config::kStepIntervalMs),
      services_(std::move(services)),
      form1_(form1),
      form2_(form2) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Configuration"));
    setFixedSize(712, 433);
    PageControl1 = new QTabWidget(this);
    PageControl1->addTab(createAutomationTab(), QStringLiteral("Detection && Action"));
    PageControl1->addTab(createButtonsTab(), QStringLiteral("Buttons"));
    PageControl1->addTab(createNamesTab(), QStringLiteral("Names"));
    PageControl1->addTab(createGeneralTab(), QStringLiteral("General"));
    PageControl1->setCurrentIndex(kGeneralTab);

    Button1 = new QPushButton(QStringLiteral("&Ok"), this);
    Button1->setDefault(true);
    Button20 = new QPushButton(QStringLiteral("&Apply"), this);
    Button19 = new QPushButton(QStringLiteral("&Cancel"), this);
    auto* content = new QVBoxLayout;
    content->addWidget(PageControl1);
    LayOutDialog(this, content, {Button1, Button20, Button19});

    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Button20, &QPushButton::clicked, this, &TForm3::Button20Click);
    connect(Button19, &QPushButton::clicked, this, &TForm3::Button19Click);
    connect(&NextTimer, &EventTimer::timeout, this, &TForm3::NextTimerTimer);
}

void TForm3::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        reloadOnClose = true;
    }
}

void TForm3::Button1Click() {
    reloadOnClose = false;
    form1_->Save();
    form1_->Load();
    accept();
}

void TForm3::Button20Click() {
    form1_->Save();
}

void TForm3::Button19Click() {
    reject();
}

// Every way of closing comes through here: "&Ok", "&Cancel", Escape and the close box.
void TForm3::done(int result) {
    QDialog::done(result);
    FormClose();
}

void TForm3::FormClose() {
    form1_->Timer1.setEnabled(true);
    if (reloadOnClose) {
        form1_->Load();
    }
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
        appendRow(button);
    }
}

void TForm3::appendRow(const sortwell::desk::TargetButton& button) {
    new QTreeWidgetItem(
        ListView1, {QString::fromStdString(button.icon), QString::fromStdString(button.caption),
                    QString::fromStdString(button.folder), QString::fromStdString(button.hide)});
}

std::vector<std::string> TForm3::names() const {
    std::vector<std::string> result;
    result.reserve(static_cast<std::size_t>(ListBox4->count()));
    for (int row = 0; row < ListBox4->count(); ++row) {
        result.push_back(ListBox4->item(row)->text().toStdString());
    }
    return result;
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
