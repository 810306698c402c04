#include "platform/linux/settings_file_backend.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <utility>

#include "platform/linux/atomic_file.h"
#include "platform/linux/posix_file_access.h"
#include "platform/linux/settings_file_format.h"
#include "platform/linux/xdg_paths.h"

namespace sortwell::platform::linux_host {
namespace {

constexpr int kMaxAsideAttempts = 1000;

void appendProblem(std::string& all, const std::string& one) {
    if (one.empty()) {
        return;
    }
    if (!all.empty()) {
        all += ' ';
    }
    all += one;
}

// A key name becomes a path below the config folder, so it must not climb out of it.
bool isUsableProgramPath(const std::string& programPath) {
    if (programPath.empty() || programPath.find('\0') != std::string::npos) {
        return false;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = programPath.find('/', start);
        const std::string part = programPath.substr(start, slash - start);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
        start = slash + 1;
    }
}

// Creates one folder owner-only; a new folder entry is flushed so that it outlives a crash
// together with the file written into it.
std::string makeFolder(const std::string& folder, std::string& notes) {
    if (::mkdir(folder.c_str(), 0700) == 0) {
        appendProblem(notes, syncFolder(folderOf(folder)));
        return {};
    }
    const int error = errno;
    if (error == EEXIST && isFolder(folder)) {
        return {};
    }
    return "Could not create the folder " + folder + ": " +
           errorText(error == EEXIST ? ENOTDIR : error);
}

std::string ensureFolderChain(const std::string& folder, std::string& notes) {
    if (isFolder(folder)) {
        return {};
    }
    std::size_t slash = folder.find('/', 1);
    for (;;) {
        if (std::string problem = makeFolder(folder.substr(0, slash), notes); !problem.empty()) {
            return problem;
        }
        if (slash == std::string::npos) {
            return {};
        }
        slash = folder.find('/', slash + 1);
    }
}

// Every writer of the folder's settings files holds this lock from its read to its rename.
std::string lockFolder(const std::string& folder, UniqueFd& lock) {
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) {
        const int error = errno;
        return "Could not open the settings folder " + folder + ": " + errorText(error);
    }
    while (::flock(fd.get(), LOCK_EX) != 0) {
        const int error = errno;
        if (error != EINTR) {
            return "Could not lock the settings folder " + folder + ": " + errorText(error);
        }
    }
    lock = std::move(fd);
    return {};
}

std::string localTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y%m%d-%H%M%S", &parts);
    return text.data();
}

// Returns 0 or an errno; EEXIST when `to` is taken, which is never replaced.
int moveWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    const int error = errno;
    // Some filesystems do not know the flag; a hard link is just as unable to replace.
    if (error != EINVAL && error != ENOSYS) {
        return error;
    }
    if (::link(from.c_str(), to.c_str()) != 0) {
        return errno;
    }
    if (::unlink(from.c_str()) != 0) {
        const int unlinkError = errno;
        ::unlink(to.c_str());
        return unlinkError;
    }
    return 0;
}

struct KeptAside {
    bool moved = false;
    std::string problem;
};

std::string notMovedProblem(const std::string& file, const std::string& parseError,
                            const std::string& reason) {
    return "The settings file " + file + " could not be read (" + parseError +
           ") and could not be moved aside (" + reason + "); it was left as it is.";
}

KeptAside keepAside(const std::string& file, const std::string& parseError) {
    const std::string base = file + ".broken-" + localTimestamp();
    for (int attempt = 1; attempt <= kMaxAsideAttempts; ++attempt) {
        const std::string name = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        const int error = moveWithoutReplacing(file, name);
        if (error == 0) {
            return {true, "The settings file " + file + " could not be read (" + parseError +
                              ") and was kept as " + name + "."};
        }
        if (error != EEXIST) {
            return {false, notMovedProblem(file, parseError, name + ": " + errorText(error))};
        }
    }
    return {false, notMovedProblem(file, parseError,
                                   "every name up to " + base + "-" +
                                       std::to_string(kMaxAsideAttempts) + " is taken")};
}

