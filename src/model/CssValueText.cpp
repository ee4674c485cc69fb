#include "model/CssValueText.h"

#include <algorithm>

std::string fractionText(std::int32_t percent)
{
    return std::string(fractionOf(percent).view());
}

std::optional<std::int32_t> percentOfFraction(std::string_view text)
{
    if (text.empty() || text.size() > 4 || text.find_first_not_of("01234567890.") != std::string_view::npos)
        return std::nullopt;
    std::int32_t percent = 0;
    if (text.size() > 2)
        percent = (text[2] - '0') * 10 + (text.size() > 3 ? text[3] - '0' : 0);
    else if (text == "1")
        percent = 100;
    return fractionText(percent) == text ? std::optional(percent) : std::nullopt;
}

bool isGenericFamily(std::string_view name)
{
    return std::find(genericFamilies.begin(), genericFamilies.end(), name) != genericFamilies.end();
}

bool isPlainFamilyName(std::string_view name)
{
    if (name.empty() || name.front() == ' ' || name.back() == ' ')
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F || c == '"' || c == '\\' || c == ';' || c == '{' || c == '}' || c == '<'
            || c == '>' || c == '\'';
    });
}

std::string fontFamilyText(std::string_view family, std::string_view generic)
{
    if (isGenericFamily(family))
        return std::string(family);
    if (!isPlainFamilyName(family) || !isGenericFamily(generic))
        return {};
    std::string text = "\"";
    text.append(family).append("\", ").append(generic);
    return text;
}

bool isFontFamilyText(std::string_view text)
{
    if (isGenericFamily(text))
        return true;
    const std::size_t close = text.rfind("\", ");
    return text.starts_with('"') && close != std::string_view::npos && close > 0
        && fontFamilyText(text.substr(1, close - 1), text.substr(close + 3)) == text;
}

std::string_view familyNamed(std::string_view text)
{
    const std::size_t close = text.rfind("\", ");
    if (text.starts_with('"') && close != std::string_view::npos && close > 0)
        return text.substr(1, close - 1);
    return text;
}
