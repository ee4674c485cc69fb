#include "output/SyncBehind.h"

#include <cerrno>
#include <fcntl.h>

void SyncBehind::wrote(std::size_t length)
{
    waiting += length;
    if (waiting < startEvery || unasked || firstError != 0)
        return;
    // From where the last request ended to the end of the file, whatever it holds.
    if (::sync_file_range(descriptor, startedUpTo, 0, SYNC_FILE_RANGE_WRITE) == 0) {
        startedUpTo += static_cast<off_t>(waiting);
        waiting = 0;
    } else if (errno == EIO || errno == ENOSPC) {
        firstError = errno;   // the disk will not take what was written
    } else {
        unasked = true;       // no such request here, or no memory for it now
    }
}
