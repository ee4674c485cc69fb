#pragma once

#include "input/CssSyntax.h"

#include <functional>
#include <string_view>

// The rules of a long style sheet, as forEachCssRule gives them, read on a thread of their
// own while `take` handles the ones before them on this thread, in their order: the reading
// and the handling each have a core. A short style sheet, or one where no thread can start,
// is read on this thread. An exception from either side ends both and comes out here.
void forEachCssRuleReadAside(std::string_view css, const std::function<void(CssRule&)>& take);
