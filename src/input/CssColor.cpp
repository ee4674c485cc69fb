#include "input/CssColor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

struct NamedColor { std::string_view name; std::uint32_t rgb; };

// CSS Color Module Level 4's named colours, in alphabetical order.
constexpr std::array<NamedColor, 148> namedColors{{
    {"aliceblue", 0xF0F8FF}, {"antiquewhite", 0xFAEBD7}, {"aqua", 0x00FFFF}, {"aquamarine", 0x7FFFD4},
    {"azure", 0xF0FFFF}, {"beige", 0xF5F5DC}, {"bisque", 0xFFE4C4}, {"black", 0x000000},
    {"blanchedalmond", 0xFFEBCD}, {"blue", 0x0000FF}, {"blueviolet", 0x8A2BE2}, {"brown", 0xA52A2A},
    {"burlywood", 0xDEB887}, {"cadetblue", 0x5F9EA0}, {"chartreuse", 0x7FFF00}, {"chocolate", 0xD2691E},
    {"coral", 0xFF7F50}, {"cornflowerblue", 0x6495ED}, {"cornsilk", 0xFFF8DC}, {"crimson", 0xDC143C},
    {"cyan", 0x00FFFF}, {"darkblue", 0x00008B}, {"darkcyan", 0x008B8B}, {"darkgoldenrod", 0xB8860B},
    {"darkgray", 0xA9A9A9}, {"darkgreen", 0x006400}, {"darkgrey", 0xA9A9A9}, {"darkkhaki", 0xBDB76B},
    {"darkmagenta", 0x8B008B}, {"darkolivegreen", 0x556B2F}, {"darkorange", 0xFF8C00}, {"darkorchid", 0x9932CC},
    {"darkred", 0x8B0000}, {"darksalmon", 0xE9967A}, {"darkseagreen", 0x8FBC8F}, {"darkslateblue", 0x483D8B},
    {"darkslategray", 0x2F4F4F}, {"darkslategrey", 0x2F4F4F}, {"darkturquoise", 0x00CED1}, {"darkviolet", 0x9400D3},
    {"deeppink", 0xFF1493}, {"deepskyblue", 0x00BFFF}, {"dimgray", 0x696969}, {"dimgrey", 0x696969},
    {"dodgerblue", 0x1E90FF}, {"firebrick", 0xB22222}, {"floralwhite", 0xFFFAF0}, {"forestgreen", 0x228B22},
    {"fuchsia", 0xFF00FF}, {"gainsboro", 0xDCDCDC}, {"ghostwhite", 0xF8F8FF}, {"gold", 0xFFD700},
    {"goldenrod", 0xDAA520}, {"gray", 0x808080}, {"green", 0x008000}, {"greenyellow", 0xADFF2F},
    {"grey", 0x808080}, {"honeydew", 0xF0FFF0}, {"hotpink", 0xFF69B4}, {"indianred", 0xCD5C5C},
    {"indigo", 0x4B0082}, {"ivory", 0xFFFFF0}, {"khaki", 0xF0E68C}, {"lavender", 0xE6E6FA},
    {"lavenderblush", 0xFFF0F5}, {"lawngreen", 0x7CFC00}, {"lemonchiffon", 0xFFFACD}, {"lightblue", 0xADD8E6},
    {"lightcoral", 0xF08080}, {"lightcyan", 0xE0FFFF}, {"lightgoldenrodyellow", 0xFAFAD2}, {"lightgray", 0xD3D3D3},
    {"lightgreen", 0x90EE90}, {"lightgrey", 0xD3D3D3}, {"lightpink", 0xFFB6C1}, {"lightsalmon", 0xFFA07A},
    {"lightseagreen", 0x20B2AA}, {"lightskyblue", 0x87CEFA}, {"lightslategray", 0x778899}, {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xB0C4DE}, {"lightyellow", 0xFFFFE0}, {"lime", 0x00FF00}, {"limegreen", 0x32CD32},
    {"linen", 0xFAF0E6}, {"magenta", 0xFF00FF}, {"maroon", 0x800000}, {"mediumaquamarine", 0x66CDAA},
    {"mediumblue", 0x0000CD}, {"mediumorchid", 0xBA55D3}, {"mediumpurple", 0x9370DB}, {"mediumseagreen", 0x3CB371},
    {"mediumslateblue", 0x7B68EE}, {"mediumspringgreen", 0x00FA9A}, {"mediumturquoise", 0x48D1CC}, {"mediumvioletred", 0xC71585},
    {"midnightblue", 0x191970}, {"mintcream", 0xF5FFFA}, {"mistyrose", 0xFFE4E1}, {"moccasin", 0xFFE4B5},
    {"navajowhite", 0xFFDEAD}, {"navy", 0x000080}, {"oldlace", 0xFDF5E6}, {"olive", 0x808000},
    {"olivedrab", 0x6B8E23}, {"orange", 0xFFA500}, {"orangered", 0xFF4500}, {"orchid", 0xDA70D6},
    {"palegoldenrod", 0xEEE8AA}, {"palegreen", 0x98FB98}, {"paleturquoise", 0xAFEEEE}, {"palevioletred", 0xDB7093},
    {"papayawhip", 0xFFEFD5}, {"peachpuff", 0xFFDAB9}, {"peru", 0xCD853F}, {"pink", 0xFFC0CB},
    {"plum", 0xDDA0DD}, {"powderblue", 0xB0E0E6}, {"purple", 0x800080}, {"rebeccapurple", 0x663399},
    {"red", 0xFF0000}, {"rosybrown", 0xBC8F8F}, {"royalblue", 0x4169E1}, {"saddlebrown", 0x8B4513},
    {"salmon", 0xFA8072}, {"sandybrown", 0xF4A460}, {"seagreen", 0x2E8B57}, {"seashell", 0xFFF5EE},
    {"sienna", 0xA0522D}, {"silver", 0xC0C0C0}, {"skyblue", 0x87CEEB}, {"slateblue", 0x6A5ACD},
    {"slategray", 0x708090}, {"slategrey", 0x708090}, {"snow", 0xFFFAFA}, {"springgreen", 0x00FF7F},
    {"steelblue", 0x4682B4}, {"tan", 0xD2B48C}, {"teal", 0x008080}, {"thistle", 0xD8BFD8},
    {"tomato", 0xFF6347}, {"turquoise", 0x40E0D0}, {"violet", 0xEE82EE}, {"wheat", 0xF5DEB3},
    {"white", 0xFFFFFF}, {"whitesmoke", 0xF5F5F5}, {"yellow", 0xFFFF00}, {"yellowgreen", 0x9ACD32},
}};

