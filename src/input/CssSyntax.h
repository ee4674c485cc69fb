#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// CSS as the CSS Syntax Module Level 3 reads it: its tokens, then its rules and declarations.
// Text is UTF-8; a NUL reads as U+FFFD.

enum class CssTokenKind : std::uint8_t {
    Whitespace, Comment, Ident, Function, AtKeyword, Hash, String, BadString, Url, BadUrl, Delim,
    Number, Percentage, Dimension, Cdo, Cdc, Colon, Semicolon, Comma,
    OpenSquare, CloseSquare, OpenParen, CloseParen, OpenCurly, CloseCurly, End
};

struct CssToken {
    CssTokenKind kind = CssTokenKind::End;
    // The name of an ident, function, at-keyword or hash; the value of a string or url; the
    // character of a delim; the unit of a dimension; the text inside a comment.
    std::string text;
    double number = 0;      // number, percentage, dimension
    bool integer = false;   // written without a fraction or exponent
    std::size_t begin = 0, end = 0;   // where it stands in the text read

    bool is(CssTokenKind other) const { return kind == other; }
    bool isDelim(char c) const { return kind == CssTokenKind::Delim && text.size() == 1 && text[0] == c; }
};

// Comments come out as tokens of their own, which the standard drops: a writer's remarks can
// carry what no declaration could.
class CssTokenizer
{
public:
    explicit CssTokenizer(std::string_view text) : text(text) {}
    // The next token, into `token`: its text's room is used again.
    void next(CssToken& token);

private:
    char at(std::size_t offset = 0) const { return pos + offset < text.size() ? text[pos + offset] : '\0'; }
    bool atEnd(std::size_t offset = 0) const { return pos + offset >= text.size(); }
    bool validEscape(std::size_t offset) const;
    bool startsIdent(std::size_t offset) const;
    bool startsNumber() const;
    void consumeEscape(std::string& into);
    void consumeIdentSequence(std::string& into);
    void consumeNumber(CssToken& token);
    void consumeString(CssToken& token, char quote);
    void consumeUrl(CssToken& token);
    void consumeBadUrlRemnants();
    void consumeNewline();

    std::string_view text;
    std::size_t pos = 0;
};

std::string asciiLower(std::string_view text);
// The tokens of a value without its whitespace.
std::vector<const CssToken*> withoutWhitespace(std::span<const CssToken> tokens);

struct CssDeclaration {
    std::string name;                // lower case
    std::vector<CssToken> value;     // without the whitespace around it and "!important"
};

// A rule at the top level: a qualified rule with its declarations, or an at-rule, whose
// block is not read.
struct CssRule {
    std::string prelude;                 // the selector's text as written, or "@name …"
    std::vector<std::vector<CssToken>> selectors;   // the prelude split at its commas, trimmed
    bool atRule = false;
    std::vector<CssDeclaration> declarations;
    std::vector<std::string> comments;   // between the declarations
    std::vector<std::string> skipped;    // what stood among them and is no declaration
};

std::vector<CssRule> cssRules(std::string_view css);
// The same, one rule at a time, so that a long style sheet is never held as tokens whole.
void forEachCssRule(std::string_view css, const std::function<void(CssRule&)>& take);
// Declarations with no selector or braces around them, as in a style attribute.
CssRule cssDeclarations(std::string_view css);
