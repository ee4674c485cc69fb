#pragma once

#include "platform/Events.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <string>

class NumberedEntries;

// The window's controls. Each is the matching Qt widget, owned by its Qt parent, with the
// few operations the commands use. Texts are UTF-8.

// A tooltip of text from a file or the clipboard, shown as it is: Qt takes a tooltip that
// looks like markup for rich text, so the text is escaped into a paragraph of its own.
QString PlainToolTip(const std::string& text);

class TPanel : public QFrame
{
public:
    TPanel(QWidget* parent, const char* name);

    void Show() { setVisible(true); }
    void Hide() { setVisible(false); }
    // The panel's own flag, as set by Show and Hide, whether or not the window is on screen.
    bool Visible() const { return !isHidden(); }
};

class TLabel : public QLabel
{
public:
    TLabel(QWidget* parent, const char* name, const char* caption);
    // Alt and the first `letter` of the caption (in either case) takes the focus to the
    // label's buddy; the letter is underlined, and the name a screen reader says is the same.
    void SetAccessKey(char letter);
};

class TEdit : public QLineEdit
{
public:
    TEdit(QWidget* parent, const char* name, const char* text);

    std::string Text() const { return text().toStdString(); }
    void SetText(const std::string& value) { setText(QString::fromStdString(value)); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }
    // Return pressed in the edit.
    void SetOnReturn(TNotifyEvent handler);
    // The person changed the text (not SetText).
    void SetOnChange(TNotifyEvent handler);
    // The person is done with the text: Return pressed, or the focus gone elsewhere.
    void SetOnExit(TNotifyEvent handler);
    void SetFocus() { setFocus(Qt::OtherFocusReason); }
};

enum class TComboBoxStyle {
    csDropDown,       // drop-down list with typing
    csDropDownList,   // drop-down list, no typing
};

class TComboBox : public QComboBox
{
public:
    TComboBox(QWidget* parent, const char* name, TComboBoxStyle style);

    // -1 when nothing is selected, and on a list with typing also once the person has typed
    // over the selected entry's text with a text that is no entry's.
    int ItemIndex() const;
    void SetItemIndex(int index);

    void AddItem(const std::string& text) { addItem(QString::fromStdString(text)); }
    int ItemCount() const { return count(); }
    // From now on the entries are `prefix` and their place: "div0", "div1", … (NumberedEntries).
    void NumberEntries(const char* prefix);
    // A numbered list's entries, however many, at once; nothing is selected afterwards.
    void SetItemCount(int count);
    // Every entry and, on a list with typing, the typed text.
    void Clear()
    {
        clear();
        clearEditText();
    }
    void SetEnabled(bool enabled) { setEnabled(enabled); }
    // The person chose an entry or typed into the list (not SetItemIndex).
    void SetOnChange(TNotifyEvent handler);

    void showPopup() override;

private:
    NumberedEntries* numbered = nullptr;   // none: the entries are texts of their own
};

class TButton : public QPushButton
{
public:
    TButton(QWidget* parent, const char* name, const char* caption);

    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }
    void SetOnClick(TNotifyEvent handler);

    // What the button has chosen, shown on it beside its caption, with the exact value as
    // its tooltip: a colour's swatch ("#RRGGBB"), a picture's thumbnail (a picture icon when
    // the file is no readable picture), or nothing.
    void ShowColor(const std::string& colorText);
    void ShowPicture(const std::string& path);
    void ShowNothing();

private:
    void display(const QIcon& icon, const std::string& value);
    std::string shownValue;   // what the icon now stands for, so that it is made only once
};

class TRadioButton : public QRadioButton
{
public:
    TRadioButton(QWidget* parent, const char* name, const char* caption);

    bool Checked() const { return isChecked(); }
};

class TCheckBox : public QCheckBox
{
public:
    TCheckBox(QWidget* parent, const char* name, const char* caption);

    bool Checked() const { return isChecked(); }
    void SetChecked(bool checked) { setChecked(checked); }
    // The person ticked or cleared it (not SetChecked).
    void SetOnClick(TNotifyEvent handler);
};

// A titled frame; the radio buttons drawn over it belong to its parent.
class TRadioGroup : public QGroupBox
{
public:
    TRadioGroup(QWidget* parent, const char* name, const char* caption);
};
