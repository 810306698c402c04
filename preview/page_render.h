#pragma once

#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <optional>

namespace preview {

// The resolution that fits a page into the requested box keeping its proportions, and the size of
// the picture it gives, never larger than the box.
struct PageFit {
    double dpi = 0;
    QSize pixels;
};
std::optional<PageFit> FitPage(QSizeF pagePoints, QSize box);

struct RenderedPage {
    QImage image;  // Format_ARGB32, at most the box's size
    int pages = 0;
    QString problem;  // non-empty: no picture, and this says why, for the user
};

// Renders the first page of the PDF at `path` fitted into `box`.
RenderedPage RenderFirstPage(const QString& path, QSize box);

}  // namespace preview
