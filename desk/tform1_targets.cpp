#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QToolButton>

#include "components/mask_edit.h"
#include "components/message_box.h"
#include "config/configuration_face.h"
#include "desk/target_hint.h"
#include "desk/tform1.h"

namespace {
const char* const kFolderProperty = "folder";
const char* const kMissingProperty = "fixedFolderMissing";

QList<QToolButton*> TargetButtons(QFrame* panel) {
    QList<QToolButton*> buttons;
    for (QToolButton* button : panel->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        if (button->property(kFolderProperty).isValid()) {
            buttons << button;
        }
    }
    return buttons;
}

std::string PatternOf(const QToolButton* button) {
    return button->property(kFolderProperty).toString().toStdString();
}
}  // namespace

sortwell::desk::FilingRequest TForm1::filingRequest(const std::string& pattern) const {
    sortwell::desk::FilingRequest request;
    request.folderPattern = pattern;
    request.entries = {MaskEdit1->typedText().toStdString(), MaskEdit2->typedText().toStdString(),
                       Edit1->text().toStdString(), ComboBox1->currentText().toStdString()};
    request.inputFolder = currentDocument.empty() ? inputFolder().toStdString() : presentedFolder_;
    request.documentName = currentDocument;
    request.attach = configuration_->attachOriginalName();
    return request;
}

bool TForm1::fixedFolderExists(const std::string& pattern) const {
    const std::string folder = sortwell::desk::FixedFolder(pattern);
    return folder.empty() || services_.files->folderExists(folder);
}

void TForm1::checkTargetFolders() {
    for (QToolButton* button : TargetButtons(Panel1)) {
        button->setProperty(kMissingProperty, !fixedFolderExists(PatternOf(button)));
    }
    updateTargetHints();
}

void TForm1::updateTargetHints() {
    if (configuration_ == nullptr) {
        return;
    }
    for (QToolButton* button : TargetButtons(Panel1)) {
        const std::string pattern = PatternOf(button);
        const sortwell::desk::TargetHint hint = sortwell::desk::DescribeTarget(
            filingRequest(pattern), !button->property(kMissingProperty).toBool());
        button->setToolTip(QString::fromStdString(sortwell::desk::TargetTooltip(hint)));
        // Greyed, not disabled: a click still files, after asking. Set only on a change: this
        // runs at every keystroke, and each new style sheet polishes the button anew.
        const bool doubtful = !hint.problem.empty() || !hint.missingFolder.empty();
        const QString look = doubtful ? QStringLiteral("QToolButton { color: grey; }") : QString();
        if (button->styleSheet() != look) {
            button->setStyleSheet(look);
        }
    }
}

bool TForm1::mayFileInto(const std::string& pattern) {
    if (fixedFolderExists(pattern)) {
        return true;
    }
    const QString question = QString::fromStdString(
        sortwell::desk::MissingFolderQuestion(sortwell::desk::FixedFolder(pattern)));
    return MessageBox::question(this, QStringLiteral("Tessaryn Sortwell"), question) ==
           MessageBox::Answer::Yes;
}
