// "Nézet" → "Előnézet": the web page of what the window holds, live in a browser engine that
// runs as a program of its own (prizmo-preview), and a click there opens what was clicked.

#include "ui/Unit1.h"

#include "model/Properties.h"
#include "ui/PanelBindings.h"
#include "ui/BoxDiagram.h"
#include "ui/PlaceWatcher.h"
#include "ui/PreviewFeed.h"
#include "ui/PreviewLink.h"
#include "ui/PreviewPlace.h"
#include "ui/PropertiesDock.h"
#include "ui/RememberedViews.h"
#include "ui/RulesModel.h"
#include "ui/RulesPanel.h"
#include "ui/WindowStep.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenuBar>
#include <QScreen>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

const char* const previewShownKey = "view/preview";
const char* const previewPlaceKey = "view/previewPlace";
const char* const outlinesShownKey = "view/outlines";
const char* const previewWidthKey = "view/previewWidth";

// The widths "Előnézet szélessége" offers, 0 for the preview window's, and their items.
struct PreviewWidth {
    int width;
    TMenuItem* TForm1::*item;
};
const PreviewWidth previewWidths[] = {
    {0, &TForm1::Teljes1}, {1280, &TForm1::N1280px1}, {768, &TForm1::N768px1}, {375, &TForm1::N375px1}};

// What the preview shades of a part of the box-model diagram.
std::string shadedPart(BoxDiagram::Part part)
{
    static const char* const names[] = {"margin", "border", "padding", "content"};
    return part == BoxDiagram::Nowhere ? std::string() : names[part];
}

QRect onScreen(const QWidget* widget)
{
    return {widget->mapToGlobal(QPoint(0, 0)), widget->size()};
}

} // namespace

void TForm1::Elnzet1Click()
{
    previewStartPending = false;
    showPreview(!Preview);
    rememberShown(previewShownKey, Preview != nullptr);
}

void TForm1::Krvonalak1Click()
{
    outlinesShown = !outlinesShown;
    Krvonalak1->setChecked(outlinesShown);
    rememberShown(outlinesShownKey, outlinesShown);
    if (previewFeed)
        previewFeed->showOutlines(outlinesShown);
}

void TForm1::Teljes1Click() { showPreviewAtWidth(0); }
void TForm1::N1280px1Click() { showPreviewAtWidth(1280); }
void TForm1::N768px1Click() { showPreviewAtWidth(768); }
void TForm1::N375px1Click() { showPreviewAtWidth(375); }

void TForm1::showPreviewAtWidth(int width)
{
    previewWidth = width;
    for (const PreviewWidth& choice : previewWidths)
        (this->*choice.item)->setChecked(choice.width == width);
    rememberNumber(previewWidthKey, width);
    if (previewFeed)
        previewFeed->showAtWidth(width);
}

// Nothing of the preview is made until it is turned on: no process, no engine.
void TForm1::createPreview()
{
    const int remembered = rememberedNumber(previewWidthKey, 0);
    if (std::ranges::find(previewWidths, remembered, &PreviewWidth::width) != std::end(previewWidths))
        previewWidth = remembered;   // one of the choices, else the whole window's
    auto* widths = new QActionGroup(this);
    for (const PreviewWidth& choice : previewWidths) {
        (this->*choice.item)->setCheckable(true);
        (this->*choice.item)->setChecked(choice.width == previewWidth);
        widths->addAction(this->*choice.item);
    }
    Krvonalak1->setCheckable(true);
    outlinesShown = rememberedShown(outlinesShownKey);
    Krvonalak1->setChecked(outlinesShown);
    previewProgram = QCoreApplication::applicationDirPath().toStdString() + "/prizmo-preview";
    Elnzet1->setCheckable(true);
    // What is being typed shows before "KÉSZ".
    onBoundTyping(*this, [this] { if (previewFeed) previewFeed->typedChanged(); });
    // Once the window has its place on the screen, which the preview's place depends on;
    // unless the person has turned it on or off by then.
    previewStartPending = rememberedShown(previewShownKey);
    if (previewStartPending)
        QMetaObject::invokeMethod(
            this, [this] { RunGuarded([this] { if (std::exchange(previewStartPending, false)) showPreview(true); }); },
            Qt::QueuedConnection);
}

