#pragma once

#include <string>

#include "desk/filing_journal.h"
#include "platform/document_files.h"

namespace sortwell::desk {

struct UndoOutcome {
    std::string problem;       // non-empty: nothing was moved, and this says why
    std::string note;          // non-empty: taken back, but this went wrong on the side
    std::string returnedName;  // its name in the input folder now
    FiledDocument filing;      // the filing taken back, with the entries it was filed with
};

// Takes the newest undoable filing back into `currentInputFolder` under its original name, or
// a free one such as "scan (2).pdf", and removes the folders that filing created if they are
// empty now. Refuses, moving nothing, when the filed file was changed, renamed or removed
// since, or when the input folder is not the one it was filed from.
UndoOutcome UndoLastFiling(FilingJournal& journal, const std::string& currentInputFolder,
                           platform::DocumentFiles& files);

// Ends the undos a crash interrupted, so that each document exists exactly once: one back in
// the input folder and gone from its target is noted done, one still at its target is noted
// abandoned. Run at start-up after the interrupted moves are finished. Returns what went
// wrong, one sentence a line, or empty text.
std::string FinishInterruptedUndos(FilingJournal& journal, platform::DocumentFiles& files);

}  // namespace sortwell::desk
