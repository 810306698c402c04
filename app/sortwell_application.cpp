#include "app/sortwell_application.h"

#include <exception>

#include "components/message_box.h"

SortwellApplication::SortwellApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool SortwellApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        MessageBox::critical(nullptr, applicationName(), QString::fromUtf8(error.what()));
    } catch (...) {
        MessageBox::critical(nullptr, applicationName(), QStringLiteral("Unknown error."));
    }
    return false;
}
