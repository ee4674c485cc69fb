#include "platform/Forms.h"

#include "platform/Events.h"
#include "platform/Menus.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QStatusBar>

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

void TForm::BringToFront()
{
    raise();
    activateWindow();
}

// Each part is plain text: it may name what a file or the clipboard held.
QLabel* TForm::statusPart(QLabel*& part, const char* name, bool permanent)
{
    if (!part) {
        part = new QLabel(statusBar());
        part->setObjectName(QString::fromLatin1(name));
        part->setTextFormat(Qt::PlainText);
        if (permanent)
            statusBar()->addPermanentWidget(part);
        else
            statusBar()->addWidget(part, 1);
    }
    return part;
}

void TForm::SetStatusText(const std::string& text)
{
    if (!text.empty() || statusLine)
        statusPart(statusLine, "StatusLine", false)->setText(QString::fromStdString(text));
    showStatusLine();
}

void TForm::SetStatusPlace(const std::string& text)
{
    if (!text.empty() || statusPlace)
        statusPart(statusPlace, "StatusPlace", true)->setText(QString::fromStdString(text));
    showStatusLine();
}

void TForm::showStatusLine()
{
    if (!statusLine && !statusPlace)
        return;   // no line made yet: none shows
    const bool wanted = (statusLine && !statusLine->text().isEmpty()) || (statusPlace && !statusPlace->text().isEmpty());
    if (wanted == !statusBar()->isHidden())
        return;
    const int before = height();
    if (!wanted) {
        statusBar()->hide();
        layout()->activate();   // the smaller minimum first, or the window could not shrink
        resize(width(), before - std::exchange(statusTaken, 0));
        return;
    }
    statusTaken = statusBar()->sizeHint().height();
    statusBar()->show();
    layout()->activate();
    resize(width(), before + statusTaken);
}

std::string TForm::StatusText() const
{
    return statusLine && !statusBar()->isHidden() ? statusLine->text().toStdString() : std::string();
}

std::string TForm::StatusPlace() const
{
    return statusPlace && !statusBar()->isHidden() ? statusPlace->text().toStdString() : std::string();
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
