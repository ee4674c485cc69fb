#pragma once

#include <cstdint>
#include <string>

// Text is UTF-8 in std::string throughout the program: Linux's 8-bit encoding.

std::string IntToStr(std::int32_t value);

// Optional sign and decimal digits, surrounding blanks allowed; anything else, and any
// number outside the 32-bit signed range, throws EConvertError naming the text (its first
// 40 characters and "…" when it is longer).
std::int32_t StrToInt(const std::string& text);

// Upper-case hexadecimal digits of the value's 32 bits, zero-filled to at least `digits`.
std::string IntToHex(std::int32_t value, int digits);

// The text itself when it has at most `characters` characters; otherwise its first ones and "…".
std::string Abbreviated(const std::string& text, int characters);

// The text with each control character (a tab, a line break, ...) as its visible picture
// (␉, ␊, ...): for a file name in a title or a dialog, where it would break the line.
std::string WithVisibleControls(const std::string& text);
