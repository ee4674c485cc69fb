#pragma once

#include "platform/Interaction.h"

// The real boxes and dialogs of Qt.
class QtInteraction final : public Interaction
{
public:
    void showMessage(const std::string& text, const std::string& detail) override;
    void showException(const std::string& text) override;
    SaveAnswer askToSave(const std::string& text) override;
    YesNoAnswer askYesNo(const std::string& text) override;
    ChoiceAnswer askChoice(const std::string& text, const std::string& first, const std::string& second,
                           const std::string& later) override;
    std::optional<TColor> chooseColor(QWidget* owner, TColor current) override;
    std::optional<std::string> chooseFile(QWidget* owner, const FileDialogRequest& request) override;
    void waitWithProgress(const std::string& text, WorkProgress& progress, const std::function<bool()>& finished) override;
};
