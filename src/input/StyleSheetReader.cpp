#include "input/StyleSheetReader.h"

#include "model/ColorValue.h"
#include "model/CssValueText.h"
#include "model/Properties.h"

#include <QStringDecoder>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <future>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace {

// A 32-bit decimal integer written as the writer writes it: no sign but a minus, no leading
// zeros.
bool wholeNumber(std::string_view digits, std::int32_t& value)
{
    if (digits.empty() || digits.starts_with('+') || digits.starts_with("-0")
        || (digits.size() > 1 && digits.starts_with('0')))
        return false;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    return error == std::errc() && stop == end;
}

// A number of the row's range followed by `unit`, as the writer writes them; `text` moves past.
bool numberWithUnit(std::string_view& text, std::string_view unit, const Property& row, std::int32_t& value)
{
    const std::size_t end = std::min(text.find(' '), text.size());
    const std::string_view piece = text.substr(0, end);
    if (!piece.ends_with(unit) || !wholeNumber(piece.substr(0, piece.size() - unit.size()), value)
        || value < row.least || value > row.most)
        return false;
    text.remove_prefix(end);
    return true;
}

// "4px 8px 4px 8px": every side, one space between.
bool sidesText(std::string_view text, std::string_view unit, const Property& row, Sides& sides)
{
    for (std::int32_t* side : {&sides.top, &sides.right, &sides.bottom, &sides.left}) {
        if (side != &sides.top && !text.starts_with(' '))
            return false;
        if (side != &sides.top)
            text.remove_prefix(1);
        if (!numberWithUnit(text, unit, row, *side))
            return false;
    }
    return text.empty();
}

// "1px solid #FF0000" or "1px solid": a style that is no style is written nowhere.
bool borderText(std::string_view text, std::string_view unit, const Property& row, Border& border)
{
    if (!numberWithUnit(text, unit, row, border.width) || !text.starts_with(' '))
        return false;
    text.remove_prefix(1);
    const std::size_t space = text.find(' ');
    border.style = listPositionOf(row, text.substr(0, space));
    if (border.style <= 0)
        return false;
    if (space == std::string_view::npos)
        return true;
    border.color = text.substr(space + 1);
    return isColorText(border.color);
}

// Tells the pace at most every few megabytes; a pointer comparison the rest of the time.
class Pacer
{
public:
    Pacer(const ReadingPace& pace, std::string_view bytes) : pace(pace), begin(bytes.data()), size(bytes.size())
    {
        startPass();
    }

    // At `where` in the pass that is `pass` (0 or 1); false once the reading is to stop.
    bool at(const char* where, int pass)
    {
        const auto offset = static_cast<std::size_t>(where - begin);
        if (!pace || stopped || offset < next)
            return !stopped;
        next = offset + step;
        stopped = !pace(where, static_cast<std::uint64_t>(pass) * size + offset);
        return !stopped;
    }
    void startPass() { next = std::min(step, size); }

    bool stopped = false;

private:
    static constexpr std::size_t step = 4 * 1024 * 1024;
    const ReadingPace& pace;
    const char* begin;
    std::size_t size;
    std::size_t next = 0;   // the offset at which the pace is told next
};

// How the file's text is to be read. Prizmo writes UTF-8; a stylesheet written on Windows is
// in its Central European code page, Windows-1250, and so holds no valid multi-byte UTF-8
// sequence. A file with both valid sequences and invalid bytes is neither.
// Before that is known, a file is read as UTF-8 whose every value must be UTF-8.
enum class Encoding { Utf8, Windows1250, Neither, Utf8Assumed };

struct EncodingFound {
    Encoding encoding = Encoding::Utf8;
    std::size_t firstInvalid = 0;   // Neither: the offset of the first byte that is no UTF-8
};

