// The nesting panel's "Weboldal": the stylesheet as a web page a browser shows as composed.
// It is no save: the records stay, and so does whatever is unsaved.

#include "ui/Unit1.h"

#include "output/OutputFile.h"
#include "output/WebPageWriter.h"

#include <filesystem>

// Refused while an edit is open (the layout's button table).
void TForm1::Button6Click()
{
    if (!SaveDialog2->Execute())
        return;
    const std::filesystem::path name(SaveDialog2->FileName());
    OutputFile page(name.string());
    if (page.isOpen())
        page.write(webPage(name.stem().string(), body.get(), liveDivs(),
                           std::filesystem::absolute(name).parent_path().string()));
    if (!page.close())
        ShowMessage("A weboldalt nem sikerült menteni", page.failureReason());
}
