#include "components/qstatus.h"

#include <algorithm>

#include <QLabel>
#include <QResizeEvent>

namespace {
// The least widths; the document panel takes what the step panel leaves.
constexpr std::array<int, TQStatus::kPanelCount> kLeastWidths = {200, 50};
// The step panel never takes more than this share of the bar from the document's name.
constexpr double kStepPanelShare = 0.4;
// Room for the panel's frame and padding beside the text, and the part of it the frame takes.
constexpr int kTextMargin = 8;
constexpr int kFrameRoom = 4;
}  // namespace

TQStatus::TQStatus(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    setFixedHeight(kHeight);
    for (int panel = 0; panel < kPanelCount; ++panel) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(panel));
        label->setMinimumWidth(kLeastWidths.at(panel));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        addWidget(label, panel == 0 ? 1 : 0);
        panels_.at(panel) = label;
    }
}

void TQStatus::setPanelText(int panel, const QString& text) {
    if (panel < 0 || panel >= kPanelCount) {
        return;
    }
    QLabel* label = panels_.at(panel);
    label->setToolTip(text);
    label->setProperty("fullText", text);
    refit();
}

QString TQStatus::panelText(int panel) const {
    if (panel < 0 || panel >= kPanelCount) {
        return {};
    }
    return panels_.at(panel)->property("fullText").toString();
}

void TQStatus::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    refit();
}

void TQStatus::refit() {
    QLabel* step = panels_.at(1);
    const int wanted = step->fontMetrics().horizontalAdvance(panelText(1)) + kTextMargin;
    const int most = std::max(kLeastWidths.at(1), static_cast<int>(width() * kStepPanelShare));
    const int stepWidth = std::clamp(wanted, kLeastWidths.at(1), most);
    step->setFixedWidth(stepWidth);
    // The layout places the panels later; the document panel gets what the step panel leaves.
    const int documentWidth = std::max(kLeastWidths.at(0), width() - stepWidth - kTextMargin);
    const std::array<int, kPanelCount> widths = {documentWidth, stepWidth};
    for (int panel = 0; panel < kPanelCount; ++panel) {
        QLabel* label = panels_.at(panel);
        label->setText(label->fontMetrics().elidedText(panelText(panel), Qt::ElideRight,
                                                       widths.at(panel) - kFrameRoom));
    }
}
