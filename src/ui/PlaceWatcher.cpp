#include "ui/PlaceWatcher.h"

#include "platform/Events.h"

#include <QWidget>

#include <algorithm>

PlaceWatcher::PlaceWatcher(QObject* parent, std::function<void()> changed) : QObject(parent), changed(std::move(changed))
{
    settled.setSingleShot(true);
    connect(&settled, &QTimer::timeout, this, [this] { RunGuarded(this->changed); });
}

void PlaceWatcher::watch(QWidget* widget, std::initializer_list<QEvent::Type> events)
{
    for (const QEvent::Type type : events)
        watched.emplace_back(widget, type);
    widget->installEventFilter(this);
}

bool PlaceWatcher::eventFilter(QObject* object, QEvent* event)
{
    if (std::find(watched.begin(), watched.end(), std::pair(object, event->type())) != watched.end())
        settled.start(0);
    return false;
}
