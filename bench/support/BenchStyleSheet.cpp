#include "BenchStyleSheet.h"

#include "output/OutputFile.h"
#include "output/StyleSheetWriter.h"

void setEveryBoxProperty(DivStyle& div, int number)
{
    div.setMargin({number % 9, 8, number % 5, 8});
    div.setPadding(Sides::all(2 + number % 4));
    div.setBorder({1 + number % 3, 1 + number % 4, number % 2 ? "#FF0000" : ""});
    div.setBorderRadius(6);
    div.setTop(number % 50);
    div.setLeft(-(number % 20));
    div.setTextAlign(1 + number % 3);
    div.setFontFamily(number % 2 ? "\"DejaVu Sans\", sans-serif" : "monospace");
    div.setFontWeight(1);
    div.setOpacity(50 + number % 50);
}

BenchStyleSheet makeBenchStyleSheet(int divCount, bool everyProperty)
{
    BenchStyleSheet made;
    made.body.setBackground("#FFFFFF");
    made.body.setFontSize(16);
    made.body.setFontColor("#000000");
    for (int number = 0; number < divCount; ++number) {
        auto div = std::make_unique<DivStyle>();
        div->setWidth(100 + number % 700);
        div->setHeight(200 + number % 300);
        if (number % 3 == 1)
            div->setBackground("#12AB03");
        if (number % 7 == 2)
            div->setBackground("/home/éva/képek/háttér " + std::to_string(number) + ".png");
        div->setFontSize(10 + number % 20);
        if (number % 2 == 0)
            div->setFontColor("#0000FF");
        div->setFloat(number % 4);
        div->setPosition(number % 3);
        if (everyProperty)
            setEveryBoxProperty(*div, number);
        made.divs.push_back(std::move(div));
    }
    return made;
}

bool saveBenchStyleSheet(const BenchStyleSheet& sheet, const std::string& path)
{
    OutputFile file(path);
    writeStyleSheet(file, &sheet.body, sheet.divs);
    return file.close();
}