std::string hexText(std::uint32_t rgb)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text = "#";
    for (int shift = 20; shift >= 0; shift -= 4)
        text += digits[(rgb >> shift) & 0xF];
    return text;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::optional<std::string> fromHex(const std::string& digits)
{
    if (std::any_of(digits.begin(), digits.end(), [](char c) { return hexValue(c) < 0; }))
        return std::nullopt;
    if (digits.size() == 6)
        return "#" + digits;
    std::uint32_t rgb = 0;
    if (digits.size() == 3 || digits.size() == 4) {
        if (digits.size() == 4 && hexValue(digits[3]) != 15)
            return std::nullopt;   // not opaque
        for (int i = 0; i < 3; ++i)
            rgb = rgb << 8 | static_cast<std::uint32_t>(hexValue(digits[static_cast<std::size_t>(i)]) * 17);
        return hexText(rgb);
    }
    if (digits.size() == 8 && asciiLower(digits.substr(6)) == "ff")
        return hexText(static_cast<std::uint32_t>(std::stoul(digits.substr(0, 6), nullptr, 16)));
    return std::nullopt;
}

// The channels and the alpha, in either the comma or the space form.
std::optional<std::vector<const CssToken*>> channels(std::span<const CssToken> inside)
{
    const std::vector<const CssToken*> all = withoutWhitespace(inside);   // commas and "/" among them
    std::vector<const CssToken*> values;
    const bool commas = all.size() > 1 && all[1]->is(CssTokenKind::Comma);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const bool separator = commas ? all[i]->is(CssTokenKind::Comma) : all[i]->isDelim('/');
        if (commas ? i % 2 == 1 : separator) {
            if (!separator || (!commas && values.size() != 3))
                return std::nullopt;
            continue;
        }
        if (all[i]->is(CssTokenKind::Comma) || all[i]->isDelim('/'))
            return std::nullopt;
        values.push_back(all[i]);
    }
    if (values.size() != 3 && values.size() != 4)
        return std::nullopt;
    return values;
}

