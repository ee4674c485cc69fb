#include "input/CssMapping.h"

#include "input/CssBoxValues.h"
#include "input/CssColor.h"
#include "model/Nesting.h"
#include "output/WebPageWriter.h"

#include <QDir>
#include <QUrl>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

// A size in whole pixels that "Szélesség" and "Magasság" accept; a bare 0 is one too.
std::optional<std::int32_t> pixels(std::span<const CssToken> value)
{
    if (value.size() != 1)
        return std::nullopt;
    const CssToken& token = value.front();
    const bool px = token.is(CssTokenKind::Dimension) && asciiLower(token.text) == "px";
    const bool zero = token.is(CssTokenKind::Number) && token.number == 0;
    if (!(px || zero) || token.number < 0 || token.number > std::numeric_limits<std::int32_t>::max()
        || token.number != std::floor(token.number))
        return std::nullopt;
    return static_cast<std::int32_t>(token.number);
}

static_assert(std::ranges::none_of(properties, [](const Property& row) { return row.pageName.empty(); }),
              "a declaration's name is matched to rows by their page names' first letters");

// Whether a rule of that kind has the property.
bool holds(const Property& row, bool forBody)
{
    return forBody ? row.body.has() : row.div.has();
}

// "background-color" is `pageName` "background" and `part` "-color".
bool named(std::string_view name, std::string_view pageName, std::string_view part = {})
{
    return name.size() == pageName.size() + part.size() && name.starts_with(pageName) && name.ends_with(part);
}

bool isNone(std::span<const CssToken> value)
{
    return value.size() == 1 && value.front().is(CssTokenKind::Ident) && asciiLower(value.front().text) == "none";
}

// The remark a page carries for a negative size: " width: -5px kimaradt: …".
std::optional<std::int32_t> remarkedSize(const std::string& comment, std::string_view property)
{
    const std::string start = std::string(" ").append(property).append(": ");
    if (!comment.starts_with(start))
        return std::nullopt;
    std::int32_t size = 0;
    const char* const digits = comment.data() + start.size();
    const auto [stop, error] = std::from_chars(digits, comment.data() + comment.size(), size);
    if (error != std::errc() || size >= 0 || comment != negativeSizeRemark(property, size))
        return std::nullopt;
    return size;
}

std::string shortened(std::string_view text)
{
    constexpr std::size_t longest = 40;
    std::string flat;   // each run of whitespace one space
    for (const char c : text) {
        const bool space = c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f';
        if (!space)
            flat += c;
        else if (!flat.empty() && flat.back() != ' ')
            flat += ' ';
        if (flat.size() > longest + 4)
            break;
    }
    if (flat.size() <= longest)
        return flat;
    std::size_t cut = longest;
    while (cut > 0 && (static_cast<unsigned char>(flat[cut]) & 0xC0) == 0x80)
        --cut;   // not within a character
    return flat.substr(0, cut) + "…";
}

} // namespace

void LeftOut::rule(std::string_view prelude)
{
    rules.push_back(shortened(prelude));
}

std::string LeftOut::message() const
{
    constexpr std::size_t listed = 6;
    std::vector<std::string> sentences;
    if (!charset.empty())
        sentences.push_back("A lap karakterkészletét (" + shortened(charset) + ") nem ismerem, UTF-8-ként olvastam.");
    if (!declarations.empty()) {
        std::vector<std::pair<std::string, int>> byCount(declarations.begin(), declarations.end());
        std::stable_sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
        int total = 0;
        std::string names;
        for (std::size_t i = 0; i < byCount.size(); ++i) {
            total += byCount[i].second;
            if (i < listed)
                names += (i ? ", " : "") + byCount[i].first + " (" + std::to_string(byCount[i].second) + ")";
        }
        sentences.push_back(std::to_string(total) + " deklarációt kihagytam: " + names + (byCount.size() > listed ? ", …" : "") + ".");
    }
    if (!rules.empty()) {
        std::string names;
        for (std::size_t i = 0; i < rules.size() && i < listed; ++i)
            names += (i ? ", " : "") + rules[i];
        sentences.push_back(std::to_string(rules.size()) + " szabályt kihagytam: " + names + (rules.size() > listed ? ", …" : "") + ".");
    }
    if (styleAttributes > 0)
        sentences.push_back(std::to_string(styleAttributes) + " style attribútumot kihagytam.");
    if (!lostFontColors.empty()) {
        std::string names;
        for (std::size_t i = 0; i < lostFontColors.size() && i < listed; ++i)
            names += (i ? ", " : "") + lostFontColors[i];
        sentences.push_back("Ezek betűszínét a weboldal nem őrizte meg, mert nem színkód volt: " + names
                            + (lostFontColors.size() > listed ? ", …" : "") + ".");
    }
    if (divsRenumbered)
        sentences.push_back("A divek nem 0-tól, hézag nélkül számozódtak, ezért a lap sorrendjében új számot kaptak.");
    if (divsFlattened > 0)
        sentences.push_back(std::to_string(divsFlattened) + " div " + std::to_string(maxNestingDepth)
                            + " szintnél mélyebben volt: a böngészőkhöz hasonlóan az " + std::to_string(maxNestingDepth)
                            + ". szintre tettem őket.");
    std::string text;
    for (const std::string& sentence : sentences)
        text += (text.empty() ? "" : " ") + sentence;
    return text;
}

