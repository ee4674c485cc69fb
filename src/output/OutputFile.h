#pragma once

#include <cstdio>
#include <memory>
#include <string>

// Owns the stylesheet being written for the length of one save. The named file is replaced
// only once the whole stylesheet has reached the disk: it is written to a temporary file
// beside it, which close() renames over the name. Where that cannot be done, the file is
// written in place. Every failure on the way is remembered.
class OutputFile
{
public:
    explicit OutputFile(const std::string& fileName);
    ~OutputFile();   // discards an unfinished replacement, closes a stream still open
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False when the file cannot be written at all: a folder, a read-only file, a missing
    // folder. Nothing has been touched then.
    bool isOpen() const { return stream != nullptr; }

    void write(const std::string& text);

    // Completes the save; true only when every write, the flush, the sync, the close and the
    // replacement succeeded. On failure the named file is as it was (when written beside it).
    bool close();

private:
    bool openReplacement(unsigned mode);
    bool openInPlace();
    void discardReplacement();
    void bufferGenerously();

    std::string target;      // the file finally written, symbolic links followed
    std::string temporary;   // the replacement being written; empty when writing in place
    std::FILE* stream = nullptr;
    std::unique_ptr<char[]> buffer;   // the stream's, while it is open
    bool failed = false;
};
