#include "StyleSheetModel.h"

#include "input/StyleSheetReader.h"
#include "model/Properties.h"
#include "output/StyleSheetWriter.h"

#include <algorithm>

namespace {

void line(std::string& text, const std::string& content)
{
    text += "\n\r";
    text += content;
}

} // namespace

std::string bodyText(const ModelBody& body)
{
    std::string text;
    line(text, "body");
    line(text, "{");
    line(text, "background:" + body.background + ";");
    line(text, "font-size:" + std::to_string(body.fontSize) + ";");
    line(text, "font-color:" + body.fontColor + ";");
    text += body.box;
    line(text, "}");
    return text;
}

std::string divText(std::size_t number, const ModelDiv& div)
{
    std::string text;
    line(text, "#div" + std::to_string(number));
    line(text, "{");
    line(text, "width:" + std::to_string(div.width) + "px;");
    line(text, "height:" + std::to_string(div.height) + "px;");
    line(text, "background:" + div.background + ";");
    line(text, "font-size:" + std::to_string(div.fontSize) + "px;");
    line(text, "font-color:" + div.fontColor + ";");
    line(text, "float:" + div.floatValue + ";");
    line(text, "position:" + div.position + ";");
    text += div.box;
    line(text, "}");
    return text;
}

std::string styleSheet(const std::optional<ModelBody>& body, const std::vector<ModelDiv>& divs)
{
    std::string text = body ? bodyText(*body) : std::string();
    for (std::size_t n = 0; n < divs.size(); ++n)
        text += divText(n, divs[n]);
    return text;
}

namespace {

// The block's lines after today's: after the font colour's or the position's, before "}".
std::string boxLines(const std::string& block, std::string_view lastLine)
{
    const std::size_t start = block.find('\n', block.find("\n\r" + std::string(lastLine)) + 2);
    return block.substr(start, block.size() - 3 - start);
}

template <typename Record>
Record readBack(const std::string& text)
{
    const StyleSheetReading reading = readStyleSheet(text);
    if constexpr (std::is_same_v<Record, BodyStyle>)
        return reading.records && reading.records->body ? *reading.records->body : BodyStyle();
    else
        return reading.records && !reading.records->divs.empty() ? *reading.records->divs.front() : DivStyle();
}

} // namespace

ModelBody modelOf(const BodyStyle& body)
{
    return {body.getFontSize(), body.getBackground(), body.getFontColor(),
            boxLines(styleSheetText(&body, {}), "font-color:")};
}

ModelDiv modelOf(const DivStyle& div)
{
    std::vector<std::unique_ptr<DivStyle>> one;
    one.push_back(std::make_unique<DivStyle>(div));
    return {div.getWidth(), div.getHeight(), div.getFontSize(), div.getParent(),
            div.getBackground(), div.getFontColor(), div.getFloat(), div.getPosition(),
            boxLines(styleSheetText(nullptr, one), "position:")};
}

BodyStyle recordOf(const ModelBody& body)
{
    BodyStyle record = body.box.empty() ? BodyStyle() : readBack<BodyStyle>(bodyText(body));
    record.setFontSize(body.fontSize);
    record.setBackground(body.background);
    record.setFontColor(body.fontColor);
    return record;
}

std::unique_ptr<DivStyle> recordOf(const ModelDiv& div)
{
    auto record = std::make_unique<DivStyle>(div.box.empty() ? DivStyle() : readBack<DivStyle>(divText(0, div)));
    record->setWidth(div.width);
    record->setHeight(div.height);
    record->setFontSize(div.fontSize);
    record->setParent(div.parent);
    record->setBackground(div.background);
    record->setFontColor(div.fontColor);
    record->setFloat(listPositionOf(propertyNamed("float"), div.floatValue));
    record->setPosition(listPositionOf(propertyNamed("position"), div.position));
    return record;
}

std::string describe(const ModelBody& body)
{
    return "font size " + std::to_string(body.fontSize) + ", background '" + body.background
        + "', font colour '" + body.fontColor + "'" + body.box;
}

std::string describe(const ModelDiv& div)
{
    return std::to_string(div.width) + " × " + std::to_string(div.height) + ", font size "
        + std::to_string(div.fontSize) + ", background '" + div.background + "', font colour '"
        + div.fontColor + "', " + div.floatValue + ", " + div.position + ", parent "
        + std::to_string(div.parent) + div.box;
}
