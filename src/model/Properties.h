#pragma once

#include "model/BodyStyle.h"
#include "model/BoxStyle.h"
#include "model/DivStyle.h"

#include <array>
#include <cstdint>
#include <limits>
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
    Sides,            // four whole numbers of px: top, right, bottom, left
    Border,           // a width in px, a style (one of the row's keywords) and a colour text
    Offset,           // a whole number of px, or unset (unsetOffset)
    FontFamily,       // a family and its generic fallback, as CSS writes them; or none
    Percent,          // a whole number from 0 to 100; in CSS a fraction of 1
};

// A property's value: a number, a text (colour, path, keyword or family), four sides or a
// border.
using PropertyValue = std::variant<std::int32_t, std::string, Sides, Border>;

// How a kind of rule's record holds a property: not at all, or by which kind of accessors.
// Told apart by this rather than by the accessors themselves, since comparing member
// function pointers is no constant expression under UBSan.
enum class Held { No, AsNumber, AsText, AsKeyword, AsListPosition, AsSides, AsBorder };

// How one kind of rule's record holds a property; has() is false where that kind has none.
template <typename Record>
struct Holder {
    Held held = Held::No;
    std::int32_t (Record::*number)() const = nullptr;
    void (Record::*setNumber)(std::int32_t) = nullptr;
    const std::string& (Record::*text)() const = nullptr;
    void (Record::*setText)(std::string) = nullptr;
    void (Record::*setListPosition)(int) = nullptr;   // a keyword's: its place in the list
    int (Record::*listPosition)() const = nullptr;     // a keyword held by its place
    Sides (Record::*sides)() const = nullptr;
    void (Record::*setSides)(Sides) = nullptr;
    const Border& (Record::*border)() const = nullptr;
    void (Record::*setBorder)(Border) = nullptr;
    std::string_view unit;                             // after a number, in the stylesheet
    std::int32_t defaultNumber = 0;
    std::string_view defaultText;
    Sides defaultSides;

    constexpr bool has() const { return held != Held::No; }
};

template <typename Record>
constexpr Holder<Record> heldAsNumber(std::int32_t (Record::*get)() const, void (Record::*set)(std::int32_t),
                                      std::string_view unit, std::int32_t byDefault)
{
    Holder<Record> holder;
    holder.held = Held::AsNumber;
    holder.number = get;
    holder.setNumber = set;
    holder.unit = unit;
    holder.defaultNumber = byDefault;
    return holder;
}

template <typename Record>
constexpr Holder<Record> heldAsText(const std::string& (Record::*get)() const, void (Record::*set)(std::string))
{
    Holder<Record> holder;
    holder.held = Held::AsText;
    holder.text = get;
    holder.setText = set;
    return holder;
}

template <typename Record>
constexpr Holder<Record> heldAsKeyword(const std::string& (Record::*get)() const, void (Record::*set)(int),
                                       std::string_view byDefault)
{
    Holder<Record> holder;
    holder.held = Held::AsKeyword;
    holder.text = get;
    holder.setListPosition = set;
    holder.defaultText = byDefault;
    return holder;
}

template <typename Record>
constexpr Holder<Record> heldAsListPosition(int (Record::*get)() const, void (Record::*set)(int),
                                            std::string_view byDefault)
{
    Holder<Record> holder;
    holder.held = Held::AsListPosition;
    holder.listPosition = get;
    holder.setListPosition = set;
    holder.defaultText = byDefault;
    return holder;
}

template <typename Record>
constexpr Holder<Record> heldAsSides(Sides (Record::*get)() const, void (Record::*set)(Sides), Sides byDefault)
{
    Holder<Record> holder;
    holder.held = Held::AsSides;
    holder.sides = get;
    holder.setSides = set;
    holder.unit = "px";
    holder.defaultSides = byDefault;
    return holder;
}

