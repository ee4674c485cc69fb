#pragma once

#include <QFile>
#include <QString>

#include <optional>
#include <string>

// The file's bytes, or nothing when it cannot be read.
inline std::optional<std::string> readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll().toStdString();
}
