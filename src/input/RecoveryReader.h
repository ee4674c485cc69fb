#pragma once

#include "input/StyleSheetReader.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A recovery file read back (see RecoveryWriter.h): the records with their parents, the
// rule the panels stood for, what its open edit held and the file "Megnyitás" had read.
struct RecoveredStyleSheet {
    StyleSheetRecords records;
    std::string panelsRule;
    std::string openedFileName;
    std::vector<std::string> typed;   // empty: no edit was open
};

// Nothing when the bytes are no recovery file of this version, or are damaged in any way.
std::optional<RecoveredStyleSheet> readRecovery(std::string_view bytes);
