#include "ScriptedInteraction.h"

#include <thread>
#include <utility>

ScriptedInteraction::Answer ScriptedInteraction::next()
{
    if (answers.empty()) {
        ++unanswered;
        return Cancel{};
    }
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

template <typename Reply>
Reply ScriptedInteraction::question(const std::string& text, Reply escaped)
{
    questions.push_back(text);
    const Answer answer = next();
    if (const auto* reply = std::get_if<Reply>(&answer))
        return *reply;
    if (!std::holds_alternative<Cancel>(answer))
        ++unanswered;   // another kind of answer queued for this question: the script is wrong
    return escaped;
}

SaveAnswer ScriptedInteraction::askToSave(const std::string& text)
{
    return question(text, SaveAnswer::Cancel);
}

YesNoAnswer ScriptedInteraction::askYesNo(const std::string& text)
{
    return question(text, YesNoAnswer::No);
}

ChoiceAnswer ScriptedInteraction::askChoice(const std::string& text, const std::string&, const std::string&,
                                            const std::string&)
{
    return question(text, ChoiceAnswer::Later);
}

std::optional<TColor> ScriptedInteraction::chooseColor(QWidget*, TColor)
{
    dialogRuns.emplace_back("colour");
    const Answer answer = next();
    if (const auto* color = std::get_if<TColor>(&answer))
        return *color;
    if (!std::holds_alternative<Cancel>(answer))
        ++unanswered;   // another kind of answer queued for a colour dialog: the script is wrong
    return std::nullopt;
}

std::optional<std::string> ScriptedInteraction::chooseFile(QWidget*, const FileDialogRequest& request)
{
    switch (request.kind) {
    case FileDialogKind::Open: dialogRuns.emplace_back("open"); break;
    case FileDialogKind::Save:
        dialogRuns.emplace_back(request.defaultSuffix.empty() ? "save" : "save ." + request.defaultSuffix);
        break;
    case FileDialogKind::OpenPicture: dialogRuns.emplace_back("picture"); break;
    }
    const Answer answer = next();
    if (const auto* path = std::get_if<std::string>(&answer))
        return *path;
    if (!std::holds_alternative<Cancel>(answer))
        ++unanswered;
    return std::nullopt;
}

namespace {

ScriptedInteraction& installScripted(std::unique_ptr<Interaction>& previous)
{
    auto scripted = std::make_unique<ScriptedInteraction>();
    ScriptedInteraction& reference = *scripted;
    previous = Interaction::install(std::move(scripted));
    return reference;
}

} // namespace

ScriptedScope::ScriptedScope() : script(installScripted(previous)) {}

ScriptedScope::~ScriptedScope()
{
    Interaction::install(std::move(previous));
}

void ScriptedInteraction::waitWithProgress(const std::string&, WorkProgress& progress, const std::function<bool()>& finished)
{
    ++progressWaits;
    if (std::exchange(cancellingProgress, false))
        progress.cancelled = true;
    while (!finished())
        std::this_thread::yield();
}
