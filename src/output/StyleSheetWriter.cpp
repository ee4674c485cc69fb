#include "output/StyleSheetWriter.h"

#include "model/CssValueText.h"
#include "model/Properties.h"
#include "output/OutputFile.h"

#include <array>
#include <charconv>
#include <initializer_list>
#include <cstring>
#include <string_view>

namespace {

// A save of many divs spends its time making blocks. So each block is made once, straight
// into the file's buffer: its room is reserved at its largest (numbers of eleven
// characters), every literal piece is copied with its length known at compile time and every
// number is written in place.
constexpr std::size_t longestNumber = 11;   // "-2147483648"

// As std::to_chars writes it; the sizes people give, below 10,000, without its general loop.
char* putNumber(char* out, std::int32_t number)
{
    if (number < 0 || number >= 10000)
        return std::to_chars(out, out + longestNumber, number).ptr;
    const auto value = static_cast<unsigned>(number);
    const std::size_t digits = value < 10 ? 1 : value < 100 ? 2 : value < 1000 ? 3 : 4;
    unsigned rest = value;
    for (std::size_t at = digits; at > 0; --at) {
        out[at - 1] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    }
    return out + digits;
}

class Measure
{
public:
    template <std::size_t N>
    Measure& operator<<(const char (&)[N]) { size += N - 1; return *this; }
    Measure& operator<<(std::string_view piece) { size += piece.size(); return *this; }
    Measure& operator<<(std::int32_t) { size += longestNumber; return *this; }
    std::size_t size = 0;
};

class Fill
{
public:
    explicit Fill(char* out) : out(out) {}
    template <std::size_t N>
    Fill& operator<<(const char (&piece)[N]) { return copy(piece, N - 1); }
    Fill& operator<<(std::string_view piece) { return copy(piece.data(), piece.size()); }
    Fill& operator<<(std::int32_t number)
    {
        out = putNumber(out, number);
        return *this;
    }
    char* end() const { return out; }

private:
    Fill& copy(const char* piece, std::size_t length)
    {
        std::memcpy(out, piece, length);
        out += length;
        return *this;
    }
    char* out;
};

template <typename Lines>
std::string blockText(const Lines& lines)
{
    Measure measure;
    lines(measure);
    std::string text(measure.size, '\0');
    Fill fill(text.data());
    lines(fill);
    text.resize(static_cast<std::size_t>(fill.end() - text.data()));
    return text;
}

// Into the file's buffer; a block too large for it (a picture path of megabytes) is made
// on its own first.
template <typename Lines>
void writeBlock(OutputFile& file, const Lines& lines)
{
    Measure measure;
    lines(measure);
    if (char* room = file.room(measure.size)) {
        Fill fill(room);
        lines(fill);
        file.wrote(fill.end());
    } else {
        file.write(blockText(lines));
    }
}

// Text made at compile time from pieces, so that a line's fixed parts are copied at once.
template <std::size_t N>
struct Joined {
    std::array<char, N> text{};
    constexpr std::string_view view() const { return {text.data(), N}; }
};

template <std::size_t N>
constexpr Joined<N> joined(std::initializer_list<std::string_view> pieces)
{
    Joined<N> whole;
    std::size_t at = 0;
    for (const std::string_view piece : pieces)
        for (const char c : piece)
            whole.text[at++] = c;
    return whole;
}

// Whether the record's value is the row's default, with the row's accessors known at compile
// time, so that they are called directly.
template <typename Record, std::size_t at>
bool atItsDefault(const Record& record)
{
    constexpr const Property& row = properties[at];
    constexpr const Holder<Record>& holder = row.in<Record>();
    if constexpr (holder.held == Held::AsNumber)
        return (record.*holder.number)() == holder.defaultNumber;
    else if constexpr (holder.held == Held::AsListPosition)
        return row.keywords[static_cast<std::size_t>((record.*holder.listPosition)())] == holder.defaultText;
    else if constexpr (holder.held == Held::AsSides)
        return (record.*holder.sides)() == holder.defaultSides;
    else if constexpr (holder.held == Held::AsBorder)
        return (record.*holder.border)().style == 0;
    else
        return atDefault(row, record);
}

// The lines of every property the record's kind of rule has, in the table's order:
// name, colon, value, unit, semicolon. A row that is not always written has its line only
// where its value is away from its default; a record that shares the box of the one every
// record copies has none of them.
template <typename Record>
auto declarationLines(const Record& record)
{
    const bool boxAtDefaults = record.sharesBoxWith(recordAtDefaults<Record>());
    return [&record, boxAtDefaults](auto& lines) {
        everyHeld<Record>([&]<std::size_t at>(std::integral_constant<std::size_t, at>) {
            constexpr const Property& row = properties[at];
            constexpr const Holder<Record>& holder = row.in<Record>();
            constexpr auto start = joined<row.name.size() + 3>({"\n\r", row.name, ":"});
            constexpr auto end = joined<holder.unit.size() + 1>({holder.unit, ";"});
            if constexpr (!row.alwaysWritten)
                if (boxAtDefaults || atItsDefault<Record, at>(record))
                    return true;
            lines << start.view();
            // A side's or a width's unit and the space after it, copied as one piece.
            constexpr auto between = joined<holder.unit.size() + 1>({holder.unit, " "});
            if constexpr (holder.held == Held::AsSides) {   // top, right, bottom, left
                const Sides sides = (record.*holder.sides)();
                lines << sides.top << between.view() << sides.right << between.view() << sides.bottom
                      << between.view() << sides.left << end.view();
            } else if constexpr (holder.held == Held::AsBorder) {   // and its colour, when one was chosen
                const Border& border = (record.*holder.border)();
                lines << border.width << between.view() << row.keywords[static_cast<std::size_t>(border.style)];
                if (!border.color.empty())
                    lines << " " << std::string_view(border.color);
                lines << ";";
            } else if constexpr (holder.held == Held::AsListPosition) {
                lines << row.keywords[static_cast<std::size_t>((record.*holder.listPosition)())] << end.view();
            } else if constexpr (row.kind == ValueKind::Percent) {
                lines << fractionOf((record.*holder.number)()).view() << end.view();
            } else if constexpr (holder.held == Held::AsNumber) {
                lines << (record.*holder.number)() << end.view();
            } else {
                lines << (record.*holder.text)() << end.view();
            }
            return true;
        });
    };
}

auto bodyLines(const BodyStyle& body)
{
    return [&body](auto& lines) {
        lines << "\n\rbody"
              << "\n\r{";
        declarationLines(body)(lines);
        lines << "\n\r}";
    };
}

auto divLines(std::int32_t number, const DivStyle& div)
{
    return [number, &div](auto& lines) {
        lines << "\n\r#div" << number << "\n\r{";
        declarationLines(div)(lines);
        lines << "\n\r}";
    };
}

BodyStyle bodyRecord(const std::string& background, std::int32_t fontSize, const std::string& fontColor)
{
    BodyStyle body;
    body.setBackground(background);
    body.setFontSize(fontSize);
    body.setFontColor(fontColor);
    return body;
}

DivStyle divRecord(std::int32_t width, std::int32_t height, const std::string& background, std::int32_t fontSize,
                   const std::string& fontColor, const std::string& floatValue, const std::string& position)
{
    DivStyle div;
    div.setWidth(width);
    div.setHeight(height);
    div.setBackground(background);
    div.setFontSize(fontSize);
    div.setFontColor(fontColor);
    setValue(propertyNamed("float"), div, floatValue);
    setValue(propertyNamed("position"), div, position);
    return div;
}

// Every block of the stylesheet, each div's with its position as its number.
auto styleSheetLines(const BodyStyle* body, std::span<const std::unique_ptr<DivStyle>> divs)
{
    return [body, divs](auto& into) {
        if (body)
            bodyLines(*body)(into);
        for (std::size_t number = 0; number < divs.size(); ++number)
            divLines(static_cast<std::int32_t>(number), *divs[number])(into);
    };
}

} // namespace

