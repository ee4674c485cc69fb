#pragma once

#include <optional>
#include <string>

// The whole content of a regular file. Nothing, with errno set, for a file that cannot be
// read: a missing one, one without permission, a folder, a pipe or a device (which might
// never end, or wait for a writer).
std::optional<std::string> readRegularFile(const std::string& fileName);
