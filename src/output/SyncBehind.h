#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

// Has the disk start on a growing file's written part while more of it is being made: the
// sync that completes a large save then waits for little more than its last part, rather
// than for all of it after all of it was made. Each megabyte written is handed to the disk
// at once (Linux's sync_file_range, which does not wait for the disk), on a thread of its
// own, as handing it over may wait while the disk is busy. The thread starts only once the
// file is large enough to gain from it; where none can start, or the file takes no such
// request, the final sync does it all.
class SyncBehind
{
public:
    explicit SyncBehind(int descriptor) : descriptor(descriptor) {}
    ~SyncBehind();
    SyncBehind(const SyncBehind&) = delete;
    SyncBehind& operator=(const SyncBehind&) = delete;

    // `length` more bytes were written; they go to the disk once enough are waiting.
    void wrote(std::size_t length);

    // Ends the thread; errno of a failure the disk reported on the way, or 0. A failure must
    // fail the save.
    int finish();

    static constexpr std::size_t startEvery = 1024 * 1024;

private:
    void run();

    const int descriptor;
    bool refused = false;   // no thread could be started
    std::mutex mutex;
    std::condition_variable due;
    std::size_t waiting = 0;   // written since the last request
    bool ending = false;
    int firstError = 0;
    std::thread thread;
};
