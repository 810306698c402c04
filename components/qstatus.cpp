#include "components/qstatus.h"

#include <QLabel>

namespace {
constexpr std::array<int, TQStatus::kPanelCount> kPanelWidths = {200, 50};
}

TQStatus::TQStatus(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    setFixedHeight(kHeight);
    for (int panel = 0; panel < kPanelCount; ++panel) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(panel));
        label->setFixedWidth(kPanelWidths.at(panel));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        addWidget(label);
        panels_.at(panel) = label;
    }
}

void TQStatus::setPanelText(int panel, const QString& text) {
    if (panel < 0 || panel >= kPanelCount) {
        return;
    }
    QLabel* label = panels_.at(panel);
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideRight, label->width() - 4));
    label->setToolTip(text);
    label->setProperty("fullText", text);
}

QString TQStatus::panelText(int panel) const {
    if (panel < 0 || panel >= kPanelCount) {
        return {};
    }
    return panels_.at(panel)->property("fullText").toString();
}
