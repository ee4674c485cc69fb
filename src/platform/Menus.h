#pragma once

#include "platform/Events.h"

#include <QAction>
#include <QMenuBar>

class TMenuItem;

// Entries get their access keys (Alt and a letter) by themselves, as the class library's do.
class TMainMenu : public QMenuBar
{
public:
    TMainMenu(QWidget* parent, const char* name);

    // Adds a top-level item that opens a drop-down menu of its own.
    void Add(TMenuItem* item);
};

class TMenuItem : public QAction
{
public:
    TMenuItem(QObject* parent, const char* name, const char* caption);

    // Adds an entry to this item's drop-down menu; an entry of another's gets one of its own.
    void Add(TMenuItem* item);
    void SetOnClick(TNotifyEvent handler);
    void SetShortCut(const QKeySequence& keys) { setShortcut(keys); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }
};
