#include "Files.h"
#include "StdStringOutput.h"

#include "output/OutputFile.h"
#include "output/StyleSheetWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string oldContent = "a stylesheet saved earlier";

void writeFile(const QString& path, const std::string& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// Ten div blocks: far more than the write limit below lets through.
bool saveTenDivs(const std::string& fileName)
{
    OutputFile file(fileName);
    for (int number = 0; number < 10; ++number)
        writeDivBlock(file, number, 100, 200, "", 14, "", "none", "relative");
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

std::string tenDivs()
{
    std::string text;
    for (int number = 0; number < 10; ++number)
        text += divBlock(number, 100, 200, "", 14, "", "none", "relative");
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

private slots:
    // Each kind of file is replaced the way that keeps what the person expects of it; with
    // a write limit in the way, each leaves the old bytes and no stray file behind.
    void eachKindOfFileIsReplacedSafely_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("limited");
        for (const char* kind : {"own file", "second hard link", "other owner, sticky folder",
                                 "closed folder", "closed folder, nowhere to copy"}) {
            QTest::addRow("%s", kind) << QString::fromLatin1(kind) << false;
            QTest::addRow("%s, write limit", kind) << QString::fromLatin1(kind) << true;
        }
    }
    void eachKindOfFileIsReplacedSafely()
    {
        QFETCH(QString, kind);
        QFETCH(bool, limited);
        const bool plainUser = kind.contains(QLatin1String("folder"));
        if (kind.contains(QLatin1String("other owner")) && ::geteuid() != 0)
            QSKIP("a file of another owner needs the tests to run as root");

        QTemporaryDir scratch;
        QVERIFY(::chmod(local(scratch.path()).constData(), 0755) == 0);
        QDir(scratch.path()).mkdir(QStringLiteral("work"));
        QDir(scratch.path()).mkdir(QStringLiteral("tmp"));
        const QString folder = scratch.filePath(QStringLiteral("work"));
        const QString temporaries = scratch.filePath(QStringLiteral("tmp"));
        const QString path = folder + QStringLiteral("/lap.css");
        const QString otherLink = scratch.filePath(QStringLiteral("other.css"));
        writeFile(path, oldContent);
        QVERIFY(::chmod(local(temporaries).constData(), 01777) == 0);
        QVERIFY(::chmod(local(path).constData(), plainUser ? 0666 : 0640) == 0);
        if (kind == QLatin1String("second hard link"))
            QVERIFY(::link(local(path).constData(), local(otherLink).constData()) == 0);
        if (kind.contains(QLatin1String("sticky")))
            QVERIFY(::chmod(local(folder).constData(), 01777) == 0);
        if (kind.contains(QLatin1String("closed")))
            QVERIFY(::chmod(local(folder).constData(), 0555) == 0);
        const QString copies = kind.contains(QLatin1String("nowhere")) ? folder : temporaries;
        struct stat before {};
        ::stat(local(path).constData(), &before);

        const int saved = inChild([&] {
            ::setenv("TMPDIR", local(copies).constData(), 1);
            ::setenv("XDG_RUNTIME_DIR", local(copies).constData(), 1);
            if (plainUser && !dropToPlainUser())
                return 2;
            if (limited) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{64, 64};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            return saveTenDivs(path.toStdString()) ? 0 : 1;
        });
        ::chmod(local(folder).constData(), 0700);

        const bool expectSaved = !limited && !kind.contains(QLatin1String("nowhere"));
        QCOMPARE(saved, expectSaved ? 0 : 1);
        QCOMPARE(readBytes(path).value(), expectSaved ? tenDivs() : oldContent);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"lap.css"});
        QCOMPARE(QDir(temporaries).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        struct stat after {};
        ::stat(local(path).constData(), &after);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_uid, before.st_uid);
        if (kind == QLatin1String("second hard link"))
            QCOMPARE(readBytes(otherLink), readBytes(path));
    }

    void aWriteLimitLeavesTheFileUntouched()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("lap.css"));
        writeFile(path, oldContent);
        const int saved = inChild([&path] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{64, 64};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            return saveTenDivs(path.toStdString()) ? 0 : 1;
        });
        QCOMPARE(saved, 1);
        QCOMPARE(readBytes(path).value(), oldContent);
        QCOMPARE(entries(folder), QStringList{"lap.css"});   // no temporary file left
    }

    void aFullDiskIsReportedAndTheDeviceStays()
    {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full on this machine");
        QVERIFY(!saveTenDivs("/dev/full"));
        QVERIFY(S_ISCHR(modeOf(QStringLiteral("/dev/full"))));
        QVERIFY(saveTenDivs("/dev/null"));
    }

    void modeBitsAreKept()
    {
        QTemporaryDir folder;
        const QString existing = folder.filePath(QStringLiteral("shared.css"));
        writeFile(existing, oldContent);
        QVERIFY(::chmod(QFile::encodeName(existing).constData(), 0640) == 0);
        QVERIFY(saveTenDivs(existing.toStdString()));
        QCOMPARE(modeOf(existing) & 0777, 0640u);

        const mode_t previous = ::umask(022);
        const QString fresh = folder.filePath(QStringLiteral("new.css"));
        const bool saved = saveTenDivs(fresh.toStdString());
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

        QVERIFY(saveTenDivs(link.toStdString()));
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
            return saveTenDivs(path.toStdString()) ? 0 : 1;
        });
        ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
        QCOMPARE(saved, 0);
        QVERIFY(readBytes(path).value().starts_with("\n\r#div0\n\r{"));
        QCOMPARE(entries(folder), QStringList{"in-place.css"});
    }
};

QTEST_APPLESS_MAIN(TestSafeSave)
#include "tst_safesave.moc"
