#include "StyleSheetModel.h"

#include "model/Properties.h"

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

ModelBody modelOf(const BodyStyle& body)
{
    return {body.getFontSize(), body.getBackground(), body.getFontColor()};
}

ModelDiv modelOf(const DivStyle& div)
{
    return {div.getWidth(), div.getHeight(), div.getFontSize(), div.getParent(),
            div.getBackground(), div.getFontColor(), div.getFloat(), div.getPosition()};
}

BodyStyle recordOf(const ModelBody& body)
{
    BodyStyle record;
    record.setFontSize(body.fontSize);
    record.setBackground(body.background);
    record.setFontColor(body.fontColor);
    return record;
}

std::unique_ptr<DivStyle> recordOf(const ModelDiv& div)
{
    auto record = std::make_unique<DivStyle>();
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
        + "', font colour '" + body.fontColor + "'";
}

std::string describe(const ModelDiv& div)
{
    return std::to_string(div.width) + " × " + std::to_string(div.height) + ", font size "
        + std::to_string(div.fontSize) + ", background '" + div.background + "', font colour '"
        + div.fontColor + "', " + div.floatValue + ", " + div.position + ", parent "
        + std::to_string(div.parent);
}
