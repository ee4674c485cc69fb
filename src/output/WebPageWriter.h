#pragma once

#include "model/BodyStyle.h"
#include "model/DivStyle.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

// A self-contained HTML5 page (UTF-8) that shows the rules the way a browser understands
// them: `body` and `#divN` in standard CSS inside the page, and each live div as an element,
// nested as recorded with "Ok".
//  - each property of the table under its page name: sizes in px, a background as
//    `background-color` for a colour text and `background-image: url("…")` for a picture:
//    relative to the page's folder when the picture is inside it, an absolute file: URL
//    otherwise;
//  - an empty value writes nothing; a negative size, which CSS does not allow, and a colour
//    that is no colour text are left out with a CSS comment in their place;
//  - a div sits inside its parent when that is a live div; a div without one, or on a loop
//    of parents, sits at the top level. Siblings stand in number order.
std::string webPage(const std::string& title, const BodyStyle* body,
                    std::span<const std::unique_ptr<DivStyle>> divs, const std::string& pageFolder);

// The parts of that page, which the preview shows without writing a file: the style
// element's text, the declarations inside one rule's braces, and the elements inside body.
std::string webPageStyle(const BodyStyle* body, std::span<const std::unique_ptr<DivStyle>> divs,
                         const std::string& pageFolder);
std::string bodyDeclarations(const BodyStyle& body, const std::string& pageFolder);
std::string divDeclarations(const DivStyle& div, const std::string& pageFolder);
std::string webPageElements(std::span<const std::unique_ptr<DivStyle>> divs);

// A rule as the page writes it, selector and braces included, a picture by its full path as
// a file: URL: CSS that works wherever it is put.
std::string divRuleText(std::size_t number, const DivStyle& div);
std::string bodyRuleText(const BodyStyle& body);

// The remarks the page carries where CSS cannot hold a value: a comment's text, between
// "/*" and "*/".
std::string negativeSizeRemark(std::string_view property, std::int32_t pixels);
std::string notAColorRemark(std::string_view property);
