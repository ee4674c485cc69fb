// "Nézet" → "Előnézet": the web page of what the window holds, live in a browser engine that
// runs as a program of its own (prizmo-preview), and a click there opens what was clicked.

#include "ui/Unit1.h"

#include "output/WebPageWriter.h"
#include "ui/PreviewLink.h"
#include "ui/PreviewPlace.h"
#include "ui/RulesPanel.h"

#include <QCoreApplication>
#include <QDir>
#include <QMenuBar>
#include <QScreen>
#include <QUrl>

#include <filesystem>
#include <optional>

namespace {

const char* const previewShownKey = "view/preview";
const char* const previewPlaceKey = "view/previewPlace";

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

// Nothing of the preview is made until it is turned on: no process, no engine.
void TForm1::createPreview()
{
    previewProgram = QCoreApplication::applicationDirPath().toStdString() + "/prizmo-preview";
    Elnzet1->setCheckable(true);
    // What is being typed shows before "KÉSZ".
    for (TEdit* edit : {Edit1, Edit2, Edit3})
        edit->SetOnChange([this] { if (Preview) followPreview(); });
    for (TComboBox* list : {ComboBox1, ComboBox2})
        list->SetOnChange([this] { if (Preview) followPreview(); });
    // Once the window has its place on the screen, which the preview's place depends on;
    // unless the person has turned it on or off by then.
    previewStartPending = rememberedShown(previewShownKey);
    if (previewStartPending)
        QMetaObject::invokeMethod(
            this, [this] { RunGuarded([this] { if (std::exchange(previewStartPending, false)) showPreview(true); }); },
            Qt::QueuedConnection);
}

// Never over the menu, the panels or the rules: a click meant for "KÉSZ" must reach it.
QRect TForm1::previewPlace() const
{
    std::vector<QRect> controls{onScreen(menuBar())};
    int panelsHeight = 0;
    for (const TPanel* panel : {Panel1, Panel2, Panel3}) {
        controls.push_back(onScreen(panel));
        panelsHeight += panel->height();
    }
    if (Rules && Rules->isVisible())
        controls.push_back(onScreen(Rules));
    const QRect remembered = rememberedPlace(previewPlaceKey);
    if (placeStillFits(remembered, controls))
        return remembered;
    // Below where the panels show, whichever of them show later.
    QRect free = onScreen(ClientArea());
    free.setTop(free.top() + panelsHeight);
    return firstPreviewPlace(frameGeometry(), screen()->availableGeometry(), free);
}

void TForm1::showPreview(bool shown)
{
    if (shown && !Preview) {
        previewStatus.clear();
        showStatus();
        PreviewLink::Handlers handlers;
        handlers.ended = [this](PreviewLink::Ending ending) {
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
        handlers.placed = [](const QRect& place) { rememberPlace(previewPlaceKey, place); };
        Preview = createPreviewLink(previewPlace(), std::move(handlers));
        followPreview();
    } else if (!shown && Preview) {
        std::exchange(Preview, nullptr)->retire();
    }
    Elnzet1->setChecked(Preview != nullptr);
}

PreviewLink* TForm1::createPreviewLink(const QRect& place, PreviewHandlers handlers)
{
    return new PreviewLink(QString::fromStdString(previewProgram), place, std::move(handlers), this);
}

void TForm1::followPreview()
{
    // Relative pictures are relative to the stylesheet's folder, or to where Prizmo runs.
    std::error_code unknown;
    const std::filesystem::path folder = openedFileName.empty()
        ? std::filesystem::current_path(unknown)
        : std::filesystem::absolute(openedFileName, unknown).parent_path();
    const std::string pageFolder = folder.string();

    PreviewContent content;
    content.base = QUrl::fromLocalFile(QDir(QString::fromStdString(pageFolder)).absolutePath() + QLatin1Char('/'))
                       .toString()
                       .toStdString();
    content.css = webPageStyle(body.get(), liveDivs(), pageFolder);
    content.elements = webPageElements(liveDivs());
    content.declarations.reserve(liveDivs().size() + 1);
    content.declarations.push_back(body ? bodyDeclarations(*body, pageFolder) : std::string());
    for (const auto& div : liveDivs())
        content.declarations.push_back(divDeclarations(*div, pageFolder));

    const Rule rule = panelsRule();
    content.mark = ruleName(rule);
    // The values being typed, as "KÉSZ" would store them; the records stay as they are.
    if (editOpen() && rule.kind == Rule::Kind::Div) {
        DivStyle typed = *divs[rule.number];
        layTypedValuesOver(typed);
        content.typedRule = rule.number + 1;
        content.typedDeclarations = divDeclarations(typed, pageFolder);
    } else if (editOpen() && rule.kind == Rule::Kind::Body) {
        BodyStyle typed = *body;
        layTypedValuesOver(typed);
        content.typedRule = 0;
        content.typedDeclarations = bodyDeclarations(typed, pageFolder);
    }
    Preview->show(std::move(content));
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
