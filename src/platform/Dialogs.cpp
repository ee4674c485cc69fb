#include "platform/Dialogs.h"

#include "platform/Conversions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include <exception>
#include <thread>

#include <sys/stat.h>

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

namespace {

// A name as the dialogs show it: bytes that are no UTF-8 stand replaced, as the path made
// absolute the way the dialogs hand a chosen name back.
QString shownPath(const std::string& name)
{
    return QDir::cleanPath(QFileInfo(QString::fromStdString(WithVisibleControls(name))).absoluteFilePath());
}

// Whether the dialog shows the name as its own bytes: UTF-8 with no control character.
bool showsAsItIs(const std::string& name)
{
    return QString::fromStdString(name).toStdString() == name && WithVisibleControls(name) == name;
}

} // namespace

bool TFileDialog::Execute()
{
    const auto chosen = Interaction::current().chooseFile(owner(), {kind, WithVisibleControls(fileName), filters, defaultSuffix});
    if (!chosen)
        return false;
    // A name that is no UTF-8, or holds a control character, came back as the text it was
    // shown as: kept, it stands for its own bytes, and the dialog, which looked for the shown
    // text, did not see that it exists.
    if (!fileName.empty() && !showsAsItIs(fileName) && shownPath(*chosen) == shownPath(fileName)) {
        struct stat status {};
        if (kind == FileDialogKind::Save && ::stat(fileName.c_str(), &status) == 0) {
            const QString question = QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
                                         .arg(QFileInfo(QString::fromStdString(WithVisibleControls(fileName))).fileName());
            return AskYesNo(question.toStdString());
        }
        return true;
    }
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

ChoiceAnswer AskChoice(const std::string& text, const std::string& first, const std::string& second,
                       const std::string& later)
{
    return Interaction::current().askChoice(text, first, second, later);
}

bool RunWithProgress(const std::string& text, const std::function<void(WorkProgress&)>& work)
{
    WorkProgress progress;
    std::atomic<bool> finished{false};
    std::exception_ptr escaped;
    std::thread worker([&] {
        try {
            work(progress);
        } catch (...) {
            escaped = std::current_exception();
        }
        finished = true;
        // Wakes the waiting loop, which then sees the end at once rather than at its next tick.
        if (QCoreApplication* application = QCoreApplication::instance())
            QMetaObject::invokeMethod(application, [] {}, Qt::QueuedConnection);
    });
    Interaction::current().waitWithProgress(text, progress, [&finished] { return finished.load(); });
    if (!finished)
        progress.cancelled = true;   // the program is ending
    worker.join();
    if (escaped)
        std::rethrow_exception(escaped);
    return !progress.cancelled;
}