// The length of the valid UTF-8 sequence that starts at `at`, whose first byte is not ASCII;
// 0 for none. Overlong forms, surrogates and code points past U+10FFFF are no UTF-8.
std::size_t utf8SequenceAt(const unsigned char* at, const unsigned char* end)
{
    const auto continuation = [&](std::ptrdiff_t i, unsigned char low = 0x80, unsigned char high = 0xBF) {
        return end - at > i && at[i] >= low && at[i] <= high;
    };
    const unsigned char lead = *at;
    if (lead < 0xC2 || lead > 0xF4)
        return 0;
    if (lead <= 0xDF)
        return continuation(1) ? 2 : 0;
    if (lead <= 0xEF) {
        const bool second = lead == 0xE0 ? continuation(1, 0xA0) : lead == 0xED ? continuation(1, 0x80, 0x9F) : continuation(1);
        return second && continuation(2) ? 3 : 0;
    }
    const bool second = lead == 0xF0 ? continuation(1, 0x90) : lead == 0xF4 ? continuation(1, 0x80, 0x8F) : continuation(1);
    return second && continuation(2) && continuation(3) ? 4 : 0;
}

// The first byte from `at` on, before `stop`, that starts no UTF-8 character, or `stop` (or
// just past it) when there is none; `multiByte` is set once a longer character is passed.
const unsigned char* pastUtf8(const unsigned char* at, const unsigned char* stop, const unsigned char* end,
                              bool& multiByte)
{
    while (at < stop) {
        // Eight ASCII bytes at a time: most of a stylesheet is ASCII.
        std::uint64_t eight = 0;
        if (stop - at >= 8 && (std::memcpy(&eight, at, 8), (eight & 0x8080808080808080u) == 0)) {
            at += 8;
        } else if (*at < 0x80) {
            ++at;
        } else if (const std::size_t length = utf8SequenceAt(at, end)) {
            multiByte = true;
            at += length;
        } else {
            break;
        }
    }
    return at;
}

// Whether the bytes of `text` from `from` on, up to `to` at least, are UTF-8; `from` moves
// past those that are.
bool utf8Until(std::string_view text, std::size_t& from, std::size_t to)
{
    const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = begin + text.size();
    const auto* const stop = begin + std::min(to, text.size());
    bool multiByte = false;
    const unsigned char* const past = pastUtf8(begin + from, stop, end, multiByte);
    from = static_cast<std::size_t>(past - begin);
    return past >= stop;
}

EncodingFound encodingOf(std::string_view bytes, Pacer& pacer)
{
    constexpr std::ptrdiff_t piece = 64 * 1024;
    const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = begin + bytes.size();
    bool multiByte = false;
    const unsigned char* invalid = nullptr;
    for (const unsigned char* at = begin; at < end && !(multiByte && invalid);) {
        if (!pacer.at(reinterpret_cast<const char*>(at), 0))
            return {};
        const unsigned char* const stop = end - at > piece ? at + piece : end;
        at = pastUtf8(at, stop, end, multiByte);
        if (at < stop) {
            invalid = invalid ? invalid : at;
            ++at;
        }
    }
    if (!invalid)
        return {Encoding::Utf8};
    if (!multiByte)
        return {Encoding::Windows1250};
    return {Encoding::Neither, static_cast<std::size_t>(invalid - begin)};
}

// A value's text as UTF-8. Windows-1250 is decoded a piece at a time: Qt's decoder gives up
// on very large input without a word, so a decoder that gives fewer characters than it was
// given bytes (one each, in a single-byte code page) is taken as a refusal.
class ValueText
{
public:
    ValueText(Encoding encoding, Pacer& pacer) : encoding(encoding), pacer(pacer)
    {
        if (encoding == Encoding::Windows1250)
            windows1250.emplace("windows-1250");
    }

    bool readable() const { return !windows1250 || windows1250->isValid(); }

    // A large value is taken a piece at a time, so that the pace can let go of what was read.
    std::optional<std::string> toUtf8(std::string_view raw)
    {
        constexpr std::size_t piece = 64 * 1024;
        std::string text;
        text.reserve(raw.size());
        if (encoding != Encoding::Windows1250) {
            std::size_t checked = 0;
            for (std::size_t at = 0; at < raw.size(); at += piece) {
                if (encoding == Encoding::Utf8Assumed && !utf8Until(raw, checked, at + piece))
                    return std::nullopt;
                text.append(raw.substr(at, piece));
                if (!pacer.at(raw.data() + at, 1))
                    return std::nullopt;
            }
            return text;
        }
        for (std::size_t at = 0; at < raw.size(); at += piece) {
            if (!pacer.at(raw.data() + at, 1))
                return std::nullopt;
            const std::string_view part = raw.substr(at, piece);
            const QString decoded = windows1250->decode(QByteArrayView(part.data(), static_cast<qsizetype>(part.size())));
            if (windows1250->hasError() || static_cast<std::size_t>(decoded.size()) != part.size())
                return std::nullopt;
            text += decoded.toStdString();
        }
        return text;
    }

private:
    Encoding encoding;
    Pacer& pacer;
    std::optional<QStringDecoder> windows1250;
};

