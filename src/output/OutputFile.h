#pragma once

#include "output/FileReplacement.h"
#include "output/WriteBehind.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Owns the stylesheet being written for the length of one save. The named file gets the new
// stylesheet only once all of it has been written and synced; until then, and after any
// failure, it keeps its old content (see FileReplacement for how each kind of file is
// replaced). Every failure on the way is remembered with its cause.
class OutputFile
{
public:
    // A new file gets `newFileMode` (see FileReplacement).
    explicit OutputFile(const std::string& fileName, std::optional<unsigned> newFileMode = std::nullopt);
    ~OutputFile();   // an unfinished save leaves the file as it was
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False when the file cannot be written at all: a folder, a read-only file, a missing
    // folder, a pipe with no reader. Nothing has been touched then.
    bool isOpen() const { return replacement.descriptor() >= 0; }

    void write(std::string_view text);

    // Room for `length` more bytes, to be filled and then handed over with `wrote`; nothing
    // when the text is larger than the buffer (write it with `write` then).
    char* room(std::size_t length);
    void wrote(const char* end) { used = static_cast<std::size_t>(end - buffer.get()); }

    // Called while a pipe or a device takes nothing, so that the window can go on painting.
    void setWhileWaiting(std::function<void()> handler) { replacement.setWhileWaiting(std::move(handler)); }

    // Completes the save; true only when every write, the sync, the close and the
    // replacement succeeded. On failure the named file is as it was.
    bool close();

    // The system's reason for the first failure, in the person's language; empty while
    // nothing failed.
    std::string failureReason() const;

private:
    void flush();

    // A large stylesheet goes out in a few large writes rather than many small ones.
    static constexpr std::size_t capacity = 1024 * 1024;

    FileReplacement replacement;
    std::unique_ptr<char[]> buffer;
    std::size_t used = 0;
    // Once a save is large, it is written, and the disk takes it, while the rest is made;
    // not for a pipe or a device, which take what they take.
    std::optional<WriteBehind> writeBehind;   // last: its thread ends before the file goes
};
