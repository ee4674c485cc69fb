#pragma once

#include "input/StyleSheetReader.h"
#include "input/WebPageReader.h"

#include <functional>
#include <optional>
#include <string>

// The whole content of a regular file. Nothing, with errno set, for a file that cannot be
// read: a missing one, one without permission, a folder, a pipe or a device (which might
// never end, or wait for a writer).
std::optional<std::string> readRegularFile(const std::string& fileName);

// What opening a stylesheet's file gave: the reading (records, a bad line, or stopped), or
// the errno of a file that could not be read (EIO for one cut short while it was read).
// A web page's reading is in `page`.
struct StyleSheetFileReading {
    StyleSheetReading reading;
    int error = 0;
    std::optional<WebPageReading> page;
};

// Whether the file's first bytes are a web page's (see isWebPage); false for one that cannot
// be read.
bool isWebPageFile(const std::string& fileName);

// Reads a regular file as a stylesheet without holding a copy of its bytes: what is in
// memory at the end is the records. `progress` is told the share done (0 to 1) every few
// megabytes; false from it stops the reading. A web page's pictures are relative to its
// folder. Safe to run on a thread of its own.
StyleSheetFileReading readStyleSheetFile(const std::string& fileName, const std::function<bool(double)>& progress);
