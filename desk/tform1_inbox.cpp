#include <filesystem>
#include <optional>

#include <QLabel>
#include <QSocketNotifier>
#include <QSystemTrayIcon>

#include "components/qstatus.h"
#include "config/configuration_face.h"
#include "desk/filing.h"
#include "desk/tform1.h"

// The folder as saved: a half-typed path in the open dialog must not decide what is presented.
std::string TForm1::inboxFolder() const {
    return services_.store->Pop("inputdir");
}

void TForm1::followInboxSetting() {
    if (!startupDone) {
        return;  // the start sequence starts the inbox once the baseline is taken
    }
    const bool wanted = configuration_->watchInput();
    if (wanted && !inboxOn_) {
        startInbox(false);
    } else if (!wanted && inboxOn_) {
        stopInbox();
    } else if (inboxOn_ && inboxFolder() != watchedFolder_) {
        scanInbox();
    }
}

void TForm1::startInbox(bool holdUntilOpened) {
    inboxOn_ = true;
    watchInputFolder();
    refreshInbox();
    holdUntilOpened_ = holdUntilOpened && !inbox_.empty();
    presentWhenFree();
}

void TForm1::stopInbox() {
    inboxOn_ = false;
    holdUntilOpened_ = false;
    stopWatching();
    InboxPollTimer.setEnabled(false);
    InboxSettleTimer.setEnabled(false);
    inbox_.ForgetFound();
    showWaitingCount();
}

void TForm1::watchInputFolder() {
    stopWatching();
    watchedFolder_ = inboxFolder();
    // A folder that is not there yet is looked for again at every poll.
    InboxPollTimer.setEnabled(true);
    if (watchedFolder_.empty() || !services_.files->folderExists(watchedFolder_)) {
        return;
    }
    const sortwell::platform::WatchStart start =
        services_.folderWatch != nullptr
            ? services_.folderWatch->watch(watchedFolder_)
            : sortwell::platform::WatchStart{-1, "no folder watch is available"};
    if (start.polled()) {
        sayPollingOnce(start.pollReason);
        return;
    }
    InboxPollTimer.setEnabled(false);
    watchNotifier_ = new QSocketNotifier(start.handle, QSocketNotifier::Read, this);
    connect(watchNotifier_, &QSocketNotifier::activated, this, &TForm1::FolderWatchActivated);
}

void TForm1::stopWatching() {
    if (watchNotifier_ == nullptr) {
        return;
    }
    // This may run inside the notifier's own signal: it goes once that has returned.
    watchNotifier_->setEnabled(false);
    watchNotifier_->deleteLater();
    watchNotifier_ = nullptr;
    services_.folderWatch->stop();
}

void TForm1::sayPollingOnce(const std::string& reason) {
    if (pollingSaid_) {
        return;
    }
    pollingSaid_ = true;
    const QString text = QStringLiteral("Checking the input folder every 2 s: %1.")
                             .arg(QString::fromStdString(reason));
    if (currentDocument.empty()) {
        QStatus1->setPanelText(0, text);
    } else {
        notify(text);  // the status bar shows the document now
    }
}

void TForm1::FolderWatchActivated() {
    switch (services_.folderWatch->drain()) {
        case sortwell::platform::WatchNews::Nothing:
            return;
        case sortwell::platform::WatchNews::Changed:
            // Counted from the first event of a burst, so a steady stream still gets listed.
            InboxSettleTimer.setEnabled(true);
            return;
        case sortwell::platform::WatchNews::FolderGone:
            // Polled until it is back; the listing says what happened to it.
            stopWatching();
            InboxPollTimer.setEnabled(true);
            scanInbox();
            return;
    }
}

void TForm1::InboxSettleTimerTimer() {
    InboxSettleTimer.setEnabled(false);
    scanInbox();
}

void TForm1::InboxPollTimerTimer() {
    if (watchNotifier_ == nullptr) {
        watchInputFolder();
    }
    scanInbox();
}

void TForm1::scanInbox() {
    const std::vector<std::string> joined = refreshInbox();
    if (!joined.empty()) {
        holdUntilOpened_ = false;  // a new scan is presented at once, the oldest first
    }
    presentWhenFree();
}

