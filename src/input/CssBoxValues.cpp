#include "input/CssBoxValues.h"

#include "input/CssColor.h"
#include "model/CssValueText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr std::array<std::string_view, 4> sideNames{"-top", "-right", "-bottom", "-left"};

bool isIdent(const CssToken& token, std::string_view word)
{
    return token.is(CssTokenKind::Ident) && asciiLower(token.text) == word;
}

// A border width: px, or a keyword's width as browsers draw it.
std::optional<std::int32_t> borderWidth(const CssToken& token, const Property& row)
{
    constexpr std::array<std::pair<std::string_view, std::int32_t>, 3> named{{{"thin", 1}, {"medium", 3}, {"thick", 5}}};
    for (const auto& [word, width] : named)
        if (isIdent(token, word))
            return width;
    return wholePixels(token, row);
}

std::optional<std::int32_t> borderStyle(const CssToken& token, const Property& row)
{
    if (!token.is(CssTokenKind::Ident))
        return std::nullopt;
    const int place = listPositionOf(row, asciiLower(token.text));
    return place < 0 ? std::nullopt : std::optional<std::int32_t>(place);
}

std::optional<std::string> color(const CssToken& token)
{
    return cssColorText(std::span<const CssToken>(&token, 1));
}

// One value for all four sides: one token, or up to four that are the same.
template <typename Value, typename Read>
std::optional<Value> sameOnEverySide(std::span<const CssToken> value, Read&& read)
{
    const std::vector<const CssToken*> parts = withoutWhitespace(value);
    if (parts.empty() || parts.size() > 4)
        return std::nullopt;
    std::optional<Value> first;
    for (const CssToken* part : parts) {
        const std::optional<Value> each = read(*part);
        if (!each || (first && *first != *each))
            return std::nullopt;
        first = each;
    }
    return first;
}

} // namespace

std::optional<std::int32_t> wholePixels(const CssToken& token, const Property& row)
{
    const bool px = token.is(CssTokenKind::Dimension) && asciiLower(token.text) == "px";
    const bool zero = token.is(CssTokenKind::Number) && token.number == 0;
    if (!(px || zero) || token.number != std::floor(token.number) || token.number < row.least
        || token.number > row.most)
        return std::nullopt;
    return static_cast<std::int32_t>(token.number);
}

std::optional<std::int32_t> everyCornerOf(std::span<const CssToken> value, const Property& row)
{
    return sameOnEverySide<std::int32_t>(value, [&row](const CssToken& token) { return wholePixels(token, row); });
}

std::optional<Sides> sidesOf(std::span<const CssToken> value, const Property& row)
{
    const std::vector<const CssToken*> parts = withoutWhitespace(value);
    if (parts.empty() || parts.size() > 4)
        return std::nullopt;
    std::vector<std::int32_t> given;
    for (const CssToken* part : parts) {
        const auto pixels = wholePixels(*part, row);
        if (!pixels)
            return std::nullopt;
        given.push_back(*pixels);
    }
    const auto at = [&given](std::size_t wanted, std::size_t otherwise) {
        return given[wanted < given.size() ? wanted : otherwise];
    };
    const std::int32_t top = given[0];
    const std::int32_t right = at(1, 0);
    return Sides{top, right, at(2, 0), at(3, given.size() > 1 ? 1 : 0)};
}

std::optional<int> sideNamed(std::string_view name, const Property& row)
{
    if (!name.starts_with(row.pageName))
        return std::nullopt;
    name.remove_prefix(row.pageName.size());
    for (std::size_t side = 0; side < sideNames.size(); ++side)
        if (name == sideNames[side])
            return static_cast<int>(side);
    return std::nullopt;
}

void setSide(Sides& sides, int side, std::int32_t value)
{
    std::int32_t* const each[] = {&sides.top, &sides.right, &sides.bottom, &sides.left};
    *each[side] = value;
}

Border initialBorder()
{
    return Border{3, 0, {}};
}

