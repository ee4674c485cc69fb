#include "output/SyncBehind.h"

#include <cerrno>
#include <system_error>
#include <utility>

#include <fcntl.h>

SyncBehind::~SyncBehind()
{
    finish();
}

void SyncBehind::wrote(std::size_t length)
{
    bool start = false;
    {
        const std::lock_guard lock(mutex);
        waiting += length;
        start = waiting >= startEvery;
    }
    if (!start || refused)
        return;
    if (thread.joinable()) {
        due.notify_one();
        return;
    }
    try {
        thread = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        refused = true;
    }
}

int SyncBehind::finish()
{
    {
        const std::lock_guard lock(mutex);
        ending = true;
    }
    due.notify_one();
    if (thread.joinable())
        thread.join();
    return firstError;
}

void SyncBehind::run()
{
    off_t requestedUpTo = 0;   // the disk was asked for every byte before this
    std::unique_lock lock(mutex);
    for (;;) {
        due.wait(lock, [this] { return ending || waiting >= startEvery; });
        if (ending)
            return;
        const std::size_t length = std::exchange(waiting, 0);
        lock.unlock();
        // From where the last request ended to the end of the file, whatever it holds.
        const bool asked = ::sync_file_range(descriptor, requestedUpTo, 0, SYNC_FILE_RANGE_WRITE) == 0;
        const int error = errno;
        requestedUpTo += static_cast<off_t>(length);
        lock.lock();
        if (!asked && (error == EIO || error == ENOSPC)) {
            firstError = firstError ? firstError : error;   // the disk will not take what was written
            return;
        }
        if (!asked)
            return;   // no such request here, or no memory for it now: the final sync does it all
    }
}
