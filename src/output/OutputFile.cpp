#include "output/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <exception>

OutputFile::OutputFile(const std::string& fileName, std::optional<unsigned> newFileMode)
    : replacement(fileName, newFileMode), buffer(std::make_unique_for_overwrite<char[]>(capacity))
{
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

void OutputFile::written(std::size_t length)
{
    if (syncBehind) {
        syncBehind->wrote(length);
        return;
    }
    writtenBefore += length;
    if (writtenBefore < SyncBehind::syncEvery || syncRefused || replacement.writesToDevice() || !isOpen()
        || replacement.error() != 0)
        return;
    try {
        syncBehind = std::make_unique<SyncBehind>(replacement.descriptor());
        syncBehind->wrote(writtenBefore);
    } catch (const std::exception&) {   // no thread: all of it is synced at the end, as ever
        syncRefused = true;
    }
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
