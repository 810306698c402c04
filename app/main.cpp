#include <QApplication>
#include <QMainWindow>

// The desk window arrives with the desk; until then the program shows its bare frame.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessaryn Sortwell Store");
    QMainWindow window;
    window.setWindowTitle("Tessaryn Sortwell Desk 1.0");
    window.resize(491, 451);
    window.show();
    return QApplication::exec();
}
