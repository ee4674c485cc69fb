#include "model/Rule.h"

#include <charconv>

std::string ruleName(const Rule& rule)
{
    switch (rule.kind) {
    case Rule::Kind::Body: return "body";
    case Rule::Kind::Div: return "div" + std::to_string(rule.number);
    case Rule::Kind::None: break;
    }
    return {};
}

Rule ruleNamed(const std::string& name, bool hasBody, std::int32_t lastDiv)
{
    if (name == "body")
        return hasBody ? Rule{Rule::Kind::Body, -1} : Rule{};
    std::int32_t number = -1;
    if (name.starts_with("div"))
        std::from_chars(name.data() + 3, name.data() + name.size(), number);
    const Rule div{Rule::Kind::Div, number};
    return number >= 0 && number <= lastDiv && ruleName(div) == name ? div : Rule{};
}
