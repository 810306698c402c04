#include "config/tform3.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

#include "components/dialog_frame.h"
#include "config/sequence_runner.h"
#include "config/sequence_text.h"
#include "config/tform2.h"
#include "desk/desk_face.h"

namespace {
constexpr int kGeneralTab = 3;
}

TForm3::TForm3(DeskServices services, DeskFace* desk, SequenceRunner* runner, QWidget* parent)
    : QDialog(parent), services_(std::move(services)), desk_(desk), runner_(runner) {
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
    followRunner();
}

TForm3::~TForm3() = default;

TForm2* TForm3::editButtonDialog() {
    if (!form2_) {
        form2_ = std::make_unique<TForm2>(services_, parentWidget());
        form2_->setNames(editableNames_);
    }
    return form2_.get();
}

void TForm3::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        reloadOnClose = true;
    }
}

void TForm3::Button1Click() {
    reloadOnClose = false;
    confirmEditedSequence();
    desk_->Save();
    desk_->Load();
    accept();
}

void TForm3::Button20Click() {
    confirmEditedSequence();
    desk_->Save();
}

// What the user wrote or changed here is theirs; a sequence that an Import or the settings file
// brought and that was applied unread still asks before its programs run.
void TForm3::confirmEditedSequence() {
    if (Memo1->document()->isModified()) {
        runner_->confirmSequence(sequenceText());
        Memo1->document()->setModified(false);
    }
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
    desk_->setWindowListTimer(true);
    if (reloadOnClose) {
        desk_->Load();
    }
}

void TForm3::showModal() {
    exec();
}

QString TForm3::inputFolder() const {
    return Edit4->text();
}

void TForm3::setInputFolder(const QString& folder) {
    Edit4->setText(folder);
}

bool TForm3::attachOriginalName() const {
    return CheckBox1->isChecked();
}

void TForm3::setAttachOriginalName(bool attach) {
    CheckBox1->setChecked(attach);
}

bool TForm3::watchInput() const {
    return CheckBox3->isChecked();
}

void TForm3::setWatchInput(bool watch) {
    CheckBox3->setChecked(watch);
}

bool TForm3::showPreview() const {
    return CheckBox4->isChecked();
}

void TForm3::setShowPreview(bool show) {
    CheckBox4->setChecked(show);
}

bool TForm3::autostart() const {
    return CheckBox2->isChecked();
}

void TForm3::setAutostart(bool autostart) {
    CheckBox2->setChecked(autostart);
}

QString TForm3::columnsText() const {
    return Edit1->text();
}

void TForm3::setColumnsText(const QString& text) {
    Edit1->setText(text);
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

void TForm3::setNames(const std::vector<std::string>& names) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names) {
        list.append(QString::fromStdString(name));
    }
    ListBox4->clear();
    ListBox4->addItems(list);
    editableNames_ = list;
    if (form2_) {
        form2_->setNames(list);
    }
}

std::string TForm3::sequenceText() const {
    return sortwell::config::SequenceFromEditor(Memo1->toPlainText());
}

void TForm3::setSequenceText(const std::string& text) {
    Memo1->setPlainText(sortwell::config::SequenceForEditor(text));
    Memo1->document()->setModified(false);
}
