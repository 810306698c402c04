#pragma once

#include <array>

#include <QStatusBar>

class QLabel;

// The desk's status bar: two text panels of fixed width, the document (200 px) and the
// automation step (50 px). A text too long for its panel is cut on screen and shown whole in
// the panel's tooltip.
class TQStatus : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPanelCount = 2;
    static constexpr int kHeight = 19;

    explicit TQStatus(QWidget* parent = nullptr);

    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;

private:
    std::array<QLabel*, kPanelCount> panels_{};
};