// The length of the line break at the start of `text`, in any accepted form; 0 for none.
std::size_t breakLength(std::string_view text)
{
    for (std::string_view form : {"\r\n\r", "\n\r", "\r\n", "\n", "\r"})
        if (text.starts_with(form))
            return form.size();
    return 0;
}

// Reads the lines in order, one block's at a time; the first line that does not fit stops
// it. A break at the very start or end introduces or ends a line and so stands for no line
// of its own.
class LineReader
{
public:
    LineReader(std::string_view text, ValueText& values, Pacer& pacer) : rest(text), values(values), pacer(pacer)
    {
        rest.remove_prefix(breakLength(rest));
        advance();
    }
    // From the first byte of a line, as the reading from the start would come to it.
    struct AtALine {};
    LineReader(std::string_view fromALine, ValueText& values, Pacer& pacer, AtALine)
        : rest(fromALine), values(values), pacer(pacer)
    {
        advance();
    }

    bool atEnd() const { return !current; }
    int failedLine() const { return current ? lineNumber : lineNumber + 1; }
    // The current line's number, from 1, and whether it starts at `byte`.
    int currentLine() const { return lineNumber; }
    bool lineStartsAt(const char* byte) const { return current && current->data() == byte; }
    bool pastOrAt(const char* byte) const { return current && current->data() >= byte; }
    bool nextIs(std::string_view text) const { return current && *current == text; }

    bool exactly(std::string_view text) { return take(nextIs(text)); }

    // name, colon, value, ";": the value is everything up to the line's last semicolon, and
    // as UTF-8 a text `fits` takes.
    template <typename Fits>
    bool text(std::string_view name, std::string& value, Fits&& fits)
    {
        const auto middle = valueOf(name, "");
        auto converted = middle ? values.toUtf8(*middle) : std::nullopt;
        const bool taken = converted && fits(*converted);
        if (taken)
            value = std::move(*converted);
        return take(taken);
    }
    bool text(std::string_view name, std::string& value)
    {
        return text(name, value, [](const std::string&) { return true; });
    }

    // Moves on to the line that holds `byte`, one of the text's.
    void skipTo(const char* byte)
    {
        while (current && current->data() + current->size() <= byte)
            advance();
    }

    // name, colon, a 32-bit decimal integer written as the writer writes it, unit, ";".
    bool number(const Property& row, std::int32_t& value, std::string_view unit)
    {
        const auto digits = valueOf(row.name, unit);
        return take(digits && wholeNumber(*digits, value) && value >= row.least && value <= row.most);
    }

    // Whether the current line is the row's, whatever its value.
    bool isLineOf(std::string_view name) const
    {
        return current && current->size() > name.size() && current->starts_with(name) && (*current)[name.size()] == ':';
    }

    // name, colon, the value as `parse` takes it (false: no such value), ";".
    template <typename Parse>
    bool value(std::string_view name, std::string_view unit, Parse&& parse)
    {
        const auto text = valueOf(name, unit);
        return take(text && parse(*text));
    }

    // name, colon, one of the row's keywords, ";": its place in the row's list.
    bool keyword(const Property& row, int& listPosition)
    {
        const auto word = valueOf(row.name, "");
        listPosition = word ? listPositionOf(row, *word) : -1;
        return take(listPosition >= 0);
    }

private:
    // What stands between "name:" and "unit;" on the current line.
    std::optional<std::string_view> valueOf(std::string_view name, std::string_view unit) const
    {
        if (!current)
            return std::nullopt;
        const std::string_view line = *current;
        const std::size_t around = name.size() + 1 + unit.size() + 1;
        // A NUL byte is no text, and no value can hold it.
        if (line.size() < around || !line.starts_with(name) || line[name.size()] != ':' || !line.ends_with(';')
            || !line.substr(0, line.size() - 1).ends_with(unit) || line.find('\0') != std::string_view::npos)
            return std::nullopt;
        return line.substr(name.size() + 1, line.size() - around);
    }
    bool take(bool fits)
    {
        if (fits)
            advance();
        return fits;
    }

