#pragma once

#include "model/BodyStyle.h"
#include "model/DivStyle.h"

#include <memory>
#include <string>
#include <vector>

struct BenchStyleSheet {
    BodyStyle body;
    std::vector<std::unique_ptr<DivStyle>> divs;
};

// A body and `divCount` divs as people leave them: some at the defaults, some with colours
// or a picture.
BenchStyleSheet makeBenchStyleSheet(int divCount, bool everyProperty = false);
// Every property of the box away from its default, its values varying with `number`.
void setEveryBoxProperty(DivStyle& div, int number);

// Saves it with the program's writer; false when the save failed.
bool saveBenchStyleSheet(const BenchStyleSheet& sheet, const std::string& path);
