// libFuzzer target: any bytes are either read into records or refused with a line number,
// never read out of bounds, never crash, never hang.

#include "input/StyleSheetReader.h"

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
    return 0;
}
