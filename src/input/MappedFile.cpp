#include "input/MappedFile.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <mutex>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The mappings being read, for the SIGBUS handler: a page past a file's new end raises it.
struct Guarded {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> cutShort{false};
};
std::array<Guarded, 8> guarded;
std::mutex guarding;   // taking and giving back places; the handler only reads
struct sigaction previousHandler {};
bool handlerInstalled = false;

std::uintptr_t pageSize()
{
    static const auto size = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

extern "C" void onBusError(int signal, siginfo_t* info, void* context)
{
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Guarded& mapping : guarded) {
        if (address >= mapping.begin.load() && address < mapping.end.load()) {
            // Zeros stand in for the missing page, and the reading is told.
            const std::uintptr_t page = address & ~(pageSize() - 1);
            ::mmap(reinterpret_cast<void*>(page), pageSize(), PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
            mapping.cutShort.store(true);
            return;
        }
    }
    // Not one of ours: as it would have been.
    if (previousHandler.sa_flags & SA_SIGINFO) {
        previousHandler.sa_sigaction(signal, info, context);
        return;
    }
    if (previousHandler.sa_handler != SIG_DFL && previousHandler.sa_handler != SIG_IGN) {
        previousHandler.sa_handler(signal);
        return;
    }
    ::signal(SIGBUS, SIG_DFL);
    ::raise(SIGBUS);
}

int takeGuard(const char* begin, std::size_t size)
{
    const std::lock_guard lock(guarding);
    if (!handlerInstalled) {
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        handlerInstalled = ::sigaction(SIGBUS, &action, &previousHandler) == 0;
    }
    for (std::size_t at = 0; at < guarded.size(); ++at) {
        if (guarded[at].end.load() == 0) {
            guarded[at].cutShort.store(false);
            guarded[at].begin.store(reinterpret_cast<std::uintptr_t>(begin));
            guarded[at].end.store(reinterpret_cast<std::uintptr_t>(begin) + size);
            return static_cast<int>(at);
        }
    }
    return -1;
}

} // namespace

MappedFile::MappedFile(const std::string& fileName)
{
    // Not waiting for a writer, should the name be a pipe.
    const int file = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0) {
        error_ = errno;
        return;
    }
    struct stat status {};
    if (::fstat(file, &status) != 0) {
        error_ = errno;
    } else if (!S_ISREG(status.st_mode)) {
        error_ = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    } else if (status.st_size > 0) {
        size = static_cast<std::size_t>(status.st_size);
        void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file, 0);
        if (mapped == MAP_FAILED) {
            error_ = errno;
            size = 0;
        } else {
            begin = static_cast<const char*>(mapped);
            ::madvise(mapped, size, MADV_SEQUENTIAL);
            guard = takeGuard(begin, size);
        }
    }
    ::close(file);
}

MappedFile::~MappedFile()
{
    if (!begin)
        return;
    ::munmap(const_cast<char*>(begin), size);
    if (guard >= 0) {
        const std::lock_guard lock(guarding);
        guarded[static_cast<std::size_t>(guard)].end.store(0);
        guarded[static_cast<std::size_t>(guard)].begin.store(0);
    }
}

void MappedFile::release(const char* upTo)
{
    if (!begin || upTo <= begin)
        return;
    const auto reached = static_cast<std::size_t>(upTo - begin) & ~(pageSize() - 1);
    if (reached < released)
        released = 0;   // another pass from the start
    if (reached <= released)
        return;
    ::madvise(const_cast<char*>(begin) + released, reached - released, MADV_DONTNEED);
    released = reached;
}

bool MappedFile::cutShort() const
{
    return guard >= 0 && guarded[static_cast<std::size_t>(guard)].cutShort.load();
}
