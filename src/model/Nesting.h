#pragma once

#include "model/DivStyle.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// Each div's parent as the page and the rules tree show it: its recorded parent when that is
// a live div and the div is on no loop of parents; -1 (the top level) otherwise.
std::vector<std::int32_t> shownParents(std::span<const std::unique_ptr<DivStyle>> divs);
