#include <QLineEdit>

#include "components/qstatus.h"
#include "desk/tform1.h"

void TForm1::DocumentDetectionTimerTimer() {
    // With the inbox every new file is queued, and the one this run waits for goes first.
    if (inboxOn_) {
        scanInbox();
    } else {
        Detection(false);
    }
}

void TForm1::DocumentDetectionTimerTimeoutTimer() {
    DocumentDetectionTimerTimeout.setEnabled(false);
    DocumentDetectionTimer.setEnabled(false);
    Detection(true);
}

void TForm1::Detection(bool baseline) {
    const std::string folder = inputFolder().toStdString();
    if (folder.empty()) {
        return;
    }
    if (!services_.files->folderExists(folder)) {
        reportUnreadableInputFolder(baseline, "there is no such folder");
        return;
    }
    const sortwell::platform::DocumentListing listing = services_.files->listDocuments(folder);
    if (!listing.problem.empty()) {
        reportUnreadableInputFolder(baseline, listing.problem);
        return;
    }
    clearFolderProblem();
    const std::string found =
        sortwell::desk::DetectionDecision(baseline, listing.names, knownFiles, currentDocument);
    if (found != currentDocument) {
        documentLook_.reset();
    }
    currentDocument = found;
    inbox_.Remove(found);  // a handed-over file that the scan run found first
    if (!currentDocument.empty()) {
        presentDocument();
    }
}

void TForm1::clearFolderProblem() {
    if (folderProblemShown_) {
        // The folder is back: the old complaint no longer holds.
        folderProblemShown_ = false;
        if (currentDocument.empty()) {
            QStatus1->setPanelText(0, QStringLiteral("no document"));
        }
    }
}

void TForm1::presentDocument() {
    DocumentDetectionTimer.setEnabled(false);
    DocumentDetectionTimerTimeout.setEnabled(false);
    RestoreFromTray();
    clearProblem();
    QStatus1->setPanelText(0, QString::fromStdString(sortwell::desk::ShownName(currentDocument)));
    rememberPresentedDocument();
    previewPresentedDocument();
    tagConfirmed = false;
    activateWindow();
    callWhereFocusIsNotGiven();
    Edit1->setText(QString::fromStdString(services_.store->Pop("lasttag")));
    Edit1->selectAll();
    Edit1->setFocus();
    checkTargetFolders();
}

void TForm1::rememberPresentedDocument() {
    // Filing and Dismiss act on this file only, wherever the input folder setting points later.
    presentedFolder_ = inputFolder().toStdString();
    documentLook_.reset();
    presentedStat_ =
        lookAtDocument(services_.steadyClock()).value_or(sortwell::platform::FileStat{});
}

void TForm1::reportUnreadableInputFolder(bool baseline, const std::string& reason) {
    // Said while a scan is awaited and no document is on the desk; nothing else changes.
    if (baseline || !currentDocument.empty()) {
        return;
    }
    QStatus1->setPanelText(0, QStringLiteral("Input folder %1 cannot be read: %2")
                                  .arg(inputFolder(), QString::fromStdString(reason)));
    folderProblemShown_ = true;
}