std::vector<std::string> TForm1::refreshInbox() {
    if (!inboxOn_) {
        return {};
    }
    const std::string folder = inboxFolder();
    if (folder != watchedFolder_) {
        watchInputFolder();
    }
    if (folder.empty()) {
        return {};
    }
    if (!services_.files->folderExists(folder)) {
        const bool isFile = services_.files->statDocument(folder).problem.empty();
        reportUnreadableInputFolder(
            false, isFile ? "it is a file, not a folder" : "there is no such folder");
        return {};
    }
    const std::optional<std::vector<sortwell::desk::InboxEntry>> listing = listInbox(folder);
    if (!listing) {
        return {};
    }
    std::vector<std::string> joined = inbox_.Update(*listing, currentDocument);
    if (!joined.empty() && DocumentDetectionTimer.isEnabled()) {
        // The scan the runner waits for goes ahead of the documents that were waiting already.
        inbox_.PutFirst(joined.front());
        DocumentDetectionTimer.setEnabled(false);
        DocumentDetectionTimerTimeout.setEnabled(false);
    }
    showWaitingCount();
    return joined;
}

std::optional<std::vector<sortwell::desk::InboxEntry>> TForm1::listInbox(
    const std::string& folder) {
    const sortwell::platform::DocumentListing listing = services_.files->listDocuments(folder);
    if (!listing.problem.empty()) {
        // The queue stays as it was: nothing in it is lost while the folder cannot be read.
        reportUnreadableInputFolder(false, listing.problem);
        return std::nullopt;
    }
    clearFolderProblem();
    std::vector<sortwell::desk::InboxEntry> entries;
    entries.reserve(listing.names.size());
    // Only new names are looked at: a large folder on a network share is listed every 2 s.
    const auto ages = inbox_.Ages();
    for (const std::string& name : listing.names) {
        if (const auto known = ages.find(name); known != ages.end()) {
            entries.push_back({name, known->second});
            continue;
        }
        const sortwell::desk::SourceResult source = sortwell::desk::SourcePath(folder, name);
        const sortwell::platform::DocumentStat stat = services_.files->statDocument(source.path);
        // A file that went between the listing and the look is not waiting any more.
        if (source.problem.empty() && stat.problem.empty()) {
            entries.push_back({name, stat.stat.modified});
        }
    }
    return entries;
}

void TForm1::PresentHandedOver(const std::string& path) {
    if (!startupDone) {
        handedOverEarly_.push_back(path);  // the input folder is known once the start is done
        return;
    }
    const std::filesystem::path file(path);
    const auto asFolder = [](const std::filesystem::path& folder) {
        return sortwell::desk::SourceFolder(folder.lexically_normal().string());
    };
    if (asFolder(file.parent_path()) != asFolder(inboxFolder())) {
        notify(QStringLiteral("%1 was handed over, but it is not in the input folder %2.")
                   .arg(QString::fromStdString(path), QString::fromStdString(inboxFolder())));
        return;
    }
    // Stamped with the hand-over time, it goes after every document found before it.
    inbox_.Add({file.filename().string(), services_.wallClock()}, currentDocument);
    holdUntilOpened_ = false;
    presentWhenFree();
}

void TForm1::presentWhenFree() {
    if (currentDocument.empty() && !holdUntilOpened_) {
        presentNextWaiting();
    }
    showWaitingCount();
}

bool TForm1::presentNextWaiting() {
    const std::string next = inbox_.TakeNext();
    if (next.empty()) {
        return false;
    }
    currentDocument = next;
    documentLook_.reset();
    presentDocument();
    showWaitingCount();
    return true;
}

void TForm1::showWaitingCount() {
    const std::size_t waiting = inbox_.size();
    const std::string text = currentDocument.empty() ? sortwell::desk::DocumentsWaitingText(waiting)
                                                     : sortwell::desk::MoreWaitingText(waiting);
    WaitingLabel->setText(QString::fromStdString(text));
    WaitingLabel->setVisible(!text.empty());
    updateTrayToolTip();
}
