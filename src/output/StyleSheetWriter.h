#pragma once

#include "model/BodyStyle.h"
#include "model/DivStyle.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

class OutputFile;

// The stylesheet's text: a body block, then one block per div. Every line is introduced,
// not ended, by LF then CR, so a stylesheet begins with those two bytes and ends with the
// closing brace of its last block. Values are written exactly as held.

std::string bodyBlock(const std::string& background, std::int32_t fontSize,
                      const std::string& fontColor);

std::string divBlock(std::int32_t number, std::int32_t width, std::int32_t height,
                     const std::string& background, std::int32_t fontSize,
                     const std::string& fontColor, const std::string& floatValue,
                     const std::string& position);

// Each puts its whole block into the file at once.
void writeBodyBlock(OutputFile& file, const std::string& background, std::int32_t fontSize,
                    const std::string& fontColor);

void writeDivBlock(OutputFile& file, std::int32_t number, std::int32_t width, std::int32_t height,
                   const std::string& background, std::int32_t fontSize,
                   const std::string& fontColor, const std::string& floatValue,
                   const std::string& position);

// The whole stylesheet: the body's block when there is a body, then each div's block with
// its position as its number.
void writeStyleSheet(OutputFile& file, const BodyStyle* body,
                     std::span<const std::unique_ptr<DivStyle>> divs);

// The same stylesheet as one text, made in one piece.
std::string styleSheetText(const BodyStyle* body, std::span<const std::unique_ptr<DivStyle>> divs);
