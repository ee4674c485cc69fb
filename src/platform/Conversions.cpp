#include "platform/Conversions.h"

#include "platform/Exception.h"

#include <QString>

std::string IntToStr(std::int32_t value)
{
    return QString::number(value).toStdString();
}

std::int32_t StrToInt(const std::string& text)
{
    bool ok = false;
    const int value = QString::fromStdString(text).trimmed().toInt(&ok, 10);
    if (!ok)
        throw EConvertError("'" + text + "' nem érvényes egész szám");
    return value;
}

std::string IntToHex(std::int32_t value, int digits)
{
    return QString::number(static_cast<std::uint32_t>(value), 16)
        .toUpper()
        .rightJustified(digits, QLatin1Char('0'))
        .toStdString();
}
