#pragma once

#include <string>
#include <string_view>

// How a web page's bytes are text, as a browser tells: its byte-order mark, else the charset
// its first kilobyte declares (`<meta charset>` or `http-equiv="Content-Type"`), else UTF-8.
struct PageEncoding {
    std::string name;            // "UTF-8" when nothing else is said
    std::size_t markLength = 0;  // the byte-order mark's bytes
    std::string unknown;         // a declared charset Prizmo cannot read, read as UTF-8 instead
};

PageEncoding pageEncoding(std::string_view bytes);

bool isUtf8Encoding(const PageEncoding& encoding);

// The page's text as UTF-8, its byte-order mark left out; what is no character of the
// encoding becomes U+FFFD.
std::string pageAsUtf8(std::string_view bytes, const PageEncoding& encoding);
