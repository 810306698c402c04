// sortwell-preview FILE MAX_WIDTH MAX_HEIGHT: renders the first page of one PDF, fitted into
// the box, for the desk's preview. Writes one header line to standard output, then the pixels
// (width * height * 4 bytes, QImage::Format_ARGB32), or a line with the reason and exits
// non-zero. Runs apart from the desk so that a hostile file can only cost its own preview.
#include <QString>
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "desk/preview_reply.h"
#include "preview/page_render.h"
#include "preview/resource_limits.h"

namespace {

namespace desk = sortwell::desk;

int Fail(std::string_view reason) {
    const std::string line = desk::FormatPreviewError(reason);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    return 1;
}

int ParseSide(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const bool whole = error == std::errc{} && end == text.data() + text.size();
    return whole && value >= 1 && value <= desk::kPreviewMaxSide ? value : 0;
}

bool WritePicture(const preview::RenderedPage& page) {
    const QImage& image = page.image;
    const std::string header = desk::FormatPreviewHeader(page.pages, image.width(), image.height());
    bool ok = std::fwrite(header.data(), 1, header.size(), stdout) == header.size();
    const auto rowBytes = static_cast<std::size_t>(image.width()) * 4;
    for (int y = 0; ok && y < image.height(); ++y) {
        ok = std::fwrite(image.constScanLine(y), 1, rowBytes, stdout) == rowBytes;
    }
    return std::fflush(stdout) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        return Fail("usage: sortwell-preview FILE MAX_WIDTH MAX_HEIGHT");
    }
    const int width = ParseSide(argv[2]);
    const int height = ParseSide(argv[3]);
    if (width == 0 || height == 0) {
        return Fail("the preview size is not usable");
    }
    if (const std::string problem = preview::LimitResources(); !problem.empty()) {
        return Fail(problem);
    }
    const preview::RenderedPage page =
        preview::RenderFirstPage(QString::fromLocal8Bit(argv[1]), QSize(width, height));
    if (!page.problem.isEmpty()) {
        return Fail(page.problem.toStdString());
    }
    return WritePicture(page) ? 0 : 2;
}