// Never over the menu, the panels or the rules: a click meant for "KÉSZ" must reach it.
std::optional<QRect> TForm1::personsPreviewPlace() const
{
    std::vector<QRect> controls{onScreen(menuBar())};
    for (const TPanel* panel : {Panel1, Panel2, Panel3})
        controls.push_back(onScreen(panel));
    if (Rules && Rules->isVisible())
        controls.push_back(onScreen(Rules));
    const QRect remembered = rememberedPlace(previewPlaceKey);
    return placeStillFits(remembered, controls) ? std::optional(remembered) : std::nullopt;
}

QRect TForm1::prizmosPreviewPlace() const
{
    // Below where the panels show, whichever of them show later.
    int panelsHeight = 0;
    for (const TPanel* panel : {Panel1, Panel2, Panel3})
        panelsHeight += panel->height();
    QRect free = onScreen(ClientArea());
    free.setTop(free.top() + panelsHeight);
    return firstPreviewPlace(frameGeometry(), screen()->availableGeometry(), free);
}

// A preview Prizmo placed keeps clear of the controls as the window's width and the rules'
// place change; one the person placed stays where they put it.
void TForm1::placePreviewAgain()
{
    if (Preview && previewPlacedByPrizmo)
        Preview->place(prizmosPreviewPlace());
}

void TForm1::watchRulesPlace()
{
    if (previewPlacer && Rules)
        previewPlacer->watch(Rules, {QEvent::Move, QEvent::Resize, QEvent::Show, QEvent::Hide});
}

void TForm1::showPreview(bool shown)
{
    if (shown && !Preview) {
        previewStatus.clear();
        showStatus();
        PreviewLink::Handlers handlers;
        handlers.ended = [this](PreviewLink::Ending ending) {
            endPreviewFeed();
            Preview->retire();
            Preview = nullptr;
            Elnzet1->setChecked(false);
            if (ending == PreviewLink::Ending::ClosedByPerson) {
                rememberShown(previewShownKey, false);
            } else {
                previewStatus = ending == PreviewLink::Ending::NotStarted ? "Az előnézet nem indult el"
                                                                          : "Az előnézet leállt";
                showStatus();
            }
        };
        handlers.clicked = [this](const std::string& rule) { previewClicked(rule); };
        handlers.resized = [this](const std::string& rule, DraggedLength width, DraggedLength height) {
            previewResized(liveRuleNamed(rule), width, height);
        };
        handlers.moved = [this](const std::string& rule, DraggedLength left, DraggedLength top, bool keyed) {
            previewMoved(liveRuleNamed(rule), left, top, keyed);
        };
        handlers.hovered = [this](const std::string& rule) {
            if (Rules)
                Rules->rules()->setHovered(liveRuleNamed(rule));
        };
        handlers.placed = [this](const QRect& place) {
            rememberPlace(previewPlaceKey, place);
            previewPlacedByPrizmo = false;
        };
        const std::optional<QRect> personsPlace = personsPreviewPlace();
        previewPlacedByPrizmo = !personsPlace;
        Preview = createPreviewLink(personsPlace.value_or(prizmosPreviewPlace()), std::move(handlers));
        if (!previewPlacer) {
            previewPlacer = new PlaceWatcher(this, [this] { placePreviewAgain(); });
            previewPlacer->watch(this, {QEvent::Resize});
            watchRulesPlace();
        }
        previewFeed = std::make_unique<PreviewFeed>(
            records, openedFileName, [this] { return typedRule(); },
            [this](bool part) {
                previewStatus = part ? "Az előnézet csak az első " + std::to_string(PreviewFeed::shownDivs) + " divet mutatja"
                                     : "";
                showStatus();
            },
            *Preview);
        addFollower(previewFeed.get());
        previewFeed->showOutlines(outlinesShown);
        previewFeed->showAtWidth(previewWidth);
        previewFeed->follow(wholeChange());
    } else if (!shown && Preview) {
        endPreviewFeed();
        std::exchange(Preview, nullptr)->retire();
    }
    Elnzet1->setChecked(Preview != nullptr);
}

PreviewLink* TForm1::createPreviewLink(const QRect& place, PreviewHandlers handlers)
{
    return new PreviewLink(QString::fromStdString(previewProgram), place, std::move(handlers), this);
}

