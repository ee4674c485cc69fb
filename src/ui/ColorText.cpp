#include "ui/ColorText.h"

#include "platform/Conversions.h"

#include <cstdint>

std::string ColorText(TColor color)
{
    const auto channel = [color](int shift) { return static_cast<std::int32_t>((color >> shift) & 0xFF); };
    return "#" + IntToHex(channel(0), 2) + IntToHex(channel(8), 2) + IntToHex(channel(16), 2);
}
