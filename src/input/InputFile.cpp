#include "input/InputFile.h"

#include "input/MappedFile.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Descriptor
{
public:
    explicit Descriptor(int value) : value(value) {}
    ~Descriptor()
    {
        if (value >= 0)
            ::close(value);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return value; }

private:
    int value;
};

} // namespace

std::optional<std::string> readRegularFile(const std::string& fileName)
{
    // Not waiting for a writer, should the name be a pipe.
    const Descriptor file(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0)
        return std::nullopt;
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        return std::nullopt;
    if (!S_ISREG(status.st_mode)) {
        errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        return std::nullopt;
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(status.st_size));
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(bytes.size() + 64 * 1024);   // the file grew since it was measured
        const ssize_t got = ::read(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

bool isWebPageFile(const std::string& fileName)
{
    const MappedFile file(fileName);
    return file.isOpen() && isWebPage(file.bytes().substr(0, 4096));
}

StyleSheetFileReading readStyleSheetFile(const std::string& fileName, const std::function<bool(double)>& progress)
{
    MappedFile file(fileName);
    if (!file.isOpen())
        return {{}, file.error(), {}};
    const std::string_view bytes = file.bytes();
    if (isWebPage(bytes)) {
        StyleSheetFileReading read;
        std::error_code unknown;
        read.page = readWebPage(bytes, std::filesystem::absolute(fileName, unknown).parent_path().string(), progress);
        ::malloc_trim(0);   // what the parsers held goes back to the system, not only to this thread's heap
        if (file.cutShort())
            return {{}, EIO, {}};
        return read;
    }
    const double whole = 2.0 * static_cast<double>(std::max<std::size_t>(bytes.size(), 1));
    StyleSheetFileReading read{readStyleSheet(bytes, [&](const char* behind, std::uint64_t done) {
        file.release(behind);
        return progress(static_cast<double>(done) / whole);
    }), 0, {}};
    if (file.cutShort())
        return {{}, EIO, {}};
    return read;
}
