#pragma once

#include <QLineEdit>

// A one-line field with an edit mask. With every position required, leaving the field after
// editing it while incomplete is refused with a beep and a message, and the focus stays;
// Escape abandons the edit and brings back the text the field had when it got the focus.
class TMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    TMaskEdit(const QString& inputMask, bool allPositionsRequired, QWidget* parent = nullptr);

    // The text without the blank character of the mask ("_"), as the user typed it.
    QString typedText() const;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refuseIncompleteInput();
    // True when the focus went to another control of the same shown window.
    bool focusMovedWithinWindow() const;

    bool allPositionsRequired_;
    QString textOnEntry_;
    bool complaining_ = false;
};
