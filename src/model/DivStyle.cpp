#include "model/DivStyle.h"

#include "model/Properties.h"

namespace {

void storeKeyword(std::string& field, const Property& row, int listPosition)
{
    if (listPosition >= 0 && static_cast<std::size_t>(listPosition) < row.keywords.size())
        field = row.keywords[static_cast<std::size_t>(listPosition)];
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
    storeKeyword(floatValue, propertyNamed("float"), listPosition);
}

void DivStyle::setPosition(int listPosition)
{
    storeKeyword(position, propertyNamed("position"), listPosition);
}
