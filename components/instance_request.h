#pragma once

#include <optional>
#include <string>
#include <string_view>

// One request from a later start to the running one: show the desk, present a file that is
// now in the input folder, or take back the last filing. On the wire each is one line.
struct InstanceRequest {
    enum class Kind { Show, Present, Undo };
    Kind kind = Kind::Show;
    std::string path;  // with Present

    bool operator==(const InstanceRequest&) const = default;
};

// The line for `request`, without its "\n". A line break or backslash in a path is escaped, so
// any file name fits on one line.
std::string EncodeRequest(const InstanceRequest& request);

// The request a line stands for; nothing when the line is not one of ours.
std::optional<InstanceRequest> DecodeRequest(std::string_view line);
