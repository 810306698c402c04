#include <utility>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "components/document_preview.h"
#include "components/mask_edit.h"
#include "components/qstatus.h"
#include "config/configuration_face.h"
#include "desk/date_entry.h"
#include "desk/filing.h"
#include "desk/tform1.h"

namespace {
const QString kNoDocument = QStringLiteral("no document");

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}
}  // namespace

void TForm1::MainButtonClick(QAbstractButton* button) {
    filingInProgress_ = true;
    fileByTarget(button);
    filingInProgress_ = false;
    if (std::exchange(undoAfterFiling_, false)) {
        UndoLastFiling();
    }
}

void TForm1::fileByTarget(QAbstractButton* button) {
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
    clearProblem();
    if (!sortwell::desk::IsYearComplete(MaskEdit2->typedText().toStdString())) {
        refuseIncompleteYear();
        return;
    }
    if (!isPresentedDocumentAtHand() || !isDocumentStable()) {
        return;
    }
    if (!mayFileInto(pattern)) {
        return;
    }
    const sortwell::desk::FilingRequest request = filingRequest(pattern);
    const sortwell::desk::FilingPlan plan = sortwell::desk::PlanFiling(request);
    const sortwell::desk::FilingOutcome outcome =
        sortwell::desk::FileDocument(plan, *services_.files);
    if (!outcome.problem.empty()) {
        // The document stays on the desk, so the user can change the tag or target and retry.
        showProblem(QStringLiteral("%1 was not filed: %2")
                        .arg(FromStd(currentDocument), FromStd(outcome.problem)));
        return;
    }
    const std::string unrecorded = recordFiling(request, plan, outcome.createdFolders);
    const std::string filed = currentDocument;
    forgetDocument();
    clearDesk(kNoDocument);
    sayFiled(filed, plan.targetPath, unrecorded.empty());
    reportOnce(unrecorded);
}

void TForm1::refuseIncompleteYear() {
    QApplication::beep();
    showProblem(FromStd(std::string(sortwell::desk::kInvalidInputMessage)));
    MaskEdit2->setFocus();
}

bool TForm1::isPresentedDocumentAtHand() {
    const sortwell::desk::SourceResult source =
        sortwell::desk::SourcePath(presentedFolder_, currentDocument);
    if (!source.problem.empty()) {
        showProblem(FromStd(source.problem));
        return false;
    }
    const sortwell::platform::DocumentStat now = services_.files->statDocument(source.path);
    switch (sortwell::desk::CheckPresented(presentedStat_, now)) {
        case sortwell::desk::PresentedCheck::Same:
            return true;
        case sortwell::desk::PresentedCheck::Gone: {
            // Nothing is left to act on; the desk empties but stays in view to say why.
            const QString text =
                QStringLiteral("%1 is no longer in %2; nothing was done. (%3)")
                    .arg(FromStd(currentDocument), FromStd(presentedFolder_), FromStd(now.problem));
            forgetDocument();
            resumeRunner();
            refreshInbox();
            if (!holdUntilOpened_ && presentNextWaiting()) {
                notify(text);  // the next document's line must stay free for its own news
                return false;
            }
            QStatus1->setPanelText(0, kNoDocument);
            showProblem(text);
            return false;
        }
        case sortwell::desk::PresentedCheck::Replaced:
            presentedStat_ = now.stat;
            documentLook_.reset();
            lookAtDocument(services_.steadyClock());
            previewPresentedDocument();
            showProblem(
                QStringLiteral("%1 was replaced by another file since it was shown; nothing "
                               "was done. Look at it again and click once more.")
                    .arg(FromStd(currentDocument)));
            return false;
    }
    return false;
}

bool TForm1::isDocumentStable() {
    const auto seenAt = services_.steadyClock();
    const std::optional<sortwell::platform::FileStat> now = lookAtDocument(seenAt);
    if (!now) {
        return true;  // the filing itself says why it cannot go on
    }
    // A file that changed since it was presented counts from now, or from its own time.
    if (sortwell::desk::IsStableForMove(*documentLook_, *now, seenAt, services_.wallClock())) {
        return true;
    }
    showProblem(QStringLiteral("The scanner is still writing %1; click again in a moment.")
                    .arg(FromStd(currentDocument)));
    return false;
}

std::optional<sortwell::platform::FileStat> TForm1::lookAtDocument(
    std::chrono::steady_clock::time_point seenAt) {
    const sortwell::desk::SourceResult source =
        sortwell::desk::SourcePath(presentedFolder_, currentDocument);
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
    clearProblem();
    // With an empty desk there is nothing to remove.
    if (currentDocument.empty()) {
        clearDesk(kNoDocument);
        return;
    }
    if (!isPresentedDocumentAtHand()) {
        return;
    }
    const sortwell::desk::SourceResult source =
        sortwell::desk::SourcePath(presentedFolder_, currentDocument);
    const sortwell::platform::TrashResult trashed = services_.files->trashDocument(source.path);
    if (!trashed.problem.empty()) {
        showProblem(QStringLiteral("%1 was not dismissed: %2")
                        .arg(FromStd(currentDocument), FromStd(trashed.problem)));
        return;
    }
    forgetDocument();
    clearDesk(kNoDocument);
    if (!trashed.note.empty()) {
        notify(FromStd(trashed.note));
    }
}

void TForm1::forgetDocument() {
    currentDocument.clear();
    presentedFolder_.clear();
    presentedStat_ = {};
    documentLook_.reset();
    Preview->clear();
    updateTargetHints();
}

void TForm1::clearDesk(const QString& statusText) {
    QStatus1->setPanelText(0, statusText);
    resumeRunner();
    if (inboxOn_ || !inbox_.empty()) {
        // A fresh look first, so that a waiting file that went is not presented.
        refreshInbox();
        if (!holdUntilOpened_ && presentNextWaiting()) {
            return;
        }
        showWaitingCount();
    }
    MinimizeToTray();
}

void TForm1::resumeRunner() {
    configuration_->resumeRunner();
}
