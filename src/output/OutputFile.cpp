#include "output/OutputFile.h"

#include <cerrno>
#include <cstring>

OutputFile::OutputFile(const std::string& fileName, std::optional<unsigned> newFileMode)
    : replacement(fileName, newFileMode), buffer(std::make_unique_for_overwrite<char[]>(capacity))
{
    if (isOpen() && !replacement.writesToDevice())
        writeBehind.emplace(replacement.descriptor());
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
    if (writeBehind)
        writeBehind->drain();   // what was handed over goes first
    replacement.write(text.data(), text.size());
}

// A full buffer goes to the thread, and the one it wrote before comes back to be filled.
void OutputFile::flush()
{
    if (used == 0)
        return;
    if (writeBehind && replacement.error() == 0)
        if (std::unique_ptr<char[]> next = writeBehind->hand(buffer, used, capacity)) {
            buffer = std::move(next);
            used = 0;
            return;
        }
    replacement.write(buffer.get(), used);
    used = 0;
}

bool OutputFile::close()
{
    if (writeBehind)
        if (const int error = writeBehind->finish())
            replacement.fail(error);
    replacement.write(buffer.get(), used);
    used = 0;
    return replacement.commit();
}

std::string OutputFile::failureReason() const
{
    return replacement.error() ? std::strerror(replacement.error()) : std::string();
}
