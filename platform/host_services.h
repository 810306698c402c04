#pragma once

#include <memory>
#include <string>

#include "platform/document_files.h"
#include "platform/folder_watch.h"
#include "platform/host.h"
#include "platform/journal_file.h"
#include "platform/keyboard.h"
#include "platform/program_runner.h"
#include "platform/session.h"
#include "platform/window_system.h"

namespace sortwell::platform {

// Every service of the machine the program runs on, alive as long as this object.
class HostServices {
public:
    virtual ~HostServices() = default;

    // What the settings store relies on.
    virtual const Host& store() = 0;
    virtual DocumentFiles& documents() = 0;
    virtual FolderWatch& folderWatch() = 0;
    virtual WindowSystem& windowSystem() = 0;
    virtual Keyboard& keyboard() = 0;
    virtual ProcessControl& processControl() = 0;
    virtual ProgramRunner& programRunner() = 0;
    // The filing journal, which keeps the filings that can be taken back across restarts.
    virtual JournalFile& journal() = 0;

    // Which session was found and what the user should hear about it once.
    virtual const HostChoice& choice() const = 0;
    // What finishing the moves that a crash interrupted had to report, or empty text.
    virtual std::string finishInterruptedWork() = 0;
};

// The host of this operating system for the session that `environment` describes.
std::unique_ptr<HostServices> MakeHostServices(const SessionEnvironment& environment);

}  // namespace sortwell::platform
