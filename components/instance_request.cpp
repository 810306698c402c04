#include "components/instance_request.h"

namespace {

constexpr std::string_view kShow = "show";
constexpr std::string_view kUndo = "undo";
constexpr std::string_view kPresent = "present ";

std::string escaped(std::string_view path) {
    std::string line;
    line.reserve(path.size());
    for (const char c : path) {
        switch (c) {
            case '\\':
                line += "\\\\";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                line += c;
        }
    }
    return line;
}

std::optional<std::string> unescaped(std::string_view text) {
    std::string path;
    path.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            path += text[i];
            continue;
        }
        if (++i == text.size()) {
            return std::nullopt;
        }
        switch (text[i]) {
            case '\\':
                path += '\\';
                break;
            case 'n':
                path += '\n';
                break;
            case 'r':
                path += '\r';
                break;
            default:
                return std::nullopt;
        }
    }
    return path;
}

}  // namespace

std::string EncodeRequest(const InstanceRequest& request) {
    if (request.kind == InstanceRequest::Kind::Show) {
        return std::string(kShow);
    }
    if (request.kind == InstanceRequest::Kind::Undo) {
        return std::string(kUndo);
    }
    return std::string(kPresent) + escaped(request.path);
}

std::optional<InstanceRequest> DecodeRequest(std::string_view line) {
    if (line == kShow) {
        return InstanceRequest{};
    }
    if (line == kUndo) {
        return InstanceRequest{InstanceRequest::Kind::Undo, {}};
    }
    if (!line.starts_with(kPresent)) {
        return std::nullopt;
    }
    std::optional<std::string> path = unescaped(line.substr(kPresent.size()));
    if (!path || path->empty()) {
        return std::nullopt;
    }
    return InstanceRequest{InstanceRequest::Kind::Present, std::move(*path)};
}
