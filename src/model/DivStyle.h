#pragma once

#include "model/SharedText.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// One numbered div rule ("#div" + number). A plain value holder: it validates nothing.
class DivStyle
{
public:
    // The keywords in the order of the window's lists: alignment ("semmilyen", "örökölt",
    // "balra", "jobbra") and position ("relatív", "abszolult", "örökölt").
    static constexpr std::array<std::string_view, 4> floatKeywords{"none", "inherit", "left", "right"};
    static constexpr std::array<std::string_view, 3> positionKeywords{"relative", "absolute", "inherit"};

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
    const std::string& getFloat() const { return floatValue; }
    void setFloat(int listPosition);

    const std::string& getPosition() const { return position; }
    void setPosition(int listPosition);

    // The nesting panel records the parent; the stylesheet does not carry it.
    std::int32_t getParent() const { return parent; }
    void setParent(std::int32_t value) { parent = value; }

    bool operator==(const DivStyle&) const = default;
    // The same in everything a stylesheet holds (its parent is not written).
    bool sameContent(const DivStyle& other) const
    {
        return width == other.width && height == other.height && background == other.background
            && fontSize == other.fontSize && fontColor == other.fontColor
            && floatValue == other.floatValue && position == other.position;
    }

private:
    std::int32_t parent = -1;   // -1: belongs to no other div
    std::int32_t width = 100;
    std::int32_t height = 200;
    SharedText background;     // colour text or a picture file's full path
    std::int32_t fontSize = 14;
    SharedText fontColor;
    std::string floatValue = "none";
    std::string position = "relative";
};
