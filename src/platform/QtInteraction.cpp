#include "platform/QtInteraction.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QColorDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <cmath>
#include <initializer_list>
#include <memory>

namespace {

QColor toQColor(TColor color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor fromQColor(const QColor& color)
{
    return static_cast<TColor>(color.red()) | static_cast<TColor>(color.green()) << 8
        | static_cast<TColor>(color.blue()) << 16;
}

// The picture formats Qt can read, then all files.
QStringList pictureFilters()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return {QStringLiteral("Képek (%1)").arg(patterns.join(QLatin1Char(' '))),
            QStringLiteral("Minden fájl (*)")};
}

// A box stands over the window it speaks of, not in the middle of the screen.
QWidget* boxOwner()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && qobject_cast<QMainWindow*>(window))
            return window;
    return nullptr;
}

// A box's texts may hold what a file or the clipboard held: they show as plain text, never
// as markup (which could fetch pictures or change how the box looks).
void showAsPlainText(QMessageBox& box)
{
    box.setTextFormat(Qt::PlainText);
    for (QLabel* label : box.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
}

// Prizmo's own boxes speak Hungarian in any locale, their buttons too.
void nameButtons(QMessageBox& box, std::initializer_list<std::pair<QMessageBox::StandardButton, const char*>> names)
{
    for (const auto& [button, name] : names)
        box.button(button)->setText(QString::fromUtf8(name));
}

// The program sets no caption of its own: the box carries the application's name.
void showBox(QMessageBox::Icon icon, const std::string& text, const std::string& detail = {})
{
    QMessageBox box(icon, QApplication::applicationDisplayName(), QString::fromStdString(text),
                    QMessageBox::Ok, boxOwner());
    if (!detail.empty())
        box.setInformativeText(QString::fromStdString(detail));
    showAsPlainText(box);
    box.exec();
}

} // namespace

void QtInteraction::showMessage(const std::string& text, const std::string& detail)
{
    showBox(QMessageBox::NoIcon, text, detail);
}

void QtInteraction::showException(const std::string& text)
{
    showBox(QMessageBox::Critical, text);
}

SaveAnswer QtInteraction::askToSave(const std::string& text)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(),
                    QString::fromStdString(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, boxOwner());
    nameButtons(box, {{QMessageBox::Save, "Mentés"}, {QMessageBox::Discard, "Eldobás"}, {QMessageBox::Cancel, "Mégse"}});
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    showAsPlainText(box);
    switch (box.exec()) {
    case QMessageBox::Save: return SaveAnswer::Save;
    case QMessageBox::Discard: return SaveAnswer::Discard;
    default: return SaveAnswer::Cancel;
    }
}

YesNoAnswer QtInteraction::askYesNo(const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, boxOwner());
    nameButtons(box, {{QMessageBox::Yes, "&Igen"}, {QMessageBox::No, "&Nem"}});
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    showAsPlainText(box);
    return box.exec() == QMessageBox::Yes ? YesNoAnswer::Yes : YesNoAnswer::No;
}

ChoiceAnswer QtInteraction::askChoice(const std::string& text, const std::string& first, const std::string& second,
                                      const std::string& later)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), QString::fromStdString(text),
                    QMessageBox::NoButton, boxOwner());
    QPushButton* firstButton = box.addButton(QString::fromStdString(first), QMessageBox::AcceptRole);
    QPushButton* secondButton = box.addButton(QString::fromStdString(second), QMessageBox::DestructiveRole);
    QPushButton* laterButton = box.addButton(QString::fromStdString(later), QMessageBox::RejectRole);
    box.setDefaultButton(firstButton);
    box.setEscapeButton(laterButton);
    showAsPlainText(box);
    box.exec();
    // A box whose event loop ended with the program's was not answered.
    if (box.clickedButton() == firstButton)
        return ChoiceAnswer::First;
    return box.clickedButton() == secondButton ? ChoiceAnswer::Second : ChoiceAnswer::Later;
}

std::optional<TColor> QtInteraction::chooseColor(QWidget* owner, TColor current)
{
    QColorDialog dialog(toQColor(current), owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return fromQColor(dialog.selectedColor());
}

std::optional<std::string> QtInteraction::chooseFile(QWidget* owner, const FileDialogRequest& request)
{
    QFileDialog dialog(owner);
    switch (request.kind) {
    case FileDialogKind::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);   // Qt asks before a file is replaced
        dialog.setFileMode(QFileDialog::AnyFile);
        break;
    case FileDialogKind::OpenPicture:
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(pictureFilters());
        break;
    case FileDialogKind::Open:
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    }
    if (!request.filters.empty()) {
        QStringList filters;
        for (const std::string& filter : request.filters)
            filters << QString::fromStdString(filter);
        dialog.setNameFilters(filters);
    }
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
    if (!request.current.empty())
        dialog.selectFile(QString::fromStdString(request.current));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

void QtInteraction::waitWithProgress(const std::string& text, WorkProgress& progress, const std::function<bool()>& finished)
{
    constexpr int dialogAfterMs = 500;
    QEventLoop loop;
    QTimer tick;
    QElapsedTimer waited;
    std::unique_ptr<QProgressDialog> dialog;
    bool quitByUs = false;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (finished() || (!dialog && waited.elapsed() >= dialogAfterMs)) {
            quitByUs = true;
            loop.quit();
        } else if (dialog) {
            dialog->setValue(static_cast<int>(std::lround(progress.done.load() * 100)));
        }
    });
    // The work's end wakes the loop (RunWithProgress posts to it): seen at once, not at a tick.
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, &loop, [&] {
        if (finished()) {
            quitByUs = true;
            loop.quit();
        }
    });
    waited.start();
    tick.start(20);
    // No input meanwhile: what is clicked waits until the work is done.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!std::exchange(quitByUs, false) || finished())
        return;   // done, or the program is ending
    dialog = std::make_unique<QProgressDialog>(QString::fromStdString(text), QStringLiteral("Mégse"), 0, 100, boxOwner());
    dialog->setWindowModality(Qt::ApplicationModal);   // the person can only cancel
    dialog->setMinimumDuration(0);
    dialog->setAutoReset(false);
    dialog->setAutoClose(false);
    QObject::connect(dialog.get(), &QProgressDialog::canceled, &loop, [&progress, &loop] {
        progress.cancelled = true;
        loop.quit();
    });
    dialog->setValue(static_cast<int>(std::lround(progress.done.load() * 100)));
    dialog->show();
    loop.exec();
    // After "Mégse" the work winds down, and nothing else may start before it has.
    if (progress.cancelled && !finished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
}
