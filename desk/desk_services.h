#pragma once

#include <chrono>
#include <functional>

#include <QString>
#include <QUrl>

#include "components/qdreg.h"
#include "desk/filing_journal.h"
#include "platform/document_files.h"
#include "platform/folder_watch.h"
#include "platform/keyboard.h"
#include "platform/program_runner.h"
#include "platform/window_system.h"

// What the windows need of the machine: the settings store, the documents, the other
// programs' windows, the keyboard, the clock and the desktop's file manager and browser. The
// program hands in the real ones; tests hand in fakes.
struct DeskServices {
    TQDReg* store = nullptr;
    sortwell::platform::DocumentFiles* files = nullptr;
    // Null where no watch can be had: the input folder is then polled.
    sortwell::platform::FolderWatch* folderWatch = nullptr;
    sortwell::platform::WindowSystem* windowSystem = nullptr;
    sortwell::platform::ProcessControl* processControl = nullptr;
    sortwell::platform::Keyboard* keyboard = nullptr;
    sortwell::platform::ProgramRunner* programRunner = nullptr;
    // The filings that can be taken back; null keeps no journal.
    sortwell::desk::FilingJournal* journal = nullptr;
    std::function<std::chrono::year_month_day()> today;
    std::function<std::chrono::system_clock::time_point()> wallClock;
    std::function<std::chrono::steady_clock::time_point()> steadyClock;
    std::function<void(const QString& folder)> openFolder;
    std::function<void(const QUrl& address)> openUrl;
};

// The clocks and desktop services of the running program.
void UseSystemClocksAndDesktop(DeskServices& services);
