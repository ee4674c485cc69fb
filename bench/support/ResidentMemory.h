#pragma once

#include <cstddef>

// This process's resident memory now and at its peak so far, in bytes, from /proc/self/status.
std::size_t residentBytes();
std::size_t peakResidentBytes();
