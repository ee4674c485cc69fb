#include "ui/PreviewFeed.h"

#include "output/WebPageWriter.h"

#include <QDir>
#include <QUrl>

#include <filesystem>
#include <span>

PreviewFeed::PreviewFeed(const RecordsView& records, const std::string& openedFileName, Typed typed,
                         ShowingPart showingPart, PreviewLink& link)
    : records(records),
      openedFileName(openedFileName),
      typed(std::move(typed)),
      showingPart(std::move(showingPart)),
      link(link)
{
}

void PreviewFeed::follow(const StyleSheetChange& change)
{
    panels = shows(change.panels) ? change.panels : Rule{};
    content.mark = ruleName(panels);
    // A div nested elsewhere stands elsewhere in the elements: the page anew.
    if (change.restructured || !change.renested.empty() || change.fileChanged || content.declarations.empty()) {
        rebuild();
    } else {
        const auto shownCount = static_cast<std::size_t>(lastShown() + 1);
        if (change.appended > 0 && content.declarations.size() < shownCount + 1) {
            content.elements = webPageElements(records.divs().first(shownCount));
            for (std::size_t rule = content.declarations.size(); rule <= shownCount; ++rule)
                content.declarations.push_back(declarationsOf(rule));
        }
        for (const Rule& rule : change.values)
            if (rule.kind == Rule::Kind::Body)
                content.declarations[0] = declarationsOf(0);
            else if (rule.number <= lastShown())
                content.declarations[static_cast<std::size_t>(rule.number) + 1] = declarationsOf(rule.number + 1);
    }
    if (const bool part = records.lastDiv() >= shownDivs; std::exchange(showsPart, part) != part && showingPart)
        showingPart(part);
    showTyped();
}

void PreviewFeed::typedChanged()
{
    showTyped();
}

void PreviewFeed::showHovered(const std::string& rule)
{
    content.hovered = rule;
    showViewChange();
}

void PreviewFeed::showShaded(const std::string& part)
{
    content.shaded = part;
    showViewChange();
}

void PreviewFeed::showAtWidth(int width)
{
    content.width = width;
    showViewChange();
}

void PreviewFeed::showOutlines(bool shown)
{
    content.outlines = shown;
    showViewChange();
}

// Before the first page there is nothing to show it on; the first page carries it.
void PreviewFeed::showViewChange()
{
    if (!content.declarations.empty())
        link.show(content);
}

// Relative pictures are relative to the stylesheet's folder, or to where Prizmo runs.
void PreviewFeed::rebuild()
{
    std::error_code unknown;
    const std::filesystem::path folder = openedFileName.empty()
        ? std::filesystem::current_path(unknown)
        : std::filesystem::absolute(openedFileName, unknown).parent_path();
    pageFolder = folder.string();
    content.base = QUrl::fromLocalFile(QDir(QString::fromStdString(pageFolder)).absolutePath() + QLatin1Char('/'))
                       .toString()
                       .toStdString();
    const auto live = records.divs().first(static_cast<std::size_t>(lastShown() + 1));
    content.hasBody = records.body() != nullptr;
    content.elements = webPageElements(live);
    content.declarations.clear();
    content.declarations.reserve(live.size() + 1);
    for (std::size_t rule = 0; rule <= live.size(); ++rule)
        content.declarations.push_back(declarationsOf(rule));
}

// Declarations index 0 is the body's, n + 1 div n's.
std::string PreviewFeed::declarationsOf(std::size_t rule) const
{
    if (rule == 0)
        return records.body() ? bodyDeclarations(*records.body(), pageFolder) : std::string();
    return divDeclarations(records.div(static_cast<std::int32_t>(rule - 1)), pageFolder);
}

// The values being typed, as "KÉSZ" would store them; the records stay as they are.
void PreviewFeed::showTyped()
{
    content.typedRule = -1;
    content.typedDeclarations.clear();
    if (panels.kind != Rule::Kind::None) {
        const TypedRule rule = typed();
        if (rule.body || rule.div) {
            content.typedRule = panels.kind == Rule::Kind::Body ? 0 : panels.number + 1;
            content.typedDeclarations = rule.body ? bodyDeclarations(*rule.body, pageFolder)
                                                  : divDeclarations(*rule.div, pageFolder);
        }
    }
    link.show(content);
}
