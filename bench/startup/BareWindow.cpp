// The least a Qt Widgets program with a window like Prizmo's does: a main window whose
// menu bar has two menus.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("Fájl"));
    file->addAction(QStringLiteral("Megnyitás"));
    file->addAction(QStringLiteral("Mentés"));
    file->addAction(QStringLiteral("Kilépés"));
    QMenu* css = window.menuBar()->addMenu(QStringLiteral("CSS"));
    css->addAction(QStringLiteral("Új Div"));
    css->addAction(QStringLiteral("Body beállítása"));
    window.resize(676, 577);
    window.show();
    return QApplication::exec();
}
