// The window as designed: every panel, control, caption, list entry, position, size, font,
// initial state, event and the tab order. Nothing here decides what a command does.

#include "ui/Unit1.h"

#include "model/Properties.h"
#include "platform/Application.h"

#include <QFont>
#include <QKeySequence>
#include <QLineEdit>
#include <QStringList>
#include <QVBoxLayout>

#include <span>
#include <string_view>
#include <vector>

namespace {

struct Geometry { int left, top, width, height; };

// The designed face first, then the look-alikes that Linux usually has.
struct DesignedFont {
    QStringList families;
    int height;   // negative: character height in pixels
    bool bold;
};

using Handler = void (TForm1::*)();

struct PanelRow { TPanel* TForm1::*field; const char* name; int height; const char* role; };
struct FrameRow { TRadioGroup* TForm1::*field; TPanel* TForm1::*panel; const char* name; Geometry at;
                  const char* caption; };
// A label names the control `buddy` for a screen reader and takes it the focus with Alt and
// `accessKey`, a letter of its caption; a label that is not `shown` only names its control.
struct LabelRow { TLabel* TForm1::*field; TPanel* TForm1::*panel; const char* name; Geometry at;
                  const char* caption; const char* buddy; char accessKey; const DesignedFont* font = nullptr;
                  bool shown = true; };
struct RadioRow { TRadioButton* TForm1::*field; TPanel* TForm1::*panel; const char* name;
                  Geometry at; const char* caption; bool checked; const char* role; };
struct EditRow { TEdit* TForm1::*field; TPanel* TForm1::*panel; const char* name; Geometry at;
                 const char* text; const char* role; };
// An editable list shows its `role` while it is empty, and its line edit is named by it.
struct ComboRow { TComboBox* TForm1::*field; TPanel* TForm1::*panel; const char* name; Geometry at;
                  TComboBoxStyle style; std::span<const std::string_view> items; const char* role;
                  const char* numbered = nullptr; };   // entries `numbered` + their place
// A command with `refused` is refused with that message while an edit is open, before its
// handler runs.
struct ButtonRow { TButton* TForm1::*field; TPanel* TForm1::*panel; const char* name; Geometry at;
                   const char* caption; const char* role; Handler onClick;
                   bool enabled = true; const DesignedFont* font = nullptr; const char* refused = nullptr;
                   const char* description = nullptr; };
// A row without a drop-down menu belongs to the drop-down of the row named in `menu`. `keys`
// is a shortcut that is no standard one; `step` names the undo step where the caption does not.
struct MenuRow { TMenuItem* TForm1::*field; TMenuItem* TForm1::*menu; const char* name;
                 const char* caption; Handler onClick = nullptr;
                 QKeySequence::StandardKey shortcut = QKeySequence::UnknownKey; const char* refused = nullptr;
                 const char* keys = nullptr; const char* step = nullptr; };

// The nesting lists' captions.
const char* const whichDiv = "Melyik div";
const char* const whichParent = "Melyik divhez";

// What an open edit holds reaches its record only with "KÉSZ".
const char* const doneFirst = "Előbb nyomd meg a KÉSZ gombot!";

const DesignedFont formFont{{"Tahoma", "Liberation Sans", "DejaVu Sans"}, -11, false};
const DesignedFont doneFont{{"Ravie", "Liberation Sans", "DejaVu Sans"}, -21, true};
const DesignedFont promptFont{{"Cooper Black", "Liberation Serif", "DejaVu Serif"}, -16, false};

constexpr int clientWidth = 676;
constexpr int clientHeight = 577;
const QColor formColor(0, 128, 0);   // the class library's standard green

// Top-aligned in this order: a hidden panel takes no room.
const PanelRow panelRows[] = {
    {&TForm1::Panel1, "Panel1", 89, "Body"},
    {&TForm1::Panel2, "Panel2", 88, "Div"},
    {&TForm1::Panel3, "Panel3", 128, "Mentés és beágyazás"},
};

// No access key is a menu's (f, c, s, n).
const LabelRow labelRows[] = {
    {&TForm1::Label1, &TForm1::Panel1, "Label1", {240, 38, 50, 13}, propertyNamed("font-size").label, "Edit3", 'B'},
    {&TForm1::Label2, &TForm1::Panel1, "Label2", {360, 38, 40, 13}, propertyNamed("font-color").label, "Button1", 't'},
    {&TForm1::Label3, &TForm1::Panel2, "Label3", {16, 40, 47, 13}, propertyNamed("width").label, "Edit1", 'z'},
    {&TForm1::Label4, &TForm1::Panel2, "Label4", {164, 40, 48, 13}, propertyNamed("height").label, "Edit2", 'M'},
    {&TForm1::Label5, &TForm1::Panel2, "Label5", {313, 40, 38, 13}, propertyNamed("float").label, "ComboBox1", 'I'},
    {&TForm1::Label6, &TForm1::Panel2, "Label6", {472, 40, 32, 13}, propertyNamed("position").label, "ComboBox2", 'P'},
    {&TForm1::Label7, &TForm1::Panel3, "Label7", {16, 6, 357, 18},
     "Kérlek add meg, melyik div, melyik divhez tartozzon!", "ComboBox3", 'd', &promptFont},
    {&TForm1::Label8, &TForm1::Panel3, "Label8", {88, 40, 145, 13}, whichDiv, "ComboBox3", 0, nullptr, false},
    {&TForm1::Label9, &TForm1::Panel3, "Label9", {303, 40, 145, 13}, whichParent, "ComboBox4", 0, nullptr, false},
};

// Created before the radio buttons, which sit over it on the panel and pair up there.
const FrameRow frameRows[] = {
    {&TForm1::RadioGroup1, &TForm1::Panel1, "RadioGroup1", {16, 17, 145, 49}, propertyNamed("background").label},
};

const RadioRow radioRows[] = {
    {&TForm1::RadioButton1, &TForm1::Panel1, "RadioButton1", {32, 40, 41, 17}, "Szín", true, "Háttér: szín"},
    {&TForm1::RadioButton2, &TForm1::Panel1, "RadioButton2", {104, 40, 41, 17}, "Kép", false, "Háttér: kép"},
};

const EditRow editRows[] = {
    {&TForm1::Edit3, &TForm1::Panel1, "Edit3", {296, 38, 33, 21}, "Edit3", propertyNamed("font-size").label},
    {&TForm1::Edit1, &TForm1::Panel2, "Edit1", {69, 40, 76, 21}, "Edit1", propertyNamed("width").label},
    {&TForm1::Edit2, &TForm1::Panel2, "Edit2", {218, 40, 81, 21}, "Edit2", propertyNamed("height").label},
};

const ComboRow comboRows[] = {
    {&TForm1::ComboBox1, &TForm1::Panel2, "ComboBox1", {357, 40, 91, 21},
     TComboBoxStyle::csDropDownList, propertyNamed("float").captions, propertyNamed("float").label},
    {&TForm1::ComboBox2, &TForm1::Panel2, "ComboBox2", {509, 40, 89, 21},
     TComboBoxStyle::csDropDown, propertyNamed("position").captions, propertyNamed("position").label},
    {&TForm1::ComboBox3, &TForm1::Panel3, "ComboBox3", {88, 56, 145, 21},
     TComboBoxStyle::csDropDown, {}, whichDiv, "div"},
    {&TForm1::ComboBox4, &TForm1::Panel3, "ComboBox4", {303, 56, 145, 21},
     TComboBoxStyle::csDropDown, {}, whichParent, "div"},
};

const ButtonRow buttonRows[] = {
    {&TForm1::Button1, &TForm1::Panel1, "Button1", {406, 33, 25, 25}, "...", "Betüszín választása",
     &TForm1::Button1Click},
    {&TForm1::Button2, &TForm1::Panel1, "Button2", {167, 36, 26, 25}, "...", "Háttér választása",
     &TForm1::Button2Click},
    {&TForm1::Button3, &TForm1::Panel1, "Button3", {525, 16, 126, 50}, "KÉSZ", "KÉSZ",
     &TForm1::Button3Click, false, &doneFont},
    {&TForm1::Button4, &TForm1::Panel3, "Button4", {496, 56, 81, 17}, "Ok", "Ok",
     &TForm1::Button4Click, true, nullptr, nullptr, "Feljegyzi, hogy a bal oldali div a jobb oldaliba tartozik"},
    {&TForm1::Button5, &TForm1::Panel3, "Button5", {224, 96, 75, 25}, "Mentés", "Mentés",
     &TForm1::Button5Click},
    {&TForm1::Button6, &TForm1::Panel3, "Button6", {320, 96, 75, 25}, "Weboldal", "Weboldal mentése",
     &TForm1::Button6Click, true, nullptr, doneFirst},
};

const MenuRow menuRows[] = {
    {&TForm1::Fjl1, nullptr, "Fjl1", "Fájl"},
    {&TForm1::Megynits1, &TForm1::Fjl1, "Megynits1", "Megnyitás", &TForm1::Megynits1Click,
     QKeySequence::Open, doneFirst},
    {&TForm1::Ments1, &TForm1::Fjl1, "Ments1", "Mentés", &TForm1::Ments1Click, QKeySequence::Save},
    {&TForm1::Kilps1, &TForm1::Fjl1, "Kilps1", "Kilépés", &TForm1::Kilps1Click, QKeySequence::Quit},
    {&TForm1::CSS1, nullptr, "CSS1", "CSS"},
    {&TForm1::jDiv1, &TForm1::CSS1, "jDiv1", "Új Div", &TForm1::jDiv1Click, QKeySequence::UnknownKey,
     "Előbb ments az előző dived beállításai!"},
    {&TForm1::Bodybelltsa1, &TForm1::CSS1, "Bodybelltsa1", "Body beállítása",
     &TForm1::Bodybelltsa1Click, QKeySequence::UnknownKey, "Már beállítottad a body-t"},
    {&TForm1::Szerkeszts1, nullptr, "Szerkeszts1", "Szerkesztés"},
    {&TForm1::Divtrlse1, &TForm1::Szerkeszts1, "Divtrlse1", "Div törlése", &TForm1::Divtrlse1Click,
     QKeySequence::Delete},
    {&TForm1::Msols1, &TForm1::Szerkeszts1, "Msols1", "&Másolás", &TForm1::Msols1Click, QKeySequence::Copy},
    {&TForm1::Beilleszts1, &TForm1::Szerkeszts1, "Beilleszts1", "&Beillesztés", &TForm1::Beilleszts1Click,
     QKeySequence::Paste, doneFirst, nullptr, "Beillesztés"},
    {&TForm1::Divkettzse1, &TForm1::Szerkeszts1, "Divkettzse1", "Div &kettőzése", &TForm1::Divkettzse1Click,
     QKeySequence::UnknownKey, doneFirst, "Ctrl+D", "Kettőzés"},
    {&TForm1::Nzet1, nullptr, "Nzet1", "Nézet"},
    {&TForm1::Szablyok1, &TForm1::Nzet1, "Szablyok1", "Szabályok", &TForm1::Szablyok1Click},
    {&TForm1::Elnzet1, &TForm1::Nzet1, "Elnzet1", "Előnézet", &TForm1::Elnzet1Click},
    {&TForm1::Krvonalak1, &TForm1::Nzet1, "Krvonalak1", "&Körvonalak", &TForm1::Krvonalak1Click},
    {&TForm1::Tulajdonsgok1, &TForm1::Nzet1, "Tulajdonsgok1", "&Tulajdonságok", &TForm1::Tulajdonsgok1Click},
    {&TForm1::Elnzetszlessge1, &TForm1::Nzet1, "Elnzetszlessge1", "Előnézet szélessége"},
    {&TForm1::Teljes1, &TForm1::Elnzetszlessge1, "Teljes1", "Teljes", &TForm1::Teljes1Click},
    {&TForm1::N1280px1, &TForm1::Elnzetszlessge1, "N1280px1", "1280 px", &TForm1::N1280px1Click},
    {&TForm1::N768px1, &TForm1::Elnzetszlessge1, "N768px1", "768 px", &TForm1::N768px1Click},
    {&TForm1::N375px1, &TForm1::Elnzetszlessge1, "N375px1", "375 px", &TForm1::N375px1Click},
};

// As the controls stand on the screen, left to right and top to bottom, with "KÉSZ" after
// every field it commits. The "Háttér" frame takes no focus in Qt; of the radio pair, Qt's
// tab key stops at the checked one.
const char* const tabOrder[] = {
    "RadioButton1", "RadioButton2", "Button2", "Edit3", "Button1",
    "Edit1", "Edit2", "ComboBox1", "ComboBox2", "Button3",
    "ComboBox3", "ComboBox4", "Button4", "Button5", "Button6",
};

QFont fontOf(const DesignedFont& design)
{
    QFont font;
    font.setFamilies(design.families);
    font.setPixelSize(-design.height);
    font.setBold(design.bold);
    return font;
}

void place(QWidget* widget, const Geometry& at)
{
    widget->setGeometry(at.left, at.top, at.width, at.height);
}

} // namespace

