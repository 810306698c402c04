#include "desk/preview_reply.h"

#include <charconv>
#include <optional>

namespace sortwell::desk {
namespace {

constexpr std::string_view kMagic = "sortwell-preview 1 ";
constexpr std::string_view kUnreadable = "the preview program gave an answer that cannot be read";
// A reason is one short line; the helper's text is shown to the user, so it is kept tame.
constexpr std::size_t kMaxReasonLength = 200;

std::string_view WithoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
    }
    return line;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool IsTameReason(std::string_view reason) {
    if (reason.empty() || reason.size() > kMaxReasonLength) {
        return false;
    }
    for (const char c : reason) {
        if (static_cast<unsigned char>(c) < 32 || c == 127) {
            return false;
        }
    }
    return true;
}

// Takes "key=NUMBER" off the front of `text`, with the number in [1, limit].
std::optional<int> TakeField(std::string_view& text, std::string_view key, int limit) {
    if (!StartsWith(text, key) || text.size() <= key.size() || text[key.size()] != '=') {
        return std::nullopt;
    }
    text.remove_prefix(key.size() + 1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end == text.data() || value < 1 || value > limit) {
        return std::nullopt;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

bool TakeSpace(std::string_view& text) {
    if (!StartsWith(text, " ")) {
        return false;
    }
    text.remove_prefix(1);
    return true;
}

PreviewHeader Problem(std::string_view reason) {
    PreviewHeader header;
    header.problem = reason;
    return header;
}

PreviewHeader ParseSuccess(std::string_view fields) {
    constexpr int kMaxPages = 1'000'000'000;
    const auto pages = TakeField(fields, "pages", kMaxPages);
    const bool space1 = pages && TakeSpace(fields);
    const auto width = space1 ? TakeField(fields, "width", kPreviewMaxSide) : std::nullopt;
    const bool space2 = width && TakeSpace(fields);
    const auto height = space2 ? TakeField(fields, "height", kPreviewMaxSide) : std::nullopt;
    if (!height || !fields.empty()) {
        return Problem(kUnreadable);
    }
    return PreviewHeader{*pages, *width, *height, {}};
}

bool IsRecent(std::chrono::system_clock::time_point modified,
              std::chrono::system_clock::time_point wallNow, std::chrono::milliseconds quietTime) {
    return modified <= wallNow && wallNow - modified < quietTime;
}

}  // namespace

std::size_t PreviewHeader::pixelBytes() const {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

std::string FormatPreviewHeader(int pages, int width, int height) {
    return std::string(kMagic) + "pages=" + std::to_string(pages) +
           " width=" + std::to_string(width) + " height=" + std::to_string(height) + "\n";
}

std::string FormatPreviewError(std::string_view reason) {
    return std::string(kMagic) + "error=" + std::string(reason) + "\n";
}

PreviewHeader ParsePreviewHeader(std::string_view line) {
    line = WithoutLineEnd(line);
    if (!StartsWith(line, kMagic)) {
        return Problem(kUnreadable);
    }
    line.remove_prefix(kMagic.size());
    constexpr std::string_view kError = "error=";
    if (StartsWith(line, kError)) {
        const std::string_view reason = line.substr(kError.size());
        return Problem(IsTameReason(reason) ? reason : kUnreadable);
    }
    return ParseSuccess(line);
}

std::string PageCountText(int pages) {
    return "1 of " + std::to_string(pages) + (pages == 1 ? " page" : " pages");
}

std::string NoPreviewText(std::string_view reason) {
    return "No preview: " + std::string(reason);
}

PreviewVerdict JudgePreview(bool rendered, const platform::DocumentStat& before,
                            const platform::DocumentStat& after,
                            std::chrono::system_clock::time_point wallNow,
                            std::chrono::milliseconds quietTime) {
    const bool gone = !before.problem.empty() || !after.problem.empty();
    if (gone) {
        return PreviewVerdict::Show;
    }
    if (before.stat != after.stat) {
        return PreviewVerdict::WaitAndRetry;
    }
    if (!rendered && IsRecent(after.stat.modified, wallNow, quietTime)) {
        return PreviewVerdict::WaitAndRetry;
    }
    return PreviewVerdict::Show;
}

}  // namespace sortwell::desk
