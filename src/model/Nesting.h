#pragma once

#include "model/DivStyle.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// How many divs deep a page may nest: browsers put an element deeper than their parser's
// limit (Blink's is 512) beside its parent instead, so no deeper nesting could be seen.
inline constexpr std::int32_t maxNestingDepth = 512;

// Each div's parent as recorded, by number (-1: none; it may name no live div).
std::vector<std::int32_t> recordedParents(std::span<const std::unique_ptr<DivStyle>> divs);

// Each div's parent as the page and the rules tree show it: its recorded parent when that is
// a live div and the div is on no loop of parents; -1 (the top level) otherwise. A div that
// would lie deeper than maxNestingDepth lies at that depth, in its ancestor one level up.
std::vector<std::int32_t> shownParents(std::span<const std::unique_ptr<DivStyle>> divs);

// The same for parents given by number (-1: none); `flattened` counts the divs that were put
// at maxNestingDepth.
std::vector<std::int32_t> shownParents(std::vector<std::int32_t> recorded, std::size_t* flattened = nullptr);

// Whether `div` put into `parent` would bring it or a div inside it deeper than
// maxNestingDepth.
bool nestsTooDeep(std::span<const std::unique_ptr<DivStyle>> divs, std::int32_t div, std::int32_t parent);
