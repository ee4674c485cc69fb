#pragma once

#include "platform/Interaction.h"

#include <QObject>

#include <functional>
#include <string>
#include <vector>

// The non-visual dialog components. Each lives as long as its form and remembers the last
// value the person confirmed; a cancelled run keeps it.
class TCommonDialog : public QObject
{
public:
    explicit TCommonDialog(QWidget* owner, const char* name);

protected:
    QWidget* owner() const;
};

class TColorDialog : public TCommonDialog
{
public:
    using TCommonDialog::TCommonDialog;

    bool Execute();              // true when the person confirmed a colour
    TColor Color() const { return color; }

private:
    TColor color = 0;            // black until the first confirmed choice
};

class TFileDialog : public TCommonDialog
{
public:
    bool Execute();              // true when the person confirmed a file name
    std::string FileName() const { return fileName; }
    void SetFileName(const std::string& name) { fileName = name; }
    // The kinds of file offered, such as "Stíluslapok (*.css)"; none: every file.
    void SetFilter(std::vector<std::string> kinds) { filters = std::move(kinds); }
    // Added to a name typed without a suffix; empty: nothing is added.
    void SetDefaultExt(const std::string& suffix) { defaultSuffix = suffix; }

protected:
    TFileDialog(QWidget* owner, const char* name, FileDialogKind kind);

private:
    FileDialogKind kind;
    std::string fileName;        // full path; empty until the first confirmed choice
    std::vector<std::string> filters;
    std::string defaultSuffix;
};

class TOpenDialog : public TFileDialog
{
public:
    TOpenDialog(QWidget* owner, const char* name) : TFileDialog(owner, name, FileDialogKind::Open) {}
};

class TSaveDialog : public TFileDialog
{
public:
    TSaveDialog(QWidget* owner, const char* name) : TFileDialog(owner, name, FileDialogKind::Save) {}
};

class TOpenPictureDialog : public TFileDialog
{
public:
    TOpenPictureDialog(QWidget* owner, const char* name)
        : TFileDialog(owner, name, FileDialogKind::OpenPicture)
    {
    }
};

// A modal box with the text and an OK button; `detail`, when given, stands beneath the text.
void ShowMessage(const std::string& text, const std::string& detail = {});

// A modal question whether to save first, with Save (the default), Discard and Cancel.
SaveAnswer AskToSave(const std::string& text);

// A modal question with Yes and No (the default); true for Yes.
bool AskYesNo(const std::string& text);
// A modal question with two named answers, the first the default, and a third that puts it
// off (also Escape and closing the box).
ChoiceAnswer AskChoice(const std::string& text, const std::string& first, const std::string& second,
                       const std::string& later);

// Runs `work` on a thread of its own while the window waits (see
// Interaction::waitWithProgress), and rethrows what escaped it here. False when the person
// pressed "Mégse" or the program is ending: the work was told to stop, and whatever it made
// is to be dropped.
bool RunWithProgress(const std::string& text, const std::function<void(WorkProgress&)>& work);
