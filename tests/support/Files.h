#pragma once

#include <QFile>
#include <QString>

#include <cstdio>
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

// The same by the name's own bytes, which need not be UTF-8.
inline std::optional<std::string> readBytes(const std::string& path)
{
    std::FILE* raw = std::fopen(path.c_str(), "rb");
    if (!raw)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, raw)) > 0;)
        bytes.append(buffer, got);
    std::fclose(raw);
    return bytes;
}

inline bool writeBytes(const std::string& path, const std::string& bytes)
{
    std::FILE* raw = std::fopen(path.c_str(), "wb");
    if (!raw)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), raw) == bytes.size();
    return std::fclose(raw) == 0 && written;
}
