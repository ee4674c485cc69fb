#pragma once

#include "input/CssSyntax.h"
#include "model/BodyStyle.h"
#include "model/DivStyle.h"
#include "model/Properties.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What reading CSS into the records left out, said in one message:
// "12 deklarációt kihagytam: margin (4), padding (4), border (4)."
class LeftOut
{
public:
    void declaration(const std::string& property) { ++declarations[property]; }
    void rule(std::string_view prelude);
    void styleAttribute() { ++styleAttributes; }
    void lostFontColor(const std::string& ruleName) { lostFontColors.push_back(ruleName); }
    void renumbered() { divsRenumbered = true; }
    void flattened(std::size_t divs) { divsFlattened += divs; }
    void unknownCharset(const std::string& name) { charset = name; }
    std::string message() const;   // empty when nothing was left out

private:
    std::map<std::string, int> declarations;
    std::vector<std::string> rules;
    int styleAttributes = 0;
    std::vector<std::string> lostFontColors;
    bool divsRenumbered = false;
    std::size_t divsFlattened = 0;
    std::string charset;   // one the page declared that could not be read
};

// The values one rule's declarations give, the later over the earlier; unset where none did.
// Only the properties given are held: a page of many divs keeps one of these for each.
struct MappedValues {
    struct Mapped {
        std::optional<PropertyValue> value;   // a background's: its colour
        std::optional<std::string> picture;   // a background's picture; "": none
        bool lost = false;                    // a page's remark where a colour was no colour text

        bool given() const { return value || picture || lost; }
    };

    // The property's, at its place in the table; nothing when none was given.
    const Mapped* find(std::size_t row) const
    {
        const auto found = std::find_if(given.begin(), given.end(), [row](const auto& each) { return each.first == row; });
        return found == given.end() ? nullptr : &found->second;
    }
    Mapped* find(std::size_t row) { return const_cast<Mapped*>(std::as_const(*this).find(row)); }
    Mapped& made(std::size_t row) { return find(row) ? *find(row) : given.emplace_back(row, Mapped{}).second; }
    bool any() const { return !given.empty(); }
    // Room for up to `more` properties at once, rather than as each comes (a page of many
    // divs grows each one's by its rule); then no more room than what was given.
    void reserveFor(std::size_t more) { given.reserve(given.size() + more); }
    void fit() { given.shrink_to_fit(); }

private:
    std::vector<std::pair<std::size_t, Mapped>> given;
};

// Declarations that map, each a property of the table by its page name: sizes in whole px (a
// page's remark gives a negative one back), colours in any CSS colour form, a background's
// colour, its image (and the shorthand) as url(…) of a picture file, keywords of the row's.
// A url() leads to a file: relative to `pageFolder`, or left relative when it is empty.
class CssMapping
{
public:
    explicit CssMapping(std::string pageFolder) : pageFolder(std::move(pageFolder)) {}

    // `leftOut` hears of each declaration that does not map; none: another selector of the
    // same rule, heard already.
    void mapInto(MappedValues& values, const CssRule& rule, bool forBody, LeftOut* leftOut) const;
    DivStyle div(const MappedValues& values, const std::string& name, LeftOut& leftOut) const;
    BodyStyle body(const MappedValues& values, LeftOut& leftOut) const;

private:
    std::optional<std::string> picture(std::span<const CssToken> value) const;
    template <typename Record>
    Record record(const MappedValues& values, const std::string& name, LeftOut& leftOut) const;
    std::string pageFolder;
};

// CSS from the clipboard: each rule, whatever its selector, or the bare declarations, a new
// div, when something in it maps.
struct PastedRules {
    std::vector<std::unique_ptr<DivStyle>> divs;
    std::string leftOut;
};
PastedRules pastedRules(std::string_view css);
