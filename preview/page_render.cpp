#include "preview/page_render.h"

#include <poppler-qt6.h>

#include <QFile>
#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

namespace preview {
namespace {

// Readers accept some bytes before the PDF marker; more than this is not a PDF.
constexpr qint64 kMarkerWindow = 1024;
// Beyond this the page is either absurdly small or absurdly large to begin with.
constexpr double kMaxDpi = 2400;
constexpr double kMaxPagePoints = 14'400'000;

RenderedPage Failure(const QString& reason) {
    RenderedPage page;
    page.problem = reason;
    return page;
}

// Empty text when the file starts like a PDF, else why it is not one.
QString CheckPdfMarker(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("the file cannot be read: ") + file.errorString();
    }
    const QByteArray start = file.read(kMarkerWindow);
    if (start.isEmpty()) {
        return QStringLiteral("the file is empty");
    }
    if (!start.contains("%PDF-")) {
        return QStringLiteral("it is not a PDF");
    }
    return {};
}

QImage Draw(Poppler::Page& page, const PageFit& fit) {
    try {
        QImage image = page.renderToImage(fit.dpi, fit.dpi);
        if (image.isNull()) {
            return image;
        }
        if (image.size() != fit.pixels) {
            image = image.scaled(fit.pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        return image.convertToFormat(QImage::Format_ARGB32);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace

std::optional<PageFit> FitPage(QSizeF pagePoints, QSize box) {
    const double width = pagePoints.width();
    const double height = pagePoints.height();
    const bool usable = std::isfinite(width) && std::isfinite(height) && width > 0 && height > 0 &&
                        width <= kMaxPagePoints && height <= kMaxPagePoints;
    if (!usable || box.width() < 1 || box.height() < 1) {
        return std::nullopt;
    }
    const double scale = std::min({box.width() / width, box.height() / height, kMaxDpi / 72.0});
    const auto side = [scale](double points, int limit) {
        return std::clamp(static_cast<int>(std::lround(points * scale)), 1, limit);
    };
    return PageFit{scale * 72.0, QSize(side(width, box.width()), side(height, box.height()))};
}

RenderedPage RenderFirstPage(const QString& path, QSize box) {
    if (const QString problem = CheckPdfMarker(path); !problem.isEmpty()) {
        return Failure(problem);
    }
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document) {
        return Failure(QStringLiteral("the file is damaged"));
    }
    if (document->isLocked()) {
        return Failure(QStringLiteral("the file is encrypted"));
    }
    const int pages = document->numPages();
    const std::unique_ptr<Poppler::Page> first = pages > 0 ? document->page(0) : nullptr;
    if (!first) {
        return Failure(QStringLiteral("the file is damaged"));
    }
    const std::optional<PageFit> fit = FitPage(first->pageSizeF(), box);
    if (!fit) {
        return Failure(QStringLiteral("the page has no usable size"));
    }
    document->setRenderBackend(Poppler::Document::SplashBackend);
    document->setRenderHint(Poppler::Document::Antialiasing, true);
    document->setRenderHint(Poppler::Document::TextAntialiasing, true);
    QImage image = Draw(*first, *fit);
    if (image.isNull()) {
        return Failure(QStringLiteral("the page is too large to render"));
    }
    return RenderedPage{std::move(image), pages, {}};
}

}  // namespace preview
