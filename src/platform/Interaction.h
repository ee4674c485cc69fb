#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

// A colour as the colour dialogs give it: red in the lowest byte, green in the next, blue in
// the third; the highest byte is unused.
using TColor = std::uint32_t;

enum class FileDialogKind { Open, Save, OpenPicture };

// What a file dialog is run with.
struct FileDialogRequest {
    FileDialogKind kind;
    std::string current;                  // the name chosen last, or empty
    std::vector<std::string> filters;     // such as "Stíluslapok (*.css)"; none: all files
    std::string defaultSuffix;            // added to a name typed without one; empty: none
};

// The answers to "save before going on?".
enum class SaveAnswer { Save, Discard, Cancel };

enum class YesNoAnswer { Yes, No };

// The answers to a question with two named answers and one that puts it off.
enum class ChoiceAnswer { First, Second, Later };

// How far work on a thread of its own has come, and whether the person asked it to stop.
struct WorkProgress {
    std::atomic<double> done{0};   // 0 to 1
    std::atomic<bool> cancelled{false};
};

// Every message box and every dialog's modal run goes through the one installed Interaction.
// The program installs nothing and gets the real Qt boxes and dialogs; tests install a
// scripted one that records what was shown and answers the dialogs.
class Interaction
{
public:
    virtual ~Interaction() = default;

    // `detail`, when there is one, stands beneath the text (such as the system's reason).
    virtual void showMessage(const std::string& text, const std::string& detail) = 0;
    virtual void showException(const std::string& text) = 0;

    // A question with Save (the default), Discard and Cancel (also Escape).
    virtual SaveAnswer askToSave(const std::string& text) = 0;
    // A question with Yes and No (the default, also Escape).
    virtual YesNoAnswer askYesNo(const std::string& text) = 0;
    // A question with two named answers, `first` the default, and `later`, which is also
    // Escape, closing the box, and a box that ended without an answer (the program ending).
    virtual ChoiceAnswer askChoice(const std::string& text, const std::string& first, const std::string& second,
                                   const std::string& later) = 0;

    // Empty when the person cancelled.
    virtual std::optional<TColor> chooseColor(QWidget* owner, TColor current) = 0;
    virtual std::optional<std::string> chooseFile(QWidget* owner, const FileDialogRequest& request) = 0;

    // While work runs on another thread: the windows repaint, take no input, and after half
    // a second a progress dialog with "Mégse" shows `text` and how far the work has come.
    // Returns once `finished` is true, or at once when the program is ending.
    virtual void waitWithProgress(const std::string& text, WorkProgress& progress,
                                  const std::function<bool()>& finished) = 0;

    static Interaction& current();

    // Returns the one it replaces, so that a test can put it back.
    static std::unique_ptr<Interaction> install(std::unique_ptr<Interaction> replacement);
};
