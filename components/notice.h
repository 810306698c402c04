#pragma once

#include <QFrame>
#include <QString>

#include "components/event_timer.h"

class QLabel;
class QToolButton;

// A small note near the bottom right of the screen that says something without asking for an
// answer: it never takes the keyboard focus, so keys that the program sends to another window
// keep going there. It hides itself after a while; a newer note replaces the older one.
class Notice : public QFrame {
    Q_OBJECT

public:
    static constexpr int kShowMs = 10'000;
    static constexpr int kWidth = 360;

    explicit Notice(QWidget* parent = nullptr);

    // Shows `title` and `text` as plain text, in place of whatever the note showed before, and
    // starts the full showing time anew.
    void say(const QString& title, const QString& text);
    // The same with a button `action` under the text; its click emits actionChosen() and hides
    // the note. The next say() without an action takes the button away.
    void say(const QString& title, const QString& text, const QString& action);
    QString title() const;
    QString text() const;
    // The caption of the button the note offers now, empty when it offers none.
    QString action() const;
    // Clicks the offered button, as the user would.
    void chooseAction();

    // The timer that hides the note; exposed so that a test can make the time pass.
    EventTimer& hideTimer() { return hideTimer_; }

    void dismiss();

signals:
    void actionChosen();

private:
    void placeAtBottomRight();

    QLabel* title_;
    QLabel* text_;
    QToolButton* close_;
    QToolButton* action_;
    EventTimer hideTimer_;
};
