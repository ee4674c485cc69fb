#include "platform/Forms.h"

#include "platform/Menus.h"

#include <QMenuBar>

TForm::TForm(QWidget* parent) : QMainWindow(parent), clientArea(new QWidget(this))
{
    clientArea->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(clientArea);
}

void TForm::SetMenu(TMainMenu* menu)
{
    setMenuBar(menu);
}

void TForm::SetClientSize(int width, int height)
{
    const int menuHeight = menuBar() ? menuBar()->sizeHint().height() : 0;
    resize(width, height + menuHeight);
}
