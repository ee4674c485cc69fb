#pragma once

#include <string>

// Prizmo's folder for what it keeps between runs: $XDG_STATE_HOME/prizmo, else
// ~/.local/state/prizmo. It may not exist yet.
std::string stateFolder();
