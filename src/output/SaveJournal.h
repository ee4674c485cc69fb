#pragma once

#include <string>
#include <vector>

// A record in the state folder that a file is being written in place and where its old
// content waits, the way a rollback journal works: made and synced before the file is
// touched, gone once the new content is complete or the old one back. While its save runs,
// its Prizmo holds a lock on it; a record nobody holds is of a Prizmo that died mid-save.
class SaveJournal
{
public:
    SaveJournal() = default;
    ~SaveJournal();   // the record stays unless end() was called
    SaveJournal(const SaveJournal&) = delete;
    SaveJournal& operator=(const SaveJournal&) = delete;

    // False, with errno set, when no record could be made.
    bool begin(const std::string& target, const std::string& backup);
    // The save is over, one way or the other: the record goes.
    void end();

private:
    std::string path;
    int descriptor = -1;
};

// The files whose saves were cut short (the record's Prizmo is gone), each given its old
// content back from where it waited; the names of those mended. A record whose old content
// is gone (the save had completed) or that cannot be read is removed; one that cannot be
// mended now stays for the next start.
std::vector<std::string> mendInterruptedSaves();