    void advance()
    {
        if (rest.empty() || !pacer.at(rest.data(), 1)) {
            current.reset();
            return;
        }
        const char* const begin = rest.data();
        const char* end = begin;
        while (end != begin + rest.size() && *end != '\n' && *end != '\r')
            ++end;
        current = rest.substr(0, static_cast<std::size_t>(end - begin));
        rest.remove_prefix(current->size());
        rest.remove_prefix(breakLength(rest));
        ++lineNumber;
    }

    std::string_view rest;                    // after the current line and its break
    ValueText& values;
    Pacer& pacer;
    std::optional<std::string_view> current;  // nothing at the end
    int lineNumber = 0;                       // the current line's, from 1
};

// The lines of every property the record's kind of rule has, in the table's order; a row
// that is not always written may have no line.
template <typename Record>
bool readDeclarations(LineReader& in, Record& record)
{
    return everyHeld<Record>([&]<std::size_t at>(std::integral_constant<std::size_t, at>) {
        constexpr const Property& row = properties[at];
        constexpr const Holder<Record>& holder = row.in<Record>();
        if constexpr (!row.alwaysWritten)
            if (!in.isLineOf(row.name))
                return true;
        if constexpr (holder.held == Held::AsSides) {
            Sides sides;
            if (!in.value(row.name, "", [&](std::string_view text) { return sidesText(text, holder.unit, row, sides); }))
                return false;
            (record.*holder.setSides)(sides);
        } else if constexpr (holder.held == Held::AsBorder) {
            Border border;
            if (!in.value(row.name, "", [&](std::string_view text) { return borderText(text, holder.unit, row, border); }))
                return false;
            (record.*holder.setBorder)(std::move(border));
        } else if constexpr (row.kind == ValueKind::Percent) {
            std::optional<std::int32_t> percent;
            if (!in.value(row.name, "", [&](std::string_view text) { return (percent = percentOfFraction(text)).has_value(); }))
                return false;
            (record.*holder.setNumber)(*percent);
        } else if constexpr (row.kind == ValueKind::FontFamily) {
            std::string family;
            if (!in.text(row.name, family, [](const std::string& text) { return isFontFamilyText(text); }))
                return false;
            (record.*holder.setText)(std::move(family));
        } else if constexpr (holder.held == Held::AsNumber) {
            std::int32_t value = 0;
            if (!in.number(row, value, holder.unit))
                return false;
            (record.*holder.setNumber)(value);
        } else if constexpr (holder.held == Held::AsKeyword || holder.held == Held::AsListPosition) {
            int listPosition = -1;
            if (!in.keyword(row, listPosition))
                return false;
            (record.*holder.setListPosition)(listPosition);
        } else {
            std::string value;
            if (!in.text(row.name, value))
                return false;
            (record.*holder.setText)(std::move(value));
        }
        return true;
    });
}

bool readBody(LineReader& in, BodyStyle& body)
{
    return in.exactly("body") && in.exactly("{") && readDeclarations(in, body) && in.exactly("}");
}

bool readDiv(LineReader& in, std::size_t number, DivStyle& div)
{
    return in.exactly("#div" + std::to_string(number)) && in.exactly("{") && readDeclarations(in, div)
        && in.exactly("}");
}

// Where a long file's second half starts: the first line "#div<number>" past its middle, as
// the writer begins a div. Read from there, the divs are those a reading from the start
// gives once it meets that line after as many divs; whether it does is known when it does.
struct HalfWay {
    const char* line = nullptr;   // none: the file is read on one thread
    std::size_t firstDiv = 0;
};

// Below this a second thread costs more than it saves.
constexpr std::size_t worthASecondThread = 1024 * 1024;

