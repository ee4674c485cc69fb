#include "output/SaveJournal.h"

#include "output/Descriptors.h"
#include "output/StateFolder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <optional>
#include <random>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr std::string_view firstLine = "Prizmo mentési napló 1\n";
const QString journalSuffix = QStringLiteral(".save-journal");

std::string encoded(const std::string& name)
{
    return QByteArray::fromStdString(name).toPercentEncoding("/").toStdString();
}

struct Record {
    std::string target, backup;
};

std::optional<Record> readRecord(int descriptor)
{
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(descriptor, buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || text.size() > 64 * 1024)
            return std::nullopt;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    if (!text.starts_with(firstLine))
        return std::nullopt;
    text.erase(0, firstLine.size());
    const std::size_t targetEnd = text.find('\n');
    const std::size_t backupEnd = targetEnd == std::string::npos ? targetEnd : text.find('\n', targetEnd + 1);
    if (backupEnd == std::string::npos)
        return std::nullopt;   // cut short while it was made: the file was not touched yet
    return Record{QByteArray::fromPercentEncoding(QByteArray::fromStdString(text.substr(0, targetEnd))).toStdString(),
                  QByteArray::fromPercentEncoding(QByteArray::fromStdString(text.substr(targetEnd + 1, backupEnd - targetEnd - 1)))
                      .toStdString()};
}

// The old content back into the file, in place, so that its links and owner stay.
bool putBack(const Record& record)
{
    const int from = ::open(record.backup.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0)
        return false;
    const int to = ::open(record.target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    const bool restored = to >= 0 && copyAll(from, to) && ::fsync(to) == 0;
    ::close(from);
    if (to >= 0 && ::close(to) != 0)
        return false;
    return restored;
}

} // namespace

SaveJournal::~SaveJournal()
{
    if (descriptor >= 0)
        ::close(descriptor);   // which lets the lock go; the record stays for the next start
}

bool SaveJournal::begin(const std::string& target, const std::string& backup)
{
    const std::string folder = stateFolder();
    if (!QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(folder))))
        return false;
    std::random_device random;
    for (int attempt = 0; attempt < 100 && descriptor < 0; ++attempt) {
        path = folder + "/" + std::to_string(::getpid()) + "-" + std::to_string(random()) + journalSuffix.toStdString();
        descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (descriptor < 0 && errno != EEXIST)
            return false;
    }
    const std::string text = std::string(firstLine) + encoded(target) + "\n" + encoded(backup) + "\n";
    if (descriptor < 0 || ::flock(descriptor, LOCK_EX) != 0 || !writeAll(descriptor, text.data(), text.size())
        || ::fsync(descriptor) != 0) {
        const int error = errno;
        end();
        errno = error;
        return false;
    }
    syncFolder(folder);
    return true;
}

void SaveJournal::end()
{
    if (!path.empty())
        ::unlink(path.c_str());
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
    path.clear();
}

std::vector<std::string> mendInterruptedSaves()
{
    std::vector<std::string> mended;
    const QDir folder(QFile::decodeName(QByteArray::fromStdString(stateFolder())));
    for (const QString& name : folder.entryList({QStringLiteral("*") + journalSuffix}, QDir::Files)) {
        const std::string path = QFile::encodeName(folder.filePath(name)).toStdString();
        const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0)
            continue;
        if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {   // its save runs now
            ::close(descriptor);
            continue;
        }
        const std::optional<Record> record = readRecord(descriptor);
        bool done = true;
        if (record && ::access(record->backup.c_str(), F_OK) == 0) {
            done = putBack(*record);
            if (done) {
                ::unlink(record->backup.c_str());
                mended.push_back(record->target);
            }
        }
        if (done)
            ::unlink(path.c_str());
        ::close(descriptor);
    }
    return mended;
}
