#include "platform/Controls.h"

#include "platform/NumberedEntries.h"

#include <QApplication>
#include <QHeaderView>
#include <QImageReader>
#include <QPainter>
#include <QStringListModel>
#include <QStyle>
#include <QTableView>

#include <climits>

namespace {

template <typename Widget>
void name(Widget* widget, const char* objectName, const QString& accessibleName)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(accessibleName);
}

} // namespace

namespace {

// A value's first few kilobytes, whole characters only, and "…" when there is more: what a
// tooltip or a screen reader can say of a value of any length.
QString sayable(const std::string& text)
{
    constexpr std::size_t most = 4096;
    if (text.size() <= most)
        return QString::fromStdString(text);
    std::size_t end = most;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;   // not within a UTF-8 character
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(end)) + QChar(0x2026);
}

} // namespace

QString PlainToolTip(const std::string& text)
{
    if (text.empty())
        return {};
    return QStringLiteral("<p style='white-space:pre'>") + sayable(text).toHtmlEscaped() + QStringLiteral("</p>");
}

TPanel::TPanel(QWidget* parent, const char* name) : QFrame(parent)
{
    ::name(this, name, QString::fromLatin1(name));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    // The platform's own panel colour, whatever colour the form has, as the class library's
    // panels have their button-face colour: the text on them reads as everywhere else.
    QPalette standard = palette();
    standard.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
    setPalette(standard);
    setAutoFillBackground(true);
}

TLabel::TLabel(QWidget* parent, const char* name, const char* caption)
    : QLabel(QString::fromUtf8(caption), parent)
{
    ::name(this, name, text());
}

void TLabel::SetAccessKey(char letter)
{
    const QString caption = text();
    const qsizetype at = caption.indexOf(QChar::fromLatin1(letter), 0, Qt::CaseInsensitive);
    if (at >= 0)
        setText(QString(caption).insert(at, QLatin1Char('&')));
}

TEdit::TEdit(QWidget* parent, const char* name, const char* text)
    : QLineEdit(QString::fromUtf8(text), parent)
{
    ::name(this, name, QString::fromLatin1(name));
}

void TEdit::SetOnReturn(TNotifyEvent handler)
{
    connect(this, &QLineEdit::returnPressed, this, [handler = std::move(handler)] { RunGuarded(handler); });
}

void TEdit::SetOnChange(TNotifyEvent handler)
{
    connect(this, &QLineEdit::textEdited, this, [handler = std::move(handler)] { RunGuarded(handler); });
}

// An edit disabled while it has the focus loses it too; that is no person done with it.
void TEdit::SetOnExit(TNotifyEvent handler)
{
    connect(this, &QLineEdit::editingFinished, this, [this, handler = std::move(handler)] {
        if (isEnabled())
            RunGuarded(handler);
    });
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

void TComboBox::SetOnChange(TNotifyEvent handler)
{
    auto guarded = [handler = std::move(handler)] { RunGuarded(handler); };
    connect(this, &QComboBox::activated, this, guarded);
    if (lineEdit())
        connect(lineEdit(), &QLineEdit::textEdited, this, guarded);
}

// The drop-down is a table of one column: its rows all have one height, so opening it costs
// the same however many entries it has, where a list view lays out every entry again after
// each change of the list. It is made when the list is first opened, which keeps its making
// out of the start-up.
void TComboBox::showPopup()
{
    if (!qobject_cast<QTableView*>(view())) {
        auto* table = new QTableView(this);
        table->horizontalHeader()->hide();
        table->verticalHeader()->hide();
        table->horizontalHeader()->setStretchLastSection(true);
        table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
        table->setShowGrid(false);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setWordWrap(false);
        setView(table);
    }
    QComboBox::showPopup();
}

int TComboBox::ItemIndex() const
{
    const int index = currentIndex();
    if (!isEditable() || (index >= 0 && currentText() == itemText(index)))
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

void TComboBox::NumberEntries(const char* prefix)
{
    numbered = new NumberedEntries(QString::fromUtf8(prefix), this);
    setModel(numbered);   // the list's own string model goes with it
}

void TComboBox::SetItemCount(int count)
{
    if (numbered)
        numbered->setCount(count);
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

namespace {

// Small enough to leave the caption room on a button of 25 pixels.
const QSize swatchSize(8, 8);

} // namespace

void TButton::ShowColor(const std::string& colorText)
{
    if (colorText == shownValue && !icon().isNull())
        return;
    QPixmap swatch(swatchSize);
    swatch.fill(QColor::fromString(QString::fromStdString(colorText)));
    QPainter frame(&swatch);
    frame.setPen(palette().color(QPalette::WindowText));
    frame.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    frame.end();
    display(QIcon(swatch), colorText);
}

void TButton::ShowPicture(const std::string& path)
{
    if (path == shownValue && !icon().isNull())
        return;
    QImage thumbnail;
    if (path.size() <= PATH_MAX) {   // no file has a longer name: not even asked for
        QImageReader reader(QString::fromStdString(path));
        reader.setAutoTransform(true);
        if (reader.size().isValid())
            reader.setScaledSize(reader.size().scaled(swatchSize, Qt::KeepAspectRatio));
        thumbnail = reader.read();
    }
    display(thumbnail.isNull() ? QIcon::fromTheme(QStringLiteral("image-x-generic"),
                                               style()->standardIcon(QStyle::SP_FileIcon))
                            : QIcon(QPixmap::fromImage(thumbnail)),
         path);
}

void TButton::ShowNothing()
{
    display(QIcon(), {});
}

void TButton::display(const QIcon& shown, const std::string& value)
{
    setIconSize(swatchSize);
    setIcon(shown);
    setToolTip(PlainToolTip(value));
    setAccessibleDescription(sayable(value));
    // A value too long to name a file is shown again each time, cheaply, rather than copied.
    if (value.size() <= PATH_MAX)
        shownValue = value;
    else
        shownValue.clear();
}

TRadioButton::TRadioButton(QWidget* parent, const char* name, const char* caption)
    : QRadioButton(QString::fromUtf8(caption), parent)
{
    ::name(this, name, text());
}

TCheckBox::TCheckBox(QWidget* parent, const char* name, const char* caption)
    : QCheckBox(QString::fromUtf8(caption), parent)
{
    ::name(this, name, text());
}

void TCheckBox::SetOnClick(TNotifyEvent handler)
{
    connect(this, &QCheckBox::clicked, this, [handler = std::move(handler)] { RunGuarded(handler); });
}

TRadioGroup::TRadioGroup(QWidget* parent, const char* name, const char* caption)
    : QGroupBox(QString::fromUtf8(caption), parent)
{
    ::name(this, name, title());
}