HalfWay halfWayOf(std::string_view text)
{
    if (text.size() < worthASecondThread)
        return {};
    // Past a value this long, the file is one div's and is read on one thread.
    constexpr std::size_t lookedThrough = 1024 * 1024;
    const std::size_t from = text.size() / 2;
    const std::string_view looked = text.substr(from, lookedThrough);
    for (std::size_t at = looked.find("#div"); at != std::string_view::npos; at = looked.find("#div", at + 1)) {
        const std::size_t line = from + at;
        std::string_view number = text.substr(line + 4, 12);
        number = number.substr(0, std::min(number.find_first_of("\n\r"), number.size()));
        std::int32_t firstDiv = 0;
        if ((text[line - 1] == '\n' || text[line - 1] == '\r') && line + 4 + number.size() < text.size()
            && wholeNumber(number, firstDiv) && firstDiv >= 0)
            return {text.data() + line, static_cast<std::size_t>(firstDiv)};
    }
    return {};
}

// The divs from the line half way on, or the number of the first line that does not fit,
// counted from that line as line 1.
struct SecondHalf {
    std::vector<std::unique_ptr<DivStyle>> divs;
    int badLine = 0;
    bool stopped = false;
};

SecondHalf readSecondHalf(std::string_view bytes, HalfWay halfWay, Encoding encoding, const std::atomic<bool>& stop)
{
    const ReadingPace untilStopped = [&stop](const char*, std::uint64_t) { return !stop.load(); };
    Pacer pacer(untilStopped, bytes);
    ValueText values(encoding, pacer);
    LineReader in(bytes.substr(static_cast<std::size_t>(halfWay.line - bytes.data())), values, pacer,
                  LineReader::AtALine{});
    SecondHalf half;
    while (!in.atEnd()) {
        auto div = std::make_unique<DivStyle>();
        if (!readDiv(in, halfWay.firstDiv + half.divs.size(), *div)) {
            half.badLine = pacer.stopped ? 0 : in.failedLine();
            break;
        }
        half.divs.push_back(std::move(div));
    }
    half.stopped = pacer.stopped;
    return half;
}

// The second half read on a thread of its own while the first is read on this one: each has
// a core. Gone before its half is taken, it stops the reading and waits for its end.
class SecondHalfAside
{
public:
    SecondHalfAside(std::string_view bytes, HalfWay halfWay, Encoding encoding)
        : reading(std::async(std::launch::async, readSecondHalf, bytes, halfWay, encoding, std::cref(stop)))
    {
    }
    ~SecondHalfAside()
    {
        stop = true;
        if (reading.valid())
            reading.wait();
    }
    SecondHalfAside(const SecondHalfAside&) = delete;
    SecondHalfAside& operator=(const SecondHalfAside&) = delete;

    // Waits for the half, asking `stillWanted` now and then meanwhile.
    SecondHalf take(const std::function<bool()>& stillWanted)
    {
        while (reading.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
            if (!stillWanted())
                stop = true;
        return reading.get();
    }

private:
    std::atomic<bool> stop{false};
    std::future<SecondHalf> reading;
};

// What the reading tells its pace: out of twice the bytes, the pass that tells the encoding
// and the one that reads the lines; read in one, the lines are all of it. While a second
// thread reads the second half of the lines, this one's half is all of them. A reading that
// starts over goes on from where the first one had come, so that what is told never falls.
struct TwoPassPace {
    TwoPassPace(const ReadingPace& reported, std::uint64_t size)
    {
        if (reported)
            pace = [this, &reported, size](const char* behind, std::uint64_t done) {
                const auto whole = 2 * static_cast<double>(size);
                auto reached = static_cast<double>(done);
                if (done >= size) {   // the lines
                    auto offset = static_cast<double>(done - size);
                    if (halfOfTheWay > 0)
                        offset = std::min(offset * static_cast<double>(size) / static_cast<double>(halfOfTheWay),
                                          static_cast<double>(size));
                    reached = inOnePass ? 2 * offset : static_cast<double>(size) + offset;
                }
                told = std::max(told, from + (whole - from) * reached / whole);
                return reported(behind, static_cast<std::uint64_t>(told));
            };
    }
    TwoPassPace(const TwoPassPace&) = delete;
    TwoPassPace& operator=(const TwoPassPace&) = delete;

