#include "output/FileReplacement.h"

#include "output/Descriptors.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct FreeDeleter {
    void operator()(char* text) const { std::free(text); }
};

// The file a name stands for, links followed; nothing (with errno set) for a loop of links
// or a path that cannot be looked through. A link to a missing file names that file.
std::optional<std::string> resolve(const std::string& name, int depth = 0)
{
    struct stat link {};
    if (::lstat(name.c_str(), &link) != 0)
        return errno == ENOENT ? std::optional(name) : std::nullopt;
    if (!S_ISLNK(link.st_mode))
        return name;
    if (const std::unique_ptr<char, FreeDeleter> real{::realpath(name.c_str(), nullptr)})
        return std::string(real.get());
    if (errno != ENOENT || depth > 40)
        return std::nullopt;
    std::error_code error;
    const fs::path pointedAt = fs::read_symlink(name, error);
    if (error) {
        errno = error.value();
        return std::nullopt;
    }
    const fs::path next = pointedAt.is_absolute() ? pointedAt : fs::path(name).parent_path() / pointedAt;
    return resolve(next.string(), depth + 1);
}

std::string folderOf(const std::string& path)
{
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// At most `length` bytes of the name, not ending inside a UTF-8 character.
std::string_view cutName(std::string_view name, std::size_t length)
{
    if (name.size() <= length)
        return name;
    while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80)
        --length;
    return name.substr(0, length);
}

// A name in `folder` after `path`: ".NAME.XXXXXX", the name cut so that the whole fits in a
// folder entry, the X's to be replaced.
std::string temporaryPattern(const std::string& folder, const std::string& path)
{
    constexpr std::string_view before = ".", after = ".XXXXXX";
    const std::string name = fs::path(path).filename().string();
    std::string pattern = folder;
    pattern += '/';
    pattern += before;
    pattern += cutName(name, NAME_MAX - before.size() - after.size());
    pattern += after;
    return pattern;
}

// A new, empty, private file in `folder` named after `path`; -1 with errno set when the
// folder takes none.
int createTemporary(const std::string& folder, const std::string& path, std::string& created)
{
    std::string pattern = temporaryPattern(folder, path);
    const int descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor >= 0)
        created = pattern;
    return descriptor;
}

// A new, empty, private file in `folder` that has no name, so that a Prizmo killed while
// writing it leaves nothing behind; -1 where the file system or the kernel has no such
// files, or where it could not be given a name later (no /proc).
int createUnnamed(const std::string& folder)
{
    if (::access("/proc/self/fd", X_OK) != 0)
        return -1;
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
}

// Gives the unnamed file open at `descriptor` a free name after `path` beside it; false
// with errno set when it cannot be named.
bool nameUnnamed(int descriptor, const std::string& folder, const std::string& path, std::string& named)
{
    static constexpr std::string_view letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1);
    const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
    std::string name = temporaryPattern(folder, path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t at = name.size() - 6; at < name.size(); ++at)
            name[at] = letters[pick(random)];
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            named = name;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
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

// Where the old content of a file written in place waits: beside it, or where the folder
// takes no new file, in the session's own folder or the temporary folder.
std::vector<std::string> backupFolders(const std::string& folder)
{
    std::vector<std::string> folders{folder};
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        folders.emplace_back(runtime);
    std::error_code error;
    const fs::path temporary = fs::temp_directory_path(error);
    folders.push_back(error ? std::string("/tmp") : temporary.string());
    return folders;
}

// Every extended attribute of the file at `from` (its ACL among them) onto `to`; false when
// one of them cannot be read or set.
bool copyAttributes(const std::string& from, int to)
{
    ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
    if (size < 0)
        return errno == ENOTSUP;   // a file system without attributes: nothing to keep
    std::vector<char> names(static_cast<std::size_t>(size));
    size = ::listxattr(from.c_str(), names.data(), names.size());
    if (size < 0)
        return false;
    std::vector<char> value;
    for (std::size_t at = 0; at < static_cast<std::size_t>(size);) {
        const char* name = names.data() + at;
        at += std::string_view(name).size() + 1;
        const ssize_t length = ::getxattr(from.c_str(), name, nullptr, 0);
        if (length < 0)
            return false;
        value.resize(static_cast<std::size_t>(length));
        const ssize_t got = ::getxattr(from.c_str(), name, value.data(), value.size());
        if (got < 0 || ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0) != 0)
            return false;
    }
    return true;
}

} // namespace

