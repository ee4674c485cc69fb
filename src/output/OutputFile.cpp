#include "output/OutputFile.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Saving over a symbolic link replaces the file it points to, not the link.
fs::path followLinks(fs::path path)
{
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error)))
            break;
        const fs::path target = fs::read_symlink(path, error);
        if (error)
            break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

unsigned modeForNewFiles()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666u & ~static_cast<unsigned>(mask);
}

// Marked read-only counts even for a user whom the system would let write.
bool writable(const std::string& path, const struct stat& status)
{
    return (status.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
}

bool syncFailed(std::FILE* stream)
{
    // Pipes and devices cannot be synced; that is no failure of the save.
    return ::fsync(::fileno(stream)) != 0 && errno != EINVAL && errno != EROFS;
}

} // namespace

OutputFile::OutputFile(const std::string& fileName) : target(followLinks(fileName).string())
{
    struct stat status {};
    const bool exists = ::stat(target.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode))
        return;
    if (exists && S_ISREG(status.st_mode) && !writable(target, status))
        return;

    // Devices and pipes are written to as they are: there is nothing to replace.
    if (exists && !S_ISREG(status.st_mode))
        openInPlace();
    else if (!openReplacement(exists ? (status.st_mode & 0777) : modeForNewFiles()))
        openInPlace();   // the folder takes no new file; the file itself may still be written
    if (stream)
        bufferGenerously();
}

OutputFile::~OutputFile()
{
    if (stream)
        std::fclose(stream);
    discardReplacement();
}

bool OutputFile::openReplacement(unsigned mode)
{
    const fs::path path(target);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::string name = ".";
    name += path.filename().string();
    name += ".XXXXXX";
    std::string pattern = (folder / name).string();

    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0)
        return false;
    temporary = pattern;
    if (::fchmod(descriptor, static_cast<mode_t>(mode)) != 0 || !(stream = ::fdopen(descriptor, "w"))) {
        ::close(descriptor);
        discardReplacement();
        return false;
    }
    return true;
}

bool OutputFile::openInPlace()
{
    stream = std::fopen(target.c_str(), "wt");
    return stream != nullptr;
}

// A large stylesheet then goes out in a few large writes rather than many of 4 KiB.
void OutputFile::bufferGenerously()
{
    constexpr std::size_t size = 256 * 1024;
    buffer = std::make_unique_for_overwrite<char[]>(size);
    if (std::setvbuf(stream, buffer.get(), _IOFBF, size) != 0)
        buffer.reset();
}

void OutputFile::discardReplacement()
{
    if (!temporary.empty())
        ::unlink(temporary.c_str());
    temporary.clear();
}

void OutputFile::write(const std::string& text)
{
    if (!stream || std::fputs(text.c_str(), stream) < 0)
        failed = true;
}

bool OutputFile::close()
{
    if (!stream)
        return false;
    // A full disk usually shows only here, when the buffer goes out.
    if (std::fflush(stream) != 0 || std::ferror(stream) || syncFailed(stream))
        failed = true;
    if (std::fclose(stream) != 0)
        failed = true;
    stream = nullptr;

    if (!temporary.empty()) {
        if (!failed && std::rename(temporary.c_str(), target.c_str()) != 0)
            failed = true;
        if (failed)
            discardReplacement();
        temporary.clear();
    }
    return !failed;
}
