#pragma once

#include "model/BodyStyle.h"
#include "model/DivStyle.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class TComboBox;
class TEdit;
class TForm1;

// Which control of the two editing panels shows and stores which field of a record: the
// one table that "Új Div", "KÉSZ", a rule opened again, the preview's typed values and the
// undo step's snapshot all go through. A new property is a row here plus its record's
// accessors.
struct NumberBinding {
    TEdit* TForm1::*edit;
    const char* label;   // names the field when its text is no number
    std::int32_t (DivStyle::*divValue)() const;
    void (DivStyle::*setDivValue)(std::int32_t);
    std::int32_t (BodyStyle::*bodyValue)() const = nullptr;   // none: only a div has it
    void (BodyStyle::*setBodyValue)(std::int32_t) = nullptr;
};

// A list of keywords, shown and stored by its position in the list.
struct ListBinding {
    TComboBox* TForm1::*list;
    const std::string& (DivStyle::*divValue)() const;
    void (DivStyle::*setDivValue)(int listPosition);
    std::span<const std::string_view> keywords;
};

// In the order "KÉSZ" stores them: a text that is no number stops it there.
extern const NumberBinding numberBindings[3];
extern const ListBinding listBindings[2];
