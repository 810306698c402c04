#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>
#include <QUrl>

#include "app/desk_windows.h"
#include "components/message_box.h"
#include "components/notice.h"
#include "components/qdreg.h"
#include "config/tform2.h"
#include "config/tform3.h"
#include "fakes/fake_document_files.h"
#include "fakes/fake_folder_watch.h"
#include "fakes/fake_host.h"
#include "fakes/fake_journal_file.h"
#include "fakes/fake_keyboard.h"
#include "fakes/fake_program_runner.h"
#include "fakes/fake_window_system.h"

namespace sortwell::test {

// A dialog that is made the first time a test reaches it, as the program makes it when the user
// first opens it.
template <typename Dialog>
class MadeOnUse {
public:
    explicit MadeOnUse(std::function<Dialog*()> make) : make_(std::move(make)) {}
    Dialog* operator->() const { return make_(); }
    operator Dialog*() const { return make_(); }

private:
    std::function<Dialog*()> make_;
};

// The windows over fakes: an in-memory settings store, in-memory documents, a window
// list and keyboard that record what they were asked, a fixed date and clocks the test moves.
// The start sequence runs only when the test calls start(). Unless told to store exactly what is
// given, a store without "watchinput" keeps the scan-run detection most tests are written for,
// and one without "preview" keeps the desk without its preview.
class DeskFixture {
public:
    explicit DeskFixture(const std::map<std::string, std::string>& stored = {},
                         bool storeAsGiven = false) {
        store.Programmname = "Sortwell";
        store.Firmenname = "tessaryn";
        store.IniFileName = "QSortwell.ini";
        if (!storeAsGiven && !stored.contains("watchinput")) {
            store.Push("watchinput", "0");
        }
        if (!storeAsGiven && !stored.contains("preview")) {
            store.Push("preview", "0");
        }
        for (const auto& [key, value] : stored) {
            store.Push(key, value);
        }
        store.SaveToRegistry();
        store.Clear();
        services.store = &store;
        services.files = &files;
        services.folderWatch = &folderWatch;
        services.windowSystem = &windowSystem;
        services.processControl = &windowSystem;
        services.keyboard = &keyboard;
        services.programRunner = &programRunner;
        services.journal = &journal;
        services.today = [this] { return today; };
        services.wallClock = [this] { return wallNow; };
        services.steadyClock = [this] { return steadyNow; };
        services.openFolder = [this](const QString& folder) { openedFolders.append(folder); };
        services.openUrl = [this](const QUrl& address) { openedUrls.append(address); };
        windows = std::make_unique<DeskWindows>(services);
        form1 = windows->Form1.get();
        MessageBox::clearShown();
        MessageBox::clearAnswers();
        // Every message is answered without a dialog; tests read them from MessageBox::shown.
        for (int i = 0; i < kQueuedAnswers; ++i) {
            MessageBox::setNextAnswer(MessageBox::Answer::Ok);
        }
    }

    static constexpr int kQueuedAnswers = 32;

    SequenceRunner& runner() const { return *windows->Runner; }
    Configuration& configuration() const { return *windows->Settings; }

    // Shows the main window and runs the start sequence at once.
    void start() {
        form1->show();
        form1->StartTimerTimer();
    }

    // An input folder with these PDFs, as the fake lists them (in the order given).
    void setInputFolder(const std::string& folder, const std::vector<std::string>& names) {
        files.folders.insert(folder);
        files.listings[folder] = names;
        for (const std::string& name : names) {
            files.files[folder + "/" + name] = {1000, wallNow - std::chrono::minutes(5)};
        }
    }

    // What the store holds now for `key`, as read back from the per-user settings.
    std::string persisted(const std::string& key) {
        TQDReg reader(host.host());
        reader.Programmname = "Sortwell";
        reader.Firmenname = "tessaryn";
        reader.LoadFromRegistry();
        return reader.Pop(key);
    }

    FakeHost host;
    TQDReg store{host.host()};
    FakeDocumentFiles files;
    FakeFolderWatch folderWatch;
    FakeWindowSystem windowSystem;
    FakeKeyboard keyboard;
    FakeProgramRunner programRunner;
    FakeJournalFile journalFile;
    desk::FilingJournal journal{journalFile};
    std::chrono::year_month_day today{std::chrono::year{2014}, std::chrono::month{9},
                                      std::chrono::day{17}};
    std::chrono::system_clock::time_point wallNow =
        std::chrono::system_clock::time_point{} + std::chrono::hours(24 * 365 * 44);
    std::chrono::steady_clock::time_point steadyNow{std::chrono::hours(1)};
    QStringList openedFolders;
    QList<QUrl> openedUrls;
    DeskServices services;
    std::unique_ptr<DeskWindows> windows;
    TForm1* form1 = nullptr;
    MadeOnUse<TForm2> form2{[this] { return windows->Settings->dialog().editButtonDialog(); }};
    MadeOnUse<TForm3> form3{[this] { return &windows->Settings->dialog(); }};
};

}  // namespace sortwell::test
