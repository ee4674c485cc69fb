#pragma once

#include "input/StyleSheetReader.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Whether the bytes are a web page: after a byte-order mark and whitespace, "<!DOCTYPE html"
// or "<html", in any case.
bool isWebPage(std::string_view bytes);

// What reading a web page gave: the records and what was left out of them (empty: nothing),
// or why none could be read.
struct WebPageReading {
    std::optional<StyleSheetRecords> records;
    std::string leftOut;
    std::string refusal;
};

// The page's style elements' `body` and `#divN` rules, nested as its div elements with
// id="divN" are; a page Prizmo wrote reads back as the records it was written from. The
// divs keep their numbers when these run from 0 without a gap, and are numbered in the
// page's order otherwise: the elements first, then the divs with only a rule. Pictures are
// relative to `pageFolder`. `progress` is told the share done (0 to 1) now and then; false
// from it stops the reading, which then gives neither records nor a refusal.
WebPageReading readWebPage(std::string_view bytes, const std::string& pageFolder,
                           const std::function<bool(double)>& progress = [](double) { return true; });
