#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QSystemTrayIcon>

#include "components/mask_edit.h"
#include "components/notice.h"
#include "components/qstatus.h"
#include "desk/tag_history.h"
#include "desk/tform1.h"

namespace {
constexpr std::size_t kSuggestedTags = 50;
const QString kTitle = QStringLiteral("Tessaryn Sortwell");

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

std::int64_t SecondsSinceEpoch(std::chrono::system_clock::time_point time) {
    return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}
}  // namespace

std::string TForm1::recordFiling(const sortwell::desk::FilingRequest& request,
                                 const sortwell::desk::FilingPlan& plan,
                                 const std::vector<std::string>& createdFolders) {
    if (services_.journal == nullptr) {
        return {};  // said at the start: no journal could be read
    }
    const sortwell::platform::DocumentStat filed = services_.files->statDocument(plan.targetPath);
    std::string problem = filed.problem;
    if (problem.empty()) {
        problem = noteFiling(request, plan, createdFolders, filed.stat);
    }
    if (!problem.empty()) {
        unrecordedFiling_ = request.documentName;
        return request.documentName + " was filed, but it cannot be taken back: " + problem;
    }
    unrecordedFiling_.clear();
    updateTagSuggestions();
    return {};
}

std::string TForm1::noteFiling(const sortwell::desk::FilingRequest& request,
                               const sortwell::desk::FilingPlan& plan,
                               const std::vector<std::string>& createdFolders,
                               const sortwell::platform::FileStat& filedStat) {
    sortwell::desk::FiledDocument filing;
    filing.inputFolder = request.inputFolder;
    filing.documentName = request.documentName;
    filing.targetPath = plan.targetPath;
    filing.createdFolders = createdFolders;
    filing.entries = request.entries;
    filing.filed = filedStat;
    filing.filedAtSeconds = SecondsSinceEpoch(services_.wallClock());
    return services_.journal->recordFiling(std::move(filing));
}

void TForm1::sayFiled(const std::string& name, const std::string& target, bool undoable) {
    lastFiling_ = QStringLiteral("%1 filed to %2").arg(FromStd(name), FromStd(target));
    if (filingNotice_ == nullptr) {
        filingNotice_ = new Notice(this);
        connect(filingNotice_, &Notice::actionChosen, this, &TForm1::UndoLastFiling);
    }
    filingNotice_->say(kTitle, lastFiling_, undoable ? QStringLiteral("Undo") : QString());
    updateTrayToolTip();
    offerUndo();
}

void TForm1::offerUndo() {
    const std::vector<sortwell::desk::FiledDocument> undoable =
        services_.journal != nullptr && unrecordedFiling_.empty()
            ? services_.journal->undoable()
            : std::vector<sortwell::desk::FiledDocument>{};
    UndoButton->setEnabled(!undoable.empty());
    UndoFiling1->setEnabled(!undoable.empty());
    // A name may hold "&"; doubled, the menu shows it instead of taking it as a shortcut.
    UndoFiling1->setText(
        undoable.empty()
            ? QStringLiteral("&Undo Filing")
            : QStringLiteral("&Undo Filing of %1")
                  .arg(FromStd(undoable.front().documentName).replace('&', QStringLiteral("&&"))));
    UndoButton->setToolTip(undoable.empty() ? QStringLiteral("No filing to take back.")
                                            : QStringLiteral("Take back the filing of %1 (Ctrl+Z).")
                                                  .arg(FromStd(undoable.front().documentName)));
}

void TForm1::UndoButtonClick() {
    UndoLastFiling();
}

void TForm1::UndoFiling1Click() {
    UndoLastFiling();
}

void TForm1::UndoWhenStarted() {
    if (startupDone) {
        UndoLastFiling();
    } else {
        undoWhenStarted_ = true;
    }
}

void TForm1::UndoLastFiling() {
    if (filingInProgress_) {
        undoAfterFiling_ = true;
        return;
    }
    if (services_.journal == nullptr) {
        showProblem(QStringLiteral("Nothing to undo: the filing journal could not be read."));
        return;
    }
    if (!unrecordedFiling_.empty()) {
        RestoreFromTray();
        showProblem(QStringLiteral("%1 could not be noted in the filing journal, so it cannot be "
                                   "taken back; nothing was done.")
                        .arg(FromStd(unrecordedFiling_)));
        return;
    }
    clearProblem();
    const sortwell::desk::UndoOutcome outcome = sortwell::desk::UndoLastFiling(
        *services_.journal, inputFolder().toStdString(), *services_.files);
    offerUndo();
    if (!outcome.problem.empty()) {
        RestoreFromTray();
        showProblem(FromStd(outcome.problem));
        return;
    }
    if (filingNotice_ != nullptr) {
        filingNotice_->dismiss();
    }
    presentReturned(outcome);
    if (!outcome.note.empty()) {
        notify(FromStd(outcome.note));
    }
}

void TForm1::presentReturned(const sortwell::desk::UndoOutcome& outcome) {
    if (!currentDocument.empty()) {
        // The document on the desk stays in the input folder and comes next.
        inbox_.Add({currentDocument, services_.wallClock()}, {});
        inbox_.PutFirst(currentDocument);
    }
    inbox_.Remove(outcome.returnedName);
    currentDocument = outcome.returnedName;
    documentLook_.reset();
    presentDocument();
    useFiledEntries(outcome.filing.entries);
    showWaitingCount();
    lastFiling_ = QStringLiteral("%1 taken back into %2")
                      .arg(FromStd(outcome.returnedName), FromStd(presentedFolder_));
    updateTrayToolTip();
}

void TForm1::useFiledEntries(const sortwell::desk::FilingEntries& entries) {
    Edit1->setText(FromStd(entries.tag));
    Edit1->selectAll();
    MaskEdit1->setText(FromStd(entries.month));
    MaskEdit2->setText(FromStd(entries.year));
    const int name = ComboBox1->findText(FromStd(entries.name));
    if (name >= 0 && name != ComboBox1->currentIndex()) {
        ComboBox1->setCurrentIndex(name);
        PostponedRefreshButtons();
    }
    // The same entries that filed it once file it again at one click.
    tagConfirmed = true;
    updateTargetHints();
}

void TForm1::updateTagSuggestions() {
    if (services_.journal == nullptr) {
        return;
    }
    QStringList tags;
    for (const std::string& tag :
         sortwell::desk::SuggestTags(services_.journal->filings(), kSuggestedTags)) {
        tags << FromStd(tag);
    }
    auto* completer = Edit1->completer();
    if (completer == nullptr) {
        completer = new QCompleter(new QStringListModel(this), Edit1);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setFilterMode(Qt::MatchContains);
        completer->setCompletionMode(QCompleter::PopupCompletion);
        completer->setModelSorting(QCompleter::UnsortedModel);
        Edit1->setCompleter(completer);
    }
    qobject_cast<QStringListModel*>(completer->model())->setStringList(tags);
}

void TForm1::updateTrayToolTip() {
    QString tip = QStringLiteral("Tessaryn Sortwell Desk");
    const std::string waiting = sortwell::desk::DocumentsWaitingText(inbox_.size());
    if (!waiting.empty()) {
        tip += QStringLiteral(": ") + FromStd(waiting);
    }
    if (!lastFiling_.isEmpty()) {
        tip += QStringLiteral("\nLast: ") + lastFiling_;
    }
    TrayIcon1->setToolTip(tip);
}
