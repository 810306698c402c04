#pragma once

#include <chrono>
#include <optional>

#include "platform/document_files.h"

namespace sortwell::desk {

// Some scanners close and reopen the file per page, so a scan is moved only after it has kept
// its size and modification time for this long.
inline constexpr std::chrono::seconds kQuietTime{2};

// One look at the document: its size and modification time, and since when (by the steady
// clock) it has looked like this.
struct DocumentLook {
    platform::FileStat stat;
    std::chrono::steady_clock::time_point unchangedSince{};
};

// Folds a fresh look into the earlier one: an unchanged file keeps its earlier time.
DocumentLook NextLook(const std::optional<DocumentLook>& earlier, const platform::FileStat& now,
                      std::chrono::steady_clock::time_point seenAt);

// Whether the document may be moved now, given how it looked before and how it looks right
// before the move: it must be unchanged since that look, and quiet for kQuietTime, either
// watched that long or last modified that long ago by the wall clock. A modification time in
// the future is not trusted.
bool IsStableForMove(const DocumentLook& earlier, const platform::FileStat& now,
                     std::chrono::steady_clock::time_point seenAt,
                     std::chrono::system_clock::time_point wallNow);

// Whether the file under the presented name is still the document that was presented.
enum class PresentedCheck {
    Same,      // the same file, perhaps still growing
    Gone,      // nothing to look at under that name any more
    Replaced,  // another file took the name
};
PresentedCheck CheckPresented(const platform::FileStat& presented,
                              const platform::DocumentStat& now);

}  // namespace sortwell::desk
