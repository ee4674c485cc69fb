#include "output/Descriptors.h"

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

bool writeAll(int descriptor, const char* bytes, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(descriptor, bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

bool copyAll(int from, int to)
{
    if (::lseek(from, 0, SEEK_SET) < 0)
        return false;
    std::array<char, 64 * 1024> buffer;
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!writeAll(to, buffer.data(), static_cast<std::size_t>(got)))
            return false;
    }
}

void syncFolder(const std::string& folder)
{
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}
