// The recovery file: what is unsaved is kept in the user's state folder as it changes, so
// that a Prizmo that is killed or crashes loses at most the last 2 seconds; the next start
// offers it back.

#include "ui/Unit1.h"

#include "input/InputFile.h"
#include "input/RecoveryReader.h"
#include "output/SaveJournal.h"
#include "platform/Application.h"
#include "platform/Conversions.h"
#include "recovery/RecoveryKeeper.h"
#include "ui/WindowStep.h"

#include <charconv>
#include <filesystem>

void TForm1::createRecovery()
{
    Recovery = new RecoveryKeeper(
        this, records,
        [this]() -> std::optional<RecoveryKeeper::BesideRecords> {
            if (!stylesheetUnsaved() && !typedSinceLastStep())
                return std::nullopt;
            return RecoveryKeeper::BesideRecords{ruleName(panelsRule()), openedFileName,
                                                 editOpen() ? typedValues() : std::vector<std::string>()};
        },
        [this](RecoveryKeeper::Trouble trouble) {
            switch (trouble) {
            case RecoveryKeeper::Trouble::None: recoveryStatus.clear(); break;
            case RecoveryKeeper::Trouble::CannotWrite: recoveryStatus = "A visszaállítási fájl nem írható"; break;
            case RecoveryKeeper::Trouble::FolderFull: recoveryStatus = "A visszaállítási mappa megtelt vagy nem írható"; break;
            }
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
    // A save cut short in place first: its file gets its old content back, and the
    // recovery file below, when there is one, offers the new.
    for (const std::string& mended : mendInterruptedSaves())
        ShowMessage("A(z) " + std::filesystem::path(mended).filename().string()
                        + " mentése félbeszakadt, ezért visszatettem a korábbi tartalmát:",
                    mended);
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
        // An edit that was open comes back open, with what was typed into it.
        if (!recovered->typed.empty()) {
            reopenRule(ruleNamed(recovered->panelsRule, body != nullptr, lastDiv));
            if (editOpen())
                retype(recovered->typed);
        }
    });
    // Should the restore have failed (no memory), the file stays for the next start.
    if (body || lastDiv >= 0)
        Recovery->adopt(std::move(*left));
}

std::vector<std::string> TForm1::typedValues() const
{
    const ControlsState state = controlsNow();
    std::vector<std::string> typed = state.edits;
    for (const ControlsState::List& list : state.lists) {
        typed.push_back(std::to_string(list.index));
        typed.push_back(list.text);
    }
    typed.push_back(state.colour ? "1" : "0");
    typed.insert(typed.end(), state.dock.begin(), state.dock.end());
    return typed;
}

void TForm1::retype(const std::vector<std::string>& typed)
{
    const std::size_t panels = controlsNow().edits.size() + 2 * controlsNow().lists.size() + 1;
    ControlsState state = controlsNow();
    if (typed.size() != panels && typed.size() != panels + state.dock.size())
        return;   // kept by panels of another shape
    auto at = typed.begin();
    for (std::string& edit : state.edits)
        edit = *at++;
    for (ControlsState::List& list : state.lists) {
        const std::string& index = *at++;
        if (std::from_chars(index.data(), index.data() + index.size(), list.index).ec != std::errc())
            list.index = -1;
        list.text = *at++;
    }
    state.colour = *at++ == "1";
    state.dock.assign(at, typed.end());
    restoreControls(state);
}

void TForm1::endBySignal()
{
    Recovery->writeNow();
    Recovery->keepForNextStart();
    Application->EndNow();
}
