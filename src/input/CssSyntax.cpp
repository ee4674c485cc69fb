#include "input/CssSyntax.h"

#include <charconv>
#include <functional>
#include <string>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isNewline(char c) { return c == '\n' || c == '\r' || c == '\f'; }
bool isWhitespace(char c) { return isNewline(c) || c == ' ' || c == '\t'; }
// Every byte of a UTF-8 sequence is at least 0x80; NUL stands for U+FFFD.
bool isIdentStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || static_cast<unsigned char>(c) >= 0x80 || c == '\0';
}
bool isIdentChar(char c) { return isIdentStart(c) || isDigit(c) || c == '-'; }

const char* const replacement = "\xEF\xBF\xBD";

void appendCodePoint(std::string& into, std::uint32_t code)
{
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        into += replacement;
    } else if (code < 0x80) {
        into += static_cast<char>(code);
    } else if (code < 0x800) {
        into += static_cast<char>(0xC0 | (code >> 6));
        into += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        into += static_cast<char>(0xE0 | (code >> 12));
        into += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        into += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        into += static_cast<char>(0xF0 | (code >> 18));
        into += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        into += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        into += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void appendChar(std::string& into, char c)
{
    if (c == '\0')
        into += replacement;
    else
        into += c;
}

void lowerInPlace(std::string& text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
}

} // namespace

std::string asciiLower(std::string_view text)
{
    std::string lower(text);
    lowerInPlace(lower);
    return lower;
}

std::vector<const CssToken*> withoutWhitespace(std::span<const CssToken> tokens)
{
    std::vector<const CssToken*> found;
    for (const CssToken& token : tokens)
        if (!token.is(CssTokenKind::Whitespace))
            found.push_back(&token);
    return found;
}

bool CssTokenizer::validEscape(std::size_t offset) const
{
    return !atEnd(offset) && at(offset) == '\\' && (atEnd(offset + 1) || !isNewline(at(offset + 1)));
}

bool CssTokenizer::startsIdent(std::size_t offset) const
{
    if (atEnd(offset))
        return false;
    const char first = at(offset);
    if (first == '-')
        return (!atEnd(offset + 1) && (isIdentStart(at(offset + 1)) || at(offset + 1) == '-')) || validEscape(offset + 1);
    if (first == '\\')
        return validEscape(offset);
    return isIdentStart(first);
}

bool CssTokenizer::startsNumber() const
{
    const char first = at();
    if (first == '+' || first == '-')
        return isDigit(at(1)) || (at(1) == '.' && isDigit(at(2)));
    if (first == '.')
        return isDigit(at(1));
    return isDigit(first) && !atEnd();
}

void CssTokenizer::consumeNewline()
{
    if (at() == '\r' && at(1) == '\n')
        ++pos;
    ++pos;
}

// After the backslash.
void CssTokenizer::consumeEscape(std::string& into)
{
    if (atEnd()) {
        into += replacement;
        return;
    }
    if (isHexDigit(at())) {
        std::uint32_t code = 0;
        for (int digits = 0; digits < 6 && !atEnd() && isHexDigit(at()); ++digits, ++pos) {
            const char c = at();
            code = code * 16 + static_cast<std::uint32_t>(isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10);
        }
        if (!atEnd() && isWhitespace(at()))
            consumeNewline();   // one whitespace, CR LF counting as one
        appendCodePoint(into, code);
        return;
    }
    appendChar(into, at());
    ++pos;
}

void CssTokenizer::consumeIdentSequence(std::string& name)
{
    for (;;) {
        // A run of plain characters at once; NUL and escapes one by one.
        const std::size_t run = pos;
        while (!atEnd() && at() != '\0' && isIdentChar(at()))
            ++pos;
        name.append(text.substr(run, pos - run));
        if (!atEnd() && at() == '\0') {
            name += replacement;
            ++pos;
        } else if (validEscape(0)) {
            ++pos;
            consumeEscape(name);
        } else {
            return;
        }
    }
}

void CssTokenizer::consumeNumber(CssToken& token)
{
    bool negative = false;
    if (at() == '+' || at() == '-')
        negative = text[pos++] == '-';
    const std::size_t digits = pos;
    while (isDigit(at()) && !atEnd())
        ++pos;
    token.integer = true;
    if (at() == '.' && isDigit(at(1))) {
        token.integer = false;
        pos += 2;
        while (isDigit(at()) && !atEnd())
            ++pos;
    }
    if ((at() == 'e' || at() == 'E') && (isDigit(at(1)) || ((at(1) == '+' || at(1) == '-') && isDigit(at(2))))) {
        token.integer = false;
        pos += 2;
        while (isDigit(at()) && !atEnd())
            ++pos;
    }
    double value = 0;
    std::string_view written = text.substr(digits, pos - digits);
    if (written.starts_with('.')) {
        const std::string withZero = std::string(1, '0').append(written);
        std::from_chars(withZero.data(), withZero.data() + withZero.size(), value);
    } else {
        std::from_chars(written.data(), written.data() + written.size(), value);
    }
    token.number = negative ? -value : value;
}

