#include "recovery/RecoveryKeeper.h"

#include "output/OutputFile.h"
#include "output/RecoveryWriter.h"
#include "output/StateFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int writeDelayMs = 2000;
const QString recoverySuffix = QStringLiteral(".recovery");

std::unique_ptr<QLockFile> lockFor(const std::string& path)
{
    auto lock = std::make_unique<QLockFile>(QString::fromStdString(path + ".lock"));
    lock->setStaleLockTime(0);   // held for as long as its Prizmo runs; a dead one's is stale
    return lock;
}

// The file exists only once it is complete, and private from its first byte on: its later
// replacements keep the mode.
bool writeText(const std::string& path, const std::string& text)
{
    OutputFile file(path, 0600);
    if (file.isOpen())
        file.write(text);
    return file.close();
}

} // namespace

RecoveryKeeper::RecoveryKeeper(QObject* parent, const RecordsView& records, Beside beside, Failing failing)
    : QObject(parent), records(records), beside(std::move(beside)), failing(std::move(failing))
{
    writer.setMaxThreadCount(1);
    due.setSingleShot(true);
    connect(&due, &QTimer::timeout, this, [this] { writeInBackground(); });
}

RecoveryKeeper::~RecoveryKeeper()
{
    due.stop();
    writer.waitForDone();
    if (written && !keptForNextStart)
        std::remove(ownPath.c_str());
}

std::string RecoveryKeeper::folder()
{
    return stateFolder();
}

void RecoveryKeeper::changed(bool unsaved)
{
    if (!unsaved) {
        due.stop();
        if (std::exchange(written, false))
            writer.start([path = ownPath] { std::remove(path.c_str()); });
        tellTrouble(Trouble::None);
    } else if (!due.isActive()) {
        due.start(writeDelayMs);
    }
}

void RecoveryKeeper::writeNow()
{
    due.stop();
    writeInBackground();
    writer.waitForDone();
}

void RecoveryKeeper::writeInBackground()
{
    std::optional<BesideRecords> window = beside();
    if (!window) {
        if (std::exchange(written, false))
            writer.start([path = ownPath] { std::remove(path.c_str()); });
        tellTrouble(Trouble::None);
        return;
    }
    if (!takeOwnFile()) {
        tellTrouble(Trouble::CannotWrite);
        return;
    }
    written = true;
    // Only a copy goes to the writing thread, and its texts are the records' own.
    auto copy = std::make_shared<const StyleSheetRecords>(records.copy());
    writer.start([this, path = ownPath, copy, window = std::move(*window)] {
        bool ok = false;
        try {
            const BodyStyle* body = copy->body ? &*copy->body : nullptr;
            ok = writeText(path, recoveryText(body, copy->divs, window.panelsRule, window.openedFileName, window.typed));
        } catch (const std::bad_alloc&) {   // the window's work goes on; only the file is missing
        }
        QMetaObject::invokeMethod(this, [this, ok] { tellTrouble(ok ? Trouble::None : Trouble::CannotWrite); },
                                  Qt::QueuedConnection);
    });
}

// The folder (private), a name no other Prizmo has, and its lock.
bool RecoveryKeeper::takeOwnFile()
{
    if (ownLock && ownLock->isLocked())
        return true;
    const std::string where = folder();
    if (!QDir().mkpath(QString::fromStdString(where)))
        return false;
    ::chmod(where.c_str(), 0700);
    if (ownPath.empty())
        ownPath = where + "/" + std::to_string(QCoreApplication::applicationPid()) + "-"
            + std::to_string(QDateTime::currentMSecsSinceEpoch()) + recoverySuffix.toStdString();
    ownLock = lockFor(ownPath);
    return ownLock->tryLock(0);
}

void RecoveryKeeper::tellTrouble(Trouble now)
{
    if (std::exchange(lastTrouble, now) != now && failing)
        failing(now);
}

std::optional<RecoveryKeeper::Left> RecoveryKeeper::takeNewestLeft()
{
    const QDir where(QString::fromStdString(folder()));
    // A Prizmo killed or ended by Ctrl+C leaves its lock; once it is gone, the lock goes too.
    const QString lockSuffix = recoverySuffix + QStringLiteral(".lock");
    for (const QFileInfo& lock : where.entryInfoList({QStringLiteral("*") + lockSuffix}, QDir::Files)) {
        const QString file = lock.absoluteFilePath().chopped(5);
        if (!QFileInfo::exists(file) && QFile::encodeName(file).toStdString() != ownPath)
            lockFor(QFile::encodeName(file).toStdString())->tryLock(0);   // a dead one's, removed on unlocking
    }
    const QFileInfoList files = where.entryInfoList({QStringLiteral("*") + recoverySuffix}, QDir::Files, QDir::Time);
    std::optional<Left> newest;
    int count = 0;
    for (const QFileInfo& file : files) {   // newest first
        const std::string path = QFile::encodeName(file.absoluteFilePath()).toStdString();
        if (path == ownPath)
            continue;
        auto lock = lockFor(path);
        if (!lock->tryLock(0)) {
            if (lock->error() == QLockFile::LockFailedError)
                continue;   // its Prizmo runs
            lock.reset();
            tellTrouble(Trouble::FolderFull);
        }
        ++count;
        if (!newest)
            newest = Left{path, std::move(lock)};
    }
    if (newest)
        newest->count = count;
    return newest;
}

void RecoveryKeeper::adopt(Left left)
{
    writer.waitForDone();
    if (written)
        std::remove(ownPath.c_str());
    ownPath = std::move(left.path);
    ownLock = left.lock ? std::move(left.lock) : lockFor(ownPath);
    written = true;
}

void RecoveryKeeper::discard(Left left)
{
    std::remove(left.path.c_str());
}

std::string RecoveryKeeper::moveAside(Left left)
{
    const std::string aside = left.path + ".sérült";
    std::rename(left.path.c_str(), aside.c_str());
    return aside;
}