bool opaque(const std::vector<const CssToken*>& values)
{
    if (values.size() < 4)
        return true;
    const CssToken& alpha = *values[3];
    return (alpha.is(CssTokenKind::Number) && alpha.number >= 1) || (alpha.is(CssTokenKind::Percentage) && alpha.number >= 100);
}

std::uint32_t channel(double value)
{
    return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

std::optional<std::string> fromRgb(std::span<const CssToken> inside)
{
    const auto values = channels(inside);
    if (!values || !opaque(*values))
        return std::nullopt;
    std::uint32_t rgb = 0;
    for (int i = 0; i < 3; ++i) {
        const CssToken& value = *(*values)[static_cast<std::size_t>(i)];
        if (value.is(CssTokenKind::Number))
            rgb = rgb << 8 | channel(value.number);
        else if (value.is(CssTokenKind::Percentage))
            rgb = rgb << 8 | channel(value.number * 2.55);
        else
            return std::nullopt;
    }
    return hexText(rgb);
}

std::optional<std::string> fromHsl(std::span<const CssToken> inside)
{
    const auto values = channels(inside);
    if (!values || !opaque(*values))
        return std::nullopt;
    const CssToken& hue = *(*values)[0];
    double degrees = hue.number;
    if (hue.is(CssTokenKind::Dimension)) {
        const std::string unit = asciiLower(hue.text);
        if (unit == "rad")
            degrees = hue.number * 180.0 / 3.14159265358979323846;
        else if (unit == "grad")
            degrees = hue.number * 0.9;
        else if (unit == "turn")
            degrees = hue.number * 360.0;
        else if (unit != "deg")
            return std::nullopt;
    } else if (!hue.is(CssTokenKind::Number)) {
        return std::nullopt;
    }
    double percent[2];
    for (int i = 0; i < 2; ++i) {
        const CssToken& value = *(*values)[static_cast<std::size_t>(i) + 1];
        if (!value.is(CssTokenKind::Percentage) && !value.is(CssTokenKind::Number))
            return std::nullopt;
        percent[i] = std::clamp(value.number, 0.0, 100.0) / 100.0;
    }
    const double h = std::fmod(std::fmod(degrees, 360.0) + 360.0, 360.0);
    const double s = percent[0], l = percent[1];
    const auto f = [&](double n) {
        const double k = std::fmod(n + h / 30.0, 12.0);
        const double a = s * std::min(l, 1 - l);
        return l - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
    };
    return hexText(channel(f(0) * 255) << 16 | channel(f(8) * 255) << 8 | channel(f(4) * 255));
}

} // namespace

std::optional<std::string> cssColorText(std::span<const CssToken> value)
{
    if (value.empty())
        return std::nullopt;
    const CssToken& first = value.front();
    if (value.size() == 1 && first.is(CssTokenKind::Hash))
        return fromHex(first.text);
    if (value.size() == 1 && first.is(CssTokenKind::Ident)) {
        const std::string name = asciiLower(first.text);
        const auto found = std::lower_bound(namedColors.begin(), namedColors.end(), name,
                                            [](const NamedColor& color, const std::string& key) { return color.name < key; });
        if (found != namedColors.end() && found->name == name)
            return hexText(found->rgb);
        return std::nullopt;
    }
    if (!first.is(CssTokenKind::Function) || !value.back().is(CssTokenKind::CloseParen))
        return std::nullopt;
    const std::span<const CssToken> inside = value.subspan(1, value.size() - 2);
    const std::string name = asciiLower(first.text);
    if (name == "rgb" || name == "rgba")
        return fromRgb(inside);
    if (name == "hsl" || name == "hsla")
        return fromHsl(inside);
    return std::nullopt;
}