void CssTokenizer::consumeString(CssToken& token, char quote)
{
    token.kind = CssTokenKind::String;
    for (;;) {
        if (atEnd())
            return;
        const char c = at();
        if (c == quote) {
            ++pos;
            return;
        }
        if (isNewline(c)) {
            token.kind = CssTokenKind::BadString;   // the newline is left for the next token
            return;
        }
        ++pos;
        if (c != '\\') {
            appendChar(token.text, c);
        } else if (atEnd()) {
            return;
        } else if (isNewline(at())) {
            consumeNewline();   // a line continued
        } else {
            consumeEscape(token.text);
        }
    }
}

void CssTokenizer::consumeBadUrlRemnants()
{
    while (!atEnd()) {
        if (at() == ')') {
            ++pos;
            return;
        }
        if (validEscape(0)) {
            ++pos;
            std::string ignored;
            consumeEscape(ignored);
        } else {
            ++pos;
        }
    }
}

void CssTokenizer::consumeUrl(CssToken& token)
{
    token.kind = CssTokenKind::Url;
    while (!atEnd() && isWhitespace(at()))
        ++pos;
    for (;;) {
        if (atEnd())
            return;
        const char c = at();
        if (c == ')') {
            ++pos;
            return;
        }
        if (isWhitespace(c)) {
            while (!atEnd() && isWhitespace(at()))
                ++pos;
            if (atEnd() || at() == ')') {
                pos += atEnd() ? 0 : 1;
                return;
            }
            token.kind = CssTokenKind::BadUrl;
            consumeBadUrlRemnants();
            return;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\'' || c == '(' || (byte < 0x20 && c != '\0') || byte == 0x7F) {
            token.kind = CssTokenKind::BadUrl;
            consumeBadUrlRemnants();
            return;
        }
        if (c == '\\') {
            if (!validEscape(0)) {
                token.kind = CssTokenKind::BadUrl;
                consumeBadUrlRemnants();
                return;
            }
            ++pos;
            consumeEscape(token.text);
            continue;
        }
        appendChar(token.text, c);
        ++pos;
    }
}

void CssTokenizer::next(CssToken& token)
{
    token.kind = CssTokenKind::End;
    token.text.clear();
    token.number = 0;
    token.integer = false;
    token.begin = pos;
    const auto single = [&](CssTokenKind kind) {
        ++pos;
        token.kind = kind;
    };
    const auto numeric = [&] {
        consumeNumber(token);
        if (startsIdent(0)) {
            token.kind = CssTokenKind::Dimension;
            consumeIdentSequence(token.text);
        } else if (at() == '%' && !atEnd()) {
            ++pos;
            token.kind = CssTokenKind::Percentage;
        } else {
            token.kind = CssTokenKind::Number;
        }
    };
    const auto identLike = [&] {
        consumeIdentSequence(token.text);
        if (at() == '(' && !atEnd()) {
            ++pos;
            if (asciiLower(token.text) == "url") {
                while (isWhitespace(at()) && isWhitespace(at(1)) && !atEnd(1))
                    ++pos;
                const char first = isWhitespace(at()) ? at(1) : at();
                if (first != '"' && first != '\'') {
                    token.text.clear();
                    consumeUrl(token);
                    return;
                }
            }
            token.kind = CssTokenKind::Function;
        } else {
            token.kind = CssTokenKind::Ident;
        }
    };
    const auto delim = [&] {
        token.kind = CssTokenKind::Delim;
        appendChar(token.text, at());
        ++pos;
    };

    if (atEnd()) {
        token.kind = CssTokenKind::End;
    } else if (at() == '/' && at(1) == '*') {
        token.kind = CssTokenKind::Comment;
        const std::size_t close = text.find("*/", pos + 2);
        const std::size_t stop = close == std::string_view::npos ? text.size() : close;
        for (std::size_t i = pos + 2; i < stop; ++i)
            appendChar(token.text, text[i]);
        pos = close == std::string_view::npos ? text.size() : close + 2;
    } else if (isWhitespace(at())) {
        token.kind = CssTokenKind::Whitespace;
        while (!atEnd() && isWhitespace(at()))
            ++pos;
    } else {
        switch (at()) {
        case '"':
        case '\'': {
            const char quote = at();
            ++pos;
            consumeString(token, quote);
            break;
        }
        case '#':
            if (!atEnd(1) && (isIdentChar(at(1)) || validEscape(1))) {
                ++pos;
                token.kind = CssTokenKind::Hash;
                consumeIdentSequence(token.text);
            } else {
                delim();
            }
            break;
        case '(': single(CssTokenKind::OpenParen); break;
        case ')': single(CssTokenKind::CloseParen); break;
        case '[': single(CssTokenKind::OpenSquare); break;
        case ']': single(CssTokenKind::CloseSquare); break;
        case '{': single(CssTokenKind::OpenCurly); break;
        case '}': single(CssTokenKind::CloseCurly); break;
        case ',': single(CssTokenKind::Comma); break;
        case ':': single(CssTokenKind::Colon); break;
        case ';': single(CssTokenKind::Semicolon); break;
        case '+':
        case '.':
            startsNumber() ? numeric() : delim();
            break;
        case '-':
            if (startsNumber())
                numeric();
            else if (at(1) == '-' && at(2) == '>') {
                pos += 3;
                token.kind = CssTokenKind::Cdc;
            } else if (startsIdent(0))
                identLike();
            else
                delim();
            break;
        case '<':
            if (text.substr(pos, 4) == "<!--") {
                pos += 4;
                token.kind = CssTokenKind::Cdo;
            } else {
                delim();
            }
            break;
        case '@':
            if (startsIdent(1)) {
                ++pos;
                token.kind = CssTokenKind::AtKeyword;
                consumeIdentSequence(token.text);
            } else {
                delim();
            }
            break;
        case '\\':
            validEscape(0) ? identLike() : delim();
            break;
        default:
            if (isDigit(at()))
                numeric();
            else if (isIdentStart(at()))
                identLike();
            else
                delim();
        }
    }
    token.end = pos;
}