template <typename Record>
constexpr Holder<Record> heldAsBorder()
{
    Holder<Record> holder;
    holder.held = Held::AsBorder;
    holder.border = &Record::getBorder;
    holder.setBorder = &Record::setBorder;
    holder.unit = "px";
    return holder;
}

// The box's values, which both kinds of rule keep in the accessors they share.
template <typename Record>
struct BoxHeld {
    static constexpr Holder<Record> margin(Sides byDefault)
    {
        return heldAsSides<Record>(&Record::getMargin, &Record::setMargin, byDefault);
    }
    static constexpr Holder<Record> padding = heldAsSides<Record>(&Record::getPadding, &Record::setPadding, {});
    static constexpr Holder<Record> border = heldAsBorder<Record>();
    static constexpr Holder<Record> borderRadius =
        heldAsNumber<Record>(&Record::getBorderRadius, &Record::setBorderRadius, "px", 0);
    static constexpr Holder<Record> top = heldAsNumber<Record>(&Record::getTop, &Record::setTop, "px", unsetOffset);
    static constexpr Holder<Record> left = heldAsNumber<Record>(&Record::getLeft, &Record::setLeft, "px", unsetOffset);
    static constexpr Holder<Record> textAlign =
        heldAsListPosition<Record>(&Record::getTextAlign, &Record::setTextAlign, "left");
    static constexpr Holder<Record> fontFamily = heldAsText<Record>(&Record::getFontFamily, &Record::setFontFamily);
    static constexpr Holder<Record> fontWeight =
        heldAsListPosition<Record>(&Record::getFontWeight, &Record::setFontWeight, "normal");
    static constexpr Holder<Record> opacity = heldAsNumber<Record>(&Record::getOpacity, &Record::setOpacity, "", 100);
};

struct Property {
    std::string_view name;       // in the stylesheet: "font-color"
    std::string_view pageName;   // in CSS a browser reads: "color"; a background's "-color"
                                 // or "-image" follows it there
    ValueKind kind;
    const char* label;           // in Hungarian, as the panels caption it
    std::span<const std::string_view> keywords = {};   // a keyword list's, in the list's order
    std::span<const std::string_view> captions = {};   // and as the list shows them
    // The numbers CSS also writes each keyword as ("font-weight: 700"), in the list's order.
    std::span<const std::int32_t> keywordNumbers = {};
    Holder<BodyStyle> body = {};
    Holder<DivStyle> div = {};
    // Whether the stylesheet has its line in every block, or only where it is away from its
    // default (the box's values, which files written before them do not have).
    bool alwaysWritten = false;
    // The whole numbers it takes (a border's width; each side).
    std::int32_t least = std::numeric_limits<std::int32_t>::min();
    std::int32_t most = std::numeric_limits<std::int32_t>::max();

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
inline constexpr std::array<std::string_view, 5> borderKeywords{"none", "solid", "dashed", "dotted", "double"};
inline constexpr std::array<std::string_view, 5> borderCaptions{"nincs", "folytonos", "szaggatott", "pontozott",
                                                                "dupla"};
inline constexpr std::array<std::string_view, BoxAccessors::textAlignCount> textAlignKeywords{"left", "center",
                                                                                              "right", "justify"};
inline constexpr std::array<std::string_view, BoxAccessors::textAlignCount> textAlignCaptions{
    "balra", "középre", "jobbra", "sorkizárt"};
inline constexpr std::array<std::string_view, BoxAccessors::fontWeightCount> fontWeightKeywords{"normal", "bold"};
inline constexpr std::array<std::int32_t, BoxAccessors::fontWeightCount> fontWeightNumbers{400, 700};
inline constexpr std::array<std::string_view, BoxAccessors::fontWeightCount> fontWeightCaptions{"normál",
                                                                                                "félkövér"};
} // namespace propertyLists

