#include "components/mask_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <utility>

#include "components/message_box.h"

TMaskEdit::TMaskEdit(const QString& inputMask, QWidget* parent) : QLineEdit(parent) {
    setInputMask(inputMask);
}

void TMaskEdit::setLeaveRule(LeaveRule mayLeave, const QString& refusal) {
    mayLeave_ = std::move(mayLeave);
    refusal_ = refusal;
}

QString TMaskEdit::typedText() const {
    QString typed = text();
    typed.remove(QLatin1Char('_'));
    return typed.trimmed();
}

void TMaskEdit::focusInEvent(QFocusEvent* event) {
    if (!complaining_) {
        textOnEntry_ = text();
        setModified(false);
    }
    QLineEdit::focusInEvent(event);
}

void TMaskEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A pop-up of our own (the message, a menu) takes the focus only for a moment; another
    // window taking it (the scanner's, or none while the desk hides) is no move within the desk.
    if (complaining_ || event->reason() == Qt::PopupFocusReason ||
        event->reason() == Qt::ActiveWindowFocusReason) {
        return;
    }
    if (mayLeave_ && !mayLeave_(typedText(), isModified())) {
        complaining_ = true;
        // Complain after the focus change has settled, so that taking the focus back sticks.
        // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks): the queued call is Qt's
        QTimer::singleShot(0, this, &TMaskEdit::refuseIncompleteInput);
    }
}

bool TMaskEdit::focusMovedWithinWindow() const {
    const QWidget* now = QApplication::focusWidget();
    return window()->isVisible() && now != nullptr && now != this && now->window() == window();
}

void TMaskEdit::refuseIncompleteInput() {
    if (!focusMovedWithinWindow()) {
        complaining_ = false;
        return;
    }
    QApplication::beep();
    MessageBox::warning(window(), QApplication::applicationName(), refusal_);
    setFocus(Qt::OtherFocusReason);
    complaining_ = false;
}

void TMaskEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && isModified()) {
        setText(textOnEntry_);
        setModified(false);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
