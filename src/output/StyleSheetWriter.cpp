#include "output/StyleSheetWriter.h"

#include "output/OutputFile.h"

#include <charconv>
#include <cstring>
#include <string_view>

namespace {

class Decimal
{
public:
    explicit Decimal(std::int32_t value)
        : length(static_cast<std::size_t>(
              std::to_chars(digits, digits + sizeof digits, value).ptr - digits))
    {
    }
    operator std::string_view() const { return {digits, length}; }

private:
    char digits[12];   // "-2147483648" is the longest
    std::size_t length;
};

// A save of many divs spends its time making blocks. So each block's lines are gone through
// twice, once to measure and once to fill: the block is allocated once, and every literal
// piece is copied with its length known at compile time.
class Measure
{
public:
    template <std::size_t N>
    Measure& operator<<(const char (&)[N]) { size += N - 1; return *this; }
    Measure& operator<<(std::string_view piece) { size += piece.size(); return *this; }
    std::size_t size = 0;
};

class Fill
{
public:
    explicit Fill(char* out) : out(out) {}
    template <std::size_t N>
    Fill& operator<<(const char (&piece)[N]) { return copy(piece, N - 1); }
    Fill& operator<<(std::string_view piece) { return copy(piece.data(), piece.size()); }

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
void fillBlock(std::string& text, const Lines& lines)
{
    Measure measure;
    lines(measure);
    text.resize(measure.size);
    Fill fill(text.data());
    lines(fill);
}

void fillDivBlock(std::string& text, std::int32_t number, std::int32_t width,
                  std::int32_t height, const std::string& background, std::int32_t fontSize,
                  const std::string& fontColor, const std::string& floatValue,
                  const std::string& position)
{
    const Decimal name(number), widthText(width), heightText(height), size(fontSize);
    fillBlock(text, [&](auto& lines) {
        lines << "\n\r#div" << name
              << "\n\r{"
              << "\n\rwidth:" << widthText << "px;"
              << "\n\rheight:" << heightText << "px;"
              << "\n\rbackground:" << background << ";"
              << "\n\rfont-size:" << size << "px;"
              << "\n\rfont-color:" << fontColor << ";"
              << "\n\rfloat:" << floatValue << ";"
              << "\n\rposition:" << position << ";"
              << "\n\r}";
    });
}

} // namespace

std::string bodyBlock(const std::string& background, std::int32_t fontSize,
                      const std::string& fontColor)
{
    const Decimal size(fontSize);
    std::string text;
    fillBlock(text, [&](auto& lines) {
        lines << "\n\rbody"
              << "\n\r{"
              << "\n\rbackground:" << background << ";"
              << "\n\rfont-size:" << size << ";"
              << "\n\rfont-color:" << fontColor << ";"
              << "\n\r}";
    });
    return text;
}

std::string divBlock(std::int32_t number, std::int32_t width, std::int32_t height,
                     const std::string& background, std::int32_t fontSize,
                     const std::string& fontColor, const std::string& floatValue,
                     const std::string& position)
{
    std::string text;
    fillDivBlock(text, number, width, height, background, fontSize, fontColor, floatValue,
                 position);
    return text;
}

void writeBodyBlock(OutputFile& file, const std::string& background, std::int32_t fontSize,
                    const std::string& fontColor)
{
    file.write(bodyBlock(background, fontSize, fontColor));
}

void writeDivBlock(OutputFile& file, std::int32_t number, std::int32_t width, std::int32_t height,
                   const std::string& background, std::int32_t fontSize,
                   const std::string& fontColor, const std::string& floatValue,
                   const std::string& position)
{
    // The text of one block at a time; its storage is kept from one div to the next.
    thread_local std::string text;
    fillDivBlock(text, number, width, height, background, fontSize, fontColor, floatValue,
                 position);
    file.write(text);
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
