#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>

// Writes a large file's filled buffers on a thread of its own, in order, while the next
// buffer is being filled; and has the disk start on each megabyte written at once (Linux's
// sync_file_range, which does not wait for the disk), so that the sync that completes the
// save waits for little more than its last part. Where no thread can start, the caller
// writes its buffers itself; where the file takes no such request, the final sync does it
// all.
class WriteBehind
{
public:
    explicit WriteBehind(int descriptor) : descriptor(descriptor) {}
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Takes `filled`'s first `length` bytes to be written and gives back a buffer of
    // `capacity` bytes to fill next. Null, with `filled` left as it was, where no thread can
    // start.
    std::unique_ptr<char[]> hand(std::unique_ptr<char[]>& filled, std::size_t length, std::size_t capacity);

    // Waits until everything handed over is written.
    void drain();

    // Waits, and ends the thread; errno of the first failure, a write's or the disk's, or 0.
    // A failure must fail the save.
    int finish();

private:
    static constexpr std::size_t requestEvery = 1024 * 1024;

    void run();

    const int descriptor;
    bool refused = false;   // no thread could be started
    bool madeSpare = false;
    std::mutex mutex;
    std::condition_variable due, written;
    std::unique_ptr<char[]> pending;   // handed over, not yet taken by the thread
    std::size_t pendingLength = 0;
    bool writing = false;
    std::unique_ptr<char[]> spare;     // written, to be filled again
    bool ending = false;
    int firstError = 0;
    std::thread thread;
};
