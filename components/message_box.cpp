#include "components/message_box.h"

#include <QMessageBox>
#include <QQueue>

namespace {

struct Record {
    QQueue<MessageBox::Answer> answers;
    QList<MessageBox::Shown> shown;
};

Record& record() {
    static Record instance;
    return instance;
}

QMessageBox::Icon iconFor(MessageBox::Kind kind) {
    switch (kind) {
        case MessageBox::Kind::Information:
            return QMessageBox::Information;
        case MessageBox::Kind::Warning:
            return QMessageBox::Warning;
        case MessageBox::Kind::Critical:
            return QMessageBox::Critical;
        case MessageBox::Kind::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

MessageBox::Answer answerFor(int clicked) {
    switch (clicked) {
        case QMessageBox::Yes:
            return MessageBox::Answer::Yes;
        case QMessageBox::No:
            return MessageBox::Answer::No;
        default:
            return MessageBox::Answer::Ok;
    }
}

void remember(MessageBox::Shown shown) {
    auto& list = record().shown;
    list.append(std::move(shown));
    if (list.size() > MessageBox::kRecordLimit) {
        list.removeFirst();
    }
}

}  // namespace

void MessageBox::information(QWidget* parent, const QString& title, const QString& text) {
    show(Kind::Information, parent, title, text);
}

void MessageBox::warning(QWidget* parent, const QString& title, const QString& text) {
    show(Kind::Warning, parent, title, text);
}

void MessageBox::critical(QWidget* parent, const QString& title, const QString& text) {
    show(Kind::Critical, parent, title, text);
}

MessageBox::Answer MessageBox::question(QWidget* parent, const QString& title,
                                        const QString& text) {
    return show(Kind::Question, parent, title, text);
}

void MessageBox::setNextAnswer(Answer answer) {
    record().answers.enqueue(answer);
}

int MessageBox::answersLeft() {
    return static_cast<int>(record().answers.size());
}

void MessageBox::clearAnswers() {
    record().answers.clear();
}

QList<MessageBox::Shown> MessageBox::shown() {
    return record().shown;
}

void MessageBox::clearShown() {
    record().shown.clear();
}

MessageBox::Answer MessageBox::show(Kind kind, QWidget* parent, const QString& title,
                                    const QString& text) {
    remember({kind, title, text});
    auto& answers = record().answers;
    if (!answers.isEmpty()) {
        return answers.dequeue();
    }
    return execDialog(kind, parent, title, text);
}

MessageBox::Answer MessageBox::execDialog(Kind kind, QWidget* parent, const QString& title,
                                          const QString& text) {
    const bool asks = kind == Kind::Question;
    QMessageBox box(iconFor(kind), title, text,
                    asks ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    // Texts carry file names and tags; markup in them must show as typed, not be rendered.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(asks ? QMessageBox::No : QMessageBox::Ok);
    return answerFor(box.exec());
}
