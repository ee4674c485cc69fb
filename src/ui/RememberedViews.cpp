#include "ui/RememberedViews.h"

#include <QSettings>

namespace {

QSettings settings()
{
    return QSettings(QStringLiteral("Prizmo"), QStringLiteral("Prizmo"));
}

} // namespace

bool rememberedShown(const char* view)
{
    return settings().value(QLatin1String(view), false).toBool();
}

void rememberShown(const char* view, bool shown)
{
    QSettings remembered = settings();
    remembered.setValue(QLatin1String(view), shown);
}

int rememberedNumber(const char* view, int fallback)
{
    bool read = false;
    const int number = settings().value(QLatin1String(view), fallback).toInt(&read);
    return read ? number : fallback;
}

void rememberNumber(const char* view, int number)
{
    QSettings remembered = settings();
    remembered.setValue(QLatin1String(view), number);
}

QRect rememberedPlace(const char* view)
{
    return settings().value(QLatin1String(view)).toRect();
}

void rememberPlace(const char* view, const QRect& place)
{
    QSettings remembered = settings();
    remembered.setValue(QLatin1String(view), place);
}
