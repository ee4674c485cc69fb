#pragma once

#include "input/CssSyntax.h"
#include "model/Properties.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The box's values as a page or a paste writes them, in the forms the records can hold: whole
// px, four sides alike or given one by one, a border the same on every side. Nothing for a
// value in another unit or of another form; the caller leaves it out.

// A whole number of px (a bare 0 too) within the row's range.
std::optional<std::int32_t> wholePixels(const CssToken& token, const Property& row);

// `border-radius: 6px` or up to four corners that agree.
std::optional<std::int32_t> everyCornerOf(std::span<const CssToken> value, const Property& row);

// `margin: 4px 8px` and its like: one to four sides, as CSS spreads them.
std::optional<Sides> sidesOf(std::span<const CssToken> value, const Property& row);
// `margin-top` and the other sides: the side's place (top 0 … left 3), or nothing for a name
// that is no side of the row's.
std::optional<int> sideNamed(std::string_view name, const Property& row);
void setSide(Sides& sides, int side, std::int32_t value);

// `border: 1px solid red` (in any order; what is missing is CSS's initial value) and the
// side shorthands `border-top` and its like.
std::optional<Border> borderOf(std::span<const CssToken> value, const Property& row);
// `border-width`, `-style` and `-color` laid over `border`: one value, or four that agree.
bool layBorderPart(Border& border, std::string_view part, std::span<const CssToken> value, const Property& row);
// A border's initial value as a browser has it: medium (3px), no style, the text's colour.
Border initialBorder();

// `top: 10px`; `auto` unsets it.
std::optional<std::int32_t> offsetOf(std::span<const CssToken> value, const Property& row);
// The first family of the list, with the list's generic family (sans-serif where none).
std::optional<std::string> fontFamilyOf(std::span<const CssToken> value);
// `0.5` or `50%`, in whole per cent.
std::optional<std::int32_t> percentOf(std::span<const CssToken> value);
// A keyword of the row's; a weight may also be given as 400 or 700.
std::optional<std::string> keywordOf(std::span<const CssToken> value, const Property& row);
