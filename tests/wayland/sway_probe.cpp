#include "wayland/sway_probe.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <sstream>
#include <thread>
#include <vector>

namespace sortwell::test {
namespace {

std::string commandOutput(const char* command) {
    std::string output;
    FILE* pipe = popen(command, "r");
    if (pipe == nullptr) {
        return output;
    }
    char buffer[4096];
    while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) {
        output.append(buffer, read);
    }
    pclose(pipe);
    return output;
}

std::size_t indentOf(const std::string& line) {
    return line.find_first_not_of(' ');
}

// swaymsg prints the tree indented, one member a line: the focused node's "name" is the
// line of the same indent within the same object.
std::string nameBeside(const std::vector<std::string>& lines, std::size_t focusedLine) {
    const std::size_t indent = indentOf(lines[focusedLine]);
    const std::string key = "\"name\": \"";
    for (std::size_t i = focusedLine; i < lines.size() && indentOf(lines[i]) >= indent; ++i) {
        if (indentOf(lines[i]) == indent && lines[i].compare(indent, key.size(), key) == 0) {
            const std::string rest = lines[i].substr(indent + key.size());
            return rest.substr(0, rest.rfind('"'));
        }
    }
    return {};
}

}  // namespace

std::string swayFocusedWindowName() {
    std::istringstream tree(commandOutput("swaymsg -t get_tree 2>/dev/null"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(tree, line);) {
        lines.push_back(line);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find("\"focused\": true") != std::string::npos) {
            return nameBeside(lines, i);
        }
    }
    return {};
}

ChildProgram::ChildProgram(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        // foot reports its fonts and renderer; the test output is clearer without them.
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDERR_FILENO);
        execvp(argv[0], argv.data());
        _exit(127);
    }
}

ChildProgram::~ChildProgram() {
    kill();
}

void ChildProgram::kill() {
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, SIGKILL);
        reaped_ = waitpid(pid_, nullptr, 0) == pid_;
    }
}

bool ChildProgram::ended(int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!reaped_ && std::chrono::steady_clock::now() < deadline) {
        reaped_ = waitpid(pid_, nullptr, WNOHANG) == pid_;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return reaped_;
}

}  // namespace sortwell::test
