#include "output/StyleSheetWriter.h"

#include "output/OutputFile.h"

namespace {

constexpr const char* lineStart = "\n\r";

} // namespace

std::string bodyBlock(const std::string& background, std::int32_t fontSize,
                      const std::string& fontColor)
{
    std::string block;
    block.reserve(64 + background.size() + fontColor.size());
    block += lineStart; block += "body";
    block += lineStart; block += "{";
    block += lineStart; block += "background:" + background + ";";
    block += lineStart; block += "font-size:" + std::to_string(fontSize) + ";";
    block += lineStart; block += "font-color:" + fontColor + ";";
    block += lineStart; block += "}";
    return block;
}

std::string divBlock(std::int32_t number, std::int32_t width, std::int32_t height,
                     const std::string& background, std::int32_t fontSize,
                     const std::string& fontColor, const std::string& floatValue,
                     const std::string& position)
{
    std::string block;
    block.reserve(128 + background.size() + fontColor.size());
    block += lineStart; block += "#div" + std::to_string(number);
    block += lineStart; block += "{";
    block += lineStart; block += "width:" + std::to_string(width) + "px;";
    block += lineStart; block += "height:" + std::to_string(height) + "px;";
    block += lineStart; block += "background:" + background + ";";
    block += lineStart; block += "font-size:" + std::to_string(fontSize) + "px;";
    block += lineStart; block += "font-color:" + fontColor + ";";
    block += lineStart; block += "float:" + floatValue + ";";
    block += lineStart; block += "position:" + position + ";";
    block += lineStart; block += "}";
    return block;
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
    file.write(divBlock(number, width, height, background, fontSize, fontColor, floatValue,
                        position));
}
