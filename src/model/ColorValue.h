#pragma once

#include <string_view>

// Whether a stored text is a colour text ("#" and six hexadecimal digits, as the colour
// dialogs store them) rather than a picture's path or anything else a file may hold.
inline bool isColorText(std::string_view text)
{
    return text.size() == 7 && text[0] == '#'
        && text.find_first_not_of("0123456789ABCDEFabcdef", 1) == std::string_view::npos;
}
