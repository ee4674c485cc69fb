#pragma once

#include <cstdint>
#include <string>

// One of the stylesheet's rules: the body, or the div with this number.
struct Rule {
    enum class Kind { None, Body, Div };
    Kind kind = Kind::None;
    std::int32_t number = -1;   // a div's
    bool operator==(const Rule&) const = default;
};

// "body", "divN", or nothing for no rule: as the page's elements and the recovery file name them.
std::string ruleName(const Rule& rule);
// The rule of exactly that name among the body (when there is one) and divs 0 to lastDiv;
// none for another name.
Rule ruleNamed(const std::string& name, bool hasBody, std::int32_t lastDiv);
