#include "model/DivStyle.h"

namespace {

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
