#include "input/StyleSheetReader.h"

#include <QStringDecoder>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

// The text as UTF-8. Stylesheets written on Windows are in its Central European code page;
// `converted` holds their text, and stays empty for a file that is UTF-8 already.
struct Utf8Text {
    std::string_view text;
    std::string converted;
    bool readable = true;
};

// Checked a piece at a time into one small buffer: decoding a large file whole would
// allocate twice its size only to be thrown away. Pieces end before a character's first
// byte, so that each holds whole characters unless the file itself breaks one.
bool isUtf8(std::string_view bytes)
{
    constexpr std::size_t piece = 64 * 1024;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const auto space = static_cast<std::size_t>(utf8.requiredSpace(static_cast<qsizetype>(std::min(piece, bytes.size()))));
    const auto buffer = std::make_unique_for_overwrite<QChar[]>(space);
    for (std::size_t at = 0; at < bytes.size() && !utf8.hasError();) {
        std::size_t end = std::min(at + piece, bytes.size());
        while (end < bytes.size() && end > at + 1 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80)
            --end;
        utf8.appendToBuffer(buffer.get(), QByteArrayView(bytes.data() + at, static_cast<qsizetype>(end - at)));
        at = end;
    }
    return !utf8.hasError();
}

void decode(std::string_view bytes, Utf8Text& out)
{
    if (isUtf8(bytes)) {
        out.text = bytes;
        return;
    }
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder windows1250("windows-1250");
    out.readable = windows1250.isValid();
    out.converted = QString(windows1250.decode(view)).toStdString();
    out.text = out.converted;
}

// The length of the line break at the start of `text`, in any accepted form; 0 for none.
std::size_t breakLength(std::string_view text)
{
    for (std::string_view form : {"\r\n\r", "\n\r", "\r\n", "\n", "\r"})
        if (text.starts_with(form))
            return form.size();
    return 0;
}

// Reads the lines in order, one block's at a time; the first line that does not fit stops
// it. A break at the very start or end introduces or ends a line and so stands for no line
// of its own.
class LineReader
{
public:
    explicit LineReader(std::string_view text) : rest(text)
    {
        rest.remove_prefix(breakLength(rest));
        advance();
    }

    bool atEnd() const { return !current; }
    int failedLine() const { return current ? lineNumber : lineNumber + 1; }
    bool nextIs(std::string_view text) const { return current && *current == text; }

    bool exactly(std::string_view text) { return take(nextIs(text)); }

    // prefix + value + suffix, where the value is everything up to the line's final suffix.
    bool text(std::string_view prefix, std::string& value, std::string_view suffix = ";")
    {
        const auto middle = between(prefix, suffix);
        if (middle)
            value = *middle;
        return take(middle.has_value());
    }

    // prefix + a 32-bit decimal integer written as the writer writes it + suffix.
    bool number(std::string_view prefix, std::int32_t& value, std::string_view suffix)
    {
        const auto digits = between(prefix, suffix);
        if (!digits || digits->empty() || digits->starts_with('+') || digits->starts_with("-0")
            || (digits->size() > 1 && digits->starts_with('0')))
            return false;
        const char* end = digits->data() + digits->size();
        const auto [stop, error] = std::from_chars(digits->data(), end, value);
        return take(error == std::errc() && stop == end);
    }

    template <std::size_t N>
    bool keyword(std::string_view prefix, const std::array<std::string_view, N>& keywords,
                 int& listPosition)
    {
        const auto word = between(prefix, ";");
        for (std::size_t i = 0; word && i < N; ++i)
            if (keywords[i] == *word) {
                listPosition = static_cast<int>(i);
                return take(true);
            }
        return false;
    }

private:
    std::optional<std::string_view> between(std::string_view prefix, std::string_view suffix) const
    {
        if (!current)
            return std::nullopt;
        const std::string_view line = *current;
        // A NUL byte is no text, and no value can hold it.
        if (line.size() < prefix.size() + suffix.size() || !line.starts_with(prefix)
            || !line.ends_with(suffix) || line.find('\0') != std::string_view::npos)
            return std::nullopt;
        return line.substr(prefix.size(), line.size() - prefix.size() - suffix.size());
    }
    bool take(bool fits)
    {
        if (fits)
            advance();
        return fits;
    }

    void advance()
    {
        if (rest.empty()) {
            current.reset();
            return;
        }
        std::size_t end = 0;
        while (end < rest.size() && rest[end] != '\n' && rest[end] != '\r')
            ++end;
        current = rest.substr(0, end);
        rest.remove_prefix(end);
        rest.remove_prefix(breakLength(rest));
        ++lineNumber;
    }

    std::string_view rest;                    // after the current line and its break
    std::optional<std::string_view> current;  // nothing at the end
    int lineNumber = 0;                       // the current line's, from 1
};

bool readBody(LineReader& in, BodyStyle& body)
{
    std::string background, fontColor;
    std::int32_t fontSize = 0;
    if (!(in.exactly("body") && in.exactly("{") && in.text("background:", background)
          && in.number("font-size:", fontSize, ";") && in.text("font-color:", fontColor)
          && in.exactly("}")))
        return false;
    body.setBackground(background);
    body.setFontSize(fontSize);
    body.setFontColor(fontColor);
    return true;
}

bool readDiv(LineReader& in, std::size_t number, DivStyle& div)
{
    std::int32_t width = 0, height = 0, fontSize = 0;
    std::string background, fontColor;
    int floatPosition = 0, position = 0;
    if (!(in.exactly("#div" + std::to_string(number)) && in.exactly("{")
          && in.number("width:", width, "px;") && in.number("height:", height, "px;")
          && in.text("background:", background) && in.number("font-size:", fontSize, "px;")
          && in.text("font-color:", fontColor)
          && in.keyword("float:", DivStyle::floatKeywords, floatPosition)
          && in.keyword("position:", DivStyle::positionKeywords, position) && in.exactly("}")))
        return false;
    div.setWidth(width);
    div.setHeight(height);
    div.setBackground(background);
    div.setFontSize(fontSize);
    div.setFontColor(fontColor);
    div.setFloat(floatPosition);
    div.setPosition(position);
    return true;
}

} // namespace

StyleSheetReading readStyleSheet(std::string_view bytes)
{
    Utf8Text decoded;
    decode(bytes, decoded);
    if (!decoded.readable)
        return {std::nullopt, 1};
    LineReader in(decoded.text);
    StyleSheetRecords records;
    if (in.nextIs("body") && !readBody(in, records.body.emplace()))
        return {std::nullopt, in.failedLine()};
    while (!in.atEnd()) {
        auto div = std::make_unique<DivStyle>();
        if (!readDiv(in, records.divs.size(), *div))
            return {std::nullopt, in.failedLine()};
        records.divs.push_back(std::move(div));
    }
    return {std::move(records), 0};
}
