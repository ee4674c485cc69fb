#include "platform/Interaction.h"

#include "platform/QtInteraction.h"

namespace {

std::unique_ptr<Interaction>& installed()
{
    static std::unique_ptr<Interaction> interaction = std::make_unique<QtInteraction>();
    return interaction;
}

} // namespace

Interaction& Interaction::current()
{
    return *installed();
}

std::unique_ptr<Interaction> Interaction::install(std::unique_ptr<Interaction> replacement)
{
    auto previous = std::move(installed());
    installed() = replacement ? std::move(replacement) : std::make_unique<QtInteraction>();
    return previous;
}