FileReplacement::FileReplacement(const std::string& fileName, std::optional<unsigned> newFileMode)
{
    chooseWay(fileName, newFileMode);
    if (output < 0 && firstError == 0)
        firstError = EIO;
}

FileReplacement::~FileReplacement()
{
    if (!finished)
        rollBack();
}

void FileReplacement::chooseWay(const std::string& fileName, std::optional<unsigned> newFileMode)
{
    const auto resolved = resolve(fileName);
    if (!resolved) {
        fail(errno);
        return;
    }
    target = *resolved;
    struct stat status {};
    if (::stat(target.c_str(), &status) != 0) {
        if (errno == ENOENT)
            openNew(newFileMode.value_or(modeForNewFiles()));
        else
            fail(errno);
    } else {
        openExisting(status);
    }
}

void FileReplacement::openNew(unsigned mode)
{
    if (openBeside(mode, nullptr)) {
        way = Way::Rename;
        return;
    }
    // No room for a file beside it; the name itself may still be created.
    output = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
    if (output < 0)
        fail(errno);
    else
        way = Way::Created;
}

void FileReplacement::openExisting(const struct stat& status)
{
    if (S_ISDIR(status.st_mode)) {
        fail(EISDIR);
        return;
    }
    if (!S_ISREG(status.st_mode)) {
        // A pipe with no reader refuses at once instead of waiting for one, and one whose
        // reader stops reading must not hold the window either: it stays non-blocking.
        output = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (output < 0) {
            fail(errno);
            return;
        }
        way = Way::Device;
        return;
    }
    if (!writable(target, status)) {
        fail(EACCES);
        return;
    }

    struct stat folder {};
    const bool folderKnown = ::stat(folderOf(target).c_str(), &folder) == 0;
    const uid_t me = ::geteuid();
    // In a sticky folder only the file's or the folder's owner may rename over the file.
    const bool stickyForMe = folderKnown && (folder.st_mode & S_ISVTX) && me != 0
        && status.st_uid != me && folder.st_uid != me;
    if (status.st_nlink == 1 && !stickyForMe && openBeside(status.st_mode & 07777, &status)) {
        way = Way::Rename;
        return;
    }
    if (openInPlace())
        way = Way::InPlace;
}

// The new content beside the target, with the target's mode and, when it has one, its owner.
bool FileReplacement::openBeside(unsigned mode, const struct stat* keepOwner)
{
    int descriptor = createUnnamed(folderOf(target));
    unnamed = descriptor >= 0;
    if (!unnamed)
        descriptor = createTemporary(folderOf(target), target, temporary);
    if (descriptor < 0)
        return false;
    const bool ownerKept = !keepOwner
        || (keepOwner->st_uid == ::geteuid() && keepOwner->st_gid == ::getegid())
        || ::fchown(descriptor, keepOwner->st_uid, keepOwner->st_gid) == 0;
    // After the owner, since a change of owner clears the set-id bits; the mode after the
    // ACL, whose mask would otherwise stand in the group's bits.
    const bool attributesKept = ownerKept && (!keepOwner || copyAttributes(target, descriptor));
    if (!attributesKept || ::fchmod(descriptor, static_cast<mode_t>(mode)) != 0) {
        ::close(descriptor);
        if (!unnamed)
            ::unlink(temporary.c_str());
        temporary.clear();
        unnamed = false;
        return false;
    }
    output = descriptor;
    return true;
}

// The old content goes aside first; without a copy of it the file is not touched.
bool FileReplacement::openInPlace()
{
    const int old = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
    if (old < 0) {
        fail(errno);
        return false;
    }
    int copyError = 0;
    for (const std::string& folder : backupFolders(folderOf(target))) {
        const int copy = createTemporary(folder, target, backup);
        if (copy < 0) {
            copyError = copyError ? copyError : errno;
            continue;
        }
        const bool copied = copyAll(old, copy) && ::fsync(copy) == 0;
        copyError = copyError ? copyError : (copied ? 0 : errno);
        if (::close(copy) == 0 && copied)
            break;
        ::unlink(backup.c_str());
        backup.clear();
    }
    ::close(old);
    if (backup.empty()) {
        fail(copyError ? copyError : EIO);
        return false;
    }
    // A Prizmo killed from here on leaves the record, and the next start puts the old
    // content back.
    if (!journal.begin(target, backup)) {
        fail(errno);
        ::unlink(backup.c_str());
        backup.clear();
        return false;
    }
    output = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (output < 0) {
        fail(errno);
        ::unlink(backup.c_str());
        backup.clear();
        journal.end();
        return false;
    }
    return true;
}

