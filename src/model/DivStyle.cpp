#include "model/DivStyle.h"

#include <array>
#include <string_view>

namespace {

// In the order of the alignment list: "semmilyen", "örökölt", "balra", "jobbra".
constexpr std::array<std::string_view, 4> floatKeywords{"none", "inherit", "left", "right"};

// In the order of the position list: "relatív", "abszolult", "örökölt".
constexpr std::array<std::string_view, 3> positionKeywords{"relative", "absolute", "inherit"};

template <std::size_t N>
void storeKeyword(std::string& field, const std::array<std::string_view, N>& keywords, int listPosition)
{
    if (listPosition >= 0 && static_cast<std::size_t>(listPosition) < N)
        field = keywords[static_cast<std::size_t>(listPosition)];
}

} // namespace

void DivStyle::setFloat(int listPosition)
{
    storeKeyword(floatValue, floatKeywords, listPosition);
}

void DivStyle::setPosition(int listPosition)
{
    storeKeyword(position, positionKeywords, listPosition);
}
