#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

// Has the disk take a growing file's written part while more of it is being made, on a
// thread of its own: the sync that completes a large save then waits for little more than
// its last part, rather than for all of it after all of it was made.
class SyncBehind
{
public:
    // Throws std::system_error when no thread can be started.
    explicit SyncBehind(int descriptor);
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
    std::mutex mutex;
    std::condition_variable due;
    std::size_t unsynced = 0;
    bool ending = false;
    int firstError = 0;
    std::thread thread;   // last, so that it starts once everything it reads is set
};
