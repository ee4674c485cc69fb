#include "output/SyncBehind.h"

#include <cerrno>
#include <system_error>

#include <unistd.h>

SyncBehind::~SyncBehind()
{
    finish();
}

void SyncBehind::wrote(std::size_t length)
{
    bool start = false;
    {
        const std::lock_guard lock(mutex);
        unsynced += length;
        start = unsynced >= syncEvery;
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
    std::unique_lock lock(mutex);
    for (;;) {
        due.wait(lock, [this] { return ending || unsynced >= syncEvery; });
        if (ending)
            return;
        unsynced = 0;
        lock.unlock();
        const bool synced = ::fdatasync(descriptor) == 0;
        const int error = errno;
        lock.lock();
        if (!synced && firstError == 0)
            firstError = error;
    }
}
