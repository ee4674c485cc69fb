#include "platform/Controls.h"

#include <QStringListModel>

namespace {

template <typename Widget>
void name(Widget* widget, const char* objectName, const QString& accessibleName)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(accessibleName);
}

} // namespace

TPanel::TPanel(QWidget* parent, const char* name) : QFrame(parent)
{
    ::name(this, name, QString::fromLatin1(name));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
}

TLabel::TLabel(QWidget* parent, const char* name, const char* caption)
    : QLabel(QString::fromUtf8(caption), parent)
{
    ::name(this, name, text());
}

TEdit::TEdit(QWidget* parent, const char* name, const char* text)
    : QLineEdit(QString::fromUtf8(text), parent)
{
    ::name(this, name, QString::fromLatin1(name));
}

TComboBox::TComboBox(QWidget* parent, const char* name, TComboBoxStyle style) : QComboBox(parent)
{
    ::name(this, name, QString::fromLatin1(name));
    // The entries are texts only: a string list holds one in a fraction of the memory an
    // item of the default model takes, which counts in lists with an entry per div.
    setModel(new QStringListModel(this));
    if (style == TComboBoxStyle::csDropDown) {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);   // typing never adds an entry
        // Qt's inline completer filters every entry again at each change of the list, so
        // that each new entry would cost time in proportion to the entries before it.
        setCompleter(nullptr);
    }
}

int TComboBox::ItemIndex() const
{
    const int index = currentIndex();
    if (!isEditable() || index < 0 || currentText() == itemText(index))
        return index;
    // Typed over: an entry counts only when its whole text was typed.
    return findText(currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void TComboBox::SetItemIndex(int index)
{
    setCurrentIndex(index);
    // Setting the same index again must still undo what the person typed over it.
    if (isEditable() && index >= 0)
        setEditText(itemText(index));
}

void TComboBox::SetItems(const std::vector<std::string>& texts)
{
    QStringList entries;
    entries.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& text : texts)
        entries.append(QString::fromStdString(text));
    // One change of the model, however many entries.
    static_cast<QStringListModel*>(model())->setStringList(entries);
    SetItemIndex(-1);
}

TButton::TButton(QWidget* parent, const char* name, const char* caption)
    : QPushButton(QString::fromUtf8(caption), parent)
{
    ::name(this, name, text());
}

void TButton::SetOnClick(TNotifyEvent handler)
{
    connect(this, &QPushButton::clicked, this, [handler = std::move(handler)] { RunGuarded(handler); });
}

TRadioButton::TRadioButton(QWidget* parent, const char* name, const char* caption)
    : QRadioButton(QString::fromUtf8(caption), parent)
{
    ::name(this, name, text());
}

TRadioGroup::TRadioGroup(QWidget* parent, const char* name, const char* caption)
    : QGroupBox(QString::fromUtf8(caption), parent)
{
    ::name(this, name, title());
}
