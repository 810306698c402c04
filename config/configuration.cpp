#include "config/configuration.h"

#include <utility>

#include "config/sequence_runner.h"
#include "config/sequence_text.h"
#include "config/tform3.h"

Configuration::Configuration(DeskServices services, DeskFace* desk, SequenceRunner* runner,
                             QWidget* parent)
    : services_(std::move(services)), desk_(desk), runner_(runner), parent_(parent) {}

Configuration::~Configuration() = default;

TForm3& Configuration::dialog() {
    if (!dialog_) {
        auto made = std::make_unique<TForm3>(services_, desk_, runner_, parent_);
        fill(*made);
        dialog_ = std::move(made);
    }
    return *dialog_;
}

void Configuration::fill(ConfigurationFace& fields) const {
    fields.setSequenceText(held_.sequenceText);
    fields.setInputFolder(held_.inputFolder);
    fields.setTargetButtons(held_.targetButtons);
    fields.setColumnsText(held_.columnsText);
    fields.setNames(held_.names);
    fields.setAutostart(held_.autostart);
    fields.setAttachOriginalName(held_.attachOriginalName);
    fields.setWatchInput(held_.watchInput);
    fields.setShowPreview(held_.showPreview);
}

QString Configuration::inputFolder() const {
    return dialog_ ? dialog_->inputFolder() : held_.inputFolder;
}

void Configuration::setInputFolder(const QString& folder) {
    if (dialog_) {
        dialog_->setInputFolder(folder);
    } else {
        held_.inputFolder = folder;
    }
}

bool Configuration::attachOriginalName() const {
    return dialog_ ? dialog_->attachOriginalName() : held_.attachOriginalName;
}

void Configuration::setAttachOriginalName(bool attach) {
    if (dialog_) {
        dialog_->setAttachOriginalName(attach);
    } else {
        held_.attachOriginalName = attach;
    }
}

bool Configuration::watchInput() const {
    return dialog_ ? dialog_->watchInput() : held_.watchInput;
}

void Configuration::setWatchInput(bool watch) {
    if (dialog_) {
        dialog_->setWatchInput(watch);
    } else {
        held_.watchInput = watch;
    }
}

bool Configuration::showPreview() const {
    return dialog_ ? dialog_->showPreview() : held_.showPreview;
}

void Configuration::setShowPreview(bool show) {
    if (dialog_) {
        dialog_->setShowPreview(show);
    } else {
        held_.showPreview = show;
    }
}

bool Configuration::autostart() const {
    return dialog_ ? dialog_->autostart() : held_.autostart;
}

void Configuration::setAutostart(bool autostart) {
    if (dialog_) {
        dialog_->setAutostart(autostart);
    } else {
        held_.autostart = autostart;
    }
}

QString Configuration::columnsText() const {
    return dialog_ ? dialog_->columnsText() : held_.columnsText;
}

void Configuration::setColumnsText(const QString& text) {
    if (dialog_) {
        dialog_->setColumnsText(text);
    } else {
        held_.columnsText = text;
    }
}

std::vector<sortwell::desk::TargetButton> Configuration::targetButtons() const {
    return dialog_ ? dialog_->targetButtons() : held_.targetButtons;
}

void Configuration::setTargetButtons(const std::vector<sortwell::desk::TargetButton>& buttons) {
    if (dialog_) {
        dialog_->setTargetButtons(buttons);
    } else {
        held_.targetButtons = buttons;
    }
}

std::vector<std::string> Configuration::names() const {
    return dialog_ ? dialog_->names() : held_.names;
}

void Configuration::setNames(const std::vector<std::string>& names) {
    if (dialog_) {
        dialog_->setNames(names);
    } else {
        held_.names = names;
    }
}

std::string Configuration::sequenceText() const {
    return dialog_ ? dialog_->sequenceText() : held_.sequenceText;
}

// Held as the editor would give it back, so that a save reads the same with or without it.
void Configuration::setSequenceText(const std::string& text) {
    if (dialog_) {
        dialog_->setSequenceText(text);
    } else {
        held_.sequenceText = sortwell::config::SequenceAsEdited(text);
    }
}

void Configuration::Run() {
    runner_->Run();
}

void Configuration::AbortRun() {
    runner_->AbortRun();
}

void Configuration::resumeRunner() {
    runner_->resumeRunner();
}

void Configuration::refreshWindowList() {
    runner_->refreshWindowList();
}

void Configuration::showModal() {
    dialog().showModal();
}

void Configuration::notify(const QString& title, const QString& text) {
    runner_->notify(title, text);
}
