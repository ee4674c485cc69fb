#pragma once

#include "output/FileReplacement.h"

#include <cstdio>
#include <memory>
#include <string>

// Owns the stylesheet being written for the length of one save. The named file gets the new
// stylesheet only once all of it has been written and synced; until then, and after any
// failure, it keeps its old content (see FileReplacement for how each kind of file is
// replaced). Every failure on the way is remembered with its cause.
class OutputFile
{
public:
    explicit OutputFile(const std::string& fileName);
    ~OutputFile();   // an unfinished save leaves the file as it was
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False when the file cannot be written at all: a folder, a read-only file, a missing
    // folder, a pipe with no reader. Nothing has been touched then.
    bool isOpen() const { return stream != nullptr; }

    void write(const std::string& text);

    // Completes the save; true only when every write, the flush, the sync, the close and the
    // replacement succeeded. On failure the named file is as it was.
    bool close();

    // The system's reason for the first failure, in the person's language; empty while
    // nothing failed.
    std::string failureReason() const;

private:
    void bufferGenerously();

    FileReplacement replacement;
    std::FILE* stream = nullptr;   // writes to a duplicate of the replacement's descriptor
    std::unique_ptr<char[]> buffer;   // the stream's, while it is open
};
