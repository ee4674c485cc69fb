#pragma once

#include "model/BodyStyle.h"
#include "model/DivStyle.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

// The CSS properties the rules can hold, one row each: what every layer that reads, writes,
// shows or compares a rule's values loops over. A new property is a row here, its record's
// field and accessors, and (for a control of its own) the control's rows in the layout and
// the panels' bindings.

// What a property's value is, and so how each layer reads, writes and shows it.
enum class ValueKind {
    Pixels,           // a whole number; in the stylesheet followed by its rule's unit
    Color,            // colour text, as the colour dialog gives it
    ColorOrPicture,   // colour text or a picture file's full path
    Keyword,          // one of the row's keywords, stored by its place in their list
};

// A property's value: a number, or a text (colour, path or keyword).
using PropertyValue = std::variant<std::int32_t, std::string>;

// How a kind of rule's record holds a property: not at all, or by which kind of accessors.
// Told apart by this rather than by the accessors themselves, since comparing member
// function pointers is no constant expression under UBSan.
enum class Held { No, AsNumber, AsText, AsKeyword };

// How one kind of rule's record holds a property; has() is false where that kind has none.
template <typename Record>
struct Holder {
    Held held = Held::No;
    std::int32_t (Record::*number)() const = nullptr;
    void (Record::*setNumber)(std::int32_t) = nullptr;
    const std::string& (Record::*text)() const = nullptr;
    void (Record::*setText)(std::string) = nullptr;
    void (Record::*setListPosition)(int) = nullptr;   // a keyword's: its place in the list
    std::string_view unit;                             // after a number, in the stylesheet
    std::int32_t defaultNumber = 0;
    std::string_view defaultText;

    constexpr bool has() const { return held != Held::No; }
};

template <typename Record>
constexpr Holder<Record> heldAsNumber(std::int32_t (Record::*get)() const, void (Record::*set)(std::int32_t),
                                      std::string_view unit, std::int32_t byDefault)
{
    return {Held::AsNumber, get, set, nullptr, nullptr, nullptr, unit, byDefault, {}};
}

template <typename Record>
constexpr Holder<Record> heldAsText(const std::string& (Record::*get)() const, void (Record::*set)(std::string))
{
    return {Held::AsText, nullptr, nullptr, get, set, nullptr, {}, 0, {}};
}

template <typename Record>
constexpr Holder<Record> heldAsKeyword(const std::string& (Record::*get)() const, void (Record::*set)(int),
                                       std::string_view byDefault)
{
    return {Held::AsKeyword, nullptr, nullptr, get, nullptr, set, {}, 0, byDefault};
}

struct Property {
    std::string_view name;       // in the stylesheet: "font-color"
    std::string_view pageName;   // in CSS a browser reads: "color"; a background's "-color"
                                 // or "-image" follows it there
    ValueKind kind;
    const char* label;           // in Hungarian, as the panels caption it
    std::span<const std::string_view> keywords;   // a keyword list's, in the list's order
    std::span<const std::string_view> captions;   // and as the list shows them
    Holder<BodyStyle> body;
    Holder<DivStyle> div;

    template <typename Record>
    constexpr const Holder<Record>& in() const
    {
        if constexpr (std::is_same_v<Record, BodyStyle>)
            return body;
        else
            return div;
    }
};

namespace propertyLists {
inline constexpr std::array<std::string_view, 4> floatKeywords{"none", "inherit", "left", "right"};
inline constexpr std::array<std::string_view, 4> floatCaptions{"semmilyen", "örökölt", "balra", "jobbra"};
inline constexpr std::array<std::string_view, 3> positionKeywords{"relative", "absolute", "inherit"};
inline constexpr std::array<std::string_view, 3> positionCaptions{"relatív", "abszolult", "örökölt"};
} // namespace propertyLists

// In the order of the stylesheet's lines.
inline constexpr std::array properties{
    Property{"width", "width", ValueKind::Pixels, "Szélesség", {}, {},
             {}, heldAsNumber(&DivStyle::getWidth, &DivStyle::setWidth, "px", 100)},
    Property{"height", "height", ValueKind::Pixels, "Magasság", {}, {},
             {}, heldAsNumber(&DivStyle::getHeight, &DivStyle::setHeight, "px", 200)},
    Property{"background", "background", ValueKind::ColorOrPicture, "Háttér", {}, {},
             heldAsText(&BodyStyle::getBackground, &BodyStyle::setBackground),
             heldAsText(&DivStyle::getBackground, &DivStyle::setBackground)},
    Property{"font-size", "font-size", ValueKind::Pixels, "Betüméret", {}, {},
             heldAsNumber(&BodyStyle::getFontSize, &BodyStyle::setFontSize, "", 14),
             heldAsNumber(&DivStyle::getFontSize, &DivStyle::setFontSize, "px", 14)},
    Property{"font-color", "color", ValueKind::Color, "Betüszín", {}, {},
             heldAsText(&BodyStyle::getFontColor, &BodyStyle::setFontColor),
             heldAsText(&DivStyle::getFontColor, &DivStyle::setFontColor)},
    Property{"float", "float", ValueKind::Keyword, "Igazítás", propertyLists::floatKeywords,
             propertyLists::floatCaptions, {}, heldAsKeyword(&DivStyle::getFloat, &DivStyle::setFloat, "none")},
    Property{"position", "position", ValueKind::Keyword, "Pozíció", propertyLists::positionKeywords,
             propertyLists::positionCaptions, {},
             heldAsKeyword(&DivStyle::getPosition, &DivStyle::setPosition, "relative")},
};

