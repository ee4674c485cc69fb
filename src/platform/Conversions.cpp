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
        throw EConvertError("'" + Abbreviated(text, 40) + "' nem érvényes egész szám");
    return value;
}

std::string IntToHex(std::int32_t value, int digits)
{
    return QString::number(static_cast<std::uint32_t>(value), 16)
        .toUpper()
        .rightJustified(digits, QLatin1Char('0'))
        .toStdString();
}

std::string Abbreviated(const std::string& text, int characters)
{
    const QString whole = QString::fromStdString(text);
    if (whole.size() <= characters)
        return text;
    // Counted in characters as a person sees them, not cutting one in two.
    qsizetype end = characters;
    if (whole.at(end - 1).isHighSurrogate())
        --end;
    return (whole.left(end) + QChar(0x2026)).toStdString();
}

std::string WithVisibleControls(const std::string& text)
{
    std::string shown;
    shown.reserve(text.size());
    for (const char byte : text) {
        const auto code = static_cast<unsigned char>(byte);
        if (code < 0x20 || code == 0x7F)
            shown += QString(QChar(code == 0x7F ? 0x2421 : 0x2400 + code)).toStdString();   // the Control Pictures block
        else
            shown += byte;
    }
    return shown;
}
