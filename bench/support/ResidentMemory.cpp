#include "ResidentMemory.h"

#include <fstream>
#include <string>

namespace {

// The kernel gives these figures in kB.
std::size_t statusField(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string name;
    std::size_t kilobytes = 0;
    while (status >> name) {
        if (name == field + ":" && status >> kilobytes)
            return kilobytes * 1024;
        status.ignore(4096, '\n');
    }
    return 0;
}

} // namespace

std::size_t residentBytes() { return statusField("VmRSS"); }
std::size_t peakResidentBytes() { return statusField("VmHWM"); }
