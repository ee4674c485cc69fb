#include "model/BodyStyle.h"

#include "model/Properties.h"

BodyStyle::BodyStyle() : BodyStyle(recordAtDefaults<BodyStyle>()) {}
