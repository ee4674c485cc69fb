// "Fájl" → "Megnyitás": a stylesheet or a web page read back takes the place of what the
// window held.

#include "ui/Unit1.h"

#include "input/InputFile.h"
#include "input/StyleSheetReader.h"
#include "platform/Conversions.h"

#include <algorithm>
#include <filesystem>
#include <cerrno>
#include <cstring>

void TForm1::Megynits1Click()
{
    // Refused while an edit is open (the layout's menu table): its typed values would be
    // lost with the records they belong to.
    if (!mayDropStyleSheet())
        return;
    keepRecoveryNow();
    if (!OpenDialog1->Execute())
        return;
    openStyleSheet(OpenDialog1->FileName());
}

void TForm1::openAtStart(const std::string& fileName)
{
    if (mayDropStyleSheet())
        openStyleSheet(fileName);
}

// Read on a thread of its own, so that a large file never freezes the window; "Mégse" leaves
// the window as it was, and the records are taken over here, in one step.
void TForm1::openStyleSheet(const std::string& fileName)
{
    StyleSheetFileReading read;
    const bool completed = RunWithProgress("Olvasom a stíluslapot…", [&fileName, &read](WorkProgress& progress) {
        read = readStyleSheetFile(fileName, [&progress](double done) {
            progress.done = done;
            return !progress.cancelled.load();
        });
    });
    if (!completed)
        return;
    if (read.error != 0) {
        ShowMessage("A fájl nem nyitható meg", std::strerror(read.error));
        return;
    }
    if (read.page) {
        openWebPage(fileName, std::move(*read.page));
        return;
    }
    StyleSheetReading& reading = read.reading;
    if (!reading.records) {
        ShowMessage("Ez nem Prizmo stíluslap (hibás sor: " + IntToStr(reading.badLine) + ")");
        return;
    }
    takeOver(std::move(*reading.records));
    offerSaveNames(fileName, false);
    openedFileName = fileName;
    savedThisCommand = true;
}

void TForm1::openWebPage(const std::string& fileName, WebPageReading page)
{
    if (!page.records) {
        ShowMessage("Ebből a weboldalból semmi sem olvasható be", page.refusal);
        return;
    }
    takeOver(std::move(*page.records));
    offerSaveNames(fileName, true);
    openedFileName = fileName;
    savedThisCommand = true;
    if (!page.leftOut.empty())
        ShowMessage(page.leftOut);
}

void TForm1::offerSaveNames(const std::string& opened, bool webPage)
{
    if (!webPage) {
        SaveDialog1->SetFileName(opened);
        return;
    }
    // Never the page itself, whatever its name: a stylesheet saved over it would lose the page.
    std::filesystem::path styleSheet = std::filesystem::path(opened).replace_extension(".css");
    if (styleSheet == opened)
        styleSheet.replace_filename(styleSheet.stem().string() + "-stíluslap.css");
    SaveDialog1->SetFileName(styleSheet.string());
    SaveDialog2->SetFileName(opened);
}

// Everything is made before anything is replaced, so that a lack of memory on the way
// leaves the window as it was.
void TForm1::takeOver(StyleSheetRecords records)
{
    auto openedBody = records.body ? std::make_unique<BodyStyle>(std::move(*records.body)) : nullptr;
    const auto opened = static_cast<std::int32_t>(records.divs.size());

    journalBody();
    journalReplacedSlots(std::max(static_cast<std::size_t>(lastDiv + 1), records.divs.size()));
    body = std::move(openedBody);
    if (records.divs.empty()) {
        for (std::int32_t number = 0; number <= lastDiv; ++number)
            divs[number].reset();
    } else {
        divs = std::move(records.divs);   // exactly one slot per div
    }
    lastDiv = opened - 1;
    reopenedDiv = -1;

    // The lists as "KÉSZ" leaves them after committing each div in turn.
    for (TComboBox* list : {ComboBox3, ComboBox4}) {
        list->SetItemCount(opened);
        list->SetItemIndex(lastDiv);
    }
    Button3->SetEnabled(false);
    Panel1->Hide();
    Panel2->Hide();
    Panel3->Hide();
}
