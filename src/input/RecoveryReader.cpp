#include "input/RecoveryReader.h"

#include "output/RecoveryWriter.h"

#include <QByteArray>

#include <algorithm>
#include <charconv>
#include <vector>

namespace {

// The next line without its LF, or nothing when no LF is left.
std::optional<std::string_view> nextLine(std::string_view& bytes)
{
    const std::size_t end = bytes.find('\n');
    if (end == std::string_view::npos)
        return std::nullopt;
    const std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end + 1);
    return line;
}

std::optional<std::string_view> field(std::string_view& bytes, std::string_view name)
{
    const auto line = nextLine(bytes);
    if (!line || !line->starts_with(name))
        return std::nullopt;
    return line->substr(name.size());
}

std::optional<std::vector<std::int32_t>> numbersIn(std::string_view text)
{
    std::vector<std::int32_t> numbers;
    while (!text.empty()) {
        std::int32_t number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error != std::errc())
            return std::nullopt;
        numbers.push_back(number);
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
        if (!text.empty()) {
            if (text.front() != ' ' || text.size() == 1)
                return std::nullopt;
            text.remove_prefix(1);
        }
    }
    return numbers;
}

bool isRuleName(std::string_view rule, std::size_t divCount)
{
    if (rule.empty() || rule == "body")
        return true;
    std::size_t number = 0;
    if (!rule.starts_with("div") || rule.size() == 3)
        return false;
    const auto [end, error] = std::from_chars(rule.data() + 3, rule.data() + rule.size(), number);
    return error == std::errc() && end == rule.data() + rule.size() && number < divCount;
}

std::string decoded(std::string_view percentEncoded)
{
    return QByteArray::fromPercentEncoding(QByteArray(percentEncoded.data(), static_cast<qsizetype>(percentEncoded.size())))
        .toStdString();
}

} // namespace

std::optional<RecoveredStyleSheet> readRecovery(std::string_view bytes)
{
    const auto first = nextLine(bytes);
    if (!first || (*first != recoveryFirstLine && *first != recoveryFirstLineVersion1))
        return std::nullopt;
    const auto opened = field(bytes, "megnyitott:");
    const auto rule = field(bytes, "szabály:");
    const auto typedText = *first == recoveryFirstLine ? field(bytes, "gépelt:") : std::optional<std::string_view>("");
    const auto parentsText = field(bytes, "szülők:");
    const auto sheetMark = nextLine(bytes);
    if (!opened || !rule || !typedText || !parentsText || sheetMark != "stíluslap:")
        return std::nullopt;
    const auto parents = numbersIn(*parentsText);
    StyleSheetReading reading = readStyleSheet(bytes);
    if (!parents || !reading.records || parents->size() != reading.records->divs.size()
        || !isRuleName(*rule, parents->size()))
        return std::nullopt;
    RecoveredStyleSheet recovery{std::move(*reading.records), std::string(*rule), decoded(*opened), {}};
    for (std::string_view rest = *typedText; !typedText->empty();) {   // empty fields count too
        const std::size_t end = rest.find(' ');
        recovery.typed.push_back(decoded(rest.substr(0, end)));
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    for (std::size_t number = 0; number < parents->size(); ++number) {
        const std::int32_t parent = (*parents)[number];
        if (parent < -1 || parent >= static_cast<std::int32_t>(parents->size()))
            return std::nullopt;
        recovery.records.divs[number]->setParent(parent);
    }
    return recovery;
}
