#pragma once

#include <cstdio>
#include <string>

// Owns the open stylesheet stream for the length of one save. The file is opened for
// writing in text mode, created or emptied; every failure on the way is remembered, so
// that the save can tell whether the stylesheet really reached the disk.
class OutputFile
{
public:
    explicit OutputFile(const std::string& fileName);
    ~OutputFile();   // closes a stream still open
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool isOpen() const { return stream != nullptr; }

    void write(const std::string& text);

    // Flushes and closes; true only when the open, every write, the flush and the close
    // all succeeded.
    bool close();

private:
    std::FILE* stream = nullptr;
    bool failed = false;
};
