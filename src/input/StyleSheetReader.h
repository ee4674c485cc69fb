#pragma once

#include "model/RecordsView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

// A stylesheet read back carries no nesting, so every div of one belongs to no other; a web
// page does.

// What reading a stylesheet gave: the records, or the number (from 1) of the first line that
// could not be read, or that the reading was stopped.
struct StyleSheetReading {
    std::optional<StyleSheetRecords> records;
    int badLine = 0;
    bool stopped = false;
};

// Told every few megabytes how far a reading has come: the bytes before `behind` are done
// with for now, and `done` out of twice the bytes is done (a file that does not read as
// UTF-8 at once gets one pass that tells its encoding and one that reads it again). False
// stops the reading.
using ReadingPace = std::function<bool(const char* behind, std::uint64_t done)>;

// Reads exactly what the stylesheet writer writes: an optional body block, then div blocks
// numbered 0, 1, 2, … in order, each with its lines in the writer's order and form.
// Lines may be introduced by LF CR (as Prizmo writes them) or CR LF CR (as written on
// Windows), or ended by LF or CR LF (as an editor leaves them), after one byte-order mark
// at most. A file that holds no valid multi-byte UTF-8 sequence but bytes that are no UTF-8
// is read as Windows-1250; one that holds both is refused at the line of its first such
// byte. The records hold UTF-8. A long file's second half is read on a thread of its own.
StyleSheetReading readStyleSheet(std::string_view bytes, const ReadingPace& pace = {});