struct LoadedSettings {
    enum class State { Missing, Read, Unreadable, Broken };
    State state = State::Missing;
    SettingsTree tree;
    std::string problem;  // the read failure, or the parse error of a broken file
};

LoadedSettings load(const std::string& file) {
    FileRead raw = readRegularFile(file);
    switch (raw.status) {
        case FileRead::Status::Missing:
            return {};
        case FileRead::Status::Failed:
            return {LoadedSettings::State::Unreadable, {}, std::move(raw.problem)};
        case FileRead::Status::Read:
            break;
    }
    ParsedSettings parsed = parseSettingsFile(raw.bytes);
    if (!parsed.ok) {
        return {LoadedSettings::State::Broken, {}, std::move(parsed.error)};
    }
    return {LoadedSettings::State::Read, std::move(parsed.tree), {}};
}

SettingsRead failedRead(std::string problem) {
    SettingsRead result;
    result.status = SettingsRead::Status::Failed;
    result.problem = std::move(problem);
    return result;
}

SettingsRead toRead(LoadedSettings loaded) {
    SettingsRead result;
    switch (loaded.state) {
        case LoadedSettings::State::Missing:
            return result;
        case LoadedSettings::State::Read:
            result.status = SettingsRead::Status::Read;
            result.tree = std::move(loaded.tree);
            return result;
        case LoadedSettings::State::Unreadable:
        case LoadedSettings::State::Broken:
            break;
    }
    return failedRead(std::move(loaded.problem));
}

// Looks again under the lock: another process may have replaced the broken file meanwhile,
// and moving that replacement aside would hide good settings.
SettingsRead readBrokenLocked(const std::string& file, const std::string& parseError) {
    UniqueFd lock;
    if (std::string problem = lockFolder(folderOf(file), lock); !problem.empty()) {
        return failedRead(notMovedProblem(file, parseError, problem));
    }
    LoadedSettings loaded = load(file);
    if (loaded.state != LoadedSettings::State::Broken) {
        return toRead(std::move(loaded));
    }
    return failedRead(keepAside(file, loaded.problem).problem);
}

SettingsWrite failedWrite(std::string problem) {
    return {false, std::move(problem)};
}

}  // namespace

SettingsFileBackend::SettingsFileBackend(std::string configHome)
    : configHome_(std::move(configHome)) {}

std::string SettingsFileBackend::settingsFilePath(const std::string& programPath) const {
    return locate(programPath).file;
}

SettingsFileBackend::Location SettingsFileBackend::locate(const std::string& programPath) const {
    if (!isUsableProgramPath(programPath)) {
        return {{}, "\"" + programPath + "\" is not a usable settings key name."};
    }
    const std::string base = configHome_ ? *configHome_ : configHome();
    if (base.empty()) {
        return {{},
                "No folder for settings is known: neither XDG_CONFIG_HOME nor the home folder "
                "is set."};
    }
    return {base + "/" + programPath + ".conf", {}};
}

SettingsRead SettingsFileBackend::read(const std::string& programPath) {
    const Location where = locate(programPath);
    if (!where.problem.empty()) {
        return failedRead(where.problem);
    }
    LoadedSettings loaded = load(where.file);
    if (loaded.state == LoadedSettings::State::Broken) {
        return readBrokenLocked(where.file, loaded.problem);
    }
    return toRead(std::move(loaded));
}

