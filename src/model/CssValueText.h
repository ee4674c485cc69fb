#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The texts of values that CSS writes otherwise than a whole number: a percentage as a
// fraction of 1 and a font family with its generic fallback. The stylesheet and the page
// write them alike.

// 50 as "0.5", 5 as "0.05", 100 as "1": at most two decimals and no trailing zeros. Held in
// place, for the writer of many records.
struct Fraction {
    std::array<char, 4> digits{};
    std::size_t size = 0;
    std::string_view view() const { return {digits.data(), size}; }
};
constexpr Fraction fractionOf(std::int32_t percent)
{
    if (percent >= 100)
        return {{'1'}, 1};
    if (percent <= 0)
        return {{'0'}, 1};
    Fraction fraction{{'0', '.', static_cast<char>('0' + percent / 10)}, 3};
    if (percent % 10 != 0)
        fraction.digits[fraction.size++] = static_cast<char>('0' + percent % 10);
    return fraction;
}
std::string fractionText(std::int32_t percent);
// The other way, for a fraction written exactly so; nothing for any other text.
std::optional<std::int32_t> percentOfFraction(std::string_view text);

// The generic families a font-family ends with.
inline constexpr std::array<std::string_view, 3> genericFamilies{"serif", "sans-serif", "monospace"};

bool isGenericFamily(std::string_view name);
// A name a family can have in Prizmo's files: printable, and nothing that could end a
// string, a declaration or a rule.
bool isPlainFamilyName(std::string_view name);
// A family as Prizmo writes it: a generic family alone, or "Name", generic. Empty for a name
// that is no plain family name.
std::string fontFamilyText(std::string_view family, std::string_view generic);
// Whether the text is written so.
bool isFontFamilyText(std::string_view text);
// The family the text names first, without its quotes; the text itself when it is none.
std::string_view familyNamed(std::string_view text);
