#include "model/Rule.h"

std::string ruleName(const Rule& rule)
{
    switch (rule.kind) {
    case Rule::Kind::Body: return "body";
    case Rule::Kind::Div: return "div" + std::to_string(rule.number);
    case Rule::Kind::None: break;
    }
    return {};
}
