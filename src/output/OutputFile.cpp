#include "output/OutputFile.h"

#include <cerrno>
#include <cstring>

OutputFile::OutputFile(const std::string& fileName, std::optional<unsigned> newFileMode)
    : replacement(fileName, newFileMode), buffer(std::make_unique_for_overwrite<char[]>(capacity))
{
    if (isOpen() && !replacement.writesToDevice())
        syncBehind.emplace(replacement.descriptor());
}

OutputFile::~OutputFile() = default;

char* OutputFile::room(std::size_t length)
{
    if (length > capacity)
        return nullptr;
    if (capacity - used < length)
        flush();
    return buffer.get() + used;
}

void OutputFile::write(std::string_view text)
{
    if (char* at = room(text.size())) {
        std::memcpy(at, text.data(), text.size());
        wrote(at + text.size());
        return;
    }
    flush();
    replacement.write(text.data(), text.size());
    written(text.size());
}

void OutputFile::flush()
{
    replacement.write(buffer.get(), used);
    written(used);
    used = 0;
}

// A save whose write failed has nothing more worth syncing.
void OutputFile::written(std::size_t length)
{
    if (syncBehind && replacement.error() == 0)
        syncBehind->wrote(length);
}

bool OutputFile::close()
{
    replacement.write(buffer.get(), used);
    used = 0;
    if (syncBehind)
        if (const int error = syncBehind->finish())
            replacement.fail(error);
    return replacement.commit();
}

std::string OutputFile::failureReason() const
{
    return replacement.error() ? std::strerror(replacement.error()) : std::string();
}
