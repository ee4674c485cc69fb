#include "preview/PreviewMessages.h"

#include <QJsonDocument>

QByteArray messageLine(const QJsonObject& message)
{
    return QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QJsonObject> MessageLines::next()
{
    for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
        const QJsonDocument line = QJsonDocument::fromJson(pending.first(end));
        pending.remove(0, end + 1);
        if (line.isObject())
            return line.object();
    }
    return std::nullopt;
}
