#pragma once

#include <cstddef>
#include <sys/types.h>

// Has the disk start on a growing file's written part while more of it is being made: the
// sync that completes a large save then waits for little more than its last part, rather
// than for all of it after all of it was made. Starting the writing out does not wait for
// it (Linux's sync_file_range), so nothing here blocks and no thread is needed; where the
// file cannot be asked, the final sync does it all.
class SyncBehind
{
public:
    explicit SyncBehind(int descriptor) : descriptor(descriptor) {}

    // `length` more bytes were written; the disk is asked to start on them once enough wait.
    void wrote(std::size_t length);

    // errno of a failure met while asking, or 0. A failure must fail the save.
    int finish() const { return firstError; }

    static constexpr std::size_t startEvery = 1024 * 1024;

private:
    const int descriptor;
    off_t startedUpTo = 0;     // the disk was asked for every byte before this
    std::size_t waiting = 0;   // written since
    bool unasked = false;      // the file takes no such request: the final sync does it all
    int firstError = 0;
};