// In the order of the stylesheet's lines.
inline constexpr std::array properties{
    Property{.name = "width", .pageName = "width", .kind = ValueKind::Pixels, .label = "Szélesség",
             .div = heldAsNumber(&DivStyle::getWidth, &DivStyle::setWidth, "px", 100), .alwaysWritten = true},
    Property{.name = "height", .pageName = "height", .kind = ValueKind::Pixels, .label = "Magasság",
             .div = heldAsNumber(&DivStyle::getHeight, &DivStyle::setHeight, "px", 200), .alwaysWritten = true},
    Property{.name = "background", .pageName = "background", .kind = ValueKind::ColorOrPicture, .label = "Háttér",
             .body = heldAsText(&BodyStyle::getBackground, &BodyStyle::setBackground),
             .div = heldAsText(&DivStyle::getBackground, &DivStyle::setBackground), .alwaysWritten = true},
    Property{.name = "font-size", .pageName = "font-size", .kind = ValueKind::Pixels, .label = "Betüméret",
             .body = heldAsNumber(&BodyStyle::getFontSize, &BodyStyle::setFontSize, "", 14),
             .div = heldAsNumber(&DivStyle::getFontSize, &DivStyle::setFontSize, "px", 14), .alwaysWritten = true},
    Property{.name = "font-color", .pageName = "color", .kind = ValueKind::Color, .label = "Betüszín",
             .body = heldAsText(&BodyStyle::getFontColor, &BodyStyle::setFontColor),
             .div = heldAsText(&DivStyle::getFontColor, &DivStyle::setFontColor), .alwaysWritten = true},
    Property{.name = "float", .pageName = "float", .kind = ValueKind::Keyword, .label = "Igazítás",
             .keywords = propertyLists::floatKeywords, .captions = propertyLists::floatCaptions,
             .div = heldAsKeyword(&DivStyle::getFloat, &DivStyle::setFloat, "none"), .alwaysWritten = true},
    Property{.name = "position", .pageName = "position", .kind = ValueKind::Keyword, .label = "Pozíció",
             .keywords = propertyLists::positionKeywords, .captions = propertyLists::positionCaptions,
             .div = heldAsKeyword(&DivStyle::getPosition, &DivStyle::setPosition, "relative"), .alwaysWritten = true},
    // A browser gives the body a margin of 8px on each side.
    Property{.name = "margin", .pageName = "margin", .kind = ValueKind::Sides, .label = "Külső margó",
             .body = BoxHeld<BodyStyle>::margin(Sides::all(8)), .div = BoxHeld<DivStyle>::margin({})},
    Property{.name = "padding", .pageName = "padding", .kind = ValueKind::Sides, .label = "Belső margó",
             .body = BoxHeld<BodyStyle>::padding, .div = BoxHeld<DivStyle>::padding, .least = 0},
    Property{.name = "border", .pageName = "border", .kind = ValueKind::Border, .label = "Keret",
             .keywords = propertyLists::borderKeywords, .captions = propertyLists::borderCaptions,
             .div = BoxHeld<DivStyle>::border, .least = 0},
    Property{.name = "border-radius", .pageName = "border-radius", .kind = ValueKind::Pixels, .label = "Lekerekítés",
             .div = BoxHeld<DivStyle>::borderRadius, .least = 0},
    Property{.name = "top", .pageName = "top", .kind = ValueKind::Offset, .label = "Fent",
             .div = BoxHeld<DivStyle>::top, .least = unsetOffset + 1},
    Property{.name = "left", .pageName = "left", .kind = ValueKind::Offset, .label = "Balra",
             .div = BoxHeld<DivStyle>::left, .least = unsetOffset + 1},
    Property{.name = "text-align", .pageName = "text-align", .kind = ValueKind::Keyword, .label = "Szövegigazítás",
             .keywords = propertyLists::textAlignKeywords, .captions = propertyLists::textAlignCaptions,
             .body = BoxHeld<BodyStyle>::textAlign, .div = BoxHeld<DivStyle>::textAlign},
    Property{.name = "font-family", .pageName = "font-family", .kind = ValueKind::FontFamily, .label = "Betűtípus",
             .body = BoxHeld<BodyStyle>::fontFamily, .div = BoxHeld<DivStyle>::fontFamily},
    Property{.name = "font-weight", .pageName = "font-weight", .kind = ValueKind::Keyword, .label = "Félkövér",
             .keywords = propertyLists::fontWeightKeywords, .captions = propertyLists::fontWeightCaptions,
             .keywordNumbers = propertyLists::fontWeightNumbers,
             .body = BoxHeld<BodyStyle>::fontWeight, .div = BoxHeld<DivStyle>::fontWeight},
    Property{.name = "opacity", .pageName = "opacity", .kind = ValueKind::Percent, .label = "Átlátszóság",
             .div = BoxHeld<DivStyle>::opacity, .least = 0, .most = 100},
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
    switch (holder.held) {
    case Held::AsNumber: return (record.*holder.number)();
    case Held::AsListPosition: return std::string(row.keywords[static_cast<std::size_t>((record.*holder.listPosition)())]);
    case Held::AsSides: return (record.*holder.sides)();
    case Held::AsBorder: return (record.*holder.border)();
    default: return (record.*holder.text)();
    }
}

