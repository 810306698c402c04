#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "components/mask_edit.h"
#include "components/qstatus.h"
#include "config/tform3.h"
#include "desk/filing.h"
#include "desk/tform1.h"

namespace {
const QString kNoDocument = QStringLiteral("no document");
}

void TForm1::MainButtonClick(QAbstractButton* button) {
    const std::string pattern = button->property("folder").toString().toStdString();
    const sortwell::desk::TargetClick click =
        sortwell::desk::DecideTargetClick(pattern, tagConfirmed, !currentDocument.empty());
    if (click == sortwell::desk::TargetClick::AskForTag) {
        Edit1->selectAll();
        Edit1->setFocus();
        tagConfirmed = true;
        Alert();
        return;
    }
    tagConfirmed = true;
    PostponedResetDate();
    if (click == sortwell::desk::TargetClick::NothingToFile) {
        return;
    }
    if (!isDocumentStable()) {
        QStatus1->setPanelText(0, QStringLiteral("%1: the scanner is still writing it")
                                      .arg(QString::fromStdString(currentDocument)));
        return;
    }
    const std::string name = std::exchange(currentDocument, std::string());
    documentLook_.reset();
    sortwell::desk::FilingRequest request;
    request.folderPattern = pattern;
    request.entries = {MaskEdit1->typedText().toStdString(), MaskEdit2->typedText().toStdString(),
                       Edit1->text().toStdString(), ComboBox1->currentText().toStdString()};
    request.inputFolder = inputFolder().toStdString();
    request.documentName = name;
    request.attach = form3_->CheckBox1->isChecked();
    const std::string problem =
        sortwell::desk::FileDocument(sortwell::desk::PlanFiling(request), *services_.files);
    clearDesk(problem.empty()
                  ? kNoDocument
                  : QStringLiteral("%1 not filed: %2")
                        .arg(QString::fromStdString(name), QString::fromStdString(problem)));
}

bool TForm1::isDocumentStable() {
    const auto seenAt = services_.steadyClock();
    const std::optional<sortwell::platform::FileStat> now = lookAtDocument(seenAt);
    if (!now) {
        return true;  // the filing itself says why it cannot go on
    }
    // A file that changed since it was presented counts from now, or from its own time.
    return sortwell::desk::IsStableForMove(*documentLook_, *now, seenAt, services_.wallClock());
}

std::optional<sortwell::platform::FileStat> TForm1::lookAtDocument(
    std::chrono::steady_clock::time_point seenAt) {
    const sortwell::desk::SourceResult source =
        sortwell::desk::SourcePath(inputFolder().toStdString(), currentDocument);
    if (!source.problem.empty()) {
        return std::nullopt;
    }
    const sortwell::platform::DocumentStat now = services_.files->statDocument(source.path);
    if (!now.problem.empty()) {
        return std::nullopt;
    }
    documentLook_ = sortwell::desk::NextLook(documentLook_, now.stat, seenAt);
    return now.stat;
}

void TForm1::SpeedButton1Click() {
    const std::string name = std::exchange(currentDocument, std::string());
    documentLook_.reset();
    QString status = kNoDocument;
    // With an empty desk there is nothing to delete.
    if (!name.empty()) {
        const sortwell::desk::SourceResult source =
            sortwell::desk::SourcePath(inputFolder().toStdString(), name);
        std::string problem = source.problem;
        if (problem.empty()) {
            problem = services_.files->deleteDocument(source.path);
        }
        if (!problem.empty()) {
            status = QStringLiteral("%1 not deleted: %2")
                         .arg(QString::fromStdString(name), QString::fromStdString(problem));
        }
    }
    clearDesk(status);
}

void TForm1::clearDesk(const QString& statusText) {
    QStatus1->setPanelText(0, statusText);
    resumeRunner();
    MinimizeToTray();
}

void TForm1::resumeRunner() {
    form3_->NextTimer.setEnabled(true);
}