namespace {

// Reads rules and declarations from the tokens, one token ahead, as the standard's parser
// does; a block that never closes ends with the text.
class CssParser
{
public:
    explicit CssParser(std::string_view css) : css(css), tokens(css) { advance(); }

    void rules(const std::function<void(CssRule&)>& take)
    {
        CssRule rule;   // one for all: its lists keep their room from rule to rule
        for (;;) {
            skipWhitespace();
            if (current.is(CssTokenKind::End))
                return;
            if (current.is(CssTokenKind::Cdo) || current.is(CssTokenKind::Cdc)) {
                advance();
                continue;
            }
            emptied(rule);
            if (current.is(CssTokenKind::AtKeyword)) {
                rule.atRule = true;
                const std::size_t begin = current.begin;
                advance();
                const std::size_t end = skipAtRule();
                rule.prelude = trimmed(css.substr(begin, end - begin));
                take(rule);
            } else if (qualifiedRule(rule)) {
                take(rule);
            }
        }
    }

    CssRule bareDeclarations()
    {
        CssRule rule;
        declarations(rule, false);
        return rule;
    }

private:
    static void emptied(CssRule& rule)
    {
        rule.prelude.clear();
        rule.selectors.clear();
        rule.atRule = false;
        rule.declarations.clear();
        rule.comments.clear();
        rule.skipped.clear();
    }
    void advance() { tokens.next(current); }
    // Comments stand for nothing but between declarations.
    void advanceOverComments()
    {
        do
            advance();
        while (current.is(CssTokenKind::Comment));
    }
    void skipWhitespace()
    {
        while (current.is(CssTokenKind::Whitespace) || current.is(CssTokenKind::Comment))
            advance();
    }
    static std::string trimmed(std::string_view text)
    {
        while (!text.empty() && isWhitespace(text.front()))
            text.remove_prefix(1);
        while (!text.empty() && isWhitespace(text.back()))
            text.remove_suffix(1);
        return std::string(text);
    }

    // One component value from the current token on, a block or function whole.
    void skipComponent(std::vector<CssToken>* into)
    {
        int depth = 0;
        do {
            if (current.is(CssTokenKind::End))
                return;
            if (current.is(CssTokenKind::Function) || current.is(CssTokenKind::OpenParen)
                || current.is(CssTokenKind::OpenSquare) || current.is(CssTokenKind::OpenCurly))
                ++depth;
            else if (current.is(CssTokenKind::CloseParen) || current.is(CssTokenKind::CloseSquare)
                     || current.is(CssTokenKind::CloseCurly))
                --depth;
            if (into && !current.is(CssTokenKind::Comment))
                into->push_back(std::move(current));
            advance();
        } while (depth > 0);
    }

