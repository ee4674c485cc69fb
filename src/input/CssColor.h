#pragma once

#include "input/CssSyntax.h"

#include <optional>
#include <span>
#include <string>

// A declaration's value as a colour text ("#" and six hexadecimal digits), when it is one
// opaque colour in any CSS form: a name, #rgb, #rgba, #rrggbb, #rrggbbaa, rgb(), rgba(),
// hsl() or hsla(). Six digits stay as written; every other form becomes upper case.
std::optional<std::string> cssColorText(std::span<const CssToken> value);
