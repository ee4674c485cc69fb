#include "output/StyleSheetWriter.h"

#include "output/OutputFile.h"

#include <charconv>
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
    Measure& operator<<(const std::string& piece) { size += piece.size(); return *this; }
    Measure& operator<<(std::int32_t) { size += longestNumber; return *this; }
    std::size_t size = 0;
};

class Fill
{
public:
    explicit Fill(char* out) : out(out) {}
    template <std::size_t N>
    Fill& operator<<(const char (&piece)[N]) { return copy(piece, N - 1); }
    Fill& operator<<(const std::string& piece) { return copy(piece.data(), piece.size()); }
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

auto bodyLines(const std::string& background, std::int32_t fontSize, const std::string& fontColor)
{
    return [&background, fontSize, &fontColor](auto& lines) {
        lines << "\n\rbody"
              << "\n\r{"
              << "\n\rbackground:" << background << ";"
              << "\n\rfont-size:" << fontSize << ";"
              << "\n\rfont-color:" << fontColor << ";"
              << "\n\r}";
    };
}

struct DivValues {
    std::int32_t number, width, height;
    const std::string& background;
    std::int32_t fontSize;
    const std::string &fontColor, &floatValue, &position;
};

auto divLines(const DivValues& div)
{
    return [&div](auto& lines) {
        lines << "\n\r#div" << div.number
              << "\n\r{"
              << "\n\rwidth:" << div.width << "px;"
              << "\n\rheight:" << div.height << "px;"
              << "\n\rbackground:" << div.background << ";"
              << "\n\rfont-size:" << div.fontSize << "px;"
              << "\n\rfont-color:" << div.fontColor << ";"
              << "\n\rfloat:" << div.floatValue << ";"
              << "\n\rposition:" << div.position << ";"
              << "\n\r}";
    };
}

} // namespace

std::string bodyBlock(const std::string& background, std::int32_t fontSize,
                      const std::string& fontColor)
{
    return blockText(bodyLines(background, fontSize, fontColor));
}

std::string divBlock(std::int32_t number, std::int32_t width, std::int32_t height,
                     const std::string& background, std::int32_t fontSize,
                     const std::string& fontColor, const std::string& floatValue,
                     const std::string& position)
{
    const DivValues div{number, width, height, background, fontSize, fontColor, floatValue, position};
    return blockText(divLines(div));
}

void writeBodyBlock(OutputFile& file, const std::string& background, std::int32_t fontSize,
                    const std::string& fontColor)
{
    writeBlock(file, bodyLines(background, fontSize, fontColor));
}

void writeDivBlock(OutputFile& file, std::int32_t number, std::int32_t width, std::int32_t height,
                   const std::string& background, std::int32_t fontSize,
                   const std::string& fontColor, const std::string& floatValue,
                   const std::string& position)
{
    const DivValues div{number, width, height, background, fontSize, fontColor, floatValue, position};
    writeBlock(file, divLines(div));
}

void writeStyleSheet(OutputFile& file, const BodyStyle* body,
                     std::span<const std::unique_ptr<DivStyle>> divs)
{
    if (body)
        writeBodyBlock(file, body->getBackground(), body->getFontSize(), body->getFontColor());
    for (std::size_t number = 0; number < divs.size(); ++number) {
        const DivStyle& div = *divs[number];
        writeDivBlock(file, static_cast<std::int32_t>(number), div.getWidth(), div.getHeight(),
                      div.getBackground(), div.getFontSize(), div.getFontColor(), div.getFloat(),
                      div.getPosition());
    }
}

std::string styleSheetText(const BodyStyle* body, std::span<const std::unique_ptr<DivStyle>> divs)
{
    const auto eachBlock = [&](auto& into) {
        if (body)
            bodyLines(body->getBackground(), body->getFontSize(), body->getFontColor())(into);
        for (std::size_t number = 0; number < divs.size(); ++number) {
            const DivStyle& div = *divs[number];
            const DivValues values{static_cast<std::int32_t>(number), div.getWidth(), div.getHeight(),
                                   div.getBackground(), div.getFontSize(), div.getFontColor(),
                                   div.getFloat(), div.getPosition()};
            divLines(values)(into);
        }
    };
    return blockText(eachBlock);
}
