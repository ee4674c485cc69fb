#pragma once

#include <optional>
#include <string>

// The system clipboard, for CSS: what another editor pastes as text, and what it copied.
void SetClipboardCss(const std::string& css);   // as text/css and as plain text

// text/css when there, else plain text. The window paints while another program's
// clipboard is asked, and after half a second a box with "Mégse" shows; nothing when the
// clipboard's owner did not answer (or the person stopped waiting for it).
std::optional<std::string> ClipboardCss();
