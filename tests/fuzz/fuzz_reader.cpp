// libFuzzer target: any bytes are either read into records or refused (a stylesheet with a
// line number), never read out of bounds, never crash, never hang; as a stylesheet and as a
// recovery file; and any bytes as a web page are read into records or refused with a reason.

#include "input/RecoveryReader.h"
#include "input/StyleSheetReader.h"
#include "input/WebPageReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const StyleSheetReading reading =
        readStyleSheet(std::string_view(reinterpret_cast<const char*>(data), size));
    if (reading.records.has_value() == (reading.badLine > 0))
        std::abort();
    // A recovery file is read or refused whole; its parents always name a div or none.
    if (const auto recovered = readRecovery(std::string_view(reinterpret_cast<const char*>(data), size)))
        for (const auto& div : recovered->records.divs)
            if (div->getParent() < -1 || div->getParent() >= static_cast<std::int32_t>(recovered->records.divs.size()))
                std::abort();
    const WebPageReading page = readWebPage(std::string_view(reinterpret_cast<const char*>(data), size), "/srv/lap");
    if (page.records.has_value() == !page.refusal.empty())
        std::abort();
    if (page.records)
        for (const auto& div : page.records->divs)
            if (div->getParent() < -1 || div->getParent() >= static_cast<std::int32_t>(page.records->divs.size()))
                std::abort();
    return 0;
}
