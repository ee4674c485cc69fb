#include "input/WebPageReader.h"

#include "input/CssMapping.h"
#include "input/CssRulesAside.h"
#include "input/GumboParse.h"
#include "input/PageEncoding.h"
#include "model/Nesting.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

namespace {

// "div" and a number as Prizmo writes it: no sign, no leading zero.
bool isDivName(std::string_view name)
{
    if (!name.starts_with("div") || name.size() == 3)
        return false;
    const std::string_view digits = name.substr(3);
    return std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; }) && (digits == "0" || digits[0] != '0');
}

struct PageDiv {
    std::string name;
    bool hasElement = false;
    std::size_t parent = none;   // the page div it lies in
    MappedValues values;
    static constexpr std::size_t none = static_cast<std::size_t>(-1);
};

class PageDivs
{
public:
    // The entry of the div named `name` (see isDivName), made at the end when it is new.
    std::size_t of(const std::string& name)
    {
        std::uint64_t number = 0;
        const auto [stop, error] = std::from_chars(name.data() + 3, name.data() + name.size(), number);
        if (error == std::errc() && number < numberedUpTo) {
            if (number >= byNumber.size())
                byNumber.resize(number + 1, PageDiv::none);
            std::size_t& entry = byNumber[number];
            if (entry == PageDiv::none)
                entry = made(name);
            return entry;
        }
        const auto [found, isNew] = byName.try_emplace(name, all.size());
        if (isNew)
            made(name);
        return found->second;
    }
    std::vector<PageDiv> all;   // in the order they were first met

private:
    std::size_t made(const std::string& name)
    {
        all.push_back({name, false, PageDiv::none, {}});
        return all.size() - 1;
    }

    // Pages number their divs from 0, so most are found by their number, without hashing.
    static constexpr std::uint64_t numberedUpTo = 1u << 20;
    std::vector<std::size_t> byNumber;
    std::unordered_map<std::string, std::size_t> byName;   // the rest
};

// The style elements' texts, in order, and the divs' elements with their nesting; no
// recursion, however deep the page.
void walk(const GumboNode* root, std::vector<std::string>& styles, PageDivs& divs, LeftOut& leftOut)
{
    struct Visit { const GumboNode* node; std::size_t inDiv; };
    std::vector<Visit> pending{{root, PageDiv::none}};
    while (!pending.empty()) {
        const Visit visit = pending.back();
        pending.pop_back();
        const GumboNode* node = visit.node;
        const GumboVector* children = nullptr;
        std::size_t inDiv = visit.inDiv;
        if (node->type == GUMBO_NODE_DOCUMENT) {
            children = &node->v.document.children;
        } else if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
            const GumboElement& element = node->v.element;
            children = &element.children;
            if (gumbo_get_attribute(&element.attributes, "style"))
                leftOut.styleAttribute();
            if (element.tag == GUMBO_TAG_STYLE) {
                std::string& text = styles.emplace_back();
                for (unsigned i = 0; i < element.children.length; ++i) {
                    const auto* child = static_cast<const GumboNode*>(element.children.data[i]);
                    if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE || child->type == GUMBO_NODE_CDATA)
                        text += child->v.text.text;
                }
                continue;
            }
            if (element.tag == GUMBO_TAG_LINK) {
                const GumboAttribute* rel = gumbo_get_attribute(&element.attributes, "rel");
                if (rel && asciiLower(rel->value).find("stylesheet") != std::string::npos)
                    leftOut.rule("<link rel=\"stylesheet\">");
            }
            const GumboAttribute* id = gumbo_get_attribute(&element.attributes, "id");
            if (element.tag == GUMBO_TAG_DIV && id && isDivName(id->value)) {
                const std::size_t entry = divs.of(id->value);
                if (!divs.all[entry].hasElement) {   // an id twice: its first element counts
                    divs.all[entry].hasElement = true;
                    divs.all[entry].parent = inDiv;
                }
                inDiv = entry;
            }
        }
        if (children)
            for (unsigned i = children->length; i > 0; --i)
                pending.push_back({static_cast<const GumboNode*>(children->data[i - 1]), inDiv});
    }
}

// The selectors of a rule that name the body or a div: a div's entry, or none for the body.
// Another selector beside them takes nothing.
std::vector<std::size_t> ruleTargets(const CssRule& rule, PageDivs& divs)
{
    std::vector<std::size_t> targets;
    for (const std::vector<CssToken>& selector : rule.selectors) {
        if (selector.size() == 1 && selector[0].is(CssTokenKind::Ident) && asciiLower(selector[0].text) == "body")
            targets.push_back(PageDiv::none);
        else if (selector.size() == 1 && selector[0].is(CssTokenKind::Hash) && isDivName(selector[0].text))
            targets.push_back(divs.of(selector[0].text));
    }
    return targets;
}

