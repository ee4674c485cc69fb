#include "output/WebPageWriter.h"

#include "model/ColorValue.h"
#include "model/CssValueText.h"
#include "model/Nesting.h"
#include "model/Properties.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cstdint>
#include <vector>

namespace {

std::string escapedHtml(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

// Percent-encoded, so that nothing in it can end the url("…") or the style element. With no
// page folder, a full path is a file: URL and a relative one stays relative.
std::string pictureUrl(const std::string& path, const std::string& pageFolder)
{
    const QString picture = QString::fromStdString(path);
    QString relative = picture;
    const bool full = QFileInfo(picture).isAbsolute();
    if (full && pageFolder.empty())
        return QUrl::fromLocalFile(picture).toEncoded().toStdString();
    if (full) {
        relative = QDir(QString::fromStdString(pageFolder)).relativeFilePath(picture);
        if (relative == QLatin1String("..") || relative.startsWith(QLatin1String("../")))
            return QUrl::fromLocalFile(QDir::cleanPath(picture)).toEncoded().toStdString();
    }
    QUrl url;
    // "./" keeps a colon in the first part of the path from reading as a scheme.
    url.setPath(QStringLiteral("./") + relative, QUrl::DecodedMode);
    return url.toEncoded().toStdString();
}

class Rules
{
public:
    explicit Rules(std::string& css) : css(css) {}

    void text(std::string_view property, const std::string& value)
    {
        if (!value.empty())
            css.append("  ").append(property).append(": ").append(value).append(";\n");
    }
    void size(std::string_view property, std::int32_t pixels)
    {
        if (pixels < 0)
            css += "  /*" + negativeSizeRemark(property, pixels) + "*/\n";
        else
            text(property, std::to_string(pixels) + "px");
    }
    // Only a colour text: any other text, from a file edited by hand, could end the rule or
    // the page.
    void color(std::string_view property, const std::string& value)
    {
        if (value.empty() || isColorText(value))
            text(property, value);
        else
            css += "  /*" + notAColorRemark(property) + "*/\n";
    }
    void background(const Property& row, const std::string& value, const std::string& pageFolder)
    {
        if (value.empty())
            return;
        if (isColorText(value))
            text(pageNameWith(row, colorPart), value);
        else
            text(pageNameWith(row, picturePart), "url(\"" + pictureUrl(value, pageFolder) + "\")");
    }

private:
    std::string& css;
};

std::string sidesText(Sides sides)
{
    std::string text;
    for (const std::int32_t side : {sides.top, sides.right, sides.bottom, sides.left})
        text.append(text.empty() ? "" : " ").append(std::to_string(side)).append("px");
    return text;
}

std::string borderText(const Border& border, const Property& row)
{
    std::string text = std::to_string(border.width) + "px " + std::string(row.keywords[static_cast<std::size_t>(border.style)]);
    if (isColorText(border.color))
        text.append(" ").append(border.color);
    return text;
}

// Every property the record's kind of rule has, in the table's order, as a browser reads it;
// one that is not always written only where it is away from its default.
template <typename Record>
std::string declarations(const Record& record, const std::string& pageFolder)
{
    std::string css;
    Rules rules(css);
    for (const Property& row : properties) {
        const Holder<Record>& holder = row.in<Record>();
        if (!holder.has() || (!row.alwaysWritten && atDefault(row, record)))
            continue;
        const PropertyValue value = valueOf(row, record);
        switch (row.kind) {
        case ValueKind::Pixels: rules.size(row.pageName, std::get<std::int32_t>(value)); break;
        case ValueKind::Color: rules.color(row.pageName, std::get<std::string>(value)); break;
        case ValueKind::ColorOrPicture: rules.background(row, std::get<std::string>(value), pageFolder); break;
        case ValueKind::Keyword:
        case ValueKind::FontFamily: rules.text(row.pageName, std::get<std::string>(value)); break;
        case ValueKind::Sides: rules.text(row.pageName, sidesText(std::get<Sides>(value))); break;
        case ValueKind::Border: rules.text(row.pageName, borderText(std::get<Border>(value), row)); break;
        case ValueKind::Offset: rules.text(row.pageName, std::to_string(std::get<std::int32_t>(value)) + "px"); break;
        case ValueKind::Percent: rules.text(row.pageName, fractionText(std::get<std::int32_t>(value))); break;
        }
    }
    return css;
}

// The elements, children after their parent's text and in number order; no recursion, so
// that however deep the nesting, the stack is not.
void writeElements(std::string& html, std::span<const std::unique_ptr<DivStyle>> divs)
{
    const std::vector<std::int32_t> parents = shownParents(divs);
    std::vector<std::vector<std::int32_t>> children(divs.size() + 1);   // the last: the top level
    for (std::size_t n = 0; n < divs.size(); ++n)
        children[parents[n] < 0 ? divs.size() : static_cast<std::size_t>(parents[n])].push_back(
            static_cast<std::int32_t>(n));

    struct Open { std::size_t of; std::size_t next; };
    std::vector<Open> open{{divs.size(), 0}};
    while (!open.empty()) {
        Open& top = open.back();
        if (top.next == children[top.of].size()) {
            if (top.of != divs.size())
                html += "</div>\n";
            open.pop_back();
            continue;
        }
        const auto child = static_cast<std::size_t>(children[top.of][top.next++]);
        const std::string name = "div" + std::to_string(child);
        html += "<div id=\"" + name + "\">" + name;
        if (children[child].empty())
            html += "</div>\n";
        else {
            html += "\n";
            open.push_back({child, 0});
        }
    }
}

} // namespace

std::string negativeSizeRemark(std::string_view property, std::int32_t pixels)
{
    return std::string(" ").append(property).append(": ").append(std::to_string(pixels))
        .append("px kimaradt: a CSS nem enged negatív méretet ");
}

std::string divRuleText(std::size_t number, const DivStyle& div)
{
    return "#div" + std::to_string(number) + " {\n" + divDeclarations(div, {}) + "}\n";
}

std::string bodyRuleText(const BodyStyle& body)
{
    return "body {\n" + bodyDeclarations(body, {}) + "}\n";
}

std::string notAColorRemark(std::string_view property)
{
    return std::string(" ").append(property).append(" kimaradt: nem színkód ");
}

std::string bodyDeclarations(const BodyStyle& body, const std::string& pageFolder)
{
    return declarations(body, pageFolder);
}

std::string divDeclarations(const DivStyle& div, const std::string& pageFolder)
{
    return declarations(div, pageFolder);
}

std::string webPageStyle(const BodyStyle* body, std::span<const std::unique_ptr<DivStyle>> divs,
                         const std::string& pageFolder)
{
    std::string css;
    if (body)
        css += "body {\n" + bodyDeclarations(*body, pageFolder) + "}\n";
    for (std::size_t n = 0; n < divs.size(); ++n)
        css += "#div" + std::to_string(n) + " {\n" + divDeclarations(*divs[n], pageFolder) + "}\n";
    return css;
}

std::string webPageElements(std::span<const std::unique_ptr<DivStyle>> divs)
{
    std::string html;
    writeElements(html, divs);
    return html;
}

std::string webPage(const std::string& title, const BodyStyle* body,
                    std::span<const std::unique_ptr<DivStyle>> divs, const std::string& pageFolder)
{
    const std::string css = webPageStyle(body, divs, pageFolder);
    std::string html = "<!DOCTYPE html>\n<html lang=\"hu\">\n<head>\n<meta charset=\"utf-8\">\n<title>"
        + escapedHtml(title) + "</title>\n";
    if (!css.empty())   // an empty style element is no valid HTML
        html += "<style>\n" + css + "</style>\n";
    html += "</head>\n<body>\n";
    writeElements(html, divs);
    html += "</body>\n</html>\n";
    return html;
}
