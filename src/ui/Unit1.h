#pragma once

#include "model/BodyStyle.h"
#include "model/DivStyle.h"
#include "model/RecordsView.h"
#include "model/Rule.h"
#include "model/StyleSheetChange.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "ui/BoxDiagram.h"
#include "ui/PreviewFeed.h"

#include <QPointer>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

class OutputFile;
class PlaceWatcher;
struct PanelBinding;
class PreviewLink;
class PropertiesDock;
struct Property;
struct PreviewHandlers;
class RecoveryKeeper;
class QUndoStack;
class RulesPanel;
struct ControlsState;
struct StepJournal;
enum class StepMerging : int;
struct StepRecords;
struct StepSide;
struct WebPageReading;

// The main window. The editing mode lives in the controls: see editOpen() and editingDiv().
class TForm1 : public TForm
{
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Panel1: background, font size, font colour and "KÉSZ", for the body and for a div.
    TPanel* Panel1 = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* Edit3 = nullptr;
    TLabel* Label2 = nullptr;
    TButton* Button1 = nullptr;
    TRadioGroup* RadioGroup1 = nullptr;
    TRadioButton* RadioButton1 = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;

    // Panel2: width, height, alignment and position, for a div only.
    TPanel* Panel2 = nullptr;
    TLabel* Label3 = nullptr;
    TEdit* Edit1 = nullptr;
    TLabel* Label4 = nullptr;
    TEdit* Edit2 = nullptr;
    TLabel* Label5 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TLabel* Label6 = nullptr;
    TComboBox* ComboBox2 = nullptr;

    // Panel3: the nesting lists, "Ok", "Mentés" and "Weboldal".
    TPanel* Panel3 = nullptr;
    TLabel* Label7 = nullptr;
    TLabel* Label8 = nullptr;   // the nesting lists' captions, for a screen reader only
    TLabel* Label9 = nullptr;
    TComboBox* ComboBox3 = nullptr;
    TComboBox* ComboBox4 = nullptr;
    TButton* Button4 = nullptr;
    TButton* Button5 = nullptr;
    TButton* Button6 = nullptr;

    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* Fjl1 = nullptr;
    TMenuItem* Megynits1 = nullptr;
    TMenuItem* Ments1 = nullptr;
    TMenuItem* Kilps1 = nullptr;
    TMenuItem* CSS1 = nullptr;
    TMenuItem* jDiv1 = nullptr;
    TMenuItem* Bodybelltsa1 = nullptr;
    TMenuItem* Szerkeszts1 = nullptr;
    TMenuItem* Divtrlse1 = nullptr;
    TMenuItem* Msols1 = nullptr;
    TMenuItem* Beilleszts1 = nullptr;
    TMenuItem* Divkettzse1 = nullptr;
    TMenuItem* Nzet1 = nullptr;
    TMenuItem* Szablyok1 = nullptr;
    TMenuItem* Elnzet1 = nullptr;
    TMenuItem* Krvonalak1 = nullptr;
    TMenuItem* Tulajdonsgok1 = nullptr;
    TMenuItem* Elnzetszlessge1 = nullptr;
    TMenuItem* Teljes1 = nullptr;
    TMenuItem* N1280px1 = nullptr;
    TMenuItem* N768px1 = nullptr;
    TMenuItem* N375px1 = nullptr;
    QAction* Visszavons1 = nullptr;   // made by the undo stack, named after the step
    QAction* Mgis1 = nullptr;

    TOpenDialog* OpenDialog1 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TSaveDialog* SaveDialog2 = nullptr;     // the web page
    TOpenPictureDialog* OpenPictureDialog1 = nullptr;
    TColorDialog* ColorDialog1 = nullptr;   // every background colour
    TColorDialog* ColorDialog2 = nullptr;   // every font colour

    RulesPanel* Rules = nullptr;             // "Szabályok": the rules as a tree, made when first shown
    PropertiesDock* Properties = nullptr;    // "Tulajdonságok": the box's values, made hidden at start
    QUndoStack* UndoStack = nullptr;         // every command that changed the window, a step each
    PreviewLink* Preview = nullptr;          // "Előnézet": the page in a browser engine, while shown
    RecoveryKeeper* Recovery = nullptr;      // the recovery file of what is unsaved
    // The preview program, beside this one's when installed.
    std::string previewProgram;

    // The model. Slot i of divs holds div number i; the live divs are slots 0 to lastDiv.
    // The storage is resized at each accepted new div and never released.
    std::vector<std::unique_ptr<DivStyle>> divs;
    std::unique_ptr<BodyStyle> body;
    std::unique_ptr<OutputFile> outFile;   // the open stylesheet while a save runs
    std::int32_t lastDiv = -1;
    // The records as the views that follow them read them.
    const RecordsView records{body, divs, lastDiv};

