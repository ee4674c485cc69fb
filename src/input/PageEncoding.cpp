#include "input/PageEncoding.h"

#include <QStringDecoder>

#include <algorithm>
#include <cctype>
#include <optional>

namespace {

std::string lower(std::string_view text)
{
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// A tag's attributes one at a time, from just after its name to its end.
class Attributes
{
public:
    Attributes(std::string_view text, std::size_t at) : text(text), at(at) {}

    // The next name (lower case) and value; nothing at the tag's end.
    std::optional<std::pair<std::string, std::string>> next()
    {
        while (at < text.size() && (isSpace(text[at]) || text[at] == '/'))
            ++at;
        if (at >= text.size() || text[at] == '>')
            return std::nullopt;
        const std::size_t nameStart = at;
        while (at < text.size() && !isSpace(text[at]) && text[at] != '=' && text[at] != '>' && text[at] != '/')
            ++at;
        std::string name = lower(text.substr(nameStart, at - nameStart));
        while (at < text.size() && isSpace(text[at]))
            ++at;
        if (at >= text.size() || text[at] != '=')
            return std::pair{name, std::string()};
        ++at;
        while (at < text.size() && isSpace(text[at]))
            ++at;
        if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
            const char quote = text[at++];
            const std::size_t end = std::min(text.find(quote, at), text.size());
            std::string value(text.substr(at, end - at));
            at = end + 1;
            return std::pair{name, value};
        }
        const std::size_t valueStart = at;
        while (at < text.size() && !isSpace(text[at]) && text[at] != '>')
            ++at;
        return std::pair{name, std::string(text.substr(valueStart, at - valueStart))};
    }
    std::size_t end() const { return at; }

private:
    std::string_view text;
    std::size_t at;
};

// The charset after "charset=" in a Content-Type's value, as browsers find it.
std::string charsetIn(const std::string& content)
{
    const std::string lowered = lower(content);
    std::size_t at = lowered.find("charset");
    while (at != std::string::npos) {
        std::size_t value = at + 7;
        while (value < lowered.size() && isSpace(lowered[value]))
            ++value;
        if (value < lowered.size() && lowered[value] == '=') {
            ++value;
            while (value < lowered.size() && isSpace(lowered[value]))
                ++value;
            const bool quoted = value < lowered.size() && (lowered[value] == '"' || lowered[value] == '\'');
            const char quote = quoted ? lowered[value++] : ';';
            std::size_t end = value;
            while (end < lowered.size() && lowered[end] != quote && (quoted || (!isSpace(lowered[end]) && lowered[end] != ';')))
                ++end;
            return content.substr(value, end - value);
        }
        at = lowered.find("charset", value);
    }
    return {};
}

// The charset a <meta> element declares, from just after its name; empty: none.
std::string metaCharset(Attributes& attributes)
{
    std::string charset, content;
    bool contentType = false;
    while (const auto attribute = attributes.next()) {
        if (attribute->first == "charset" && charset.empty())
            charset = attribute->second;
        else if (attribute->first == "http-equiv")
            contentType = lower(attribute->second) == "content-type";
        else if (attribute->first == "content" && content.empty())
            content = attribute->second;
    }
    if (!charset.empty())
        return charset;
    return contentType ? charsetIn(content) : std::string();
}

// The charset declared in the page's first kilobyte, as browsers' prescan finds it.
std::string declaredCharset(std::string_view head)
{
    std::size_t at = 0;
    while ((at = head.find('<', at)) != std::string_view::npos) {
        const std::string_view rest = head.substr(at);
        if (rest.starts_with("<!--")) {
            const std::size_t end = head.find("-->", at + 4);
            if (end == std::string_view::npos)
                return {};
            at = end + 3;
            continue;
        }
        const std::size_t nameEnd = std::min(head.find_first_of(" \t\n\r\f/>", at + 1), head.size());
        const std::string name = lower(head.substr(at + 1, nameEnd - at - 1));
        if (name == "meta" && nameEnd < head.size() && head[nameEnd] != '>') {
            Attributes attributes(head, nameEnd);
            const std::string charset = metaCharset(attributes);
            std::string trimmed = charset;
            trimmed.erase(0, trimmed.find_first_not_of(" \t\n\r\f"));
            trimmed.erase(trimmed.find_last_not_of(" \t\n\r\f") + 1);
            if (!trimmed.empty())
                return trimmed;
            at = attributes.end();
        } else if (!name.empty() && std::isalpha(static_cast<unsigned char>(name[0]))) {
            Attributes attributes(head, nameEnd);   // a value may hold a '>'
            while (attributes.next()) {
            }
            at = attributes.end();
        } else {
            at = head.find('>', at + 1);   // </…>, <!…>, <?…>
            if (at == std::string_view::npos)
                return {};
        }
    }
    return {};
}

} // namespace

PageEncoding pageEncoding(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return {"UTF-8", 3, {}};
    if (bytes.starts_with("\xFF\xFE"))
        return {"UTF-16LE", 2, {}};
    if (bytes.starts_with("\xFE\xFF"))
        return {"UTF-16BE", 2, {}};
    std::string declared = declaredCharset(bytes.substr(0, 1024));
    if (declared.empty())
        return {"UTF-8", 0, {}};
    const std::string lowered = lower(declared);
    // A page that says UTF-16 in its own bytes is not: those bytes were read as ASCII.
    if (lowered.starts_with("utf-16") || lowered == "x-user-defined")
        return {"UTF-8", 0, {}};
    // Browsers read Latin-1 and ASCII pages as Windows-1252, which holds them both.
    for (const char* latin1 : {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "l1", "us-ascii", "ascii"})
        if (lowered == latin1)
            return {"windows-1252", 0, {}};
    if (!QStringDecoder(declared.c_str()).isValid())
        return {"UTF-8", 0, declared};
    return {declared, 0, {}};
}

bool isUtf8Encoding(const PageEncoding& encoding)
{
    const std::string name = lower(encoding.name);
    return name == "utf-8" || name == "utf8" || name == "unicode-1-1-utf-8";
}

std::string pageAsUtf8(std::string_view bytes, const PageEncoding& encoding)
{
    bytes.remove_prefix(std::min(encoding.markLength, bytes.size()));
    if (isUtf8Encoding(encoding))
        return std::string(bytes);
    QStringDecoder decoder(encoding.name.c_str());
    // Piece by piece: Qt's decoder gives nothing for very large inputs at once.
    constexpr std::size_t piece = 64 * 1024;
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        const std::string_view part = bytes.substr(at, piece);
        const QString decoded = decoder.decode(QByteArrayView(part.data(), static_cast<qsizetype>(part.size())));
        text += decoded.toStdString();
    }
    return text;
}
