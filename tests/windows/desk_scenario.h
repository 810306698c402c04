#pragma once

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include <QLabel>
#include <QString>
#include <QToolButton>

#include "components/qstatus.h"
#include "desk/tform1.h"
#include "windows/desk_fixture.h"

// A desk with two targets over the fakes, and the steps that the filing tests take on it.
namespace sortwell::test::scenario {

inline const std::string kScans = "/scans";
// The folder every target files under; it exists, as an archive does.
inline const std::string kArchive = "/archive";
inline const QString kDatedPattern = QStringLiteral("/archive/%YEAR/%MONTH %NAME");
inline const QString kTaggedPattern = QStringLiteral("/archive/%YEAR/%TAG");

// Two targets, one without and one with the tag, two names, and a tag left from last time.
inline std::map<std::string, std::string> StoredDesk() {
    return {{"inputdir", kScans},
            {"lasttag", "Invoice"},
            {"icon0", "<none>"},
            {"caption0", "Dated"},
            {"folder0", kDatedPattern.toStdString()},
            {"hide0", ""},
            {"icon1", "<none>"},
            {"caption1", "Tagged"},
            {"folder1", kTaggedPattern.toStdString()},
            {"hide1", ""},
            {"name0", "Anna"},
            {"name1", "Ben"}};
}

// Starts the desk over an input folder that already holds `present`, with fresh target
// buttons and a clean record of file calls.
inline void StartDesk(DeskFixture& desk, const std::vector<std::string>& present = {"old.pdf"}) {
    desk.setInputFolder(kScans, present);
    desk.files.folders.insert(kArchive);
    desk.start();
    desk.form1->RefreshButtons();
    desk.files.calls.clear();
}

// A scan arriving in the input folder after the start, listed after the earlier ones.
inline void Arrive(DeskFixture& desk, const std::string& name,
                   std::chrono::system_clock::time_point modified) {
    desk.files.listings[kScans].push_back(name);
    desk.files.files[kScans + "/" + name] = {2000, modified};
}

inline void Arrive(DeskFixture& desk, const std::string& name) {
    Arrive(desk, name, desk.wallNow - std::chrono::minutes(1));
}

// The folder listing follows the files, as a real folder would after a move or delete.
inline void ForgetGoneFromListing(DeskFixture& desk) {
    std::erase_if(desk.files.listings[kScans], [&desk](const std::string& name) {
        return !desk.files.files.contains(kScans + "/" + name);
    });
}

// Looked up at each use: a grid refresh replaces the buttons.
inline QToolButton* TargetButton(DeskFixture& desk, const QString& pattern) {
    const auto buttons = desk.form1->Panel1->findChildren<QToolButton*>();
    const auto it = std::find_if(buttons.begin(), buttons.end(), [&pattern](QToolButton* b) {
        return b->property("folder").toString() == pattern;
    });
    return it == buttons.end() ? nullptr : *it;
}

inline bool ClickTarget(DeskFixture& desk, const QString& pattern) {
    QToolButton* button = TargetButton(desk, pattern);
    if (button == nullptr) {
        return false;
    }
    button->click();
    return true;
}

inline int CountCalls(const DeskFixture& desk, const std::string& prefix) {
    return static_cast<int>(
        std::count_if(desk.files.calls.begin(), desk.files.calls.end(),
                      [&prefix](const std::string& call) { return call.starts_with(prefix); }));
}

inline QString StatusText(const DeskFixture& desk) {
    return desk.form1->QStatus1->panelText(0);
}

// The reason on the desk, empty while none is shown.
inline QString ProblemText(const DeskFixture& desk) {
    return desk.form1->ProblemLine->isVisibleTo(desk.form1) ? desk.form1->ProblemLine->text()
                                                            : QString();
}

}  // namespace sortwell::test::scenario