std::optional<Border> borderOf(std::span<const CssToken> value, const Property& row)
{
    const std::vector<const CssToken*> parts = withoutWhitespace(value);
    if (parts.empty() || parts.size() > 3)
        return std::nullopt;
    Border border = initialBorder();
    bool width = false, style = false, colour = false;
    for (const CssToken* part : parts) {
        if (const auto pixels = width ? std::nullopt : borderWidth(*part, row)) {
            border.width = *pixels;
            width = true;
        } else if (const auto place = style ? std::nullopt : borderStyle(*part, row)) {
            border.style = *place;
            style = true;
        } else if (const auto text = colour ? std::nullopt : color(*part)) {
            border.color = *text;
            colour = true;
        } else {
            return std::nullopt;
        }
    }
    return border;
}

bool layBorderPart(Border& border, std::string_view part, std::span<const CssToken> value, const Property& row)
{
    if (part == "-width") {
        const auto width = sameOnEverySide<std::int32_t>(value, [&row](const CssToken& token) { return borderWidth(token, row); });
        return width && (border.width = *width, true);
    }
    if (part == "-style") {
        const auto style = sameOnEverySide<std::int32_t>(value, [&row](const CssToken& token) { return borderStyle(token, row); });
        return style && (border.style = *style, true);
    }
    if (part == "-color") {
        const auto text = sameOnEverySide<std::string>(value, color);
        return text && (border.color = *text, true);
    }
    return false;
}

std::optional<std::int32_t> offsetOf(std::span<const CssToken> value, const Property& row)
{
    const std::vector<const CssToken*> parts = withoutWhitespace(value);
    if (parts.size() != 1)
        return std::nullopt;
    if (isIdent(*parts.front(), "auto"))
        return unsetOffset;
    return wholePixels(*parts.front(), row);
}

std::optional<std::string> fontFamilyOf(std::span<const CssToken> value)
{
    std::vector<std::string> families{{}};
    for (const CssToken& token : value) {
        if (token.is(CssTokenKind::Comma))
            families.emplace_back();
        else if (token.is(CssTokenKind::String))
            families.back() += token.text;
        else if (token.is(CssTokenKind::Ident))
            families.back() += (families.back().empty() ? "" : " ") + token.text;
        else if (!token.is(CssTokenKind::Whitespace))
            return std::nullopt;
    }
    std::string_view generic = "sans-serif";
    for (const std::string& family : families)
        if (isGenericFamily(asciiLower(family))) {
            generic = *std::find(genericFamilies.begin(), genericFamilies.end(), asciiLower(family));
            break;
        }
    const std::string first = isGenericFamily(asciiLower(families.front())) ? asciiLower(families.front()) : families.front();
    std::string text = fontFamilyText(first, generic);
    return text.empty() ? std::nullopt : std::optional(text);
}

std::optional<std::int32_t> percentOf(std::span<const CssToken> value)
{
    const std::vector<const CssToken*> parts = withoutWhitespace(value);
    if (parts.size() != 1)
        return std::nullopt;
    const CssToken& token = *parts.front();
    double percent = 0;
    if (token.is(CssTokenKind::Number))
        percent = token.number * 100;
    else if (token.is(CssTokenKind::Percentage))
        percent = token.number;
    else
        return std::nullopt;
    const double whole = std::round(percent);
    if (std::abs(percent - whole) > 1e-6 || whole < 0 || whole > 100)
        return std::nullopt;
    return static_cast<std::int32_t>(whole);
}

std::optional<std::string> keywordOf(std::span<const CssToken> value, const Property& row)
{
    const std::vector<const CssToken*> parts = withoutWhitespace(value);
    if (parts.size() != 1)
        return std::nullopt;
    const CssToken& token = *parts.front();
    if (token.is(CssTokenKind::Number)) {
        const auto number = std::ranges::find(row.keywordNumbers, token.number);
        if (number == row.keywordNumbers.end())
            return std::nullopt;
        return std::string(row.keywords[static_cast<std::size_t>(number - row.keywordNumbers.begin())]);
    }
    if (!token.is(CssTokenKind::Ident) || listPositionOf(row, asciiLower(token.text)) < 0)
        return std::nullopt;
    return asciiLower(token.text);
}
