// The recovery file: what is unsaved is kept in the user's state folder as it changes, so
// that a Prizmo that is killed or crashes loses at most the last 2 seconds; the next start
// offers it back.

#include "ui/Unit1.h"

#include "input/InputFile.h"
#include "input/RecoveryReader.h"
#include "output/RecoveryWriter.h"
#include "platform/Application.h"
#include "platform/Conversions.h"
#include "recovery/RecoveryKeeper.h"

void TForm1::createRecovery()
{
    Recovery = new RecoveryKeeper(
        this,
        [this]() -> std::optional<std::string> {
            if (!stylesheetUnsaved())
                return std::nullopt;
            return recoveryText(body.get(), liveDivs(), ruleName(panelsRule()), openedFileName);
        },
        [this](bool failing) {
            recoveryStatus = failing ? "A visszaállítási fájl nem írható" : "";
            showStatus();
        });
    addFollower(Recovery);
}

void TForm1::keepRecoveryNow()
{
    Recovery->writeNow();
}

void TForm1::showStatus()
{
    std::string text;
    for (const std::string* part : {&commandStatus, &previewStatus, &recoveryStatus})
        if (!part->empty())
            text += (text.empty() ? "" : " · ") + *part;
    SetStatusText(text);
}

void TForm1::offerRecovery()
{
    std::optional<RecoveryKeeper::Left> left = Recovery->takeNewestLeft();
    if (!left)
        return;
    std::string question = "Egy korábbi, el nem mentett stíluslap maradt itt. Visszaállítsam?";
    if (left->count > 1)
        question += "\n(" + IntToStr(left->count) + " ilyen maradt; a legutóbbit hoznám vissza.)";
    // Only "Eldobás" discards: Escape, closing the box or the program ending meanwhile
    // leave the file, unlocked, for the next start.
    switch (AskChoice(question, "Visszaállítás", "Eldobás", "Később")) {
    case ChoiceAnswer::First: break;
    case ChoiceAnswer::Second: RecoveryKeeper::discard(std::move(*left)); return;
    case ChoiceAnswer::Later: return;
    }
    const auto bytes = readRegularFile(left->path);
    std::optional<RecoveredStyleSheet> recovered = bytes ? readRecovery(*bytes) : std::nullopt;
    if (!recovered) {
        const std::string aside = RecoveryKeeper::moveAside(std::move(*left));
        ShowMessage("A visszaállítási fájl sérült, nem tudom visszaállítani. Félretettem ide:", aside);
        return;
    }
    runCommand("Visszaállítás", [this, &recovered] {
        takeOver(std::move(recovered->records));
        openedFileName = recovered->openedFileName;
        if (!openedFileName.empty())
            offerSaveNames(openedFileName, isWebPageFile(openedFileName));
    });
    // Should the restore have failed (no memory), the file stays for the next start.
    if (body || lastDiv >= 0)
        Recovery->adopt(std::move(*left));
}

void TForm1::endBySignal()
{
    Recovery->writeNow();
    Recovery->keepForNextStart();
    Application->EndNow();
}
