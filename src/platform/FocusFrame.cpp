#include "platform/FocusFrame.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QPointer>

void FocusFrame::followFocus()
{
    // A widget can only frame another widget; the application owns a plain object that
    // holds the one frame and gives it to whichever control takes the focus.
    static QPointer<FocusFrame> only;
    if (only || !qApp)
        return;
    only = new FocusFrame;
    QObject::connect(qApp, &QApplication::focusChanged, only, [](QWidget*, QWidget* now) {
        if (only)
            only->frame(now);
    });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, only, [] { delete only; });
}

void FocusFrame::frame(QWidget* focused)
{
    // A list's typing field is framed as the list, a view's editor as the view.
    for (QWidget* outer = focused ? focused->parentWidget() : nullptr; outer; outer = outer->parentWidget())
        if (qobject_cast<QComboBox*>(outer) || qobject_cast<QAbstractItemView*>(outer)) {
            focused = outer;
            break;
        }
    setWidget(focused && !focused->isWindow() ? focused : nullptr);
}

void FocusFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Active, QPalette::Highlight), 2);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}