PreviewFeed::TypedRule TForm1::typedRule() const
{
    const Rule rule = panelsRule();
    PreviewFeed::TypedRule typed;
    if (editOpen() && rule.kind == Rule::Kind::Div)
        layTypedValuesOver(*this, typed.div.emplace(records.div(rule.number)));
    else if (editOpen() && rule.kind == Rule::Kind::Body)
        layTypedValuesOver(*this, typed.body.emplace(*body));
    return typed;
}

void TForm1::endPreviewFeed()
{
    removeFollower(previewFeed.get());
    previewFeed.reset();
    previewStatus.clear();
    showStatus();
}

// A drag of the marked div's edge in the preview: as typed into "Szélesség" and "Magasság"
// while its edit is open ("KÉSZ" stores them), else stored at once as a step of its own.
void TForm1::previewResized(const Rule& rule, std::optional<std::int64_t> width, std::optional<std::int64_t> height)
{
    constexpr std::int64_t largest = std::numeric_limits<std::int32_t>::max();
    const auto fits = [](std::optional<std::int64_t> length) { return !length || (*length >= 0 && *length <= largest); };
    // Only the div the panels stand for has handles; one that is no longer it keeps its size.
    if (rule.kind != Rule::Kind::Div || rule != panelsRule() || !fits(width) || !fits(height) || (!width && !height))
        return;
    if (editOpen()) {
        if (width)
            typeNumber(*this, propertyNamed("width"), static_cast<std::int32_t>(*width));
        if (height)
            typeNumber(*this, propertyNamed("height"), static_cast<std::int32_t>(*height));
        if (previewFeed)
            previewFeed->typedChanged();
        return;
    }
    runCommand("Átméretezés", [this, rule, width, height] {
        DivStyle& div = changeDiv(rule.number);
        if (width)
            setValue(propertyNamed("width"), div, static_cast<std::int32_t>(*width));
        if (height)
            setValue(propertyNamed("height"), div, static_cast<std::int32_t>(*height));
    });
}

// A drag inside the marked div, or an arrow key, in the preview: as typed into "Balra" and
// "Fent" while its edit is open, else stored at once; a run of arrow presses is one step.
void TForm1::previewMoved(const Rule& rule, std::optional<std::int64_t> left, std::optional<std::int64_t> top,
                          bool keyed)
{
    const std::pair<const Property&, std::optional<std::int64_t>> offsets[] = {{propertyNamed("left"), left},
                                                                               {propertyNamed("top"), top}};
    const auto fits = [](const auto& each) {
        return !each.second || (*each.second >= each.first.least && *each.second <= each.first.most);
    };
    if (rule.kind != Rule::Kind::Div || rule != panelsRule() || !std::ranges::all_of(offsets, fits) || (!left && !top))
        return;
    if (editOpen()) {
        for (const auto& [row, offset] : offsets)
            if (offset)
                typeNumber(*this, row, static_cast<std::int32_t>(*offset));
        if (previewFeed)
            previewFeed->typedChanged();
        return;
    }
    runCommand("Áthelyezés", [this, rule, &offsets] {
        DivStyle& div = changeDiv(rule.number);
        for (const auto& [row, offset] : offsets)
            if (offset)
                setValue(row, div, static_cast<std::int32_t>(*offset));
    }, keyed ? StepMerging::ArrowMoves : StepMerging::None);
}

// The pointer over the box-model diagram shades that part of the marked box in the preview.
void TForm1::shadeInPreview(BoxDiagram::Part part)
{
    if (previewFeed)
        previewFeed->showShaded(shadedPart(part));
}

void TForm1::hoverPreview(const Rule& rule)
{
    if (previewFeed)
        RunGuarded([this, &rule] { previewFeed->showHovered(ruleName(rule)); });
}

// A div clicked opens that div, the page around every div the body, as the rules panel
// would; the window comes up to be typed into.
void TForm1::previewClicked(const std::string& name)
{
    const Rule rule = liveRuleNamed(name);
    if (rule.kind == Rule::Kind::None)
        return;
    reopenRuleCommand(rule);
    BringToFront();
    if (editOpen())
        Edit3->SetFocus();
}
