#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>

#include "config/configuration_face.h"
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
    ConfigurationFace& configuration = *configuration_;
    snapshot.sequence = configuration.sequenceText();
    snapshot.inputDir = configuration.inputFolder().toStdString();
    snapshot.active = CheckBox1->isChecked();
    snapshot.attach = configuration.attachOriginalName();
    snapshot.watchInput = configuration.watchInput();
    snapshot.preview = configuration.showPreview();
    snapshot.autostart = configuration.autostart();
    snapshot.columnsText = configuration.columnsText().toStdString();
    snapshot.buttons = configuration.targetButtons();
    snapshot.names = configuration.names();
    const sortwell::desk::SaveReport report = sortwell::desk::SaveSettings(store(), snapshot);
    // A column count that is no number is repaired in the field as well.
    configuration.setColumnsText(QString::fromStdString(snapshot.columnsText));
    writeStore(sortwell::platform::FlushTiming::Now);
    reportOnce(report.startupError);
    reportOnce(report.namesError);
    PostponedRefreshButtons();
    followInboxSetting();
    followPreviewSetting();
}

void TForm1::Load() {
    if (!store().LoadFromRegistry()) {
        reportOnce(store().LastError());
    }
    const sortwell::desk::LoadedSettings loaded = sortwell::desk::LoadSettings(store());
    const sortwell::desk::SettingsSnapshot& snapshot = loaded.snapshot;
    ConfigurationFace& configuration = *configuration_;
    configuration.setSequenceText(snapshot.sequence);
    configuration.setInputFolder(QString::fromStdString(snapshot.inputDir));
    configuration.setTargetButtons(snapshot.buttons);
    configuration.setColumnsText(QString::fromStdString(snapshot.columnsText));
    configuration.setNames(snapshot.names);

    const QStringList names = ToQStringList(snapshot.names);
    {
        // Selecting from here is not the user's pick and stores nothing.
        const QSignalBlocker blocker(ComboBox1);
        ComboBox1->clear();
        ComboBox1->addItems(names);
        ComboBox1->setCurrentIndex(loaded.selectedName);
    }
    ComboBox1->setVisible(loaded.nameSelectorVisible);

    configuration.setAutostart(snapshot.autostart);
    configuration.setAttachOriginalName(snapshot.attach);
    configuration.setWatchInput(snapshot.watchInput);
    configuration.setShowPreview(snapshot.preview);
    CheckBox1->setChecked(snapshot.active);
    PostponedRefreshButtons();
    followInboxSetting();
    followPreviewSetting();
}

void TForm1::LoadDefaults() {
    CheckBox1->setChecked(false);
    const std::string startupError = sortwell::desk::ApplyDefaults(store());
    configuration_->setAttachOriginalName(true);
    configuration_->setAutostart(true);
    configuration_->setWatchInput(true);
    configuration_->setShowPreview(true);
    writeStore(sortwell::platform::FlushTiming::Now);
    reportOnce(startupError);
    Load();
}
