// The recovery file in a scratch state folder: what is unsaved is kept exactly and comes back
// at the next start; files of running Prizmos are left alone, dead ones' taken over, damaged
// ones moved aside; a folder that takes nothing shows one line.

#include "Files.h"
#include "FormDriver.h"
#include "StyleSheetModel.h"

#include "input/RecoveryReader.h"
#include "recovery/RecoveryKeeper.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using Texts = std::vector<std::string>;

namespace {

constexpr int patienceMs = 10'000;   // the write is due 2 seconds after a change

QStringList recoveryFiles()
{
    return QDir(QString::fromStdString(RecoveryKeeper::folder())).entryList({"*.recovery*"}, QDir::Files, QDir::Name);
}

// Body, div 0 at 600, div 1 nested in it; committed, not saved.
void compose(FormDriver& driver)
{
    TForm1& form = driver.form;
    driver.bodySettings();
    driver.type(form.Edit3, "16");
    driver.done();
    driver.newDiv();
    driver.type(form.Edit1, "600");
    driver.done();
    driver.newDiv();
    driver.done();
    driver.openSavePanel();
    driver.pick(form.ComboBox3, 1);
    driver.pick(form.ComboBox4, 0);
    driver.ok();
}

qsizetype keptFiles()
{
    return recoveryFiles().filter(QStringLiteral(".recovery")).size() - recoveryFiles().filter(QStringLiteral(".recovery.")).size();
}

bool waitUntilKept(TForm1& form)
{
    return QTest::qWaitFor([&form] { return QFileInfo::exists(QString::fromStdString(form.Recovery->path())); }, patienceMs);
}

// A window that ended by a signal: its file stays, no longer locked.
void leaveAFile()
{
    FormDriver driver;
    compose(driver);
    driver.form.Recovery->writeNow();
    driver.form.Recovery->keepForNextStart();
}

// Ended by a signal while div 1 was open again with 555 typed into "Szélesség".
void leaveATypedFile()
{
    FormDriver driver;
    compose(driver);
    driver.form.runCommand("div1 megnyitása", [&driver] { driver.form.reopenRule({Rule::Kind::Div, 1}); });
    driver.type(driver.form.Edit1, "555");
    driver.form.Recovery->writeNow();
    driver.form.Recovery->keepForNextStart();
}

rlimit fileSizeLimit()
{
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    return limit;
}

void setFileSizeLimit(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = fileSizeLimit();
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

// A lock as QLockFile writes it, but of a process that has ended.
void lockByTheDead(const QString& lockPath)
{
    QByteArray contents;
    {
        QLockFile ours(lockPath);
        QVERIFY(ours.tryLock(0));
        contents = QByteArray::fromStdString(readBytes(lockPath).value_or(""));
    }
    QProcess gone;
    gone.start(QStringLiteral("true"));
    QVERIFY(gone.waitForStarted());
    const qint64 pid = gone.processId();
    QVERIFY(gone.waitForFinished());
    QFile lock(lockPath);
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid) + contents.mid(contents.indexOf('\n')));
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

    QTemporaryDir state;

private slots:
    void initTestCase() { testApplication(); }
    void init()
    {
        QDir(state.path()).removeRecursively();
        QDir().mkpath(state.path());
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    }

    void whatIsUnsavedIsKeptAndGoesWithTheSave()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        compose(driver);
        form.runCommand("div1 megnyitása", [&form] { form.reopenRule({Rule::Kind::Div, 1}); });
        QVERIFY(waitUntilKept(form));
        form.Recovery->waitForWrites();
        const QString path = QString::fromStdString(form.Recovery->path());
        QCOMPARE(QFileInfo(path).permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
                 QFile::Permissions());
        QCOMPARE(QFileInfo(QString::fromStdString(RecoveryKeeper::folder())).permissions() & 0x077, QFile::Permissions());

        const auto kept = readRecovery(*readBytes(path));
        QVERIFY(kept);
        QVERIFY(kept->records.body && kept->records.body->getFontSize() == 16);
        QCOMPARE(kept->records.divs.size(), std::size_t(2));
        QCOMPARE(kept->records.divs[0]->getWidth(), 600);
        QCOMPARE(kept->records.divs[1]->getParent(), 0);
        QCOMPARE(kept->panelsRule, std::string("div1"));

