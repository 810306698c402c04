#include "key_recorder.h"

#include <QKeyEvent>

namespace {

QString textOf(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return QStringLiteral("\n");
        case Qt::Key_Escape:
            return QStringLiteral("<esc>");
        case Qt::Key_Tab:
            return QStringLiteral("\t");
        default:
            return event.text();  // empty for a modifier alone
    }
}

}  // namespace

KeyRecorder::KeyRecorder(const QString& recordPath) : file_(recordPath) {
    setFocusPolicy(Qt::StrongFocus);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMinimumSize(320, 120);
    if (!recordPath.isEmpty()) {
        file_.open(QIODevice::WriteOnly | QIODevice::Append);
    }
}

QString KeyRecorder::openError() const {
    if (file_.fileName().isEmpty() || file_.isOpen()) {
        return {};
    }
    return file_.errorString();
}

bool KeyRecorder::event(QEvent* event) {
    if (event->type() == QEvent::Close && refusesToClose_) {
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QLabel::event(event);
}

void KeyRecorder::keyPressEvent(QKeyEvent* event) {
    const QString text = textOf(*event);
    if (text.isEmpty()) {
        QLabel::keyPressEvent(event);
        return;
    }
    record(text);
}

void KeyRecorder::record(const QString& text) {
    shown_ += text;
    setText(shown_);
    if (file_.isOpen()) {
        file_.write(text.toUtf8());
        file_.flush();
    }
}
