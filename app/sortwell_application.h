#pragma once

#include <QApplication>

// The application object. An error that escapes an event handler is shown in a message box
// and the program goes on with the next event, with the state reached before the error.
class SortwellApplication : public QApplication {
    Q_OBJECT
public:
    SortwellApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