        // A second Prizmo leaves a running one's file alone, and keeps its own.
        {
            FormDriver second;
            second.form.offerRecovery();
            QVERIFY(second.script.questions.empty());
            compose(second);
            QVERIFY(waitUntilKept(second.form));
            QVERIFY(second.form.Recovery->path() != form.Recovery->path());
            QCOMPARE(keptFiles(), 2);
        }

        driver.done();
        driver.openSavePanel();
        QTemporaryDir saved;
        driver.script.confirmFile(saved.filePath("oldal.css").toStdString());
        driver.save();
        form.Recovery->waitForWrites();
        QVERIFY(!QFileInfo::exists(path));
    }

    // What the next start finds, and what it makes of it.
    void aLeftFileIsOfferedAtStart_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("answer");     // the button pressed; "" for Escape, closing, a signal
        QTest::addColumn<QString>("question");   // "" for none
        QTest::addColumn<int>("divs");           // in the window afterwards
        QTest::addColumn<QStringList>("files");  // left in the folder
        const QString asked = QStringLiteral("Egy korábbi, el nem mentett stíluslap maradt itt. Visszaállítsam?");
        const QString restore = QStringLiteral("Visszaállítás");
        QTest::addRow("restored") << "one" << restore << asked << 2 << QStringList{"*.recovery"};
        QTest::addRow("discarded") << "one" << "Eldobás" << asked << 0 << QStringList{};
        QTest::addRow("not answered: kept for the next start") << "one" << "" << asked << 0 << QStringList{"*.recovery"};
        QTest::addRow("a dead Prizmo's lock") << "stale lock" << restore << asked << 2 << QStringList{"*.recovery"};
        QTest::addRow("two left: the newest") << "two" << restore << asked + "\n(2 ilyen maradt; a legutóbbit hoznám vissza.)" << 2
                                               << QStringList{"*.recovery", "*.recovery"};
        QTest::addRow("damaged") << "damaged" << restore << asked << 0 << QStringList{"*.recovery.sérült"};
        QTest::addRow("control characters in the opened name") << "control characters in the name" << restore << asked << 2
                                                                << QStringList{"*.recovery"};
        QTest::addRow("an edit open, typed into") << "typed" << restore << asked << 2 << QStringList{"*.recovery"};
        QTest::addRow("a full folder: no lock, asked all the same") << "full folder" << restore << asked << 2
                                                                     << QStringList{"*.recovery"};
    }
    void aLeftFileIsOfferedAtStart()
    {
        QFETCH(QString, left);
        QFETCH(QString, answer);
        QFETCH(QString, question);
        QFETCH(int, divs);
        QFETCH(QStringList, files);
        if (left == QLatin1String("typed"))
            leaveATypedFile();
        else
            leaveAFile();
        const QString folder = QString::fromStdString(RecoveryKeeper::folder());
        const QString first = folder + "/" + recoveryFiles().first();
        const QString orphanLock = folder + "/1-1.recovery.lock";   // a killed Prizmo's, its file gone
        lockByTheDead(orphanLock);
        if (left == QLatin1String("two"))
            leaveAFile();
        else if (left == QLatin1String("stale lock"))
            lockByTheDead(first + ".lock");
        else if (left == QLatin1String("damaged"))
            QVERIFY(QFile::resize(first, 40));
        else if (left == QLatin1String("control characters in the name")) {
            std::string bytes = *readBytes(first);
            bytes.replace(bytes.find("megnyitott:"), 11, "megnyitott:/tmp/a%09b%0Ac.css");
            QVERIFY(writeBytes(QFile::encodeName(first).toStdString(), bytes));
        }

        FormDriver driver;
        TForm1& form = driver.form;
        if (!answer.isEmpty())
            driver.script.answer(answer == QStringLiteral("Eldobás") ? ChoiceAnswer::Second : ChoiceAnswer::First);
        const rlimit unlimited = fileSizeLimit();
        if (left == QLatin1String("full folder"))
            setFileSizeLimit(1);   // no room for a lock's few bytes
        form.offerRecovery();
        setFileSizeLimit(unlimited.rlim_cur);
        QVERIFY(!QFile::exists(orphanLock) || left == QLatin1String("full folder"));   // a full one, at a later start
        if (left == QLatin1String("full folder"))
            QCOMPARE(form.StatusText(), std::string("A visszaállítási mappa megtelt vagy nem írható"));
        if (left == QLatin1String("control characters in the name")) {
            QCOMPARE(form.SaveDialog1->FileName(), std::string("/tmp/a\tb\nc.css"));
            QVERIFY(form.windowTitle().startsWith(QStringLiteral("a␉b␊c.css")));
        }
        if (left == QLatin1String("typed")) {   // as it was when the signal came
            QVERIFY(form.Panel2->Visible() && form.editOpen());
            QCOMPARE(form.Edit1->Text(), std::string("555"));
            QCOMPARE(form.divs[1]->getWidth(), 100);
            return;
        }
        QCOMPARE(driver.script.questions, question.isEmpty() ? Texts{} : Texts{question.toStdString()});
        QCOMPARE(form.lastDiv + 1, divs);
        QCOMPARE(driver.script.messages.size(), std::size_t(!files.isEmpty() && files.first().endsWith(QStringLiteral("sérült")) ? 1 : 0));
        QStringList found = recoveryFiles();
        found.removeIf([](const QString& name) { return name.endsWith(QLatin1String(".lock")); });
        QCOMPARE(found.size(), files.size());
        for (qsizetype at = 0; at < files.size(); ++at)
            QVERIFY2(QDir::match(files[at], found[at]), qPrintable(found[at]));
        if (divs == 0)
            return;
        // As after "Megnyitás": panels closed, lists rebuilt, parents kept; but unsaved, and
        // saved to the bytes of what was composed.
        QVERIFY(!form.Panel1->Visible() && form.stylesheetUnsaved());
        QCOMPARE(driver.entries(form.ComboBox3), (Texts{"div0", "div1"}));
        QCOMPARE(form.divs[1]->getParent(), 0);
        QTemporaryDir saved;
        const QString name = saved.filePath(QStringLiteral("visszaállított.css"));
        driver.script.confirmFile(name.toStdString());
        driver.openSavePanel();
        driver.save();
        QCOMPARE(*readBytes(name), styleSheet(ModelBody{.fontSize = 16}, {{.width = 600}, {}}));
        form.Recovery->waitForWrites();
        QCOMPARE(keptFiles(), files.size() - 1);
    }

    // A full disk or a read-only home never stops the work: one line says so until a write
    // succeeds again.
    void aFolderThatTakesNothingShowsOneLine()
    {
        // A first write cut short (a full disk, a quota) leaves no file for the next start.
        {
            FormDriver driver;
            compose(driver);
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit was {};
            getrlimit(RLIMIT_FSIZE, &was);
            rlimit small = was;
            small.rlim_cur = 256;   // room for the lock, not for the stylesheet
            setrlimit(RLIMIT_FSIZE, &small);
            driver.form.Recovery->writeNow();
            setrlimit(RLIMIT_FSIZE, &was);
            QCOMPARE(keptFiles(), 0);
            QTRY_COMPARE_WITH_TIMEOUT(driver.form.StatusText(), std::string("A visszaállítási fájl nem írható"), patienceMs);
        }
        const QString blocked = state.filePath(QStringLiteral("blocked"));
        QFile(blocked).open(QIODevice::WriteOnly);   // a file where the folder would be
        qputenv("XDG_STATE_HOME", QFile::encodeName(blocked));
        FormDriver driver;
        TForm1& form = driver.form;
        compose(driver);
        QTRY_COMPARE_WITH_TIMEOUT(form.StatusText(), std::string("A visszaállítási fájl nem írható"), patienceMs);
        driver.newDiv();
        driver.done();
        form.Recovery->writeNow();
        QVERIFY(driver.script.messages.empty());
        QCOMPARE(form.StatusText(), std::string("A visszaállítási fájl nem írható"));

        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
        form.Recovery->writeNow();
        QTRY_COMPARE_WITH_TIMEOUT(form.StatusText(), std::string(), patienceMs);
    }
};

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
