#pragma once

#include <array>

#include <QStatusBar>

class QLabel;

// The desk's status bar: two text panels, the document (at least 200 px, and all the room the
// other leaves) and the automation step (at least 50 px, as wide as its text within a share of
// the bar). A text too long for its panel is cut on screen and shown whole in its tooltip.
class TQStatus : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPanelCount = 2;
    static constexpr int kHeight = 19;

    explicit TQStatus(QWidget* parent = nullptr);

    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void refit();

    std::array<QLabel*, kPanelCount> panels_{};
};
