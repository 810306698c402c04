#include <algorithm>

#include "components/document_preview.h"
#include "config/configuration_face.h"
#include "desk/tform1.h"

namespace {
// An A4 page upright, and the line under it that gives the page count.
constexpr int kPageWidthMm = 210;
constexpr int kPageHeightMm = 297;
constexpr int kStatusLineHeight = 22;

int FittedPageWidth(int height) {
    return std::max(0, (height - kStatusLineHeight) * kPageWidthMm / kPageHeightMm);
}
}  // namespace

bool TForm1::previewOn() const {
    return !Preview->isHidden();
}

int TForm1::previewWidth(int bodyWidth, int bodyHeight) const {
    if (!previewOn()) {
        return 0;
    }
    // On a narrow desk the targets keep at least half of the room.
    return std::min(FittedPageWidth(bodyHeight), bodyWidth / 2);
}

void TForm1::followPreviewSetting() {
    const bool wanted = configuration_->showPreview();
    if (wanted == previewOn()) {
        return;
    }
    // The window grows by the preview and shrinks by it, so the targets keep their room.
    const int change = wanted ? FittedPageWidth(Panel1->height()) + kPreviewGap
                              : -(Preview->width() + kPreviewGap);
    Preview->setVisible(wanted);
    resize(width() + change, height());
    layOutControls();
    PostponedRefreshButtons();
    previewPresentedDocument();
}

void TForm1::previewPresentedDocument() {
    if (!previewOn() || currentDocument.empty()) {
        Preview->clear();
        return;
    }
    const sortwell::desk::SourceResult source =
        sortwell::desk::SourcePath(presentedFolder_, currentDocument);
    if (source.problem.empty()) {
        Preview->showDocument(QString::fromStdString(source.path));
    }
}
