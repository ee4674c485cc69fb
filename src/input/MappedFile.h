#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A regular file's bytes mapped into memory for one reading, so that a large file is never
// copied: the pages read are handed back as the reading moves on (`release`), and the bytes
// in memory stay a few megabytes whatever the file's size. A file cut short by another
// program meanwhile reads as NUL bytes from there on instead of ending Prizmo, and says so.
class MappedFile
{
public:
    // Nothing mapped, with `error()` set, for a file that cannot be read: a missing one, one
    // without permission, a folder, a pipe or a device (which might never end, or wait for a
    // writer).
    explicit MappedFile(const std::string& fileName);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool isOpen() const { return error_ == 0; }
    int error() const { return error_; }   // errno
    std::string_view bytes() const { return {begin, size}; }

    // The bytes before `upTo` will not be looked at again soon: their pages go.
    void release(const char* upTo);
    // Another program made the file shorter while it was read.
    bool cutShort() const;

private:
    const char* begin = nullptr;
    std::size_t size = 0;
    std::size_t released = 0;   // whole pages before it went
    int error_ = 0;
    int guard = -1;             // this mapping's place among the guarded ones
};