    // The file is read again, after a pass that tells its encoding.
    void startOver()
    {
        inOnePass = false;
        from = told;
    }

    ReadingPace pace;
    std::size_t halfOfTheWay = 0;   // where the second half starts, while it is read aside

private:
    bool inOnePass = true;
    double from = 0;   // what was told before the reading started over
    double told = 0;
};

// The records of the first half and the divs of the second, or the first bad line of the
// second half counted from the file's start.
StyleSheetReading withSecondHalf(StyleSheetRecords records, SecondHalfAside& aside, int linesBefore,
                                 const std::function<bool()>& stillWanted)
{
    SecondHalf half = aside.take(stillWanted);
    if (half.stopped)
        return {std::nullopt, 0, true};
    if (half.badLine > 0)
        return {std::nullopt, linesBefore + half.badLine};
    records.divs.insert(records.divs.end(), std::make_move_iterator(half.divs.begin()),
                        std::make_move_iterator(half.divs.end()));
    return {std::move(records), 0};
}

// The body and the divs, as far as they fit; a long file's second half on a thread of its own.
StyleSheetReading readRules(std::string_view bytes, Encoding encoding, Pacer& pacer, TwoPassPace& told)
{
    told.halfOfTheWay = 0;
    ValueText values(encoding, pacer);
    if (!values.readable())
        return {std::nullopt, 1};
    LineReader in(bytes, values, pacer);
    const auto refused = [&] { return StyleSheetReading{std::nullopt, pacer.stopped ? 0 : in.failedLine(), pacer.stopped}; };
    StyleSheetRecords records;
    if (in.nextIs("body") && !readBody(in, records.body.emplace()))
        return refused();
    const HalfWay halfWay = halfWayOf(bytes);
    std::optional<SecondHalfAside> secondHalf;
    try {
        if (halfWay.line && !in.pastOrAt(halfWay.line))
            secondHalf.emplace(bytes, halfWay, encoding);
    } catch (const std::system_error&) {   // no thread: this one reads it all
    }
    if (secondHalf)
        told.halfOfTheWay = static_cast<std::size_t>(halfWay.line - bytes.data());
    while (!in.atEnd()) {
        if (secondHalf && in.pastOrAt(halfWay.line)) {
            if (in.lineStartsAt(halfWay.line) && records.divs.size() == halfWay.firstDiv)
                return withSecondHalf(std::move(records), *secondHalf, in.currentLine() - 1,
                                      [&] { return !told.pace || told.pace(halfWay.line, bytes.size() + told.halfOfTheWay); });
            secondHalf.reset();   // not the line this reading meets: read on here
            told.halfOfTheWay = 0;
        }
        auto div = std::make_unique<DivStyle>();
        if (!readDiv(in, records.divs.size(), *div))
            return refused();
        records.divs.push_back(std::move(div));
    }
    if (pacer.stopped)
        return {std::nullopt, 0, true};
    return {std::move(records), 0};
}

} // namespace

StyleSheetReading readStyleSheet(std::string_view bytes, const ReadingPace& pace)
{
    // An editor may put a byte-order mark first; Prizmo writes none.
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    TwoPassPace told(pace, bytes.size());
    Pacer pacer(told.pace, bytes);
    // A file read as UTF-8 to its end with every value UTF-8 holds no byte that is none, and
    // so is UTF-8: most files need no pass of their own to tell their encoding.
    StyleSheetReading once = readRules(bytes, Encoding::Utf8Assumed, pacer, told);
    if (once.records || once.stopped)
        return once;
    told.startOver();
    pacer.startPass();
    const EncodingFound found = encodingOf(bytes, pacer);
    if (pacer.stopped)
        return {std::nullopt, 0, true};
    pacer.startPass();
    if (found.encoding == Encoding::Neither) {
        ValueText values(found.encoding, pacer);
        LineReader in(bytes, values, pacer);
        in.skipTo(bytes.data() + found.firstInvalid);
        return {std::nullopt, in.failedLine()};
    }
    return readRules(bytes, found.encoding, pacer, told);
}