std::optional<std::string> CssMapping::picture(std::span<const CssToken> value) const
{
    std::string written;
    if (value.size() == 1 && value.front().is(CssTokenKind::Url)) {
        written = value.front().text;
    } else {
        const std::vector<const CssToken*> inside = withoutWhitespace(value);
        if (inside.size() != 3 || !inside[0]->is(CssTokenKind::Function) || asciiLower(inside[0]->text) != "url"
            || !inside[1]->is(CssTokenKind::String) || !inside[2]->is(CssTokenKind::CloseParen))
            return std::nullopt;
        written = inside[1]->text;
    }
    const QUrl url(QString::fromStdString(written));   // a space or a stray % taken as meant
    if (!url.isValid() || written.empty())
        return std::nullopt;
    if (url.scheme() == QLatin1String("file"))
        return url.toLocalFile().isEmpty() ? std::nullopt : std::optional(url.toLocalFile().toStdString());
    if (!url.scheme().isEmpty() || !url.host().isEmpty())
        return std::nullopt;   // a picture on the web is no picture file
    if (pageFolder.empty())   // as the page writes it, after "./"
        return QDir::cleanPath(url.path(QUrl::FullyDecoded)).toStdString();
    const QUrl folder = QUrl::fromLocalFile(QDir(QString::fromStdString(pageFolder)).absolutePath() + QLatin1Char('/'));
    return folder.resolved(url).toLocalFile().toStdString();
}

void CssMapping::mapInto(MappedValues& values, const CssRule& rule, bool forBody, LeftOut* leftOut) const
{
    for (const std::string& comment : rule.comments)
        for (std::size_t at = 0; at < properties.size(); ++at) {
            const Property& row = properties[at];
            if (!holds(row, forBody))
                continue;
            if (row.kind == ValueKind::Color && comment == notAColorRemark(row.pageName)) {
                MappedValues::Mapped& into = values.made(at);
                into.value = std::string();
                into.lost = true;
            }
            if (row.kind == ValueKind::Pixels)
                if (const auto size = remarkedSize(comment, row.pageName); size && *size >= row.least)
                    values.made(at).value = *size;
        }
    if (leftOut)
        for (const std::string& skipped : rule.skipped)
            leftOut->rule(skipped);
    values.reserveFor(std::min(rule.declarations.size(), properties.size()));
    // `border-top` and the other sides count only where all four agree.
    std::array<std::optional<Border>, 4> sideBorders;
    std::vector<std::string> sideBorderNames;
    std::size_t borderRow = 0;
    for (const CssDeclaration& declaration : rule.declarations) {
        const std::string& name = declaration.name;
        const std::span<const CssToken> value = declaration.value;
        bool mapped = false;
        const auto take = [&mapped](auto& into, auto found) {
            if (found) {
                into = *found;
                mapped = true;
            }
        };
        for (std::size_t at = 0; at < properties.size() && !mapped; ++at) {
            const Property& row = properties[at];
            // Every name a row reads starts with its page name: the rest are passed at once.
            if (!holds(row, forBody) || name.empty() || name.front() != row.pageName.front() || !name.starts_with(row.pageName))
                continue;
            // Into what was given before, or into a new entry kept only when something maps.
            MappedValues::Mapped* const given = values.find(at);
            MappedValues::Mapped fresh;
            MappedValues::Mapped& into = given ? *given : fresh;
            const auto keepFresh = [&] {
                if (!given && fresh.given())
                    values.made(at) = std::move(fresh);
            };
            switch (row.kind) {
            case ValueKind::Pixels:   // a box's corners, which CSS gives one by one
                if (named(name, row.pageName))
                    take(into.value, row.alwaysWritten ? pixels(value) : everyCornerOf(value, row));
                break;
            case ValueKind::Color:
                if (named(name, row.pageName)) {
                    take(into.value, cssColorText(value));
                    if (mapped)
                        into.lost = false;
                }
                break;
            case ValueKind::Keyword:
                if (named(name, row.pageName))
                    take(into.value, keywordOf(value, row));
                break;
            case ValueKind::Offset:
                if (named(name, row.pageName))
                    take(into.value, offsetOf(value, row));
                break;
            case ValueKind::FontFamily:
                if (named(name, row.pageName))
                    take(into.value, fontFamilyOf(value));
                break;
            case ValueKind::Percent:
                if (named(name, row.pageName))
                    take(into.value, percentOf(value));
                break;
            case ValueKind::Sides:
                if (named(name, row.pageName)) {
                    take(into.value, sidesOf(value, row));
                } else if (const auto side = sideNamed(name, row)) {
                    const std::vector<const CssToken*> parts = withoutWhitespace(value);
                    const auto pixels = parts.size() == 1 ? wholePixels(*parts.front(), row) : std::nullopt;
                    if (pixels) {
                        PropertyValue sides = into.value ? *into.value
                                                         : (forBody ? defaultOf<BodyStyle>(row) : defaultOf<DivStyle>(row));
                        setSide(std::get<Sides>(sides), *side, *pixels);
                        take(into.value, std::optional(sides));
                    }
                }
                break;
            case ValueKind::Border:
                if (named(name, row.pageName)) {
                    take(into.value, borderOf(value, row));
                } else if (const auto side = sideNamed(name, row)) {
                    if (const auto border = borderOf(value, row)) {
                        sideBorders[static_cast<std::size_t>(*side)] = border;
                        sideBorderNames.push_back(name);
                        borderRow = at;
                        mapped = true;
                    }
                } else {
                    for (const std::string_view part : {"-width", "-style", "-color"})
                        if (named(name, row.pageName, part)) {
                            Border border = into.value ? std::get<Border>(*into.value) : initialBorder();
                            if (layBorderPart(border, part, value, row))
                                take(into.value, std::optional<PropertyValue>(border));
                        }
                }
                break;
            case ValueKind::ColorOrPicture:
                if (named(name, row.pageName, colorPart)) {
                    take(into.value, cssColorText(value));
                } else if (named(name, row.pageName, picturePart)) {
                    take(into.picture, isNone(value) ? std::optional(std::string()) : picture(value));
                } else if (named(name, row.pageName)) {   // the shorthand: a colour or a picture
                    if (const auto color = cssColorText(value)) {
                        take(into.value, color);
                        into.picture = std::string();
                    } else if (const auto image = isNone(value) ? std::optional(std::string()) : picture(value)) {
                        take(into.picture, image);
                        into.value.reset();
                    }
                }
                break;
            }
            keepFresh();
        }
        if (!mapped && leftOut)
            leftOut->declaration(name);
    }
    values.fit();
    if (sideBorderNames.empty())
        return;
    const bool agree = std::all_of(sideBorders.begin(), sideBorders.end(),
                                   [&](const std::optional<Border>& side) { return side && *side == *sideBorders.front(); });
    if (agree)
        values.made(borderRow).value = *sideBorders.front();
    else if (leftOut)
        for (const std::string& name : sideBorderNames)
            leftOut->declaration(name);
}

