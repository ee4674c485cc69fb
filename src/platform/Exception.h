#pragma once

#include <stdexcept>
#include <string>

// The class library's exception kind: what the application's exception report shows.
class Exception : public std::runtime_error
{
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// Raised by StrToInt on text that is not a 32-bit integer.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};
