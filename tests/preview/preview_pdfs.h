#pragma once

#include <QByteArray>
#include <QSize>

// PDFs that the preview tests and benchmarks make themselves, good and hostile.
namespace preview_pdfs {

// A valid A4 PDF of `pages` pages, each showing its number as text.
QByteArray TextPages(int pages);
// One page whose size is `points` x `points`.
QByteArray SquarePage(int points);
// A page tree whose root lists itself among its kids before the one real page.
QByteArray LoopingPageTree();
// `pages` A4 pages, each filled by the same JPEG picture of `pixels` (a scan).
QByteArray JpegPages(const QByteArray& jpeg, QSize pixels, int pages);

}  // namespace preview_pdfs
