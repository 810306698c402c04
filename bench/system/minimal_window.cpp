// The floor for start-up and idle figures: Qt Widgets opening one plain window of the desk's
// client size, and nothing else. With --text the window also holds a label and a line edit, so
// that the font set-up every window with text pays is part of the floor.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal Qt Window"));
    window.resize(483, 424);
    if (QApplication::arguments().contains(QStringLiteral("--text"))) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel(QStringLiteral("Tag:"), &window));
        layout->addWidget(new QLineEdit(QStringLiteral("invoice"), &window));
        layout->addStretch();
    }
    window.show();
    return QApplication::exec();
}
