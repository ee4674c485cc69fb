#include "model/DivStyle.h"

#include "model/Properties.h"

#include <vector>

namespace {

std::vector<std::string> textsOf(const Property& row)
{
    return {row.keywords.begin(), row.keywords.end()};
}

void storeKeyword(const std::string*& field, const std::vector<std::string>& texts, int listPosition)
{
    if (listPosition >= 0 && static_cast<std::size_t>(listPosition) < texts.size())
        field = &texts[static_cast<std::size_t>(listPosition)];
}

} // namespace

// A new record is a copy of one made once from the table: as cheap as fields set in place.
DivStyle::DivStyle() : DivStyle(recordAtDefaults<DivStyle>()) {}

bool DivStyle::sameContent(const DivStyle& other) const
{
    return sameProperties(*this, other);
}

void DivStyle::setFloat(int listPosition)
{
    static const std::vector<std::string> texts = textsOf(propertyNamed("float"));
    storeKeyword(floatValue, texts, listPosition);
}

void DivStyle::setPosition(int listPosition)
{
    static const std::vector<std::string> texts = textsOf(propertyNamed("position"));
    storeKeyword(position, texts, listPosition);
}
