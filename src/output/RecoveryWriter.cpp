#include "output/RecoveryWriter.h"

#include "output/StyleSheetWriter.h"

#include <QByteArray>

std::string recoveryText(const BodyStyle* body, std::span<const std::unique_ptr<DivStyle>> divs,
                         const std::string& panelsRule, const std::string& openedFileName,
                         std::span<const std::string> typed)
{
    std::string text = std::string(recoveryFirstLine) + "\nmegnyitott:"
        + QByteArray::fromStdString(openedFileName).toPercentEncoding("/").toStdString()
        + "\nszabály:" + panelsRule + "\ngépelt:";
    for (std::size_t at = 0; at < typed.size(); ++at)
        text += (at ? " " : "") + QByteArray::fromStdString(typed[at]).toPercentEncoding().toStdString();
    text += "\nszülők:";
    for (std::size_t number = 0; number < divs.size(); ++number)
        text += (number ? " " : "") + std::to_string(divs[number]->getParent());
    text += "\nstíluslap:\n";
    text += styleSheetText(body, divs);
    return text;
}
