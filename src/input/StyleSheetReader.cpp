#include "input/StyleSheetReader.h"

#include <QStringDecoder>

#include <charconv>
#include <cstdint>
#include <string>

namespace {

// The text as UTF-8. Stylesheets written on Windows are in its Central European code page;
// `converted` holds their text, and stays empty for a file that is UTF-8 already.
struct Utf8Text {
    std::string_view text;
    std::string converted;
    bool readable = true;
};

void decode(std::string_view bytes, Utf8Text& out)
{
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString check = utf8.decode(view);
    if (!utf8.hasError()) {
        out.text = bytes;
        return;
    }
    QStringDecoder windows1250("windows-1250");
    out.readable = windows1250.isValid();
    out.converted = QString(windows1250.decode(view)).toStdString();
    out.text = out.converted;
}

// Splits at every line break of the accepted forms; a break at the very start or end
// introduces or ends a line and so stands for no line of its own.
std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] != '\n' && text[at] != '\r') {
            ++at;
            continue;
        }
        lines.push_back(text.substr(start, at - start));
        for (std::string_view breakForm : {"\r\n\r", "\n\r", "\r\n", "\n", "\r"}) {
            if (text.substr(at).starts_with(breakForm)) {
                at += breakForm.size();
                break;
            }
        }
        start = at;
    }
    lines.push_back(text.substr(start));
    if (!lines.empty() && lines.front().empty())
        lines.erase(lines.begin());
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

// Reads the lines of one block in order; the first line that does not fit stops it.
class LineReader
{
public:
    explicit LineReader(const std::vector<std::string_view>& lines) : lines(lines) {}

    bool atEnd() const { return next == lines.size(); }
    int failedLine() const { return static_cast<int>(next) + 1; }
    bool nextIs(std::string_view text) const { return !atEnd() && lines[next] == text; }

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
        if (atEnd())
            return std::nullopt;
        const std::string_view line = lines[next];
        // A NUL byte is no text, and no value can hold it.
        if (line.size() < prefix.size() + suffix.size() || !line.starts_with(prefix)
            || !line.ends_with(suffix) || line.find('\0') != std::string_view::npos)
            return std::nullopt;
        return line.substr(prefix.size(), line.size() - prefix.size() - suffix.size());
    }
    bool take(bool fits)
    {
        if (fits)
            ++next;
        return fits;
    }

    const std::vector<std::string_view>& lines;
    std::size_t next = 0;
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
    const std::vector<std::string_view> lines = splitLines(decoded.text);
    LineReader in(lines);

    StyleSheetRecords records;
    if (in.nextIs("body") && !readBody(in, records.body.emplace()))
        return {std::nullopt, in.failedLine()};
    while (!in.atEnd()) {
        const std::size_t number = records.divs.size();
        if (!readDiv(in, number, records.divs.emplace_back()))
            return {std::nullopt, in.failedLine()};
    }
    return {std::move(records), 0};
}
