// The save panel: recording which div belongs to which, and writing the stylesheet.

#include "ui/Unit1.h"

#include "input/InputFile.h"
#include "output/OutputFile.h"
#include "output/StyleSheetWriter.h"
#include "platform/Application.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>

#include <sys/stat.h>

namespace {

// A regular file with something in it, which an empty stylesheet would wipe out.
bool holdsContent(const std::string& fileName)
{
    struct stat status {};
    return ::stat(fileName.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0;
}

} // namespace

void TForm1::Ments1Click()
{
    if (!divStorageExists())
        return;
    Panel3->Show();
    // An open edit keeps its panels, so that its "KÉSZ" stays within reach.
    if (!editOpen()) {
        Panel2->Hide();
        Panel1->Hide();
    }
}

void TForm1::Button4Click()
{
    const int child = ComboBox3->ItemIndex();
    const int parent = ComboBox4->ItemIndex();
    if (child == parent) {
        ShowMessage("Kérlek Ne Szopass!");
        return;
    }
    if (child >= 0 && child <= lastDiv && mayNestThatDeep(child, parent))
        changeDiv(child).setParent(parent);
}

void TForm1::Button5Click()
{
    saveStyleSheet();
}

bool TForm1::saveStyleSheet()
{
    // What is typed into an open edit reaches the record only with its "KÉSZ".
    if (editOpen()) {
        ShowMessage("Előbb nyomd meg a KÉSZ gombot!");
        return false;
    }
    keepRecoveryNow();   // the dialog may stay open for long
    if (!SaveDialog1->Execute())
        return false;
    const std::string fileName = SaveDialog1->FileName();
    // Qt's own question says only that the file exists; this one says what would be lost.
    if (!body && lastDiv < 0 && holdsContent(fileName)
        && !AskYesNo("Ez üres stíluslap: a(z) " + std::filesystem::path(fileName).filename().string()
                     + " tartalma elveszne. Felülírod?"))
        return false;
    if (isWebPageFile(fileName)
        && !AskYesNo("A(z) " + std::filesystem::path(fileName).filename().string()
                     + " weboldal: ha a stíluslapot a helyére mented, a weboldal elvész. Felülírod?"))
        return false;
    // Nothing is released unless the whole stylesheet reached the file.
    std::optional<std::string> failure;
    try {
        failure = writeStyleSheet(fileName);
    } catch (const std::bad_alloc&) {
        outFile.reset();   // which leaves the file as it was
        failure = std::strerror(ENOMEM);
    }
    if (failure) {
        ShowMessage("Memória hiba miatt nem ment", *failure);
        return false;
    }
    releaseStyleSheet();
    return true;
}

bool TForm1::mayDropStyleSheet()
{
    if (!stylesheetUnsaved())
        return true;
    keepRecoveryNow();
    switch (AskToSave("A stíluslap még nincs elmentve. Elmented?")) {
    case SaveAnswer::Save: return saveStyleSheet();
    case SaveAnswer::Discard: return true;
    case SaveAnswer::Cancel: break;
    }
    return false;
}

void TForm1::FormCloseQuery(bool& CanClose)
{
    runCommand("Mentés", [this, &CanClose] { CanClose = mayDropStyleSheet(); });
}

std::optional<std::string> TForm1::writeStyleSheet(const std::string& fileName)
{
    outFile = createOutputFile(fileName);
    // A pipe that takes its time must not freeze the window.
    outFile->setWhileWaiting([] { Application->ProcessMessagesExceptInput(); });
    if (outFile->isOpen())
        ::writeStyleSheet(*outFile, body.get(), liveDivs());
    std::optional<std::string> failure;
    if (!outFile->close())
        failure = outFile->failureReason();
    outFile.reset();
    return failure;
}

// Everything that named the released records goes with them: the open edit and the
// nesting lists' entries.
void TForm1::releaseStyleSheet()
{
    for (std::int32_t number = 0; number <= lastDiv; ++number) {
        journalSlot(static_cast<std::size_t>(number));
        divs[number].reset();
    }
    journalBody();
    body.reset();
    lastDiv = -1;
    reopenedDiv = -1;
    savedThisCommand = true;
    openedFileName.clear();
    Button3->SetEnabled(false);
    ComboBox3->Clear();
    ComboBox4->Clear();
}