    // The prelude up to ";" or a block, which is skipped; where the prelude ends.
    std::size_t skipAtRule()
    {
        while (!current.is(CssTokenKind::End) && !current.is(CssTokenKind::Semicolon)
               && !current.is(CssTokenKind::OpenCurly))
            skipComponent(nullptr);
        const std::size_t end = current.begin;
        if (current.is(CssTokenKind::Semicolon))
            advance();
        else
            skipComponent(nullptr);   // the block, if any
        return end;
    }

    bool qualifiedRule(CssRule& rule)
    {
        const std::size_t begin = current.begin;
        std::vector<CssToken> selector;
        for (;;) {
            if (current.is(CssTokenKind::End))
                return false;   // no block: no rule
            if (current.is(CssTokenKind::OpenCurly))
                break;
            if (current.is(CssTokenKind::Comma)) {
                rule.selectors.push_back(trimmedTokens(std::move(selector)));
                selector.clear();
                advance();
                continue;
            }
            skipComponent(&selector);
        }
        rule.selectors.push_back(trimmedTokens(std::move(selector)));
        rule.prelude = trimmed(css.substr(begin, current.begin - begin));
        advance();
        declarations(rule, true);
        return true;
    }

    static std::vector<CssToken> trimmedTokens(std::vector<CssToken> list)
    {
        while (!list.empty() && list.back().is(CssTokenKind::Whitespace))
            list.pop_back();
        std::size_t first = 0;
        while (first < list.size() && list[first].is(CssTokenKind::Whitespace))
            ++first;
        list.erase(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(first));
        return list;
    }

    // Up to the block's "}" (inBlock) or the end.
    void declarations(CssRule& rule, bool inBlock)
    {
        for (;;) {
            switch (current.kind) {
            case CssTokenKind::End:
                return;
            case CssTokenKind::CloseCurly:
                advance();   // the block's end, or a stray one in bare text
                if (inBlock)
                    return;
                break;
            case CssTokenKind::Whitespace:
            case CssTokenKind::Semicolon:
                advance();
                break;
            case CssTokenKind::Comment:
                rule.comments.push_back(std::move(current.text));
                advance();
                break;
            case CssTokenKind::Ident:
                declaration(rule);
                break;
            default:
                skipUntilSemicolon(rule);
            }
        }
    }

    // Up to the next ";" or the block's end, which is left for the caller.
    std::size_t skipUntilSemicolon()
    {
        std::size_t end = current.begin;
        while (!current.is(CssTokenKind::End) && !current.is(CssTokenKind::Semicolon)
               && !current.is(CssTokenKind::CloseCurly)) {
            skipComponent(nullptr);
            end = current.begin;
        }
        return end;
    }
    void skipUntilSemicolon(CssRule& rule)
    {
        const std::size_t begin = current.begin;
        const std::size_t end = skipUntilSemicolon();
        rule.skipped.push_back(trimmed(css.substr(begin, end - begin)));
    }

    void declaration(CssRule& rule)
    {
        CssDeclaration found;
        found.name = std::move(current.text);
        lowerInPlace(found.name);
        advanceOverComments();
        while (current.is(CssTokenKind::Whitespace))
            advanceOverComments();
        if (!current.is(CssTokenKind::Colon)) {   // a property without a value
            skipUntilSemicolon();
            rule.declarations.push_back(std::move(found));
            return;
        }
        advanceOverComments();
        while (current.is(CssTokenKind::Whitespace))   // trimmed anyway: never held
            advanceOverComments();
        while (!current.is(CssTokenKind::End) && !current.is(CssTokenKind::Semicolon)
               && !current.is(CssTokenKind::CloseCurly))
            skipComponent(&found.value);
        found.value = trimmedTokens(std::move(found.value));
        // "!important" weighs nothing here: the later declaration of a property wins.
        std::vector<CssToken>& value = found.value;
        std::size_t last = value.size();
        if (last > 0 && value[last - 1].is(CssTokenKind::Ident) && asciiLower(value[last - 1].text) == "important") {
            std::size_t bang = last - 1;
            while (bang > 0 && value[bang - 1].is(CssTokenKind::Whitespace))
                --bang;
            if (bang > 0 && value[bang - 1].isDelim('!')) {
                value.resize(bang - 1);
                value = trimmedTokens(std::move(value));
            }
        }
        rule.declarations.push_back(std::move(found));
    }

    std::string_view css;
    CssTokenizer tokens;
    CssToken current;
};

} // namespace

std::vector<CssRule> cssRules(std::string_view css)
{
    std::vector<CssRule> found;
    CssParser(css).rules([&found](CssRule& rule) { found.push_back(std::move(rule)); });
    return found;
}

void forEachCssRule(std::string_view css, const std::function<void(CssRule&)>& take)
{
    CssParser(css).rules(take);
}

CssRule cssDeclarations(std::string_view css)
{
    return CssParser(css).bareDeclarations();
}
