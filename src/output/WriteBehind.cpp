#include "output/WriteBehind.h"

#include "output/Descriptors.h"

#include <cerrno>
#include <system_error>
#include <utility>

#include <fcntl.h>

WriteBehind::~WriteBehind()
{
    finish();
}

std::unique_ptr<char[]> WriteBehind::hand(std::unique_ptr<char[]>& filled, std::size_t length, std::size_t capacity)
{
    if (refused)
        return nullptr;
    if (!thread.joinable()) {
        try {
            thread = std::thread([this] { run(); });
        } catch (const std::system_error&) {
            refused = true;
            return nullptr;
        }
    }
    // Two buffers go round (one filled, one written), and a third the first time.
    std::unique_ptr<char[]> next = std::exchange(madeSpare, true) ? nullptr : std::make_unique_for_overwrite<char[]>(capacity);
    std::unique_lock lock(mutex);
    written.wait(lock, [this] { return !pending; });
    pending = std::move(filled);
    pendingLength = length;
    due.notify_one();
    if (!next) {
        written.wait(lock, [this] { return spare != nullptr; });
        next = std::move(spare);
    }
    return next;
}

void WriteBehind::drain()
{
    std::unique_lock lock(mutex);
    written.wait(lock, [this] { return !pending && !writing; });
}

int WriteBehind::finish()
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

void WriteBehind::run()
{
    off_t requestedUpTo = 0;        // the disk was asked for every byte before this
    std::size_t unrequested = 0;    // written since
    bool requesting = true;         // the file takes the requests
    std::unique_lock lock(mutex);
    for (;;) {
        due.wait(lock, [this] { return ending || pending; });
        if (!pending)
            return;
        std::unique_ptr<char[]> buffer = std::move(pending);
        const std::size_t length = pendingLength;
        const bool failedBefore = firstError != 0;
        writing = true;
        lock.unlock();
        int error = 0;
        if (!failedBefore && !writeAll(descriptor, buffer.get(), length))
            error = errno ? errno : EIO;
        unrequested += length;
        if (!failedBefore && error == 0 && requesting && unrequested >= requestEvery) {
            // From where the last request ended to the end of the file, whatever it holds.
            if (::sync_file_range(descriptor, requestedUpTo, 0, SYNC_FILE_RANGE_WRITE) == 0) {
                requestedUpTo += static_cast<off_t>(unrequested);
                unrequested = 0;
            } else if (errno == EIO || errno == ENOSPC) {
                error = errno;   // the disk will not take what was written
            } else {
                requesting = false;   // no such request here: the final sync does it all
            }
        }
        lock.lock();
        firstError = firstError ? firstError : error;
        writing = false;
        spare = std::move(buffer);
        written.notify_all();
    }
}
