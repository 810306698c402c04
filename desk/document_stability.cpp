#include "desk/document_stability.h"

namespace sortwell::desk {

DocumentLook NextLook(const std::optional<DocumentLook>& earlier, const platform::FileStat& now,
                      std::chrono::steady_clock::time_point seenAt) {
    if (earlier && earlier->stat == now) {
        return *earlier;
    }
    return {now, seenAt};
}

bool IsStableForMove(const DocumentLook& earlier, const platform::FileStat& now,
                     std::chrono::steady_clock::time_point seenAt,
                     std::chrono::system_clock::time_point wallNow) {
    if (earlier.stat != now) {
        return false;
    }
    const bool watchedLongEnough = seenAt - earlier.unchangedSince >= kQuietTime;
    const bool modifiedLongAgo = wallNow - now.modified >= kQuietTime;
    return watchedLongEnough || modifiedLongAgo;
}

PresentedCheck CheckPresented(const platform::FileStat& presented,
                              const platform::DocumentStat& now) {
    if (!now.problem.empty()) {
        return PresentedCheck::Gone;
    }
    const bool sameFile = now.stat.device == presented.device && now.stat.inode == presented.inode;
    return sameFile ? PresentedCheck::Same : PresentedCheck::Replaced;
}

}  // namespace sortwell::desk