TNotifyEvent TForm1::command(const std::string& name, void (TForm1::*handler)(), const char* refusedWhileEditing)
{
    return [this, name, handler, refusedWhileEditing] {
        runCommand(name, [this, handler, refusedWhileEditing] {
            if (refusedWhileEditing && editOpen()) {
                ShowMessage(refusedWhileEditing);
                return;
            }
            (this->*handler)();
        });
    };
}

void TForm1::createComponents()
{
    setObjectName(QStringLiteral("Form1"));
    setFont(fontOf(formFont));
    move(0, 0);

    QPalette green = ClientArea()->palette();
    green.setColor(QPalette::Window, formColor);
    ClientArea()->setPalette(green);
    ClientArea()->setAutoFillBackground(true);

    auto* stack = new QVBoxLayout(ClientArea());
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    for (const PanelRow& row : panelRows) {
        TPanel* panel = CreateComponent<TPanel>(ClientArea(), row.name);
        panel->setAccessibleName(QString::fromUtf8(row.role));
        panel->setFixedHeight(row.height);
        panel->Hide();
        stack->addWidget(panel);
        this->*row.field = panel;
    }
    stack->addStretch();

    for (const LabelRow& row : labelRows) {
        TLabel* label = CreateComponent<TLabel>(this->*row.panel, row.name, row.caption);
        place(label, row.at);
        label->setVisible(row.shown);
        if (row.accessKey)
            label->SetAccessKey(row.accessKey);
        if (row.font)
            label->setFont(fontOf(*row.font));
        // Labels keep their designed sizes where the designed face is there; in stand-in
        // faces, which measure otherwise, they size themselves to their text.
        if (!Application || !Application->DesignedFaceAdded())
            label->adjustSize();
        this->*row.field = label;
    }
    for (const FrameRow& row : frameRows) {
        TRadioGroup* frame = CreateComponent<TRadioGroup>(this->*row.panel, row.name, row.caption);
        place(frame, row.at);
        this->*row.field = frame;
    }
    for (const RadioRow& row : radioRows) {
        TRadioButton* radio = CreateComponent<TRadioButton>(this->*row.panel, row.name, row.caption);
        place(radio, row.at);
        radio->setChecked(row.checked);
        radio->setAccessibleName(QString::fromUtf8(row.role));
        this->*row.field = radio;
    }
    for (const EditRow& row : editRows) {
        TEdit* edit = CreateComponent<TEdit>(this->*row.panel, row.name, row.text);
        place(edit, row.at);
        edit->setAccessibleName(QString::fromUtf8(row.role));
        edit->SetOnReturn([this] { Button3->click(); });   // Return commits, as "KÉSZ" does
        this->*row.field = edit;
    }
    for (const ComboRow& row : comboRows) {
        TComboBox* combo = CreateComponent<TComboBox>(this->*row.panel, row.name, row.style);
        place(combo, row.at);
        if (row.numbered)
            combo->NumberEntries(row.numbered);
        for (const std::string_view item : row.items)
            combo->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
        combo->SetItemIndex(row.items.empty() ? -1 : 0);
        combo->setAccessibleName(QString::fromUtf8(row.role));
        if (QLineEdit* typed = combo->lineEdit()) {
            typed->setAccessibleName(QString::fromUtf8(row.role));
            if (row.items.empty())
                typed->setPlaceholderText(QString::fromUtf8(row.role));
        }
        this->*row.field = combo;
    }
    for (const ButtonRow& row : buttonRows) {
        TButton* button = CreateComponent<TButton>(this->*row.panel, row.name, row.caption);
        place(button, row.at);
        button->setAccessibleName(QString::fromUtf8(row.role));
        if (row.description)
            button->setAccessibleDescription(QString::fromUtf8(row.description));
        button->SetEnabled(row.enabled);
        if (row.font)
            button->setFont(fontOf(*row.font));
        if (row.onClick)
            button->SetOnClick(command(row.role, row.onClick, row.refused));
        this->*row.field = button;
    }

    MainMenu1 = CreateComponent<TMainMenu>(this, "MainMenu1");
    SetMenu(MainMenu1);
    for (const MenuRow& row : menuRows) {
        TMenuItem* item = CreateComponent<TMenuItem>(MainMenu1, row.name, row.caption);
        if (row.menu)
            (this->*row.menu)->Add(item);
        else
            MainMenu1->Add(item);
        if (row.onClick)
            item->SetOnClick(command(row.step ? row.step : row.caption, row.onClick, row.refused));
        if (row.shortcut != QKeySequence::UnknownKey)
            item->SetShortCut(QKeySequence(row.shortcut));
        if (row.keys)
            item->SetShortCut(QKeySequence(QString::fromLatin1(row.keys)));
        this->*row.field = item;
    }

    OpenDialog1 = CreateComponent<TOpenDialog>(this, "OpenDialog1");
    OpenDialog1->SetFilter({"Stíluslapok (*.css)", "Minden fájl (*)"});
    SaveDialog1 = CreateComponent<TSaveDialog>(this, "SaveDialog1");
    SaveDialog2 = CreateComponent<TSaveDialog>(this, "SaveDialog2");
    SaveDialog2->SetFilter({"Weboldalak (*.html *.htm)", "Minden fájl (*)"});
    SaveDialog2->SetDefaultExt("html");
    OpenPictureDialog1 = CreateComponent<TOpenPictureDialog>(this, "OpenPictureDialog1");
    ColorDialog1 = CreateComponent<TColorDialog>(this, "ColorDialog1");
    ColorDialog2 = CreateComponent<TColorDialog>(this, "ColorDialog2");

    for (const LabelRow& row : labelRows)
        (this->*row.field)->setBuddy(findChild<QWidget*>(QString::fromLatin1(row.buddy)));

    QWidget* previous = nullptr;
    for (const char* name : tabOrder) {
        auto* next = findChild<QWidget*>(QString::fromLatin1(name));
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    }

    SetClientSize(clientWidth, clientHeight);
    makePropertiesDock();   // hidden: what it holds is part of every step, the first too
    createUndoStack();
    createRulesPanel();
    createPropertiesDock();
    createPreview();
    createRecovery();
}
