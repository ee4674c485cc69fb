#include "platform/Forms.h"

#include "platform/Events.h"
#include "platform/Menus.h"

#include <QCloseEvent>
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
    // The client area's own minimum: docks beside it then add to the window's.
    clientArea->setMinimumSize(width, height);
    resize(width, height + menuHeight);
}

void TForm::SetCaption(const std::string& caption)
{
    setWindowTitle(QString::fromStdString(caption));
}

void TForm::closeEvent(QCloseEvent* event)
{
    // Whatever goes wrong while asking keeps the window, and with it the person's work.
    bool canClose = false;
    RunGuarded([this, &canClose] {
        bool allowed = true;
        FormCloseQuery(allowed);
        canClose = allowed;
    });
    event->setAccepted(canClose);
}