    // True from the first accepted new div on, also after a save has released every div.
    bool divStorageExists() const { return !divs.empty(); }
    // Slots 0 to lastDiv: what a save or a web page writes.
    std::span<const std::unique_ptr<DivStyle>> liveDivs() const
    {
        return std::span(divs).first(static_cast<std::size_t>(lastDiv + 1));
    }

    // The window keeps no mode of its own; its controls say it. An edit is open while "KÉSZ"
    // can commit it, and it is the current div's (not the body's) while Panel2 shows, which
    // is also what the "..." buttons act on.
    bool editOpen() const { return Button3->Enabled(); }
    bool editingDiv() const { return Panel2->Visible(); }
    // Which record the panels stand for, and so what "KÉSZ" and the "..." buttons change:
    // while Panel2 shows, the div opened again, or else slot lastDiv (nothing when no div is
    // live); while Panel1 shows alone, the body; nothing while Panel1 is hidden.
    Rule panelsRule() const;

    // A body or a live div exists, and a step between the last completed save or "Megnyitás"
    // and now changed what a save writes (Unit1Undo.cpp).
    bool stylesheetUnsaved() const;

    // "CSS" → "Body beállítása", "CSS" → "Új Div" and "KÉSZ" (Unit1Editing.cpp).
    void Bodybelltsa1Click();
    void jDiv1Click();
    void Button3Click();
    // "Szerkesztés" → "Div törlése": the div the panels stand for goes, the later ones move
    // down a number.
    void Divtrlse1Click();
    // "Szerkesztés" → "Másolás": the current rule onto the clipboard as the web page's CSS;
    // "Beillesztés": the clipboard's CSS rules as new divs at the end, as the step
    // "Beillesztés"; "Div kettőzése": a new last div with the current div's values and
    // parent, as the step "Kettőzés" (Unit1Clipboard.cpp).
    void Msols1Click();
    void Beilleszts1Click();
    void Divkettzse1Click();

    // The two "..." buttons: background and font colour (Unit1Pickers.cpp).
    void Button2Click();
    void Button1Click();

    // "Fájl" → "Mentés", the nesting panel's "Ok" and its "Mentés" (Unit1Save.cpp).
    void Ments1Click();
    void Button4Click();
    void Button5Click();

    // The nesting panel's "Weboldal": the stylesheet as a web page (Unit1WebPage.cpp).
    void Button6Click();

    // "Fájl" → "Megnyitás" (Unit1Open.cpp); openStyleSheet is also how a file named at
    // start is opened.
    void Megynits1Click();
    void openStyleSheet(const std::string& fileName);
    // A file named at start: after a restored stylesheet, the unsaved question comes first.
    void openAtStart(const std::string& fileName);

    void Kilps1Click();

    // Any rule opened again, to be changed: refused while an edit is open (Unit1Rules.cpp).
    void reopenRule(const Rule& rule);
    // A div dragged in the rules tree, or moved there with Ctrl+arrows: it becomes `parent`'s
    // child (-1: belongs to no other div), as "Ok" records it, as the step "Beágyazás".
    void nestDiv(std::int32_t div, std::int32_t parent);
    // False, with a message, when `div` in `parent` would nest deeper than a browser shows.
    bool mayNestThatDeep(std::int32_t div, std::int32_t parent);
    // "Nézet" → "Szabályok" shows or hides the rules; Ctrl+E shows them and goes there.
    void Szablyok1Click();
    void goToRules();
    // "Nézet" → "Tulajdonságok" shows or hides the box's values (Unit1Properties.cpp).
    void Tulajdonsgok1Click();

    // "Nézet" → "Előnézet" starts or ends the preview of the web page (Unit1Preview.cpp).
    void Elnzet1Click();
    // "Nézet" → "Körvonalak": every div's outline and name in the preview, never in the page.
    void Krvonalak1Click();
    // "Nézet" → "Előnézet szélessége": the page laid out as wide as the preview window, or
    // at a screen's width, centred in it.
    void Teljes1Click();
    void N1280px1Click();
    void N768px1Click();
    void N375px1Click();
    // The panels' rule with the values being typed laid over it, as the preview shows them.
    PreviewFeed::TypedRule typedRule() const;
    // The size the marked div's edge was dragged to in the preview: typed into "Szélesség"
    // and "Magasság" while its edit is open, else stored as the step "Átméretezés"; nothing
    // unless `rule` is the div the panels stand for. A dimension the drag left alone (none)
    // keeps its value.
    void previewResized(const Rule& rule, std::optional<std::int64_t> width, std::optional<std::int64_t> height);
    // The offsets the marked div was moved to in the preview: typed into "Balra" and "Fent"
    // while its edit is open, else stored as the step "Áthelyezés", an arrow key's merged
    // with the presses just before it; nothing unless `rule` is the div the panels stand for.
    // An offset that did not change (none) stays as it is.
    void previewMoved(const Rule& rule, std::optional<std::int64_t> left, std::optional<std::int64_t> top, bool keyed);

