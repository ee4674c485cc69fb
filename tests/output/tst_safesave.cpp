#include "Files.h"
#include "StdStringOutput.h"

#include "output/OutputFile.h"
#include "output/SaveJournal.h"
#include "output/StyleSheetWriter.h"
#include "platform/Application.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

const std::string oldContent = "a stylesheet saved earlier";

void writeFile(const QString& path, const std::string& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// A save of megabytes has a block larger than the file's buffer halfway, written on its own
// between the buffers before and after it.
std::string backgroundOf(int number, int count)
{
    return count > 10 && number == count / 2 ? std::string(2 * 1024 * 1024, 'a') : std::string();
}

// Ten div blocks: far more than the write limit below lets through. Many more make a save
// of megabytes, which is written and taken by the disk while it is being made.
bool saveDivs(const std::string& fileName, int count = 10)
{
    OutputFile file(fileName);
    for (int number = 0; number < count; ++number)
        writeDivBlock(file, number, 100, 200, backgroundOf(number, count), 14, "", "none", "relative");
    return file.close();
}

// Runs `body` in a child process and gives its exit code (-1 if it did not exit).
int inChild(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// What the program's start sets up for the whole process (such as what a write limit or a
// closed pipe does), in a child that then saves.
void startAsTheProgram()
{
    static int argc = 1;
    static char name[] = "prizmo";
    static char* argv[] = {name, nullptr};
    static TApplication application(argc, argv);
}

// Whether this process may make a mount namespace of its own, and bind mounts in it.
bool bindMountsWork()
{
    return ::geteuid() == 0 && inChild([] { return ::unshare(CLONE_NEWNS) == 0 ? 0 : 1; }) == 0;
}

QStringList entries(const QTemporaryDir& folder)
{
    return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                         | QDir::NoDotAndDotDot);
}

QByteArray local(const QString& path) { return QFile::encodeName(path); }

// Looks through a plain user's eyes: the superuser may write anywhere.
bool dropToPlainUser()
{
    return ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
}

std::string divsText(int count = 10)
{
    std::string text;
    for (int number = 0; number < count; ++number)
        text += divBlock(number, 100, 200, backgroundOf(number, count), 14, "", "none", "relative");
    return text;
}

unsigned modeOf(const QString& path)
{
    struct stat status {};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status.st_mode;
}

} // namespace

class TestSafeSave : public QObject
{
    Q_OBJECT

    QTemporaryDir state;   // where saves in place leave their records

private slots:
    void initTestCase() { qputenv("XDG_STATE_HOME", local(state.path())); }

