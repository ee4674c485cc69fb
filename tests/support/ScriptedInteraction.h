#pragma once

#include "platform/Interaction.h"

#include <deque>
#include <memory>
#include <string>
#include <variant>
#include <vector>

// Stands in for the person at the boxes and dialogs: records what was shown and answers each
// dialog and question from a queue. One with no answer queued is recorded and cancelled.
class ScriptedInteraction final : public Interaction
{
public:
    struct Cancel {};
    using Answer = std::variant<Cancel, TColor, std::string, SaveAnswer, YesNoAnswer, ChoiceAnswer>;

    void confirmColor(TColor color) { answers.emplace_back(color); }
    void confirmFile(const std::string& path) { answers.emplace_back(path); }
    void cancel() { answers.emplace_back(Cancel{}); }
    void answer(SaveAnswer saveAnswer) { answers.emplace_back(saveAnswer); }
    void answer(YesNoAnswer yesNo) { answers.emplace_back(yesNo); }
    void answer(ChoiceAnswer choice) { answers.emplace_back(choice); }
    // The next wait for work on another thread is cancelled at once (as "Mégse").
    void cancelNextProgress() { cancellingProgress = true; }

    std::vector<std::string> messages;      // ShowMessage texts, in order
    std::vector<std::string> details;       // what stood beneath each of them ("" for none)
    std::vector<std::string> exceptions;    // exception reports, in order
    std::vector<std::string> questions;     // askToSave, askYesNo and askChoice texts, in order
    std::vector<std::string> dialogRuns;    // "colour", "open", "save" (or "save .html" with a
                                            // default suffix) or "picture", in order
    int unanswered = 0;                     // dialogs run with no answer queued
    std::size_t pendingAnswers() const { return answers.size(); }

    void showMessage(const std::string& text, const std::string& detail) override
    {
        messages.push_back(text);
        details.push_back(detail);
    }
    void showException(const std::string& text) override { exceptions.push_back(text); }
    SaveAnswer askToSave(const std::string& text) override;
    YesNoAnswer askYesNo(const std::string& text) override;
    // No answer queued is Escape: put off.
    ChoiceAnswer askChoice(const std::string& text, const std::string& first, const std::string& second,
                           const std::string& later) override;
    std::optional<TColor> chooseColor(QWidget* owner, TColor current) override;
    std::optional<std::string> chooseFile(QWidget* owner, const FileDialogRequest& request) override;
    // Waits for the work, or cancels it first when that was asked for.
    void waitWithProgress(const std::string& text, WorkProgress& progress, const std::function<bool()>& finished) override;
    int progressWaits = 0;

private:
    bool cancellingProgress = false;
    Answer next();
    // The queued answer of the question's kind, or `escaped` (as Escape) when none is queued.
    template <typename Reply>
    Reply question(const std::string& text, Reply escaped);
    std::deque<Answer> answers;
};

// Installs a scripted interaction for one scope and puts the previous one back afterwards.
class ScriptedScope
{
    std::unique_ptr<Interaction> previous;   // first: filled while `script` is initialised

public:
    ScriptedScope();
    ~ScriptedScope();
    ScriptedScope(const ScriptedScope&) = delete;
    ScriptedScope& operator=(const ScriptedScope&) = delete;

    ScriptedInteraction& script;
};
