#pragma once

#include "output/SaveJournal.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

// Puts new content into a named file so that a failure at any point leaves the old content
// there. The way is chosen per file, as GLib's g_file_replace and Vim's backupcopy=auto
// choose it:
//  - a new file, or a regular file with one link whose owner and extended attributes (its
//    ACL among them) the new file can keep, in a folder that takes a new file and a rename:
//    written beside it (into a file with no name where the file system has them, so that a
//    kill leaves nothing), then renamed over it;
//  - any other regular file (more links, another owner, a sticky folder, a closed folder, a
//    bind mount or another file system that refuses the rename): its old content is copied
//    aside first and a record of that made in the state folder (see SaveJournal), then it is
//    written in place, and the copy is put back on failure, or by the next start after a
//    kill; where no copy or record can be made, nothing is touched;
//  - a device or a pipe: written as it is, without blocking; one that takes nothing for two
//    seconds fails the save.
// Symbolic links are followed to the file they name; a loop of them is refused.
class FileReplacement
{
public:
    // A file that does not exist yet is made with `newFileMode`, or with what the umask
    // leaves of 0666 when none is given.
    explicit FileReplacement(const std::string& fileName, std::optional<unsigned> newFileMode = std::nullopt);
    ~FileReplacement();   // rolls back what was not committed
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Where the new content goes; -1 when the file cannot be written at all, and then
    // nothing has been touched.
    int descriptor() const { return output; }
    // A device or a pipe, which cannot be synced.
    bool writesToDevice() const { return way == Way::Device; }

    // Writes all of it, or records why not; nothing once a failure is recorded.
    void write(const char* bytes, std::size_t length);
    // Called while a pipe or a device takes nothing.
    void setWhileWaiting(std::function<void()> handler) { whileWaiting = std::move(handler); }

    // Records a failure met while writing (an errno value); the first one counts.
    void fail(int error);

    // Makes the written content the file's: syncs it, closes it and puts it in place.
    // False, with the old content back, when anything on the way failed.
    bool commit();

    // errno of the first failing call; 0 while nothing failed.
    int error() const { return firstError; }

private:
    enum class Way { Refused, Rename, Created, InPlace, Device };

    void chooseWay(const std::string& fileName, std::optional<unsigned> newFileMode);
    void openNew(unsigned mode);
    void openExisting(const struct stat& status);
    bool openBeside(unsigned mode, const struct stat* keepOwner);
    bool openInPlace();
    void copyTemporaryInPlace();
    void writeWithoutBlocking(const char* bytes, std::size_t length);
    void rollBack();
    void closeOutput();

    Way way = Way::Refused;
    std::string target;      // the file finally written, symbolic links followed
    std::string temporary;   // Rename: the new content beside the target, once it has a name
    bool unnamed = false;    // Rename: the new content has no name until it is complete
    std::string backup;      // InPlace: the old content, until the new one is complete
    SaveJournal journal;     // InPlace: the record of where it waits
    int output = -1;
    int firstError = 0;
    bool finished = false;
    std::function<void()> whileWaiting;
};