// The block writers take a rule's values one by one; each makes a record of them and writes
// that, as the save writes the window's records.
std::string bodyBlock(const std::string& background, std::int32_t fontSize,
                      const std::string& fontColor)
{
    return blockText(bodyLines(bodyRecord(background, fontSize, fontColor)));
}

std::string divBlock(std::int32_t number, std::int32_t width, std::int32_t height,
                     const std::string& background, std::int32_t fontSize,
                     const std::string& fontColor, const std::string& floatValue,
                     const std::string& position)
{
    return blockText(divLines(number, divRecord(width, height, background, fontSize, fontColor, floatValue, position)));
}

void writeBodyBlock(OutputFile& file, const std::string& background, std::int32_t fontSize,
                    const std::string& fontColor)
{
    writeBlock(file, bodyLines(bodyRecord(background, fontSize, fontColor)));
}

void writeDivBlock(OutputFile& file, std::int32_t number, std::int32_t width, std::int32_t height,
                   const std::string& background, std::int32_t fontSize,
                   const std::string& fontColor, const std::string& floatValue,
                   const std::string& position)
{
    writeBlock(file, divLines(number, divRecord(width, height, background, fontSize, fontColor, floatValue, position)));
}

void writeStyleSheet(OutputFile& file, const BodyStyle* body,
                     std::span<const std::unique_ptr<DivStyle>> divs)
{
    if (body)
        writeBlock(file, bodyLines(*body));
    for (std::size_t number = 0; number < divs.size(); ++number)
        writeBlock(file, divLines(static_cast<std::int32_t>(number), *divs[number]));
}

std::string styleSheetText(const BodyStyle* body, std::span<const std::unique_ptr<DivStyle>> divs)
{
    return blockText(styleSheetLines(body, divs));
}
