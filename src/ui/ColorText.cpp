#include "ui/ColorText.h"

#include "platform/Conversions.h"

#include <cstdint>

std::string ColorText(TColor color)
{
    const auto channel = [color](int shift) { return static_cast<std::int32_t>((color >> shift) & 0xFF); };
    std::string text = "#";
    for (const int shift : {0, 8, 16})
        text += IntToHex(channel(shift), 2);
    return text;
}
