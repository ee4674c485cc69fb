#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QWidget;

// Calls back once, after the events of the moment, when a watched widget had one of the
// events it is watched for (moved, resized, shown, hidden): what depends on where the
// window's parts are follows them.
class PlaceWatcher : public QObject
{
public:
    PlaceWatcher(QObject* parent, std::function<void()> changed);
    void watch(QWidget* widget, std::initializer_list<QEvent::Type> events);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> changed;
    std::vector<std::pair<QObject*, QEvent::Type>> watched;
    QTimer settled;
};