// A keyword that is none of the row's leaves the value, as a list with nothing chosen does.
template <typename Record>
void setValue(const Property& row, Record& record, const PropertyValue& value)
{
    const Holder<Record>& holder = row.in<Record>();
    switch (holder.held) {
    case Held::AsNumber: (record.*holder.setNumber)(std::get<std::int32_t>(value)); break;
    case Held::AsKeyword:
    case Held::AsListPosition:
        (record.*holder.setListPosition)(listPositionOf(row, std::get<std::string>(value)));
        break;
    case Held::AsSides: (record.*holder.setSides)(std::get<Sides>(value)); break;
    case Held::AsBorder: (record.*holder.setBorder)(std::get<Border>(value)); break;
    default: (record.*holder.setText)(std::get<std::string>(value));
    }
}

template <typename Record>
PropertyValue defaultOf(const Property& row)
{
    const Holder<Record>& holder = row.in<Record>();
    switch (holder.held) {
    case Held::AsNumber: return holder.defaultNumber;
    case Held::AsSides: return holder.defaultSides;
    case Held::AsBorder: return Border{};
    default: return std::string(holder.defaultText);
    }
}

template <typename Record>
bool sameValue(const Property& row, const Record& one, const Record& other)
{
    const Holder<Record>& holder = row.in<Record>();
    switch (holder.held) {
    case Held::AsNumber: return (one.*holder.number)() == (other.*holder.number)();
    case Held::AsListPosition: return (one.*holder.listPosition)() == (other.*holder.listPosition)();
    case Held::AsSides: return (one.*holder.sides)() == (other.*holder.sides)();
    case Held::AsBorder: return (one.*holder.border)() == (other.*holder.border)();
    default: break;
    }
    const std::string& text = (one.*holder.text)();
    const std::string& otherText = (other.*holder.text)();
    return &text == &otherText || text == otherText;   // a shared picture path is not read through
}

// Whether the record's value is the row's default: one the stylesheet writes no line for,
// unless the row is always written. A border of no style is no border, whatever its width.
template <typename Record>
bool atDefault(const Property& row, const Record& record)
{
    const Holder<Record>& holder = row.in<Record>();
    switch (holder.held) {
    case Held::AsNumber: return (record.*holder.number)() == holder.defaultNumber;
    case Held::AsListPosition: return row.keywords[static_cast<std::size_t>((record.*holder.listPosition)())] == holder.defaultText;
    case Held::AsSides: return (record.*holder.sides)() == holder.defaultSides;
    case Held::AsBorder: return (record.*holder.border)().style == 0;
    case Held::AsKeyword: return (record.*holder.text)() == holder.defaultText;
    default: return (record.*holder.text)().empty();
    }
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
