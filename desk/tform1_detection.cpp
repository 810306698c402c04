#include <QLineEdit>

#include "components/qstatus.h"
#include "desk/tform1.h"

void TForm1::DocumentDetectionTimerTimer() {
    Detection(false);
}

void TForm1::DocumentDetectionTimerTimeoutTimer() {
    DocumentDetectionTimerTimeout.setEnabled(false);
    DocumentDetectionTimer.setEnabled(false);
    Detection(true);
}

void TForm1::Detection(bool baseline) {
    const std::string folder = inputFolder().toStdString();
    if (folder.empty() || !services_.files->folderExists(folder)) {
        return;
    }
    const sortwell::platform::DocumentListing listing = services_.files->listDocuments(folder);
    if (!listing.problem.empty()) {
        return;
    }
    const std::string found =
        sortwell::desk::DetectionDecision(baseline, listing.names, knownFiles, currentDocument);
    if (found != currentDocument) {
        documentLook_.reset();
    }
    currentDocument = found;
    if (!currentDocument.empty()) {
        presentDocument();
    }
}

void TForm1::presentDocument() {
    DocumentDetectionTimer.setEnabled(false);
    DocumentDetectionTimerTimeout.setEnabled(false);
    RestoreFromTray();
    QStatus1->setPanelText(0, QString::fromStdString(currentDocument));
    lookAtDocument();
    tagConfirmed = false;
    activateWindow();
    Edit1->setText(QString::fromStdString(services_.store->Pop("lasttag")));
    Edit1->selectAll();
    Edit1->setFocus();
}
