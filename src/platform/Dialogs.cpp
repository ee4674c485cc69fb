#include "platform/Dialogs.h"

#include <QWidget>

TCommonDialog::TCommonDialog(QWidget* owner, const char* name) : QObject(owner)
{
    setObjectName(QString::fromLatin1(name));
}

QWidget* TCommonDialog::owner() const
{
    return qobject_cast<QWidget*>(parent());
}

bool TColorDialog::Execute()
{
    const auto chosen = Interaction::current().chooseColor(owner(), color);
    if (!chosen)
        return false;
    color = *chosen;
    return true;
}

TFileDialog::TFileDialog(QWidget* owner, const char* name, FileDialogKind kind)
    : TCommonDialog(owner, name), kind(kind)
{
}

bool TFileDialog::Execute()
{
    const auto chosen = Interaction::current().chooseFile(owner(), {kind, fileName, filters, defaultSuffix});
    if (!chosen)
        return false;
    fileName = *chosen;
    return true;
}

void ShowMessage(const std::string& text, const std::string& detail)
{
    Interaction::current().showMessage(text, detail);
}

SaveAnswer AskToSave(const std::string& text)
{
    return Interaction::current().askToSave(text);
}

bool AskYesNo(const std::string& text)
{
    return Interaction::current().askYesNo(text) == YesNoAnswer::Yes;
}

bool AskChoice(const std::string& text, const std::string& yes, const std::string& no)
{
    return Interaction::current().askChoice(text, yes, no) == YesNoAnswer::Yes;
}
