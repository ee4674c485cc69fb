#pragma once

#include <memory>
#include <string>

// A text that is copied in constant time: its copies share one string that never changes.
// A value of hundreds of megabytes (a picture's path read from a file) then costs nothing
// to keep for undo or to hand to the thread that writes the recovery file.
class SharedText
{
public:
    SharedText() = default;
    SharedText(std::string value)
        : shared(value.empty() ? nullptr : std::make_shared<const std::string>(std::move(value)))
    {
    }

    const std::string& get() const
    {
        static const std::string empty;
        return shared ? *shared : empty;
    }

    bool operator==(const SharedText& other) const { return shared == other.shared || get() == other.get(); }

private:
    std::shared_ptr<const std::string> shared;   // null: empty
};
