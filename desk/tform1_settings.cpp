#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

#include "components/message_box.h"
#include "config/tform2.h"
#include "config/tform3.h"
#include "desk/settings_model.h"
#include "desk/tform1.h"

namespace {
QStringList ToQStringList(const std::vector<std::string>& texts) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& text : texts) {
        list.append(QString::fromStdString(text));
    }
    return list;
}
}  // namespace

void TForm1::Save() {
    sortwell::desk::SettingsSnapshot snapshot;
    snapshot.sequence = form3_->sequenceText();
    snapshot.inputDir = form3_->Edit4->text().toStdString();
    snapshot.active = CheckBox1->isChecked();
    snapshot.attach = form3_->CheckBox1->isChecked();
    snapshot.autostart = form3_->CheckBox2->isChecked();
    snapshot.columnsText = form3_->Edit1->text().toStdString();
    snapshot.buttons = form3_->targetButtons();
    snapshot.names = form3_->names();
    const sortwell::desk::SaveReport report = sortwell::desk::SaveSettings(store(), snapshot);
    // A column count that is no number is repaired in the field as well.
    form3_->Edit1->setText(QString::fromStdString(snapshot.columnsText));
    writeStore(sortwell::platform::FlushTiming::Now);
    reportOnce(report.startupError);
    reportOnce(report.namesError);
    PostponedRefreshButtons();
}

void TForm1::Load() {
    if (!store().LoadFromRegistry()) {
        reportOnce(store().LastError());
    }
    const sortwell::desk::LoadedSettings loaded = sortwell::desk::LoadSettings(store());
    const sortwell::desk::SettingsSnapshot& snapshot = loaded.snapshot;
    form3_->setSequenceText(snapshot.sequence);
    form3_->Edit4->setText(QString::fromStdString(snapshot.inputDir));
    form3_->setTargetButtons(snapshot.buttons);
    form3_->Edit1->setText(QString::fromStdString(snapshot.columnsText));

    const QStringList names = ToQStringList(snapshot.names);
    form3_->ListBox4->clear();
    form3_->ListBox4->addItems(names);
    {
        // Selecting from here is not the user's pick and stores nothing.
        const QSignalBlocker blocker(ComboBox1);
        ComboBox1->clear();
        ComboBox1->addItems(names);
        ComboBox1->setCurrentIndex(loaded.selectedName);
    }
    form2_->setNames(names);
    ComboBox1->setVisible(loaded.nameSelectorVisible);

    form3_->CheckBox2->setChecked(snapshot.autostart);
    form3_->CheckBox1->setChecked(snapshot.attach);
    CheckBox1->setChecked(snapshot.active);
    PostponedRefreshButtons();
}

void TForm1::LoadDefaults() {
    CheckBox1->setChecked(false);
    const std::string startupError = sortwell::desk::ApplyDefaults(store());
    form3_->CheckBox1->setChecked(true);
    form3_->CheckBox2->setChecked(true);
    writeStore(sortwell::platform::FlushTiming::Now);
    reportOnce(startupError);
    Load();
}