    // At start: a file whose save in place was cut short gets its old content back, and a
    // recovery file left by a Prizmo that ended without saving is offered back
    // (Unit1Recovery.cpp).
    void offerRecovery();
    // SIGTERM, SIGHUP or SIGINT: what is unsaved goes into the recovery file, and Prizmo ends
    // without asking.
    void endBySignal();

    // Every command runs here: the handler, then the view, neither letting an exception out.
    // A command that changed what the window holds becomes one undo step named `name`; one
    // run inside another belongs to the outer one (Unit1Undo.cpp).
    void runCommand(const std::string& name, const TNotifyEvent& handler);
    // The same, its step merging into the step before it where that is one of `merging`'s
    // kind, of the same rule, and just before it.
    void runCommand(const std::string& name, const TNotifyEvent& handler, StepMerging merging);
    // Undo and redo: the step's records change places with the window's, and the slot
    // count, lastDiv and the controls become the side's.
    void restore(StepRecords& records, const StepSide& side);

    // Shows what the model and the mode now are: the title, which controls would act, and
    // what the "..." buttons stored, then tells every follower what changed (Unit1View.cpp).
    // Runs once after every command, undo and redo.
    void refreshView(const StyleSheetChange& change);

    // The views that follow the stylesheet: each hears every change once. A follower is
    // removed before it goes.
    void addFollower(StyleSheetFollower* follower);
    void removeFollower(StyleSheetFollower* follower);

protected:
    // Closing, by any way, asks first when the stylesheet is unsaved.
    void FormCloseQuery(bool& CanClose) override;

    // Gives divs exactly `slotCount` slots, keeping the existing ones. Tests override it to fail.
    virtual void resizeDivStorage(std::size_t slotCount);
    // A new div at its defaults. Tests override it to fail.
    virtual std::unique_ptr<DivStyle> createDivRecord();
    // The file a save writes. Tests override it to fail.
    virtual std::unique_ptr<OutputFile> createOutputFile(const std::string& fileName);
    // The editor's end of a preview opening at `place`. Tests override it to ask questions.
    virtual PreviewLink* createPreviewLink(const QRect& place, PreviewHandlers handlers);

private:
    void createComponents();
    // A control's command: refused with `refusedWhileEditing` while an edit is open, where
    // the layout gives that message, else the handler, in runCommand.
    TNotifyEvent command(const std::string& name, void (TForm1::*handler)(), const char* refusedWhileEditing);
    DivStyle* pickerDiv() const;
    BodyStyle* pickerBody() const;
    // A "..." button's: its property chosen in its dialog and stored in the panels' record.
    void pickValue(const PanelBinding& binding);
    std::optional<std::string> chosenValue(const PanelBinding& binding);

    // The panel's "Mentés"; true when the stylesheet was written and released.
    bool saveStyleSheet();

    // Nothing when the stylesheet reached the file; otherwise the system's reason.
    std::optional<std::string> writeStyleSheet(const std::string& fileName);
    void releaseStyleSheet();
    // Asks whether to save an unsaved stylesheet first; true when it may be dropped now.
    bool mayDropStyleSheet();
    void showStoredValues();
    void followEditFocus();
    bool editWasOpen = false;
    QPointer<QWidget> focusBeforeEdit;
    // The panels' rule and what it holds of the property whose picker chooses between a
    // colour and a picture ("Szín" / "Kép"), as the panels show them.
    struct ShownChoice {
        Rule rule;
        std::string value;
        const PanelBinding* binding = nullptr;
    };
    ShownChoice shownChoice() const;
    // At the end of every command, inside its step: with no edit open the panels show the
    // stored values of their rule, and a value newly shown sets "Szín" or "Kép".
    void showPanelsRule(const ShownChoice& before);
    void takeOver(StyleSheetRecords records);
    void openWebPage(const std::string& fileName, WebPageReading page);
    // What the save dialogs offer after `opened` was read: "Mentés" the file itself, but for a
    // web page a stylesheet beside it, so that the page is never written over with one; and
    // "Weboldal" the page.
    void offerSaveNames(const std::string& opened, bool webPage);

