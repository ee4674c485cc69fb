#pragma once

#include "model/BoxStyle.h"
#include "model/SharedText.h"

#include <cstdint>
#include <string>
#include <utility>

// One numbered div rule ("#div" + number). A plain value holder: it validates nothing. Its
// defaults, keywords and the properties it has are the property table's (Properties.h).
class DivStyle : public BoxAccessors
{
public:
    DivStyle();   // every property at its default, belonging to no other div

    std::int32_t getWidth() const { return width; }
    void setWidth(std::int32_t value) { width = value; }

    std::int32_t getHeight() const { return height; }
    void setHeight(std::int32_t value) { height = value; }

    std::int32_t getFontSize() const { return fontSize; }
    void setFontSize(std::int32_t value) { fontSize = value; }

    const std::string& getBackground() const { return background.get(); }
    void setBackground(std::string value) { background = std::move(value); }

    const std::string& getFontColor() const { return fontColor.get(); }
    void setFontColor(std::string value) { fontColor = std::move(value); }

    // The setters take a position in the window's alignment / position list and store the
    // CSS keyword for it; a position outside the list (-1: nothing selected) keeps the keyword.
    const std::string& getFloat() const { return *floatValue; }
    void setFloat(int listPosition);

    const std::string& getPosition() const { return *position; }
    void setPosition(int listPosition);

    // The nesting panel records the parent; the stylesheet does not carry it.
    std::int32_t getParent() const { return parent; }
    void setParent(std::int32_t value) { parent = value; }

    bool operator==(const DivStyle&) const = default;
    // The same in everything a stylesheet holds (its parent is not written).
    bool sameContent(const DivStyle& other) const;

private:
    // Only for the record all others copy (Properties.h).
    struct Blank {};
    explicit DivStyle(Blank) {}
    template <typename Record>
    friend const Record& recordAtDefaults();

    static inline const std::string noKeyword;

    std::int32_t parent = -1;   // -1: belongs to no other div
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t fontSize = 0;
    SharedText background;     // colour text or a picture file's full path
    SharedText fontColor;
    // Each of a row's keywords is made once as text, and a record points to its own: less to
    // keep, copy, compare and free than a text of its own, for each of a hundred thousand.
    const std::string* floatValue = &noKeyword;
    const std::string* position = &noKeyword;
};
