#pragma once

#include <functional>

#include <QLineEdit>

// A one-line field with an edit mask. With a leave rule, leaving the field when the rule says
// no is refused with a beep and a message, and the focus stays; Escape abandons the edit and
// brings back the text the field had when it got the focus.
class TMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    // Whether the focus may leave, given the typed text and whether it was edited since the
    // field got the focus.
    using LeaveRule = std::function<bool(const QString& typed, bool edited)>;

    explicit TMaskEdit(const QString& inputMask, QWidget* parent = nullptr);

    // From now on the focus leaves only when `mayLeave` agrees; otherwise `refusal` is shown.
    void setLeaveRule(LeaveRule mayLeave, const QString& refusal);

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

    LeaveRule mayLeave_;
    QString refusal_;
    QString textOnEntry_;
    bool complaining_ = false;
};
