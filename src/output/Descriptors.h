#pragma once

#include <cstddef>
#include <string>

// Whole writes and copies over file descriptors, as the safe replacement and its journal
// need them; false with errno set.
bool writeAll(int descriptor, const char* bytes, std::size_t length);
// Everything from one descriptor's start to the other's.
bool copyAll(int from, int to);
// After a file in `folder` was made, renamed or removed; a failure is not reported.
void syncFolder(const std::string& folder);
