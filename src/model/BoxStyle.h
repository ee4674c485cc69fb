#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <utility>

// A margin's or a padding's four sides, in CSS's order.
struct Sides {
    std::int32_t top = 0, right = 0, bottom = 0, left = 0;

    bool operator==(const Sides&) const = default;
    static constexpr Sides all(std::int32_t each) { return {each, each, each, each}; }
};

// One border for all four sides: its width, its style's place in the style list, and its
// colour text (empty: none chosen, the text's colour shows).
struct Border {
    std::int32_t width = 0;
    std::int32_t style = 0;
    std::string color;

    bool operator==(const Border&) const = default;
};

// An offset (top, left) that was never given: the default, written nowhere.
inline constexpr std::int32_t unsetOffset = std::numeric_limits<std::int32_t>::min();

// The box's values beyond a rule's first seven: its spacing, border, offsets and type. A rule
// keeps them apart and shared, so that a record at their defaults costs one null pointer and
// copies of a record (for undo, for another thread) share one until either is changed.
struct BoxStyle {
    Sides margin;
    Sides padding;
    Border border;
    std::int32_t borderRadius = 0;
    std::int32_t top = unsetOffset;
    std::int32_t left = unsetOffset;
    std::int32_t opacity = 100;     // per cent
    std::uint8_t textAlign = 0;     // places in their lists
    std::uint8_t fontWeight = 0;
    std::string fontFamily;         // as CSS writes it: "\"DejaVu Sans\", sans-serif"; empty: none

    bool operator==(const BoxStyle&) const = default;
};

// A BoxStyle shared between copies and copied only when one of them changes it. A box at
// its defaults is no box at all: the records that have one share nothing and count nothing,
// which is what lets threads make and free them by the hundred thousand at once.
class SharedBox
{
public:
    const BoxStyle& get() const { return shared ? *shared : defaults; }
    const BoxStyle* operator->() const { return &get(); }

    // Sets one of its values, copying it first when another record shares it; a value that
    // is already there copies nothing, so reading a record at its defaults makes no box.
    template <typename Value>
    void set(Value BoxStyle::*field, Value value)
    {
        if (get().*field == value)
            return;
        if (!shared || shared.use_count() != 1)
            shared = std::make_shared<BoxStyle>(get());
        (*shared).*field = std::move(value);
    }

    bool operator==(const SharedBox& other) const { return shared == other.shared || get() == other.get(); }
    // The very same box, not a copy: cheaper than comparing, and enough to know a record's
    // box values are another's.
    bool sameAs(const SharedBox& other) const { return shared == other.shared; }

private:
    static inline const BoxStyle defaults{};
    std::shared_ptr<BoxStyle> shared;   // null: the defaults
};

// The box's accessors, which a body and a div share; the property table tells which of them
// each kind of rule has. A keyword's setter takes a place in its list, and a place outside
// the list (-1: nothing chosen) keeps the value.
class BoxAccessors
{
public:
    Sides getMargin() const { return box->margin; }
    void setMargin(Sides value) { box.set(&BoxStyle::margin, value); }

    Sides getPadding() const { return box->padding; }
    void setPadding(Sides value) { box.set(&BoxStyle::padding, value); }

    const Border& getBorder() const { return box->border; }
    void setBorder(Border value) { box.set(&BoxStyle::border, std::move(value)); }

    std::int32_t getBorderRadius() const { return box->borderRadius; }
    void setBorderRadius(std::int32_t value) { box.set(&BoxStyle::borderRadius, value); }

    std::int32_t getTop() const { return box->top; }
    void setTop(std::int32_t value) { box.set(&BoxStyle::top, value); }

    std::int32_t getLeft() const { return box->left; }
    void setLeft(std::int32_t value) { box.set(&BoxStyle::left, value); }

    int getTextAlign() const { return box->textAlign; }
    void setTextAlign(int listPosition) { setPlace(&BoxStyle::textAlign, listPosition, textAlignCount); }

    const std::string& getFontFamily() const { return box->fontFamily; }
    void setFontFamily(std::string value) { box.set(&BoxStyle::fontFamily, std::move(value)); }

    int getFontWeight() const { return box->fontWeight; }
    void setFontWeight(int listPosition) { setPlace(&BoxStyle::fontWeight, listPosition, fontWeightCount); }

    std::int32_t getOpacity() const { return box->opacity; }
    void setOpacity(std::int32_t value) { box.set(&BoxStyle::opacity, value); }

    bool operator==(const BoxAccessors&) const = default;
    // Whether the record shares its box values with `other` (a copy of it never changed).
    bool sharesBoxWith(const BoxAccessors& other) const { return box.sameAs(other.box); }

    // The lengths of the keyword lists (Properties.h checks them against its own).
    static constexpr int textAlignCount = 4;
    static constexpr int fontWeightCount = 2;

private:
    void setPlace(std::uint8_t BoxStyle::*field, int listPosition, int count)
    {
        if (listPosition >= 0 && listPosition < count)
            box.set(field, static_cast<std::uint8_t>(listPosition));
    }

    SharedBox box;
};