void FileReplacement::write(const char* bytes, std::size_t length)
{
    if (output < 0 || firstError != 0 || length == 0)
        return;
    if (way == Way::Device) {
        writeWithoutBlocking(bytes, length);
        return;
    }
    if (!writeAll(output, bytes, length))
        fail(errno);
}

// A pipe whose reader is slow is waited for, the window painting meanwhile; one that takes
// nothing for this long is given up.
void FileReplacement::writeWithoutBlocking(const char* bytes, std::size_t length)
{
    using Clock = std::chrono::steady_clock;
    constexpr auto patience = std::chrono::seconds(2);
    auto progressed = Clock::now();
    while (length > 0) {
        const ssize_t written = ::write(output, bytes, length);
        if (written > 0) {
            bytes += written;
            length -= static_cast<std::size_t>(written);
            progressed = Clock::now();
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            fail(written == 0 ? EIO : errno);
            return;
        }
        if (Clock::now() - progressed > patience) {
            fail(ETIMEDOUT);
            return;
        }
        pollfd ready{output, POLLOUT, 0};
        ::poll(&ready, 1, 50);
        if (whileWaiting)
            whileWaiting();
    }
}

void FileReplacement::fail(int error)
{
    if (firstError == 0)
        firstError = error ? error : EIO;
}

bool FileReplacement::commit()
{
    if (output < 0 || firstError != 0) {
        rollBack();
        return false;
    }
    // Pipes and devices cannot be synced; that is no failure of the save.
    if (::fsync(output) != 0 && errno != EINVAL && errno != EROFS)
        fail(errno);
    // Named only now, complete and synced, just before it takes the target's place.
    if (firstError == 0 && way == Way::Rename && unnamed && !nameUnnamed(output, folderOf(target), target, temporary))
        fail(errno);
    const int descriptor = output;
    output = -1;
    if (::close(descriptor) != 0)
        fail(errno);
    if (firstError == 0 && way == Way::Rename && ::rename(temporary.c_str(), target.c_str()) != 0) {
        // A bind mount, or a name on another file system, takes no rename: in place, then.
        if (errno == EBUSY || errno == EXDEV)
            copyTemporaryInPlace();
        else
            fail(errno);
    }
    if (firstError != 0) {
        rollBack();
        return false;
    }
    if (way == Way::Rename)
        syncFolder(folderOf(target));
    if (way == Way::InPlace) {
        ::unlink(backup.c_str());
        journal.end();
    }
    finished = true;
    return true;
}

// The complete new content, beside the target, is copied into it behind a copy of its old
// content; the new content's own file goes either way.
void FileReplacement::copyTemporaryInPlace()
{
    const int fresh = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (fresh < 0) {
        fail(errno);
        return;
    }
    if (!openInPlace()) {
        ::close(fresh);
        return;
    }
    way = Way::InPlace;
    ::unlink(temporary.c_str());
    temporary.clear();
    if (!copyAll(fresh, output) || ::fsync(output) != 0)
        fail(errno);
    ::close(fresh);
    const int descriptor = output;
    output = -1;
    if (::close(descriptor) != 0)
        fail(errno);
}

void FileReplacement::closeOutput()
{
    if (output >= 0)
        ::close(output);
    output = -1;
}

void FileReplacement::rollBack()
{
    closeOutput();
    finished = true;
    switch (way) {
    case Way::Refused:
    case Way::Device:
        return;
    case Way::Rename:
        if (!temporary.empty())
            ::unlink(temporary.c_str());
        return;
    case Way::Created:
        ::unlink(target.c_str());
        return;
    case Way::InPlace:
        break;
    }
    const int from = ::open(backup.c_str(), O_RDONLY | O_CLOEXEC);
    const int to = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    const bool restored = from >= 0 && to >= 0 && copyAll(from, to) && ::fsync(to) == 0;
    if (from >= 0)
        ::close(from);
    if (to >= 0 && ::close(to) != 0)
        return;
    // Where the old content could not be put back, its copy stays, and the record of it
    // for the next start.
    if (restored) {
        ::unlink(backup.c_str());
        journal.end();
    }
}