// The number each div takes: its own when they run 0 to n - 1, else its place.
std::vector<std::int32_t> numbers(const PageDivs& divs, LeftOut& leftOut)
{
    const std::size_t count = divs.all.size();
    std::vector<std::int32_t> numbered(count);
    bool own = true;
    for (std::size_t i = 0; i < count && own; ++i) {
        const std::string_view digits = std::string_view(divs.all[i].name).substr(3);
        std::uint64_t number = 0;
        const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        own = error == std::errc() && number < count;
        numbered[i] = static_cast<std::int32_t>(number);
    }
    if (!own) {
        leftOut.renumbered();
        for (std::size_t i = 0; i < count; ++i)
            numbered[i] = static_cast<std::int32_t>(i);
    }
    return numbered;
}

} // namespace

bool isWebPage(std::string_view bytes)
{
    const PageEncoding encoding = pageEncoding(bytes.substr(0, 3));   // only a mark can tell here
    std::string head;
    if (isUtf8Encoding(encoding)) {
        bytes.remove_prefix(encoding.markLength);
    } else {
        head = pageAsUtf8(bytes.substr(0, 4096), encoding);
        bytes = head;
    }
    const std::size_t start = bytes.find_first_not_of(" \t\r\n\f");
    if (start == std::string_view::npos)
        return false;
    const std::string opening = asciiLower(bytes.substr(start, 14));
    return opening.starts_with("<!doctype html") || opening.starts_with("<html");
}

WebPageReading readWebPage(std::string_view bytes, const std::string& pageFolder,
                           const std::function<bool(double)>& progress)
{
    std::vector<std::string> styles;
    PageDivs divs;
    LeftOut leftOut;
    const PageEncoding encoding = pageEncoding(bytes);
    leftOut.unknownCharset(encoding.unknown);
    std::string decoded;
    if (isUtf8Encoding(encoding)) {
        bytes.remove_prefix(encoding.markLength);
    } else {
        decoded = pageAsUtf8(bytes, encoding);
        bytes = decoded;
    }
    {
        const GumboParse tree(bytes, progress);
        if (tree.ranOutOfMemory())
            throw std::bad_alloc();
        if (!tree.document())
            return {};
        walk(tree.document(), styles, divs, leftOut);
    }
    std::string().swap(decoded);

    const CssMapping mapping(pageFolder);
    std::optional<MappedValues> body;
    for (std::string& style : styles) {
        forEachCssRuleReadAside(style, [&](const CssRule& rule) {
            const std::vector<std::size_t> targets = rule.atRule ? std::vector<std::size_t>{} : ruleTargets(rule, divs);
            if (targets.empty()) {
                leftOut.rule(rule.prelude);
                return;
            }
            // What does not map is said once, however many selectors the rule has.
            LeftOut* heard = &leftOut;
            for (const std::size_t target : targets) {
                MappedValues& values = target == PageDiv::none ? (body ? *body : body.emplace()) : divs.all[target].values;
                mapping.mapInto(values, rule, target == PageDiv::none, heard);
                heard = nullptr;
            }
        });
        std::string().swap(style);
    }
    if (!body && divs.all.empty())
        return WebPageReading{std::nullopt, {}, "Nincs benne body vagy #divN szabály, sem divN azonosítójú div."};

    const std::vector<std::int32_t> numbered = numbers(divs, leftOut);
    StyleSheetRecords records;
    if (body)
        records.body = mapping.body(*body, leftOut);
    std::vector<std::int32_t> parents(divs.all.size(), -1);
    for (std::size_t i = 0; i < divs.all.size(); ++i)
        if (divs.all[i].parent != PageDiv::none)
            parents[static_cast<std::size_t>(numbered[i])] = numbered[divs.all[i].parent];
    std::size_t flattened = 0;
    parents = shownParents(std::move(parents), &flattened);
    leftOut.flattened(flattened);
    records.divs.resize(divs.all.size());
    for (std::size_t i = 0; i < divs.all.size(); ++i) {
        const auto number = static_cast<std::size_t>(numbered[i]);
        auto div = std::make_unique<DivStyle>(mapping.div(divs.all[i].values, "div" + std::to_string(number), leftOut));
        div->setParent(parents[number]);
        records.divs[number] = std::move(div);
    }
    return WebPageReading{std::move(records), leftOut.message(), {}};
}
