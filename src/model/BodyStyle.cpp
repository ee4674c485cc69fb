#include "model/BodyStyle.h"

#include "model/Properties.h"

BodyStyle::BodyStyle() : BodyStyle(atDefaults()) {}

const BodyStyle& BodyStyle::atDefaults()
{
    static const BodyStyle defaults = [] {
        BodyStyle record{Blank{}};
        setDefaults(record);
        return record;
    }();
    return defaults;
}
