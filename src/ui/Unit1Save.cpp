// The save panel: recording which div belongs to which, and writing the stylesheet.

#include "ui/Unit1.h"

#include "output/OutputFile.h"
#include "output/StyleSheetWriter.h"

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
    if (child >= 0 && child <= lastDiv)
        divs[child]->setParent(parent);
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
    if (!SaveDialog1->Execute())
        return false;
    // Nothing is released unless the whole stylesheet reached the file.
    if (const auto failure = writeStyleSheet(SaveDialog1->FileName())) {
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
    switch (AskToSave("A stíluslap még nincs elmentve. Elmented?")) {
    case SaveAnswer::Save: return saveStyleSheet();
    case SaveAnswer::Discard: return true;
    case SaveAnswer::Cancel: break;
    }
    return false;
}

void TForm1::FormCloseQuery(bool& CanClose)
{
    CanClose = mayDropStyleSheet();
    refreshView();
}

std::optional<std::string> TForm1::writeStyleSheet(const std::string& fileName)
{
    outFile = std::make_unique<OutputFile>(fileName);
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
    for (std::int32_t number = 0; number <= lastDiv; ++number)
        divs[number].reset();
    body.reset();
    lastDiv = -1;
    changedSinceSave = false;
    openedFileName.clear();
    Button3->SetEnabled(false);
    ComboBox3->Clear();
    ComboBox4->Clear();
}
