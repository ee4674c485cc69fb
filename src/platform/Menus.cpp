#include "platform/Menus.h"

#include <QMenu>

TMainMenu::TMainMenu(QWidget* parent, const char* name) : QMenuBar(parent)
{
    setObjectName(QString::fromLatin1(name));
}

void TMainMenu::Add(TMenuItem* item)
{
    auto* dropDown = new QMenu(item->text(), this);
    dropDown->setObjectName(item->objectName() + QStringLiteral("Menu"));
    item->setMenu(dropDown);
    addAction(item);
}

TMenuItem::TMenuItem(QObject* parent, const char* name, const char* caption)
    : QAction(QString::fromUtf8(caption), parent)
{
    setObjectName(QString::fromLatin1(name));
}

void TMenuItem::Add(TMenuItem* item)
{
    menu<QMenu*>()->addAction(item);
}

void TMenuItem::SetOnClick(TNotifyEvent handler)
{
    connect(this, &QAction::triggered, this, [handler = std::move(handler)] { RunGuarded(handler); });
}
