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

QRect rememberedPlace(const char* view)
{
    return settings().value(QLatin1String(view)).toRect();
}

void rememberPlace(const char* view, const QRect& place)
{
    QSettings remembered = settings();
    remembered.setValue(QLatin1String(view), place);
}