SettingsWrite SettingsFileBackend::update(const std::string& programPath,
                                          const std::function<void(SettingsTree&)>& change,
                                          FlushTiming timing) {
    const Location where = locate(programPath);
    if (!where.problem.empty()) {
        return failedWrite(where.problem);
    }
    std::string notes = std::exchange(deferredProblems_, std::string());
    const std::string folder = folderOf(where.file);
    if (std::string problem = ensureFolderChain(folder, notes); !problem.empty()) {
        appendProblem(notes, problem);
        return failedWrite(notes);
    }
    UniqueFd lock;
    if (std::string problem = lockFolder(folder, lock); !problem.empty()) {
        appendProblem(notes, problem);
        return failedWrite(notes);
    }
    sweepOnce(where.file, notes);
    SettingsWrite result = writeLocked(where.file, change, timing);
    appendProblem(notes, result.problem);
    result.problem = std::move(notes);
    return result;
}

SettingsWrite SettingsFileBackend::writeLocked(const std::string& file,
                                               const std::function<void(SettingsTree&)>& change,
                                               FlushTiming timing) {
    LoadedSettings current = load(file);
    std::string notes;
    switch (current.state) {
        case LoadedSettings::State::Unreadable:
            return failedWrite(current.problem + " Nothing was saved.");
        case LoadedSettings::State::Broken: {
            KeptAside kept = keepAside(file, current.problem);
            if (!kept.moved) {
                return failedWrite(kept.problem + " Nothing was saved.");
            }
            notes = std::move(kept.problem);
            break;
        }
        case LoadedSettings::State::Missing:
        case LoadedSettings::State::Read:
            break;
    }
    change(current.tree);
    const std::string problem =
        writeFileAtomically(file, formatSettingsFile(current.tree), timing == FlushTiming::Now);
    if (!problem.empty()) {
        appendProblem(notes, problem);
        return failedWrite(notes);
    }
    noteWritten(file, timing);
    return {true, notes};
}

// Runs under the folder lock, when no other writer can own such a file.
void SettingsFileBackend::sweepOnce(const std::string& file, std::string& notes) {
    if (swept_.insert(file).second) {
        appendProblem(notes, removeLeftoverTemporaries(file));
    }
}

void SettingsFileBackend::noteWritten(const std::string& file, FlushTiming timing) {
    if (timing == FlushTiming::Now) {
        // The flush of this write also covered any earlier one still waiting.
        forgetUnflushed(file);
    } else if (std::find(unflushed_.begin(), unflushed_.end(), file) == unflushed_.end()) {
        unflushed_.push_back(file);
    }
}

void SettingsFileBackend::forgetUnflushed(const std::string& file) {
    unflushed_.erase(std::remove(unflushed_.begin(), unflushed_.end(), file), unflushed_.end());
}

void SettingsFileBackend::deferProblem(const std::string& problem) {
    appendProblem(deferredProblems_, problem);
}

bool SettingsFileBackend::removeProgramKey(const std::string& programPath) {
    const Location where = locate(programPath);
    if (!where.problem.empty()) {
        deferProblem(where.problem);
        return false;
    }
    const std::string folder = folderOf(where.file);
    if (!isFolder(folder)) {
        return false;
    }
    UniqueFd lock;
    if (std::string problem = lockFolder(folder, lock); !problem.empty()) {
        deferProblem(problem);
        return false;
    }
    if (::unlink(where.file.c_str()) != 0) {
        const int error = errno;
        if (error != ENOENT) {
            deferProblem("Could not remove " + where.file + ": " + errorText(error));
        }
        return false;
    }
    forgetUnflushed(where.file);
    if (std::string problem = syncFolder(folder); !problem.empty()) {
        deferProblem(problem);
        return false;
    }
    return true;
}

void SettingsFileBackend::flush() {
    for (const std::string& file : unflushed_) {
        std::string problem = syncFileAndFolder(file);
        // Removed by another process since: what is left to flush is its folder entry.
        if (!problem.empty() && !isRegularFile(file)) {
            problem = syncFolder(folderOf(file));
        }
        if (!problem.empty()) {
            deferProblem("Settings saved earlier may not be on disk: " + problem);
        }
    }
    unflushed_.clear();
}

}  // namespace sortwell::platform::linux_host
