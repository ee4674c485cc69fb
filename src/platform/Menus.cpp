#include "platform/Menus.h"

#include <QMenu>

namespace {

// As the class library does by itself: each entry gets the first of its letters that no
// entry before it in the same menu uses as its key.
void giveAccessKey(QAction* item, const QList<QAction*>& siblings)
{
    QString caption = item->text();
    if (caption.contains(QLatin1Char('&')))
        return;
    QString taken;
    for (const QAction* sibling : siblings) {
        const QString text = sibling->text();
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        if (at >= 0 && at + 1 < text.size())
            taken += text.at(at + 1).toLower();
    }
    for (qsizetype at = 0; at < caption.size(); ++at) {
        if (caption.at(at).isLetterOrNumber() && !taken.contains(caption.at(at).toLower())) {
            item->setText(caption.insert(at, QLatin1Char('&')));
            return;
        }
    }
}

} // namespace

TMainMenu::TMainMenu(QWidget* parent, const char* name) : QMenuBar(parent)
{
    setObjectName(QString::fromLatin1(name));
}

void TMainMenu::Add(TMenuItem* item)
{
    giveAccessKey(item, actions());
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
    if (!menu<QMenu*>()) {   // an entry of a drop-down menu, opening one of its own
        auto* subMenu = new QMenu(text(), qobject_cast<QWidget*>(parent()));
        subMenu->setObjectName(objectName() + QStringLiteral("Menu"));
        setMenu(subMenu);
    }
    giveAccessKey(item, menu<QMenu*>()->actions());
    menu<QMenu*>()->addAction(item);
}

void TMenuItem::SetOnClick(TNotifyEvent handler)
{
    connect(this, &QAction::triggered, this, [handler = std::move(handler)] { RunGuarded(handler); });
}
