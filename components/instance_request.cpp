#include "components/instance_request.h"

#include "platform/line_escape.h"

namespace {

constexpr std::string_view kShow = "show";
constexpr std::string_view kUndo = "undo";
constexpr std::string_view kPresent = "present ";

}  // namespace

std::string EncodeRequest(const InstanceRequest& request) {
    if (request.kind == InstanceRequest::Kind::Show) {
        return std::string(kShow);
    }
    if (request.kind == InstanceRequest::Kind::Undo) {
        return std::string(kUndo);
    }
    return std::string(kPresent) + sortwell::platform::EscapeForLine(request.path);
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
    std::optional<std::string> path =
        sortwell::platform::UnescapeLine(line.substr(kPresent.size()));
    if (!path || path->empty()) {
        return std::nullopt;
    }
    return InstanceRequest{InstanceRequest::Kind::Present, std::move(*path)};
}
