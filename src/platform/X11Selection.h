#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <vector>

// The X11 clipboard read over a connection of its own, on whatever thread asks: an owner
// that never answers then holds up only that thread, and `stop` (the person's "Mégse") or
// `patienceMs` end the wait. Qt's own clipboard waits for an owner on the GUI thread, the
// window not painting meanwhile.
struct X11SelectionReading {
    enum class Outcome { Read, Empty, NoAnswer, NoDisplay };
    Outcome outcome = Outcome::NoDisplay;
    std::string bytes;   // of the first target the owner gave
};

// The first of `targets` ("text/css", "UTF8_STRING", ...) the clipboard's owner gives;
// Empty when it has no owner or gives none of them.
X11SelectionReading readX11Clipboard(const std::vector<std::string>& targets, const std::atomic<bool>& stop,
                                     int patienceMs);
