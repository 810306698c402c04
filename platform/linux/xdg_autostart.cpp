#include "platform/linux/xdg_autostart.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/linux/atomic_file.h"
#include "platform/linux/proc_program_location.h"
#include "platform/linux/xdg_paths.h"

namespace sortwell::platform::linux_host {
namespace {

std::string percentEncoded(unsigned char byte) {
    constexpr std::string_view kHexDigits = "0123456789ABCDEF";
    return {'%', kHexDigits[byte >> 4], kHexDigits[byte & 0x0F]};
}

bool needsPercent(unsigned char byte, bool first) {
    return byte == '%' || byte == '/' || byte < 0x20 || (first && byte == '.');
}

const char* escapeSequence(char c) {
    switch (c) {
        case '\\':
            return "\\\\";
        case '\n':
            return "\\n";
        case '\t':
            return "\\t";
        case '\r':
            return "\\r";
        default:
            return nullptr;
    }
}

std::string autostartFolder() {
    const std::string config = configHome();
    return config.empty() ? std::string() : config + "/autostart";
}

// Empty when there is no place for entries, or no name that enable() would have accepted.
std::string entryPath(const std::string& name) {
    const std::string folder = autostartFolder();
    return folder.empty() || name.empty() ? std::string() : folder + "/" + autostartFileName(name);
}

std::string createFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return error ? "cannot create folder " + folder + ": " + error.message() : std::string();
}

}  // namespace

std::string autostartFileName(const std::string& name) {
    std::string fileName;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (needsPercent(byte, i == 0)) {
            fileName += percentEncoded(byte);
        } else {
            fileName += name[i];
        }
    }
    return fileName + ".desktop";
}

std::string quoteExecArgument(const std::string& path) {
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '%') {
            quoted += "%%";
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string escapeDesktopString(const std::string& text) {
    std::string escaped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Readers strip blanks after "=", so only a leading space needs protection.
        if (i == 0 && text[i] == ' ') {
            escaped += "\\s";
        } else if (const char* sequence = escapeSequence(text[i])) {
            escaped += sequence;
        } else {
            escaped += text[i];
        }
    }
    return escaped;
}

std::string autostartEntryText(const std::string& name, const std::string& executable) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           escapeDesktopString(name) +
           "\n"
           "Exec=" +
           escapeDesktopString(quoteExecArgument(executable)) +
           "\n"
           "X-GNOME-Autostart-enabled=true\n";
}

std::string XdgAutostart::enable(const std::string& name, const std::string& executable) {
    if (name.empty()) {
        return "an autostart entry needs a name";
    }
    if (executable.empty()) {
        return "the autostart entry " + name + " names no program";
    }
    const ProgramFile program = programFileFromLink(executable, isRegularFile);
    if (!program.problem.empty()) {
        return program.problem + " The autostart entry " + name + " is left as it was.";
    }
    const std::string folder = autostartFolder();
    if (folder.empty()) {
        return "no home folder to hold the autostart entry " + name;
    }
    if (std::string problem = createFolder(folder); !problem.empty()) {
        return problem;
    }
    return writeFileAtomically(entryPath(name), autostartEntryText(name, program.path), true);
}

std::string XdgAutostart::disable(const std::string& name) {
    const std::string path = entryPath(name);
    if (path.empty() || unlink(path.c_str()) == 0) {
        return {};
    }
    const int error = errno;
    return error == ENOENT ? std::string() : "cannot remove " + path + ": " + errorText(error);
}

bool XdgAutostart::isEnabled(const std::string& name) {
    const std::string path = entryPath(name);
    return !path.empty() && isRegularFile(path);
}

}  // namespace sortwell::platform::linux_host
