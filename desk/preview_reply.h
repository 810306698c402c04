#pragma once

#include <string>
#include <string_view>

#include "platform/document_files.h"

// What the preview helper `sortwell-preview` says about one document, and what the desk makes
// of it. The helper writes one header line, then, on success, width * height * 4 bytes of
// pixels; both sides use these functions, so the line has one definition.
namespace sortwell::desk {

// The largest picture the helper draws, per side; a larger request is refused.
inline constexpr int kPreviewMaxSide = 4096;

struct PreviewHeader {
    int pages = 0;
    int width = 0;
    int height = 0;
    std::string problem;  // non-empty: no picture, and this says why, for the user

    std::size_t pixelBytes() const;
};

std::string FormatPreviewHeader(int pages, int width, int height);
std::string FormatPreviewError(std::string_view reason);
// Reads one header line, with or without its line end. A line that does not follow the form
// gives a problem, never numbers out of range.
PreviewHeader ParsePreviewHeader(std::string_view line);

// "1 of 3 pages", "1 of 1 page".
std::string PageCountText(int pages);

// The texts under the picture.
inline constexpr std::string_view kPreviewWritingText = "The scanner is still writing ...";
std::string NoPreviewText(std::string_view reason);

// What to do with a finished render, given the file's look right before and right after it.
enum class PreviewVerdict {
    Show,         // the picture or the reason stands
    WaitAndRetry  // the file was being written: say so, and render again once it is quiet
};

// A result counts only when the file kept its size and modification time during the render;
// a failure counts only when, in addition, the file had been quiet for `quietTime` by then,
// because a scan cut short by the scanner looks damaged. A modification time in the future is
// not trusted to mean recent.
PreviewVerdict JudgePreview(bool rendered, const platform::DocumentStat& before,
                            const platform::DocumentStat& after,
                            std::chrono::system_clock::time_point wallNow,
                            std::chrono::milliseconds quietTime);

}  // namespace sortwell::desk
