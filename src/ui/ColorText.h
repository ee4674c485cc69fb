#pragma once

#include "platform/Interaction.h"

#include <string>

// How every colour is stored and written: "#" and two upper-case hexadecimal digits each
// for red, green and blue (pure red is "#FF0000"). The highest byte of the value is ignored.
std::string ColorText(TColor color);
