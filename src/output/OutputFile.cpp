#include "output/OutputFile.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

OutputFile::OutputFile(const std::string& fileName) : replacement(fileName)
{
    if (replacement.descriptor() < 0)
        return;
    const int descriptor = ::dup(replacement.descriptor());
    if (descriptor >= 0)
        stream = ::fdopen(descriptor, "w");
    if (!stream) {
        replacement.fail(errno);
        if (descriptor >= 0)
            ::close(descriptor);
        return;
    }
    bufferGenerously();
}

OutputFile::~OutputFile()
{
    if (stream)
        std::fclose(stream);
}

// A large stylesheet then goes out in a few large writes rather than many of 4 KiB.
void OutputFile::bufferGenerously()
{
    constexpr std::size_t size = 256 * 1024;
    buffer = std::make_unique_for_overwrite<char[]>(size);
    if (std::setvbuf(stream, buffer.get(), _IOFBF, size) != 0)
        buffer.reset();
}

void OutputFile::write(const std::string& text)
{
    if (!stream)
        replacement.fail(EBADF);
    else if (std::fputs(text.c_str(), stream) < 0)
        replacement.fail(errno);
}

bool OutputFile::close()
{
    if (stream) {
        // A full disk usually shows only here, when the buffer goes out.
        if (std::fflush(stream) != 0 || std::ferror(stream))
            replacement.fail(errno);
        if (std::fclose(stream) != 0)
            replacement.fail(errno);
        stream = nullptr;
    }
    return replacement.commit();
}

std::string OutputFile::failureReason() const
{
    return replacement.error() ? std::strerror(replacement.error()) : std::string();
}
