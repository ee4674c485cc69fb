#include "PreviewAccessibility.h"

#include <QAccessible>
#include <QAccessibleApplication>
#include <QGuiApplication>
#include <QQuickRenderControl>
#include <QQuickWindow>
#include <QWindow>

namespace {

// A Qt Quick window drawn through a render control is part of the widget it is drawn into,
// which a screen reader already reaches through that widget's window.
bool drawnIntoAWidget(QWindow* window)
{
    auto* quick = qobject_cast<QQuickWindow*>(window);
    return quick != nullptr && QQuickRenderControl::renderWindowFor(quick) != nullptr;
}

// Qt's application object, less the windows drawn into widgets.
class ShownWindowsApplication : public QAccessibleApplication
{
public:
    int childCount() const override { return int(windows().size()); }

    QAccessibleInterface* child(int index) const override
    {
        const QObjectList shown = windows();
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown.at(index)) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child != nullptr ? int(windows().indexOf(child->object())) : -1;
    }

private:
    static QObjectList windows()
    {
        QObjectList shown;
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            if (window->type() == Qt::Popup || window->type() == Qt::Desktop || drawnIntoAWidget(window))
                continue;
            if (const QAccessibleInterface* root = window->accessibleRoot(); root != nullptr && root->object() != nullptr)
                shown.append(root->object());
        }
        return shown;
    }
};

QAccessibleInterface* applicationInterface(const QString&, QObject* object)
{
    return object != nullptr && object == QCoreApplication::instance() ? new ShownWindowsApplication : nullptr;
}

} // namespace

void listOnlyShownWindowsForScreenReaders()
{
    QAccessible::installFactory(applicationInterface);
}
