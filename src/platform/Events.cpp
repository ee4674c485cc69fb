#include "platform/Events.h"

#include "platform/Exception.h"
#include "platform/Interaction.h"

#include <new>
#include <string>

namespace {

std::string reportText(std::exception_ptr exception)
{
    try {
        std::rethrow_exception(exception);
    } catch (const std::bad_alloc&) {
        return "Nincs elég memória";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return {};   // not an exception we know: reported with an empty message
    }
}

} // namespace

void ShowException(std::exception_ptr exception) noexcept
{
    try {
        Interaction::current().showException(reportText(exception));
    } catch (...) {
        // The report itself failed (no memory for the box): nothing more can be shown.
    }
}

void RunGuarded(const TNotifyEvent& handler) noexcept
{
    try {
        handler();
    } catch (...) {
        ShowException(std::current_exception());
    }
}
