#pragma once

#include "model/BoxStyle.h"
#include "model/SharedText.h"

#include <cstdint>
#include <string>
#include <utility>

// The stylesheet's one body rule, held between the editing commands and the save.
// A plain value holder: it validates nothing. Its defaults and the properties it has are the
// property table's (Properties.h).
class BodyStyle : public BoxAccessors
{
public:
    BodyStyle();   // every property at its default

    const std::string& getBackground() const { return background.get(); }
    void setBackground(std::string value) { background = std::move(value); }

    std::int32_t getFontSize() const { return fontSize; }
    void setFontSize(std::int32_t value) { fontSize = value; }

    const std::string& getFontColor() const { return fontColor.get(); }
    void setFontColor(std::string value) { fontColor = std::move(value); }

    bool operator==(const BodyStyle&) const = default;

private:
    // Only for the record all others copy (Properties.h).
    struct Blank {};
    explicit BodyStyle(Blank) {}
    template <typename Record>
    friend const Record& recordAtDefaults();

    SharedText background;   // colour text or a picture file's full path
    std::int32_t fontSize = 0;
    SharedText fontColor;
};