// A colour or picture has two names in CSS a browser reads: its page name and these after it.
inline constexpr std::string_view colorPart = "-color";
inline constexpr std::string_view picturePart = "-image";

// The row's name in CSS a browser reads, with one of the parts above after it.
inline std::string pageNameWith(const Property& row, std::string_view part)
{
    std::string name;
    name.reserve(row.pageName.size() + part.size());
    name.append(row.pageName.data(), row.pageName.size());
    name.append(part.data(), part.size());
    return name;
}

// Every name of the row's property in CSS a browser reads.
inline std::vector<std::string> pageNames(const Property& row)
{
    if (row.kind != ValueKind::ColorOrPicture)
        return {std::string(row.pageName)};
    return {pageNameWith(row, colorPart), pageNameWith(row, picturePart)};
}

// Calls `each` with the index of every row the record's kind of rule has, in the table's
// order, as a constant (std::integral_constant), so that the row's accessors are known at
// compile time and called directly: for the writers and readers of many records. Stops at
// the first call that gives false; true when none did.
template <typename Record, typename Each>
bool everyHeld(Each&& each)
{
    const auto held = [&each]<std::size_t at>(std::integral_constant<std::size_t, at> row) {
        if constexpr (properties[at].template in<Record>().has())
            return each(row);
        else
            return true;
    };
    return [&held]<std::size_t... at>(std::index_sequence<at...>) {
        return (held(std::integral_constant<std::size_t, at>()) && ...);
    }(std::make_index_sequence<properties.size()>());
}

// The row of that stylesheet name; a name of no row does not compile.
consteval const Property& propertyNamed(std::string_view name)
{
    for (const Property& row : properties)
        if (row.name == name)
            return row;
    throw "no such property";
}

// The place of `keyword` in the row's list; -1 for none.
constexpr int listPositionOf(const Property& row, std::string_view keyword)
{
    for (std::size_t at = 0; at < row.keywords.size(); ++at)
        if (row.keywords[at] == keyword)
            return static_cast<int>(at);
    return -1;
}

template <typename Record>
PropertyValue valueOf(const Property& row, const Record& record)
{
    const Holder<Record>& holder = row.in<Record>();
    if (holder.held == Held::AsNumber)
        return (record.*holder.number)();
    return (record.*holder.text)();
}

// A keyword that is none of the row's leaves the value, as a list with nothing chosen does.
template <typename Record>
void setValue(const Property& row, Record& record, const PropertyValue& value)
{
    const Holder<Record>& holder = row.in<Record>();
    if (holder.held == Held::AsNumber)
        (record.*holder.setNumber)(std::get<std::int32_t>(value));
    else if (holder.held == Held::AsKeyword)
        (record.*holder.setListPosition)(listPositionOf(row, std::get<std::string>(value)));
    else
        (record.*holder.setText)(std::get<std::string>(value));
}

template <typename Record>
PropertyValue defaultOf(const Property& row)
{
    const Holder<Record>& holder = row.in<Record>();
    if (holder.held == Held::AsNumber)
        return holder.defaultNumber;
    return std::string(holder.defaultText);
}

template <typename Record>
bool sameValue(const Property& row, const Record& one, const Record& other)
{
    const Holder<Record>& holder = row.in<Record>();
    if (holder.held == Held::AsNumber)
        return (one.*holder.number)() == (other.*holder.number)();
    const std::string& text = (one.*holder.text)();
    const std::string& otherText = (other.*holder.text)();
    return &text == &otherText || text == otherText;   // a shared picture path is not read through
}

// The same in every property the record's kind of rule has.
template <typename Record>
bool sameProperties(const Record& one, const Record& other)
{
    for (const Property& row : properties)
        if (row.in<Record>().has() && !sameValue(row, one, other))
            return false;
    return true;
}

// Every property the record's kind of rule has, at its default.
template <typename Record>
void setDefaults(Record& record)
{
    for (const Property& row : properties)
        if (row.in<Record>().has())
            setValue(row, record, defaultOf<Record>(row));
}

// The record every new record of its kind copies: every property at its default, made once.
template <typename Record>
const Record& recordAtDefaults()
{
    static const Record defaults = [] {
        Record record{typename Record::Blank{}};
        setDefaults(record);
        return record;
    }();
    return defaults;
}
