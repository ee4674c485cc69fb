#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

// Has the disk take a growing file's written part while more of it is being made, on a
// thread of its own: the sync that completes a large save then waits for little more than
// its last part, rather than for all of it after all of it was made. The thread starts only
// once the file is large enough to gain from it; where none can start, nothing is synced
// early and the final sync does it all.
class SyncBehind
{
public:
    explicit SyncBehind(int descriptor) : descriptor(descriptor) {}
    ~SyncBehind();
    SyncBehind(const SyncBehind&) = delete;
    SyncBehind& operator=(const SyncBehind&) = delete;

    // `length` more bytes were written; a sync starts once enough is waiting.
    void wrote(std::size_t length);

    // Waits for a sync under way and ends the thread; errno of the first failed sync, or 0.
    // A failure must fail the save: the final sync may no longer report it.
    int finish();

    static constexpr std::size_t syncEvery = 2 * 1024 * 1024;

private:
    void run();

    const int descriptor;
    bool refused = false;   // no thread could be started
    std::mutex mutex;
    std::condition_variable due;
    std::size_t unsynced = 0;
    bool ending = false;
    int firstError = 0;
    std::thread thread;
};
