#pragma once

#include "model/BodyStyle.h"
#include "model/DivStyle.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What a stylesheet's records should hold, with the records' defaults, and the bytes the
// stylesheet writer makes of them, so that a test can write
//     styleSheet({}, {{.width = 600, .floatValue = "left"}})
// instead of spelling out the blocks.

// `box`: the lines after today's, as the writer writes them ("\n\rmargin:0px 0px 0px 0px;").
struct ModelBody {
    std::int32_t fontSize = 14;
    std::string background{}, fontColor{}, box{};
    bool operator==(const ModelBody&) const = default;
};

struct ModelDiv {
    std::int32_t width = 100, height = 200, fontSize = 14, parent = -1;
    std::string background{}, fontColor{}, floatValue = "none", position = "relative", box{};
    bool operator==(const ModelDiv&) const = default;
};

std::string bodyText(const ModelBody& body);
std::string divText(std::size_t number, const ModelDiv& div);
std::string styleSheet(const std::optional<ModelBody>& body, const std::vector<ModelDiv>& divs);

ModelBody modelOf(const BodyStyle& body);
ModelDiv modelOf(const DivStyle& div);

// The records holding the model's values (keywords outside the lists are not stored).
BodyStyle recordOf(const ModelBody& body);
std::unique_ptr<DivStyle> recordOf(const ModelDiv& div);

// "body: …" or "div N: …", one line per record, for reports of what differs.
std::string describe(const ModelBody& body);
std::string describe(const ModelDiv& div);
