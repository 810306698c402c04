#include "desk/preview_reply.h"

#include <gtest/gtest.h>

namespace sortwell::desk {
namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kQuiet = 500ms;
const std::chrono::system_clock::time_point kNow = std::chrono::system_clock::time_point{} + 1000h;

platform::DocumentStat Stat(std::uint64_t size, std::chrono::system_clock::time_point modified) {
    platform::DocumentStat stat;
    stat.stat.size = size;
    stat.stat.modified = modified;
    stat.stat.inode = 7;
    return stat;
}

TEST(PreviewHeaderTest, ReadsWhatTheHelperWrites) {
    const PreviewHeader header = ParsePreviewHeader(FormatPreviewHeader(3, 420, 594));
    EXPECT_EQ(header.problem, "");
    EXPECT_EQ(header.pages, 3);
    EXPECT_EQ(header.width, 420);
    EXPECT_EQ(header.height, 594);
    EXPECT_EQ(header.pixelBytes(), 420u * 594u * 4u);
    EXPECT_EQ(ParsePreviewHeader("sortwell-preview 1 pages=1 width=2 height=5").height, 5);
}

TEST(PreviewHeaderTest, GivesTheHelpersReason) {
    EXPECT_EQ(ParsePreviewHeader(FormatPreviewError("the file is encrypted")).problem,
              "the file is encrypted");
    EXPECT_EQ(ParsePreviewHeader(FormatPreviewError("the file is encrypted")).pixelBytes(), 0u);
}

TEST(PreviewHeaderTest, RefusesLinesOutOfForm) {
    const std::string unreadable = "the preview program gave an answer that cannot be read";
    for (const std::string_view line : {
             "",
             "sortwell-preview 2 pages=1 width=2 height=2",
             "sortwell-preview 1 pages=1 width=2",
             "sortwell-preview 1 pages=1 width=2 height=2 more=1",
             "sortwell-preview 1 width=2 pages=1 height=2",
             "sortwell-preview 1 pages=0 width=2 height=2",
             "sortwell-preview 1 pages=1 width=-2 height=2",
             "sortwell-preview 1 pages=1 width=2 height=4097",
             "sortwell-preview 1 pages=1 width=99999999999999 height=2",
             "sortwell-preview 1 pages=1 width=2x height=2",
             "sortwell-preview 1 error=",
             "sortwell-preview 1 error=bad\x1b[2Jescape",
         }) {
        const PreviewHeader header = ParsePreviewHeader(line);
        EXPECT_EQ(header.problem, unreadable) << line;
        EXPECT_EQ(header.pixelBytes(), 0u) << line;
    }
    EXPECT_EQ(ParsePreviewHeader(FormatPreviewError(std::string(201, 'x'))).problem, unreadable);
}

TEST(PreviewTextTest, CountsPagesInWords) {
    EXPECT_EQ(PageCountText(1), "1 of 1 page");
    EXPECT_EQ(PageCountText(3), "1 of 3 pages");
    EXPECT_EQ(NoPreviewText("the file is damaged"), "No preview: the file is damaged");
    EXPECT_EQ(kPreviewWritingText, "The scanner is still writing ...");
}

TEST(JudgePreviewTest, ShowsWhatWasRenderedFromAnUnchangedFile) {
    const auto quiet = Stat(100, kNow - 10s);
    EXPECT_EQ(JudgePreview(true, quiet, quiet, kNow, kQuiet), PreviewVerdict::Show);
    EXPECT_EQ(JudgePreview(false, quiet, quiet, kNow, kQuiet), PreviewVerdict::Show);
    // Just written but unchanged during the render: the picture is of the whole file.
    const auto fresh = Stat(100, kNow - 10ms);
    EXPECT_EQ(JudgePreview(true, fresh, fresh, kNow, kQuiet), PreviewVerdict::Show);
}

TEST(JudgePreviewTest, WaitsWhenTheFileChangedDuringTheRender) {
    const auto before = Stat(100, kNow - 10s);
    EXPECT_EQ(JudgePreview(true, before, Stat(200, kNow - 10s), kNow, kQuiet),
              PreviewVerdict::WaitAndRetry);
    EXPECT_EQ(JudgePreview(true, before, Stat(100, kNow - 1s), kNow, kQuiet),
              PreviewVerdict::WaitAndRetry);
    EXPECT_EQ(JudgePreview(false, before, Stat(200, kNow), kNow, kQuiet),
              PreviewVerdict::WaitAndRetry);
    auto replaced = before;
    replaced.stat.inode = 8;
    EXPECT_EQ(JudgePreview(true, before, replaced, kNow, kQuiet), PreviewVerdict::WaitAndRetry);
}

TEST(JudgePreviewTest, AFailureCountsOnlyOnceTheFileWasQuiet) {
    const auto fresh = Stat(100, kNow - 100ms);
    EXPECT_EQ(JudgePreview(false, fresh, fresh, kNow, kQuiet), PreviewVerdict::WaitAndRetry);
    const auto settled = Stat(100, kNow - 600ms);
    EXPECT_EQ(JudgePreview(false, settled, settled, kNow, kQuiet), PreviewVerdict::Show);
    // A clock set wrong must not keep the desk waiting for ever.
    const auto future = Stat(100, kNow + 1h);
    EXPECT_EQ(JudgePreview(false, future, future, kNow, kQuiet), PreviewVerdict::Show);
}

TEST(JudgePreviewTest, AGoneFileEndsWithTheReason) {
    platform::DocumentStat gone;
    gone.problem = "No such file or directory";
    const auto quiet = Stat(100, kNow - 10s);
    EXPECT_EQ(JudgePreview(false, quiet, gone, kNow, kQuiet), PreviewVerdict::Show);
    EXPECT_EQ(JudgePreview(false, gone, gone, kNow, kQuiet), PreviewVerdict::Show);
}

}  // namespace
}  // namespace sortwell::desk
