#include "ui/GoToRulesKey.h"

#include "ui/Unit1.h"

#include <QApplication>
#include <QKeyEvent>

GoToRulesKey::GoToRulesKey(TForm1* form) : QObject(form), form(form)
{
    qApp->installEventFilter(this);
}

bool GoToRulesKey::eventFilter(QObject* target, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(target);
    if (key->keyCombination() != QKeyCombination(Qt::ControlModifier, Qt::Key_E) || !widget
        || widget->window() != form)
        return false;
    form->runCommand("Szabályok", [this] { form->goToRules(); });
    return true;
}