namespace {

// One background: a picture over a colour, as the page shows them.
std::string background(const Property& row, const MappedValues::Mapped& mapped, LeftOut& leftOut)
{
    if (mapped.picture && !mapped.picture->empty()) {
        if (mapped.value)
            leftOut.declaration(pageNameWith(row, colorPart));
        return *mapped.picture;
    }
    return mapped.value ? std::get<std::string>(*mapped.value) : std::string();
}

} // namespace

// A property the declarations gave no value keeps its default.
template <typename Record>
Record CssMapping::record(const MappedValues& values, const std::string& name, LeftOut& leftOut) const
{
    Record record;
    bool lost = false;
    static const MappedValues::Mapped none;
    for (std::size_t at = 0; at < properties.size(); ++at) {
        const Property& row = properties[at];
        const MappedValues::Mapped* given = values.find(at);
        const MappedValues::Mapped& mapped = given ? *given : none;
        if (!row.in<Record>().has())
            continue;
        if (row.kind == ValueKind::ColorOrPicture)
            setValue(row, record, background(row, mapped, leftOut));
        else if (mapped.value)
            setValue(row, record, *mapped.value);
        lost = lost || mapped.lost;
    }
    if (lost)
        leftOut.lostFontColor(name);
    return record;
}

DivStyle CssMapping::div(const MappedValues& values, const std::string& name, LeftOut& leftOut) const
{
    return record<DivStyle>(values, name, leftOut);
}

BodyStyle CssMapping::body(const MappedValues& values, LeftOut& leftOut) const
{
    return record<BodyStyle>(values, "body", leftOut);
}

PastedRules pastedRules(std::string_view css)
{
    std::vector<CssRule> rules = cssRules(css);
    if (std::none_of(rules.begin(), rules.end(), [](const CssRule& rule) { return !rule.atRule; }))
        rules = {cssDeclarations(css)};
    const CssMapping mapping({});
    LeftOut leftOut;
    PastedRules pasted;
    for (const CssRule& rule : rules) {
        if (rule.atRule) {
            leftOut.rule(rule.prelude);
            continue;
        }
        MappedValues values;
        mapping.mapInto(values, rule, false, &leftOut);
        if (values.any())
            pasted.divs.push_back(std::make_unique<DivStyle>(mapping.div(values, rule.prelude.empty() ? "div" : rule.prelude, leftOut)));
    }
    pasted.leftOut = leftOut.message();
    return pasted;
}
