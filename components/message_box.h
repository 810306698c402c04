#pragma once

#include <QList>
#include <QString>

class QWidget;

// Every message the windows show goes through here, so that a test can answer it in advance
// and see what was shown without a dialog ever opening. Used from the UI thread only.
class MessageBox {
public:
    enum class Kind { Information, Warning, Critical, Question };
    enum class Answer { Ok, Yes, No };

    struct Shown {
        Kind kind;
        QString title;
        QString text;
    };

    // The most recent messages kept for inspection; older ones are dropped so that a program
    // that runs for months does not grow.
    static constexpr int kRecordLimit = 256;

    static void information(QWidget* parent, const QString& title, const QString& text);
    static void warning(QWidget* parent, const QString& title, const QString& text);
    static void critical(QWidget* parent, const QString& title, const QString& text);
    // Yes or No; No is the default button, so a hasty Enter does nothing drastic.
    static Answer question(QWidget* parent, const QString& title, const QString& text);

    // Queues the answer to the next message, which then returns it without opening a dialog.
    static void setNextAnswer(Answer answer);
    static int answersLeft();
    static void clearAnswers();

    static QList<Shown> shown();
    static void clearShown();

private:
    static Answer show(Kind kind, QWidget* parent, const QString& title, const QString& text);
    static Answer execDialog(Kind kind, QWidget* parent, const QString& title, const QString& text);
};