    void createRecovery();
    void keepRecoveryNow();
    // What the open edit holds as the recovery file keeps it, and those texts typed again.
    std::vector<std::string> typedValues() const;
    void retype(const std::vector<std::string>& typed);
    // Values typed into an open edit since the last step, in no step yet.
    bool typedSinceLastStep() const;
    // The status line: what the preview and the recovery file have to say, if anything.
    void showStatus();
    std::string previewStatus;
    std::string recoveryStatus;

    void createPreview();
    std::unique_ptr<PreviewFeed> previewFeed;   // while the preview runs
    void endPreviewFeed();
    bool previewStartPending = false;   // remembered on, to start once the window has its place
    bool outlinesShown = false;
    int previewWidth = 0;                 // the page's width in the preview; 0: the window's
    void showPreviewAtWidth(int width);
    void showPreview(bool shown);
    void previewClicked(const std::string& rule);
    // The row under the pointer in the rules: its box framed in the preview.
    void hoverPreview(const Rule& rule);
    // The pointer over a part of the box-model diagram, or off it.
    void shadeInPreview(BoxDiagram::Part part);
    // The body or a live div by the name the page and the tree give it; nothing for another name.
    Rule liveRuleNamed(const std::string& name) const;
    // A name typed into the rules tree, then Return: that rule opens, if it is one.
    void openTypedRule(const std::string& typed);
    std::string commandStatus;   // what the last command had to say, until the next one
    // The rules tree's current row while the tree has the focus, else the panels' rule.
    Rule currentRule() const;
    void appendDivs(std::vector<std::unique_ptr<DivStyle>> made);
    // The last div, committed, in both nesting lists and chosen there.
    void listLastDiv();
    void reopenRuleCommand(const Rule& rule);

    // Where the preview opens now: where the person last put it while that covers no control,
    // else where Prizmo finds room.
    std::optional<QRect> personsPreviewPlace() const;
    QRect prizmosPreviewPlace() const;
    bool previewPlacedByPrizmo = false;   // and not moved by the person since
    PlaceWatcher* previewPlacer = nullptr;   // the window's width and the rules' place
    void placePreviewAgain();
    void watchRulesPlace();

    void createPropertiesDock();
    void makePropertiesDock();
    void showProperties(bool shown);
    // A change made in the dock: part of the open edit, else stored at once for the panels'
    // rule as a step named after the property.
    void dockChanged(const Property& property);
    void showDockRule();
    void placeDocks();

    void createRulesPanel();
    void makeRulesPanel();
    void showRules(bool shown);
    // Slot lastDiv, or the div opened again: the one Panel2 stands for.
    std::int32_t panelsDiv() const { return reopenedDiv >= 0 && reopenedDiv <= lastDiv ? reopenedDiv : lastDiv; }

    // Every change of the records passes here: the record is kept for the running step first.
    DivStyle& changeDiv(std::int32_t number);
    BodyStyle& changeBody();
    void journalSlot(std::size_t slot);
    // Slots 0 to count - 1 are about to be replaced whole: their records go into the step as
    // they are, moved rather than copied, and the slots are left empty.
    void journalReplacedSlots(std::size_t count);
    void journalBody();
    ControlsState controlsNow() const;
    void restoreControls(const ControlsState& state);
    // The step made, and what it changed.
    StyleSheetChange finishStep(StepJournal& journal);
    // The change as every follower hears it: with the panels' rule, the saved state and the file.
    StyleSheetChange completed(StyleSheetChange change, bool wasUnsaved, const std::string& fileBefore) const;
    StyleSheetChange wholeChange() const { return StyleSheetChange::whole(panelsRule(), stylesheetUnsaved()); }
    void createUndoStack();
    void undoOrRedo(bool undo);

    std::unique_ptr<StepJournal> journal;   // while a command runs
    StyleSheetChange restoredChange;        // what the undo or redo running changed
    std::vector<StyleSheetFollower*> followers;
    std::unique_ptr<ControlsState> lastStepControls;   // as the last step left them
    std::vector<int> contentSteps{0};       // of the first i steps, how many changed content
    bool savedThisCommand = false;          // the running command completed a save or opening
    std::int32_t reopenedDiv = -1;   // a div opened again for Panel2, until the next "Új Div"
    std::string openedFileName;      // the file "Megnyitás" read, until the next save
};

extern TForm1* Form1;
