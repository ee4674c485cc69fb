#pragma once

#include "model/RecordsView.h"
#include "model/StyleSheetChange.h"

#include <QLockFile>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Keeps this Prizmo's recovery file in the user's state folder ($XDG_STATE_HOME/prizmo, else
// ~/.local/state/prizmo): written while the stylesheet is unsaved, at most once every
// 2 seconds and within 2 seconds of a change, and removed once nothing is unsaved. A lock
// file beside it tells every other Prizmo that it is taken.
//
// Between commands the GUI thread takes only a copy of the records (values are shared, so
// that costs nothing at any size); making the text from it, writing it (through the same
// safe replacement as a save) and removing the file happen in order on a thread of their
// own, so that a large stylesheet never holds up the window and a half-written file never
// replaces a good one.
class RecoveryKeeper : public QObject, public StyleSheetFollower
{
public:
    // What the file keeps of the window beside the records: the rule the panels stand for,
    // what its open edit holds as typed, and the file "Megnyitás" read.
    struct BesideRecords {
        std::string panelsRule, openedFileName;
        std::vector<std::string> typed;
    };
    // The window's now, or nothing when nothing is unsaved.
    using Beside = std::function<std::optional<BesideRecords>()>;
    // What keeps the file from being kept: a failed write, or a lock that could not be made
    // in the folder (a full disk, no permission).
    enum class Trouble { None, CannotWrite, FolderFull };
    // Told only when that changes.
    using Failing = std::function<void(Trouble)>;
    RecoveryKeeper(QObject* parent, const RecordsView& records, Beside beside, Failing failing);
    ~RecoveryKeeper() override;   // the file goes, unless keepForNextStart was called

    static std::string folder();

    // After every command: written within 2 seconds while unsaved, removed at once when not.
    void follow(const StyleSheetChange& change) override { changed(change.unsaved); }
    void changed(bool unsaved);
    void writeNow();                // before a dialog that can take long, and when ending by a signal
    // What the timer does: the text made here, written on the writing thread.
    void writeInBackground();
    void keepForNextStart() { keptForNextStart = true; }

    // A recovery file left by a Prizmo that no longer runs, and how many such files are there.
    struct Left {
        std::string path;
        std::unique_ptr<QLockFile> lock;   // held, so that no other Prizmo takes it meanwhile,
        int count = 0;                     // unless the folder takes no lock
    };
    // The newest such file; its lock is held from now on. A lock that cannot be made is no
    // running Prizmo's: its file is offered all the same, and the folder said to be full.
    // The locks of Prizmos that are gone, with or without a file, go.
    std::optional<Left> takeNewestLeft();
    // The left file becomes this Prizmo's own recovery file.
    void adopt(Left left);
    // The left file goes.
    static void discard(Left left);
    // A left file that cannot be read is kept under another name; that name.
    static std::string moveAside(Left left);

    // For tests and benchmarks: this Prizmo's file, and waiting until what was asked is done.
    const std::string& path() const { return ownPath; }
    void waitForWrites() { writer.waitForDone(); }

private:
    bool takeOwnFile();
    void tellTrouble(Trouble now);

    const RecordsView& records;
    Beside beside;
    Failing failing;
    QTimer due;
    QThreadPool writer;   // one thread: writes and removals keep their order
    std::string ownPath;
    std::unique_ptr<QLockFile> ownLock;
    bool written = false;   // the file holds a write, or one is on its way
    bool keptForNextStart = false;
    Trouble lastTrouble = Trouble::None;
};