    // Each kind of file is replaced the way that keeps what the person expects of it; with
    // a write limit in the way, each leaves the old bytes and no stray file behind.
    void eachKindOfFileIsReplacedSafely_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("limited");
        for (const char* kind : {"own file", "second hard link", "other owner, sticky folder",
                                 "closed folder", "closed folder, nowhere to copy", "255-byte name",
                                 "255-byte name, closed folder", "bind mount", "own file, killed while writing",
                                 "second hard link, killed while writing", "own file, megabytes",
                                 "second hard link, megabytes"}) {
            QTest::addRow("%s", kind) << QString::fromLatin1(kind) << false;
            QTest::addRow("%s, write limit", kind) << QString::fromLatin1(kind) << true;
        }
    }
    void eachKindOfFileIsReplacedSafely()
    {
        QFETCH(QString, kind);
        QFETCH(bool, limited);
        const bool plainUser = kind.contains(QLatin1String("folder"));
        const int divCount = kind.contains(QLatin1String("megabytes")) ? 40'000 : 10;
        if (kind.contains(QLatin1String("other owner")) && ::geteuid() != 0)
            QSKIP("a file of another owner needs the tests to run as root");
        if (kind == QLatin1String("bind mount") && !bindMountsWork())
            QSKIP("a bind mount needs the tests to run as root, with mount namespaces");

        QTemporaryDir scratch;
        QVERIFY(::chmod(local(scratch.path()).constData(), 0755) == 0);
        QDir(scratch.path()).mkdir(QStringLiteral("work"));
        QDir(scratch.path()).mkdir(QStringLiteral("tmp"));
        const QString folder = scratch.filePath(QStringLiteral("work"));
        const QString temporaries = scratch.filePath(QStringLiteral("tmp"));
        const QString name = kind.startsWith(QLatin1String("255"))
            ? QString(251, QLatin1Char('a')) + QStringLiteral(".css") : QStringLiteral("lap.css");
        const QString path = folder + QLatin1Char('/') + name;
        const QString otherLink = scratch.filePath(QStringLiteral("other.css"));
        writeFile(path, oldContent);
        QVERIFY(::chmod(local(temporaries).constData(), 01777) == 0);
        QVERIFY(::chmod(local(path).constData(), plainUser ? 0666 : 0640) == 0);
        if (kind.startsWith(QLatin1String("second hard link")))
            QVERIFY(::link(local(path).constData(), local(otherLink).constData()) == 0);
        if (kind.contains(QLatin1String("sticky")))
            QVERIFY(::chmod(local(folder).constData(), 01777) == 0);
        if (kind.contains(QLatin1String("closed")))
            QVERIFY(::chmod(local(folder).constData(), 0555) == 0);
        const QString copies = kind.contains(QLatin1String("nowhere")) ? folder : temporaries;
        QDir(state.path()).mkdir(QStringLiteral("prizmo"));
        QVERIFY(::chmod(local(state.filePath(QStringLiteral("prizmo"))).constData(), 01777) == 0);   // a plain user's too
        QVERIFY(::chmod(local(state.path()).constData(), 0755) == 0);
        struct stat before {};
        ::stat(local(path).constData(), &before);

        // The first save makes the long name; the second must be able to replace it.
        if (kind.startsWith(QLatin1String("255")))
            QVERIFY(saveDivs(path.toStdString()) && readBytes(path) == divsText());
        if (kind.startsWith(QLatin1String("255")))
            writeFile(path, oldContent);

        const int saved = inChild([&] {
            startAsTheProgram();
            ::setenv("TMPDIR", local(copies).constData(), 1);
            ::setenv("XDG_RUNTIME_DIR", local(copies).constData(), 1);
            // Mounted over itself: a rename over it fails with EBUSY.
            if (kind == QLatin1String("bind mount")
                && (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                    || ::mount(local(path).constData(), local(path).constData(), nullptr, MS_BIND, nullptr) != 0))
                return 3;
            if (plainUser && !dropToPlainUser())
                return 2;
            if (limited) {
                const rlim_t bytes = divCount > 10 ? 3 * 1024 * 1024 : 64;   // past the first syncs
                const rlimit limit{bytes, bytes};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            if (kind.contains(QLatin1String("killed"))) {
                // Written, not committed, and nothing cleaned up: as after SIGKILL.
                auto file = new OutputFile(path.toStdString());
                file->write(divsText());
                file->write(std::string(2 * 1024 * 1024, ' '));
                ::_exit(1);
            }
            return saveDivs(path.toStdString(), divCount) ? 0 : 1;
        });
        ::chmod(local(folder).constData(), 0700);
        // The next start puts back what a kill in the middle of writing in place left.
        const std::vector<std::string> mended = mendInterruptedSaves();
        const bool inPlaceKilled = kind == QLatin1String("second hard link, killed while writing") && !limited;
        QCOMPARE(mended, inPlaceKilled ? std::vector<std::string>{path.toStdString()} : std::vector<std::string>{});
        QVERIFY(QDir(state.filePath(QStringLiteral("prizmo"))).entryList(QDir::Files).isEmpty());

        const bool expectSaved = !limited && !kind.contains(QLatin1String("nowhere")) && !kind.contains(QLatin1String("killed"));
        QCOMPARE(saved, expectSaved ? 0 : 1);
        QVERIFY(readBytes(path).value() == (expectSaved ? divsText(divCount) : oldContent));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{name});
        QCOMPARE(QDir(temporaries).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        struct stat after {};
        ::stat(local(path).constData(), &after);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_uid, before.st_uid);
        if (kind.startsWith(QLatin1String("second hard link")))
            QCOMPARE(readBytes(otherLink), readBytes(path));
    }

    void aWriteLimitLeavesTheFileUntouched()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("lap.css"));
        writeFile(path, oldContent);
        const int saved = inChild([&path] {
            startAsTheProgram();
            const rlimit limit{64, 64};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            return saveDivs(path.toStdString()) ? 0 : 1;
        });
        QCOMPARE(saved, 1);
        QCOMPARE(readBytes(path).value(), oldContent);
        QCOMPARE(entries(folder), QStringList{"lap.css"});   // no temporary file left
    }

    // A pipe is written without blocking, the window painting meanwhile: a reader that goes
    // fails the save at once (its signal ignored from the program's start), one that stops
    // reading fails it after two seconds without progress.
    void aPipeNeverHoldsTheSave_data()
    {
        QTest::addColumn<bool>("readerLeaves");
        QTest::addColumn<int>("reason");
        QTest::addRow("its reader leaves after 100 bytes") << true << EPIPE;
        QTest::addRow("its reader never reads") << false << ETIMEDOUT;
    }
    void aPipeNeverHoldsTheSave()
    {
        QFETCH(bool, readerLeaves);
        QFETCH(int, reason);
        QTemporaryDir folder;
        const QByteArray pipe = local(folder.filePath(QStringLiteral("pipe")));
        QVERIFY(::mkfifo(pipe.constData(), 0600) == 0);
        const int outcome = inChild([&] {
            startAsTheProgram();
            ::alarm(30);   // a save that blocks ends here
            int reader = ::open(pipe.constData(), O_RDONLY | O_NONBLOCK);
            int waits = 0;
            OutputFile file(pipe.toStdString());
            file.setWhileWaiting([&] {
                ++waits;
                char read[100];
                if (readerLeaves && reader >= 0 && ::read(reader, read, sizeof read) == sizeof read) {
                    ::close(reader);
                    reader = -1;
                }
            });
            for (int number = 0; number < 1000; ++number)   // more than the pipe holds
                writeDivBlock(file, number, 100, 200, "", 14, "", "none", "relative");
            const bool saved = file.close();
            const bool failedSo = file.failureReason() == std::strerror(reason);
            return saved ? 1 : waits == 0 ? 2 : failedSo ? 0 : 3;
        });
        QCOMPARE(outcome, 0);   // 1: saved, 2: never waited, 3: another reason; -1: blocked or killed
    }

    // An ACL and an extended attribute stay with the file, and so does its mode exactly: a
    // file without the ACL would show its mask as the group's permission.
    void extendedAttributesAndTheAclAreKept()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("lap.css"));
        writeFile(path, oldContent);
        const QByteArray file = local(path);
        QVERIFY(::chmod(file.constData(), 0644) == 0);
        // user::rw-, user:65534:rw-, group::r--, mask::rw-, other::r--, as setfacl leaves them.
        struct Entry { std::uint16_t tag, permissions; std::uint32_t id; };
        const std::uint32_t none = 0xFFFFFFFF;
        const struct { std::uint32_t version = 2; Entry entries[5]; } acl{
            2, {{0x01, 6, none}, {0x02, 6, 65534}, {0x04, 4, none}, {0x10, 6, none}, {0x20, 4, none}}};
        if (::setxattr(file.constData(), "system.posix_acl_access", &acl, sizeof acl, 0) != 0
            || ::setxattr(file.constData(), "user.prizmo", "kept", 4, 0) != 0)
            QSKIP("the temporary folder's file system takes no ACL or extended attribute");
        const auto attributes = [&file] {
            char names[1024];
            const ssize_t size = ::listxattr(file.constData(), names, sizeof names);
            QStringList found;
            for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
                char value[256];
                const ssize_t length = ::getxattr(file.constData(), names + at, value, sizeof value);
                found << QString::fromLatin1(names + at) + QLatin1Char('=')
                        + QString::fromLatin1(QByteArray(value, static_cast<int>(length)).toHex());
            }
            found.sort();
            return found;
        };
        const QStringList before = attributes();
        const unsigned mode = modeOf(path);

        QVERIFY(saveDivs(path.toStdString()));
        QCOMPARE(readBytes(path).value(), divsText());
        QCOMPARE(attributes(), before);
        QCOMPARE(modeOf(path), mode);
    }

    void aFullDiskIsReportedAndTheDeviceStays()
    {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full on this machine");
        QVERIFY(!saveDivs("/dev/full"));
        QVERIFY(S_ISCHR(modeOf(QStringLiteral("/dev/full"))));
        QVERIFY(saveDivs("/dev/null"));
    }

    void modeBitsAreKept()
    {
        QTemporaryDir folder;
        const QString existing = folder.filePath(QStringLiteral("shared.css"));
        writeFile(existing, oldContent);
        QVERIFY(::chmod(QFile::encodeName(existing).constData(), 0640) == 0);
        QVERIFY(saveDivs(existing.toStdString()));
        QCOMPARE(modeOf(existing) & 0777, 0640u);

        const mode_t previous = ::umask(022);
        const QString fresh = folder.filePath(QStringLiteral("new.css"));
        const bool saved = saveDivs(fresh.toStdString());
        ::umask(previous);
        QVERIFY(saved);
        QCOMPARE(modeOf(fresh) & 0777, 0644u);
    }

    void aSymbolicLinkKeepsPointingAtTheSavedFile()
    {
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("real")));
        const QString target = folder.filePath(QStringLiteral("real/lap.css"));
        const QString link = folder.filePath(QStringLiteral("link.css"));
        writeFile(target, oldContent);
        QVERIFY(::symlink("real/lap.css", QFile::encodeName(link).constData()) == 0);

        QVERIFY(saveDivs(link.toStdString()));
        QVERIFY(S_ISLNK(modeOf(link)));
        QVERIFY(readBytes(target).value().starts_with("\n\r#div0\n\r{"));
        QCOMPARE(QDir(folder.filePath(QStringLiteral("real"))).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"lap.css"});

        // A loop of links is refused, as opening it would be.
        const QString loop = folder.filePath(QStringLiteral("loop.css"));
        QVERIFY(::symlink("loop.css", local(loop).constData()) == 0);
        OutputFile looped(loop.toStdString());
        QVERIFY(!looped.isOpen());
        QVERIFY(!looped.close());
        QCOMPARE(looped.failureReason(), std::string(std::strerror(ELOOP)));
    }

    void aReadOnlyFileIsRefused()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("read-only.css"));
        writeFile(path, oldContent);
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
        OutputFile file(path.toStdString());
        QVERIFY(!file.isOpen());
        QVERIFY(!file.close());
        QCOMPARE(readBytes(path).value(), oldContent);
        QCOMPARE(entries(folder), QStringList{"read-only.css"});
    }

    // A folder that takes no new file, holding a file that may be written: written in place.
    void aClosedFolderFallsBackToWritingInPlace()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("in-place.css"));
        writeFile(path, oldContent);
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0666) == 0);
        QVERIFY(::chmod(QFile::encodeName(folder.path()).constData(), 0555) == 0);
        const int saved = inChild([&path] {
            // The superuser may create files anywhere: look through a plain user's eyes.
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                return 2;
            return saveDivs(path.toStdString()) ? 0 : 1;
        });
        ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
        QCOMPARE(saved, 0);
        QVERIFY(readBytes(path).value().starts_with("\n\r#div0\n\r{"));
        QCOMPARE(entries(folder), QStringList{"in-place.css"});
    }
};

QTEST_APPLESS_MAIN(TestSafeSave)
#include "tst_safesave.moc"
