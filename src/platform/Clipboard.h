#pragma once

#include <string>

// The system clipboard, for CSS: what another editor pastes as text, and what it copied.
void SetClipboardCss(const std::string& css);   // as text/css and as plain text
std::string ClipboardCss();                     // text/css when there, else plain text
