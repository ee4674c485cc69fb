// Random sequences of what a person can do, through the real window, checked after every step
// against a small model of what the window and its records should then hold.
//
// PRIZMO_RANDOM_SEED and PRIZMO_RANDOM_SEQUENCES change the run; a failure names the seed of
// the sequence that failed, which PRIZMO_RANDOM_SEED with PRIZMO_RANDOM_SEQUENCES=1 replays.

#include "Files.h"
#include "FormDriver.h"
#include "StyleSheetModel.h"

#include "output/WebPageWriter.h"
#include "ui/RulesModel.h"
#include "ui/PropertiesDock.h"
#include "ui/RulesPanel.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTest>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <tuple>

namespace {

// What a person typing into an editable list ends up with: an entry only when its whole
// text was typed (the texts below never start another entry's text).
struct ModelList {
    std::vector<std::string> entries;
    std::string text;
    int index() const
    {
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i] == text)
                return static_cast<int>(i);
        return -1;
    }
    void select(int i) { text = i < 0 ? std::string() : entries[static_cast<std::size_t>(i)]; }
    bool operator==(const ModelList&) const = default;
};

const std::array<const char*, 4> floatCaptions{"semmilyen", "örökölt", "balra", "jobbra"};
const std::array<const char*, 4> floatKeywords{"none", "inherit", "left", "right"};
const std::array<const char*, 3> positionKeywords{"relative", "absolute", "inherit"};

const std::array<const char*, 17> editTexts{
    "0", "12", "-7", "300", " 25 ", "+8", "007", "-2147483648", "2147483647",
    "", "abc", "2147483648", "-2147483649", "tizenöt", "1.5", "12px", "ű"};
const std::array<const char*, 7> listTexts{"fix", "zz", "abszolult", "örökölt", "relatív", "div0", "div1"};
const std::array<TColor, 5> colours{0x000000, 0x0000FF, 0xFF0000, 0x03AB12, 0xFFFFFFFF};
const std::array<const char*, 3> pictures{"/home/éva/kép 1.png", "C:\\Képek\\háttér.bmp", ""};

// The model's own reading of a number: optional sign, decimal digits, blanks around.
std::optional<std::int32_t> parseNumber(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::nullopt;
    const std::string trimmed = text.substr(first, text.find_last_not_of(' ') - first + 1);
    std::size_t at = 0;
    bool negative = false;
    if (trimmed[0] == '+' || trimmed[0] == '-') {
        negative = trimmed[0] == '-';
        at = 1;
    }
    if (at == trimmed.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; at < trimmed.size(); ++at) {
        if (trimmed[at] < '0' || trimmed[at] > '9')
            return std::nullopt;
        value = value * 10 + (trimmed[at] - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > INT32_MAX || value < INT32_MIN)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string colourText(TColor colour)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text = "#";
    for (int shift : {0, 8, 16}) {
        const unsigned channel = (colour >> shift) & 0xFF;
        text += digits[channel >> 4];
        text += digits[channel & 0xF];
    }
    return text;
}

// The box's lines in a model's div, in the writer's order: `line` (empty: none) replaces the
// property's.
void setBoxLine(std::string& box, std::string_view name, const std::string& line)
{
    static const std::array<std::string_view, 10> order{"margin", "padding", "border", "border-radius", "top",
                                                        "left", "text-align", "font-family", "font-weight", "opacity"};
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < box.size();) {
        const std::size_t next = std::min(box.find("\n\r", at + 2), box.size());
        lines.push_back(box.substr(at + 2, next - at - 2));
        at = next;
    }
    const auto nameOf = [](const std::string& each) { return std::string_view(each).substr(0, each.find(':')); };
    std::erase_if(lines, [&](const std::string& each) { return nameOf(each) == name; });
    if (!line.empty())
        lines.push_back(line);
    std::ranges::stable_sort(lines, {}, [&](const std::string& each) { return std::ranges::find(order, nameOf(each)) - order.begin(); });
    box.clear();
    for (const std::string& each : lines)
        box += "\n\r" + each;
}

class Model
{
public:
    std::optional<ModelBody> body;
    std::vector<ModelDiv> divs;
    bool storage = false, editOpen = false, panel1 = false, panel2 = false, panel3 = false;
    bool colourChecked = true;
    bool closed = false;
    std::size_t questions = 0;
    std::string edit1 = "Edit1", edit2 = "Edit2", edit3 = "Edit3";
    std::string radius;   // "Tulajdonságok" → "Lekerekítés"
    std::string top, left;   // "Fent" and "Balra": empty for no offset
    int alignment = 0;
    ModelList position{{"relatív", "abszolult", "örökölt"}, "relatív"};
    ModelList child, parent;
    int reopened = -1;   // a div opened again, until the next "Új Div"
    std::string openedFile;   // until the next save
    std::vector<std::string> messages, exceptions;

    int lastDiv() const { return static_cast<int>(divs.size()) - 1; }
    int panelsDiv() const { return reopened >= 0 && reopened <= lastDiv() ? reopened : lastDiv(); }

    // The rule the panels stand for, as the rules tree names it; empty for none.
    std::string panelsRule() const
    {
        if (!panel1)
            return {};
        if (panel2)
            return lastDiv() >= 0 ? "div" + std::to_string(panelsDiv()) : std::string();
        return body ? "body" : "";
    }
    // What the window holds, which undo and redo restore; not what it has shown or asked.
    template <typename Self>
    static auto window(Self& model)
    {
        return std::tie(model.body, model.divs, model.storage, model.editOpen, model.panel1, model.panel2,
                        model.panel3, model.colourChecked, model.edit1, model.edit2, model.edit3, model.radius, model.top, model.left,
                        model.alignment, model.position, model.child, model.parent, model.reopened,
                        model.openedFile);
    }
    bool sameWindow(const Model& other) const { return window(*this) == window(other); }
    void restoreWindow(const Model& from) { window(*this) = window(from); }
    // What a save writes: the parents are not in it.
    bool sameContent(const Model& other) const
    {
        if (body != other.body || divs.size() != other.divs.size())
            return false;
        for (std::size_t n = 0; n < divs.size(); ++n) {
            ModelDiv mine = divs[n], theirs = other.divs[n];
            mine.parent = theirs.parent = -1;
            if (!(mine == theirs))
                return false;
        }
        return true;
    }

    // The undo history: the window after each step, and how many steps up to each changed
    // what a save writes. `clean` is the state of the last save or opening (-1: gone).
    std::vector<Model> history;
    int at = 0, clean = 0;
    std::vector<int> contentSerial{0};
    bool savedNow = false;

    // After a command: a step when it changed the window.
    void stepIfChanged(const Model& start)
    {
        if (!sameWindow(start)) {
            const int content = sameContent(history[static_cast<std::size_t>(at)]) ? 0 : 1;
            history.resize(static_cast<std::size_t>(at) + 1);
            contentSerial.resize(static_cast<std::size_t>(at) + 1);
            if (clean > at)
                clean = -1;
            Model kept = *this;
            kept.history.clear();
            history.push_back(std::move(kept));
            contentSerial.push_back(contentSerial.back() + content);
            ++at;
        }
        if (std::exchange(savedNow, false))
            clean = at;
    }
    bool undo()
    {
        if (at == 0)
            return false;
        restoreWindow(history[static_cast<std::size_t>(--at)]);
        return true;
    }
    bool redo()
    {
        if (at + 1 >= static_cast<int>(history.size()))
            return false;
        restoreWindow(history[static_cast<std::size_t>(++at)]);
        return true;
    }
    bool unsaved() const
    {
        return (body || !divs.empty())
            && (clean < 0 || contentSerial[static_cast<std::size_t>(clean)] != contentSerial[static_cast<std::size_t>(at)]);
    }

    // "Div törlése": the div the panels stand for goes, the later ones move down a number.
    void deleteDiv()
    {
        if (!(panel1 && panel2 && lastDiv() >= 0) || editOpen)
            return;
        const int gone = panelsDiv();
        divs.erase(divs.begin() + gone);
        for (ModelDiv& div : divs)
            div.parent = div.parent == gone ? -1 : div.parent > gone ? div.parent - 1 : div.parent;
        child = ModelList{};
        for (std::size_t n = 0; n < divs.size(); ++n)
            child.entries.push_back("div" + std::to_string(n));
        child.select(static_cast<int>(divs.size()) - 1);
        parent = child;
        reopened = -1;
        panel1 = panel2 = panel3 = false;
    }

    void bodySettings()
    {
        if (body || editOpen) {
            messages.emplace_back("Már beállítottad a body-t");
            return;
        }
        panel1 = true;
        panel2 = false;
        body = ModelBody{};
        edit3 = "14";
        editOpen = true;
    }

    void newDiv()
    {
        if (editOpen) {
            messages.emplace_back("Előbb ments az előző dived beállításai!");
            return;
        }
        panel1 = panel2 = true;
        storage = true;
        divs.emplace_back();
        reopened = -1;
        edit1 = "100";
        edit2 = "200";
        edit3 = "14";
        radius = "0";
        top = left = "";
        alignment = 0;
        position.select(0);
        editOpen = true;
    }

    bool convert(const char* label, const std::string& text, std::int32_t& into)
    {
        const auto value = parseNumber(text);
        if (!value) {
            exceptions.push_back(std::string(label) + ": '" + text + "' nem érvényes egész szám");
            return false;
        }
        into = *value;
        return true;
    }

    void done()
    {
        if (!panel1 || !editOpen)
            return;   // not on screen or disabled: the click does nothing
        if (body && !panel2) {
            if (convert("Betüméret", edit3, body->fontSize))
                editOpen = false;
            return;
        }
        if (!storage || !panel2)
            return;
        if (lastDiv() >= 0) {
            ModelDiv& div = divs[static_cast<std::size_t>(panelsDiv())];
                if (!convert("Szélesség", edit1, div.width) || !convert("Magasság", edit2, div.height)
                || !convert("Betüméret", edit3, div.fontSize))
                return;
            if (alignment >= 0)
                div.floatValue = floatKeywords[static_cast<std::size_t>(alignment)];
            if (position.index() >= 0)
                div.position = positionKeywords[static_cast<std::size_t>(position.index())];
            if (!storeRadius(div))
                return;
            storeOffsets(div);
            if (reopened >= 0) {   // listed already
                editOpen = false;
                return;
            }
            const std::string entry = "div" + std::to_string(lastDiv());
            for (ModelList* list : {&child, &parent}) {
                list->entries.push_back(entry);
                list->select(static_cast<int>(list->entries.size()) - 1);
            }
        }
        editOpen = false;
    }

    // The dock's "Lekerekítés" into the div: a whole number, at least 0.
    bool storeRadius(ModelDiv& div)
    {
        std::int32_t value = 0;
        if (!convert("Lekerekítés", radius, value))
            return false;
        if (value < 0) {
            exceptions.emplace_back("Lekerekítés: legalább 0 legyen");
            return false;
        }
        setBoxLine(div.box, "border-radius", value == 0 ? std::string() : "border-radius:" + std::to_string(value) + "px;");
        return true;
    }

    // The dock's "Fent" and "Balra" into the div: moves typed only numbers there.
    void storeOffsets(ModelDiv& div) const
    {
        setBoxLine(div.box, "top", top.empty() ? std::string() : "top:" + top + "px;");
        setBoxLine(div.box, "left", left.empty() ? std::string() : "left:" + left + "px;");
    }
    // The div moved in the preview: typed into an open edit's "Balra" and "Fent", else stored.
    void moved(std::optional<std::int64_t> toLeft, std::optional<std::int64_t> toTop)
    {
        if (!(panel1 && panel2 && lastDiv() >= 0) || (!toLeft && !toTop))
            return;
        if (toLeft)
            left = std::to_string(*toLeft);
        if (toTop)
            top = std::to_string(*toTop);
        if (!editOpen)
            storeOffsets(divs[static_cast<std::size_t>(panelsDiv())]);
    }

    // Which record a "..." button changes, if any, when it is on screen.
    enum class Target { None, Div, Body };
    Target pickerTarget() const { return panel1 ? pickerRecord() : Target::None; }
    Target pickerRecord() const
    {
        if (storage && panel2)
            return lastDiv() >= 0 ? Target::Div : Target::None;
        if (body && editOpen && !panel2)
            return Target::Body;
        return Target::None;
    }

    // Rule `number` (-1: the body) opened again from the rules tree.
    void reopen(int number)
    {
        if (editOpen) {
            messages.emplace_back("Előbb nyomd meg a KÉSZ gombot!");
            return;
        }
        if (number >= 0 && number <= lastDiv()) {
            showInPanels(divs[static_cast<std::size_t>(number)]);
            reopened = number;
            editOpen = true;
        } else if (number < 0 && body) {
            panel1 = true;
            panel2 = false;
            edit3 = std::to_string(body->fontSize);
            editOpen = true;
        }
    }

    void openSavePanel()
    {
        if (!storage)
            return;
        panel3 = true;
        if (!editOpen)
            panel1 = panel2 = false;
    }

    void ok()
    {
        if (!panel3)
            return;
        const int childIndex = child.index();
        const int parentIndex = parent.index();
        if (childIndex == parentIndex)
            messages.emplace_back("Kérlek Ne Szopass!");
        else if (childIndex >= 0 && childIndex <= lastDiv())
            divs[static_cast<std::size_t>(childIndex)].parent = parentIndex;
    }

    // A div's parent as the rules tree shows it: a live div, unless the div is on a loop.
    int shownParent(int div) const
    {
        const int count = static_cast<int>(divs.size());
        const int parent = divs[static_cast<std::size_t>(div)].parent;
        if (parent < 0 || parent >= count)
            return -1;
        int at = parent;
        for (int steps = 0; steps < count && at >= 0 && at < count; ++steps) {
            if (at == div)
                return -1;
            at = divs[static_cast<std::size_t>(at)].parent;
        }
        return parent;
    }
    // Into the top level (-1) or a div that is neither the div nor inside it.
    bool mayNest(int div, int parent) const
    {
        for (int at = parent; at >= 0; at = shownParent(at))
            if (at == div)
                return false;
        return true;
    }
    void nest(int div, int parent) { divs[static_cast<std::size_t>(div)].parent = parent; }
    // A size dragged in the preview: typed into an open edit, else stored.
    void resized(std::optional<int> width, std::optional<int> height)
    {
        if (!(panel1 && panel2 && lastDiv() >= 0))
            return;
        ModelDiv& div = divs[static_cast<std::size_t>(panelsDiv())];
        const auto set = [this](std::optional<int> dragged, std::string& edit, std::int32_t& stored) {
            if (dragged && editOpen)
                edit = std::to_string(*dragged);
            else if (dragged)
                stored = *dragged;
        };
        set(width, edit1, div.width);
        set(height, edit2, div.height);
    }

    // Pasted or duplicated divs: as if each were made with "Új Div" and "KÉSZ".
    void append(const std::vector<ModelDiv>& made)
    {
        if (editOpen) {
            messages.emplace_back("Előbb nyomd meg a KÉSZ gombot!");
            return;
        }
        if (made.empty())
            return;
        for (const ModelDiv& div : made) {
            divs.push_back(div);
            for (ModelList* list : {&child, &parent}) {
                list->entries.push_back("div" + std::to_string(lastDiv()));
                list->select(static_cast<int>(list->entries.size()) - 1);
            }
        }
        storage = true;
        showInPanels(divs.back());
        reopened = -1;
    }
    // At a command's end: with no edit open the panels show their rule's stored values, and a
    // background newly shown sets "Szín" or "Kép".
    std::pair<std::string, std::string> shownBackground() const
    {
        const std::string rule = panelsRule();
        if (rule.empty())
            return {};
        return {rule, rule == "body" ? body->background : divs[static_cast<std::size_t>(panelsDiv())].background};
    }
    void showPanelsRule(const Model& before)
    {
        const auto shown = shownBackground();
        if (!editOpen && shown.first == "body")
            edit3 = std::to_string(body->fontSize);
        else if (!editOpen && !shown.first.empty())
            showInPanels(divs[static_cast<std::size_t>(panelsDiv())]);
        if (shown != before.shownBackground() && !shown.second.empty())
            colourChecked = shown.second.size() == 7 && shown.second[0] == '#';
    }
    // A div's values in the editing panels.
    void showInPanels(const ModelDiv& div)
    {
        panel1 = panel2 = true;
        edit1 = std::to_string(div.width);
        edit2 = std::to_string(div.height);
        edit3 = std::to_string(div.fontSize);
        alignment = static_cast<int>(std::find(floatKeywords.begin(), floatKeywords.end(), div.floatValue) - floatKeywords.begin());
        const std::size_t line = div.box.find("border-radius:");
        radius = line == std::string::npos ? "0" : div.box.substr(line + 14, div.box.find("px;", line) - line - 14);
        const auto offset = [&div](const std::string& name) {
            const std::size_t at = div.box.find("\n\r" + name + ":");
            const std::size_t from = at + name.size() + 3;
            return at == std::string::npos ? std::string() : div.box.substr(from, div.box.find("px;", at) - from);
        };
        top = offset("top");
        left = offset("left");
        position.select(static_cast<int>(std::find(positionKeywords.begin(), positionKeywords.end(), div.position) - positionKeywords.begin()));
    }

    std::string styleSheet() const { return ::styleSheet(body, divs); }

    // The file carries no parents; the lists are as each div's "KÉSZ" would leave them.
    void opened(const std::string& file, const std::optional<ModelBody>& openedBody, std::vector<ModelDiv> openedDivs)
    {
        openedFile = file;
        for (ModelDiv& div : openedDivs)
            div.parent = -1;
        body = openedBody;
        divs = std::move(openedDivs);
        reopened = -1;
        storage = storage || !divs.empty();
        panel1 = panel2 = panel3 = false;
        child = ModelList{};
        for (std::size_t n = 0; n < divs.size(); ++n)
            child.entries.push_back("div" + std::to_string(n));
        child.select(static_cast<int>(divs.size()) - 1);
        parent = child;
        savedNow = true;
    }

    // A web page opens with its nesting, as the page shows it; a picture named by a
    // relative path comes back as a full one, in the page's folder.
    void openedPage(const std::string& file, const std::optional<ModelBody>& openedBody,
                    const std::vector<ModelDiv>& openedDivs, const std::string& folder)
    {
        divs = openedDivs;
        std::vector<int> shown;
        for (std::size_t n = 0; n < divs.size(); ++n)
            shown.push_back(shownParent(static_cast<int>(n)));
        opened(file, openedBody, openedDivs);
        const auto full = [&folder](std::string& picture) {
            if (!picture.empty() && picture[0] != '#' && picture[0] != '/')
                picture = folder + "/" + picture;
        };
        if (body)
            full(body->background);
        for (std::size_t n = 0; n < divs.size(); ++n) {
            divs[n].parent = shown[n];
            full(divs[n].background);
        }
    }

    void saved()
    {
        openedFile.clear();
        body.reset();
        divs.clear();
        reopened = -1;
        editOpen = false;
        savedNow = true;
        child = ModelList{};
        parent = ModelList{};
    }
};

std::string text(const QString& value) { return value.toStdString(); }

std::string shown(bool value) { return value ? "yes" : "no"; }
std::string shown(int value) { return std::to_string(value); }
std::string shown(const std::string& value) { return "'" + value + "'"; }
std::string shown(const std::vector<std::string>& values)
{
    std::string text = "[";
    for (const std::string& value : values)
        text += (text.size() > 1 ? ", '" : "'") + value + "'";
    return text + "]";
}

// The first difference between the window and the model, the two values side by side; or
// nothing.
std::string difference(const FormDriver& driver, const Model& model)
{
    const TForm1& form = driver.form;
    std::ostringstream out;
    auto check = [&out](const auto& window, const auto& expected, const std::string& what) {
        if (!(window == expected) && out.tellp() == 0)
            out << what << ": window " << shown(window) << ", model " << shown(expected);
    };
    check(form.body != nullptr, model.body.has_value(), "body present");
    if (form.body && model.body)
        check(describe(modelOf(*form.body)), describe(*model.body), "body");
    check(form.lastDiv, model.lastDiv(), "lastDiv");
    check(form.divStorageExists(), model.storage, "div storage");
    for (int n = 0; n <= std::min<int>(form.lastDiv, model.lastDiv()); ++n)
        check(describe(modelOf(*form.divs[static_cast<std::size_t>(n)])),
              describe(model.divs[static_cast<std::size_t>(n)]), "div " + std::to_string(n));
    check(form.Button3->Enabled(), model.editOpen, "KÉSZ enabled");
    check(form.Panel1->Visible(), model.panel1, "Panel1");
    check(form.Panel2->Visible(), model.panel2, "Panel2");
    check(form.Panel3->Visible(), model.panel3, "Panel3");
    check(form.Edit1->Text(), model.edit1, "Edit1");
    check(form.Edit2->Text(), model.edit2, "Edit2");
    check(form.Edit3->Text(), model.edit3, "Edit3");
    check(form.Properties->findChild<TEdit*>(QStringLiteral("BorderRadius"))->Text(), model.radius, "Lekerekítés");
    check(form.Properties->findChild<TEdit*>(QStringLiteral("Top"))->Text(), model.top, "Fent");
    check(form.Properties->findChild<TEdit*>(QStringLiteral("Left"))->Text(), model.left, "Balra");
    check(form.ComboBox1->ItemIndex(), model.alignment, "alignment list");
    check(form.ComboBox2->ItemIndex(), model.position.index(), "position list");
    check(driver.entries(form.ComboBox3), model.child.entries, "child list entries");
    check(driver.entries(form.ComboBox4), model.parent.entries, "parent list entries");
    check(form.ComboBox3->ItemIndex(), model.child.index(), "child list selection");
    check(form.ComboBox4->ItemIndex(), model.parent.index(), "parent list selection");
    check(form.RadioButton1->Checked(), model.colourChecked, "Szín checked");
    // A hidden tree waits until it shows.
    if (form.Rules && form.Rules->isVisible()) {
        const QModelIndexList selected = form.Rules->tree()->selectionModel()->selectedRows();
        check(selected.isEmpty() ? std::string() : text(selected.front().data().toString()), model.panelsRule(),
              "rule selected in the tree");
    }
    // The tree, shown or not, nests as the page does, each row where its number puts it.
    if (form.Rules)
        for (int n = 0; n <= std::min<int>(form.lastDiv, model.lastDiv()); ++n) {
            const RulesModel* rules = form.Rules->rules();
            const QModelIndex row = rules->indexOf({Rule::Kind::Div, n});
            const Rule parent = rules->ruleAt(row.parent());
            check(rules->index(row.row(), 0, row.parent()) == row ? (parent.kind == Rule::Kind::Div ? parent.number : -1) : -2,
                  model.shownParent(n), "div " + std::to_string(n) + "'s parent in the tree");
        }
    check(form.isVisible(), !model.closed, "window shown");
    check(static_cast<int>(driver.script.questions.size()), static_cast<int>(model.questions), "questions asked");
    check(form.isWindowModified(), model.unsaved(), "unsaved mark");
    const bool pickerActs = model.pickerRecord() != Model::Target::None;
    check(form.Button1->isEnabled(), pickerActs, "font colour ... enabled");
    check(form.Button2->isEnabled(), pickerActs, "background ... enabled");
    check(form.RadioButton1->isEnabled() && form.RadioButton2->isEnabled(), pickerActs, "Szín and Kép enabled");
    for (const QWidget* edit : {static_cast<const QWidget*>(form.Edit1), static_cast<const QWidget*>(form.Edit2),
                                static_cast<const QWidget*>(form.Edit3), static_cast<const QWidget*>(form.ComboBox1),
                                static_cast<const QWidget*>(form.ComboBox2)})
        check(edit->isEnabled(), model.editOpen, edit->objectName().toStdString() + " enabled");
    check(form.Ments1->isEnabled(), model.storage, "Fájl → Mentés enabled");
    check(form.Divtrlse1->isEnabled(), model.panel2 && model.lastDiv() >= 0 && !model.editOpen, "Div törlése enabled");
    check(form.Visszavons1->isEnabled(), model.at > 0, "Visszavonás enabled");
    check(form.Mgis1->isEnabled(), model.at + 1 < static_cast<int>(model.history.size()), "Mégis enabled");
    check(driver.script.messages, model.messages, "messages shown");
    check(driver.script.exceptions, model.exceptions, "exception reports");
    check(driver.script.unanswered, 0, "dialogs run that should not have");
    check(static_cast<int>(driver.script.pendingAnswers()), 0, "dialogs not run that should have");
    return out.str();
}

// Where a saved file first differs from the model's bytes, or nothing.
std::string fileDifference(const std::optional<std::string>& saved, const std::string& expected)
{
    if (!saved)
        return "the saved file cannot be read";
    if (*saved == expected)
        return {};
    const auto [window, model] = std::mismatch(saved->begin(), saved->end(), expected.begin(), expected.end());
    const auto at = static_cast<std::size_t>(window - saved->begin());
    const auto byte = [](auto position, auto end) {
        return position == end ? std::string("end of file") : shown(std::string(1, *position));
    };
    return "the saved file at byte " + std::to_string(at) + ": window " + byte(window, saved->end())
        + ", model " + byte(model, expected.end());
}

class Sequence
{
public:
    Sequence(std::uint32_t seed, const QTemporaryDir& folder) : random(seed), folder(folder)
    {
        if (driver.form.Properties->isHidden())
            driver.form.Tulajdonsgok1->trigger();
        model.radius = driver.form.Properties->findChild<TEdit*>(QStringLiteral("BorderRadius"))->Text();
        model.history.push_back(model);
    }

    // Empty when every step matched the model; otherwise what differed, after which steps.
    std::string run()
    {
        const int steps = pick(1, 60);
        for (int step = 0; step < steps; ++step) {
            log << step << ": ";
            const std::string failure = act();
            log << '\n';
            const std::string mismatch = failure.empty() ? difference(driver, model) : failure;
            if (!mismatch.empty())
                return mismatch + " differs after\n" + log.str();
            if (model.closed)
                break;
        }
        return {};
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    template <typename Array>
    auto any(const Array& values) { return values[static_cast<std::size_t>(pick(0, static_cast<int>(values.size()) - 1))]; }

    std::string act()
    {
        const Model start = model;
        bool command = true;   // typing, choosing from a list and the radio buttons are none
        const std::string failure = actOnce(command);
        if (command) {
            model.showPanelsRule(start);
            model.stepIfChanged(start);
        }
        return failure;
    }

    std::string actOnce(bool& command)
    {
        TForm1& form = driver.form;
        switch (pick(0, 25)) {
        case 0:
            log << "Body beállítása";
            driver.bodySettings();
            model.bodySettings();
            break;
        case 1:
        case 2:
            log << "Új Div";
            driver.newDiv();
            model.newDiv();
            break;
        case 3:
        case 4:
            log << "KÉSZ";
            driver.done();
            model.done();
            break;
        case 5: {
            command = false;
            const std::string typed = any(editTexts);
            const int which = pick(1, 3);
            log << "Edit" << which << " '" << typed << "'";
            if (which == 3 && model.panel1 && model.editOpen) {
                driver.type(form.Edit3, QString::fromStdString(typed));
                model.edit3 = typed;
            } else if (which != 3 && model.panel2 && model.editOpen) {
                driver.type(which == 1 ? form.Edit1 : form.Edit2, QString::fromStdString(typed));
                (which == 1 ? model.edit1 : model.edit2) = typed;
            }
            break;
        }
        case 6: {
            command = false;
            const int entry = pick(0, 3);
            log << "alignment " << floatCaptions[static_cast<std::size_t>(entry)];
            if (model.panel2 && model.editOpen) {
                driver.pick(form.ComboBox1, entry);
                model.alignment = entry;
            }
            break;
        }
        case 7:
            command = false;
            chooseInList();
            break;
        case 8:
            command = false;
            log << (pick(0, 1) ? "Szín" : "Kép");
            if (model.panel1 && model.pickerRecord() != Model::Target::None) {   // greyed otherwise
                const bool colour = log.str().ends_with("Szín");
                driver.click(colour ? static_cast<QWidget*>(form.RadioButton1) : form.RadioButton2);
                model.colourChecked = colour;
            }
            break;
        case 9:
            pickBackground();
            break;
        case 10:
            pickFontColour();
            break;
        case 11:
            log << "Fájl → Mentés";
            driver.openSavePanel();
            model.openSavePanel();
            break;
        case 12:
            log << "Ok";
            driver.ok();
            model.ok();
            break;
        case 13:
            return save();
        case 14:
            return open();
        case 15:
            return close();
        case 16:
            reopen();
            break;
        case 17:
        case 18: {
            command = false;   // no step of its own
            const bool undo = pick(0, 2) > 0;
            for (int times = pick(1, 3); times > 0; --times) {
                log << (undo ? "Visszavonás " : "Mégis ");
                QAction* item = undo ? form.Visszavons1 : form.Mgis1;
                // Values typed into an open edit since the last step refuse it.
                const bool typed = model.editOpen && !model.sameWindow(model.history[static_cast<std::size_t>(model.at)]);
                const bool expected = undo ? model.at > 0 : model.at + 1 < static_cast<int>(model.history.size());
                if (expected && typed)
                    model.messages.emplace_back("Előbb nyomd meg a KÉSZ gombot!");
                else if (expected)
                    undo ? model.undo() : model.redo();
                if (item->isEnabled() != expected)
                    return std::string(undo ? "Visszavonás" : "Mégis") + " enabled: window " + shown(item->isEnabled())
                        + ", model " + shown(expected);
                item->trigger();
                if (const std::string mismatch = difference(driver, model); !mismatch.empty())
                    return mismatch;
            }
            break;
        }
        case 19:
            log << "Div törlése";
            form.Divtrlse1->trigger();
            model.deleteDiv();
            break;
        case 20:
            return drop();
        case 21:
            nestByKey();
            break;
        case 22: {
            // The right edge, the bottom edge or the corner.
            const int edge = pick(0, 2);
            const std::optional<int> width = edge != 1 ? std::optional(pick(0, 900)) : std::nullopt;
            const std::optional<int> height = edge != 0 ? std::optional(pick(0, 600)) : std::nullopt;
            // Mostly the marked div, as the preview's handles give it; else any div.
            const Rule div = pick(0, 3) > 0 ? form.panelsRule() : Rule{Rule::Kind::Div, pick(0, model.lastDiv() + 1)};
            log << ruleName(div) << " resized in the preview to " << width.value_or(-1) << " × " << height.value_or(-1);
            command = !model.editOpen;   // with an edit open: as typed
            form.previewResized(div, width, height);
            if (ruleName(div) == model.panelsRule() && div.kind == Rule::Kind::Div)
                model.resized(width, height);
            break;
        }
        case 23:
            clipboard();
            break;
        case 24:
            return dockStep(command);
        case 25: {
            // A release of a drag in the preview, an offset that did not change untold, now
            // and then at an offset no field takes.
            const Rule div = pick(0, 3) > 0 ? form.panelsRule() : Rule{Rule::Kind::Div, pick(0, model.lastDiv() + 1)};
            const auto offset = [this] { return pick(0, 4) > 0 ? std::optional<std::int64_t>(pick(-300, 900)) : std::nullopt; };
            const bool refused = pick(0, 9) == 0;
            const std::optional<std::int64_t> left = refused ? std::optional<std::int64_t>(INT32_MIN) : offset();
            const std::optional<std::int64_t> top = offset();
            log << ruleName(div) << " moved in the preview to " << left.value_or(-1) << ", " << top.value_or(-1);
            command = !model.editOpen;
            form.previewMoved(div, left, top, false);
            if (ruleName(div) == model.panelsRule() && div.kind == Rule::Kind::Div && !refused)
                model.moved(left, top);
            break;
        }
        }
        return {};
    }

    // "Lekerekítés" typed in the dock, then Return: the open edit's, or else stored at once.
    std::string dockStep(bool& command)
    {
        const std::string typed = any(editTexts);
        log << "Lekerekítés '" << typed << "'";
        TEdit* edit = driver.form.Properties->findChild<TEdit*>(QStringLiteral("BorderRadius"));
        const bool enabled = model.panelsRule().starts_with("div");
        if (edit->isEnabled() != enabled)
            return "Lekerekítés enabled: window " + shown(edit->isEnabled()) + ", model " + shown(enabled);
        command = enabled && !model.editOpen;
        if (!enabled)
            return {};
        driver.type(edit, QString::fromStdString(typed));
        QTest::keyClick(edit, Qt::Key_Return);
        model.radius = typed;
        if (command)
            model.storeRadius(model.divs[static_cast<std::size_t>(model.panelsDiv())]);
        return {};
    }

    // Másolás then Beillesztés of the current rule (the tree's row while it has the focus),
    // Div kettőzése, or Beillesztés of CSS from elsewhere.
    void clipboard()
    {
        TForm1& form = driver.form;
        const bool treeFocused = form.Rules && form.Rules->tree()->hasFocus();
        const std::string current = treeFocused ? ruleName(form.Rules->rules()->ruleAt(form.Rules->tree()->currentIndex()))
                                                : model.panelsRule();
        const int number = current.starts_with("div") ? std::stoi(current.substr(3)) : -1;
        const bool live = (current == "body" && model.body) || (number >= 0 && number <= model.lastDiv());
        switch (pick(0, 2)) {
        case 0: {
            log << "Másolás of '" << current << "', Beillesztés";
            QGuiApplication::clipboard()->setText(QStringLiteral("p { margin: 1em }"));   // nothing maps
            form.Msols1->trigger();
            form.Beilleszts1->trigger();
            std::vector<ModelDiv> pasted;
            if (live && number < 0)
                pasted.push_back({.fontSize = model.body->fontSize, .background = model.body->background, .fontColor = model.body->fontColor});
            else if (live)
                pasted.push_back(model.divs[static_cast<std::size_t>(number)]);
            if (!pasted.empty())
                pasted.front().parent = -1;
            model.append(pasted);
            break;
        }
        case 1: {
            log << "Div kettőzése of '" << current << "'";
            form.Divkettzse1->trigger();
            std::vector<ModelDiv> copy;
            if (live && number >= 0)
                copy.push_back(model.divs[static_cast<std::size_t>(number)]);
            model.append(copy);
            break;
        }
        default:
            log << "Beillesztés from elsewhere";
            QGuiApplication::clipboard()->setText(QStringLiteral("h1 { color: red; width: 50% }\n.x { float: RIGHT; height: 7px }"));
            form.Beilleszts1->trigger();
            model.append({{.fontColor = "#FF0000"}, {.height = 7, .floatValue = "right"}});
        }
    }

    // Ctrl+E, then a div's row dropped onto the body's, a div's, or below the last row.
    std::string drop()
    {
        const int count = static_cast<int>(model.divs.size());
        if (count == 0)
            return {};
        const int div = pick(0, count - 1);
        const int onto = pick(-2, count - 1);   // -2: below the last row, -1: the body's row
        log << "drop div" << div << " onto " << (onto == -2 ? std::string("nothing") : onto == -1 ? std::string("body") : "div" + std::to_string(onto));
        QTest::keyClick(&driver.form, Qt::Key_E, Qt::ControlModifier);
        RulesModel* rules = driver.form.Rules->rules();
        const std::unique_ptr<QMimeData> dragged(rules->mimeData({rules->indexOf({Rule::Kind::Div, div})}));
        const QModelIndex target = onto == -2 ? QModelIndex()
            : rules->indexOf(onto == -1 ? Rule{Rule::Kind::Body, -1} : Rule{Rule::Kind::Div, onto});
        const int parent = onto < 0 ? -1 : onto;
        const bool expected = model.mayNest(div, parent);
        if (rules->canDropMimeData(dragged.get(), Qt::MoveAction, -1, 0, target) != expected)
            return "the drop taken: window " + shown(!expected) + ", model " + shown(expected);
        if (expected) {
            rules->dropMimeData(dragged.get(), Qt::MoveAction, -1, 0, target);
            model.nest(div, parent);
        }
        return {};
    }

    // Ctrl+E, then Ctrl+Right (into the div above at the same depth) or Ctrl+Left (one out).
    void nestByKey()
    {
        const int count = static_cast<int>(model.divs.size());
        if (count == 0)
            return;
        const int div = pick(0, count - 1);
        const bool deeper = pick(0, 1) == 1;
        log << "div" << div << (deeper ? " Ctrl+Right" : " Ctrl+Left");
        QTest::keyClick(&driver.form, Qt::Key_E, Qt::ControlModifier);
        QTreeView* tree = driver.form.Rules->tree();
        tree->selectionModel()->setCurrentIndex(driver.form.Rules->rules()->indexOf({Rule::Kind::Div, div}),
                                                QItemSelectionModel::NoUpdate);
        QTest::keyClick(tree, deeper ? Qt::Key_Right : Qt::Key_Left, Qt::ControlModifier);
        const int parent = model.shownParent(div);
        if (deeper) {
            for (int above = div - 1; above >= 0; --above)
                if (model.shownParent(above) == parent) {
                    model.nest(div, above);
                    break;
                }
        } else if (parent >= 0) {
            model.nest(div, model.shownParent(parent));
        }
    }

    // Ctrl+E, then Return on a row of the tree: the body's, a div's, or none at all.
    void reopen()
    {
        TForm1& form = driver.form;
        const int number = pick(-1, static_cast<int>(model.divs.size()));
        log << "open again " << (number < 0 ? std::string("body") : "div" + std::to_string(number));
        QTest::keyClick(&form, Qt::Key_E, Qt::ControlModifier);
        QTreeView* tree = form.Rules->tree();
        const QModelIndex row = form.Rules->rules()->indexOf(number < 0 ? Rule{Rule::Kind::Body, -1} : Rule{Rule::Kind::Div, number});
        if (!row.isValid())
            return;   // no such row: nothing to open
        tree->setCurrentIndex(row);
        QTest::keyClick(tree, Qt::Key_Return);
        model.reopen(number);
    }

    void chooseInList()
    {
        TForm1& form = driver.form;
        const int which = pick(2, 4);
        log << "ComboBox" << which;
        if ((which == 2 && !(model.panel2 && model.editOpen)) || (which != 2 && !model.panel3))
            return;
        TComboBox* list = which == 2 ? form.ComboBox2 : which == 3 ? form.ComboBox3 : form.ComboBox4;
        ModelList& expected = which == 2 ? model.position : which == 3 ? model.child : model.parent;
        if (pick(0, 1) == 0 && !expected.entries.empty()) {
            const int entry = pick(0, static_cast<int>(expected.entries.size()) - 1);
            log << " entry " << entry;
            driver.pick(list, entry);
            expected.select(entry);
        } else {
            const std::string typed = any(listTexts);
            log << " typed '" << typed << "'";
            driver.typeOver(list, QString::fromStdString(typed));
            expected.text = typed;
        }
    }

    // Queues the person's answer when the model expects the dialog; returns what is stored.
    std::optional<std::string> answerColour()
    {
        if (pick(0, 3) == 0) {
            log << " cancelled";
            driver.script.cancel();
            return std::nullopt;
        }
        const TColor colour = any(colours);
        log << " colour " << colour;
        driver.script.confirmColor(colour);
        return colourText(colour);
    }

    std::optional<std::string> answerPicture()
    {
        if (pick(0, 3) == 0) {
            log << " cancelled";
            driver.script.cancel();
            return std::nullopt;
        }
        const std::string path = any(pictures);
        log << " picture '" << path << "'";
        driver.script.confirmFile(path);
        return path;
    }

    void pickBackground()
    {
        log << "background ...";
        const Model::Target target = model.pickerTarget();
        if (target == Model::Target::None) {
            driver.pickBackground();
            return;
        }
        const auto chosen = model.colourChecked ? answerColour() : answerPicture();
        driver.pickBackground();
        if (chosen) {
            (target == Model::Target::Div ? model.divs[static_cast<std::size_t>(model.panelsDiv())].background : model.body->background) = *chosen;
        }
    }

    void pickFontColour()
    {
        log << "font colour ...";
        const Model::Target target = model.pickerTarget();
        if (target == Model::Target::None) {
            driver.pickFontColor();
            return;
        }
        const auto chosen = answerColour();
        driver.pickFontColor();
        if (chosen) {
            (target == Model::Target::Div ? model.divs[static_cast<std::size_t>(model.panelsDiv())].fontColor : model.body->fontColor) = *chosen;
        }
    }

    std::string save()
    {
        log << "Mentés";
        if (!model.panel3) {
            driver.save();
            return {};
        }
        if (model.editOpen) {
            driver.save();
            model.messages.emplace_back("Előbb nyomd meg a KÉSZ gombot!");
            return {};
        }
        answerSaveDialog();
        driver.save();
        return savedFileDifference();
    }

    // Answers the save dialog at random and expects what follows; true when the stylesheet
    // is then written.
    bool answerSaveDialog()
    {
        const int kind = pick(0, 5);
        if (kind == 0) {
            log << " cancelled";
            driver.script.cancel();
            return false;
        }
        if (kind == 1 || kind == 2) {
            const char* name = kind == 1 ? "/nonexistent-prizmo-folder/x.css" : "/dev/full";
            log << " to " << name;
            driver.script.confirmFile(name);
            // Nothing to write reaches even a full disk.
            if (kind == 2 && model.styleSheet().empty()) {
                model.saved();
                return true;
            }
            model.messages.emplace_back("Memória hiba miatt nem ment");
            return false;
        }
        const QString path = folder.filePath(QStringLiteral("save-%1.css").arg(++saves));
        log << " to " << text(path);
        driver.script.confirmFile(path.toStdString());
        // Nothing to save over a file that holds something (one of an earlier sequence) asks.
        if (model.styleSheet().empty() && QFileInfo(path).size() > 0) {
            ++model.questions;
            const bool wipe = pick(0, 1);
            log << (wipe ? " (wipe it: Igen)" : " (wipe it: Nem)");
            driver.script.answer(wipe ? YesNoAnswer::Yes : YesNoAnswer::No);
            if (!wipe)
                return false;
        }
        expectedFile = {path.toStdString(), model.styleSheet()};
        savedFiles.push_back({path.toStdString(), model.body, model.divs});
        model.saved();
        return true;
    }

    std::string savedFileDifference()
    {
        if (!expectedFile)
            return {};
        const auto [path, bytes] = *std::exchange(expectedFile, std::nullopt);
        return fileDifference(readBytes(QString::fromStdString(path)), bytes);
    }

    // "A stíluslap még nincs elmentve. Elmented?" comes before a command would drop an
    // unsaved stylesheet: answered at random. True when the command then goes on.
    bool answerTheQuestion()
    {
        if (!model.unsaved())
            return true;
        ++model.questions;
        switch (pick(0, 2)) {
        case 0:
            log << " (question: Cancel)";
            driver.script.answer(SaveAnswer::Cancel);
            return false;
        case 1:
            log << " (question: Discard)";
            driver.script.answer(SaveAnswer::Discard);
            return true;
        default:
            log << " (question: Save";
            driver.script.answer(SaveAnswer::Save);
            if (model.editOpen) {
                log << ", refused)";
                model.messages.emplace_back("Előbb nyomd meg a KÉSZ gombot!");
                return false;
            }
            const bool saved = answerSaveDialog();
            log << ")";
            return saved;
        }
    }

    // Closing by the title bar or by "Kilépés"; the sequence ends once the window is closed.
    std::string close()
    {
        const bool byMenu = pick(0, 1);
        log << (byMenu ? "Kilépés" : "closing the window");
        model.closed = answerTheQuestion();
        if (byMenu)
            driver.form.Kilps1->trigger();
        else
            driver.form.close();
        return savedFileDifference();
    }

    // "Megnyitás" of a file saved earlier in the sequence, of one that is no stylesheet, or
    // of one that is missing; or cancelled.
    std::string open()
    {
        log << "Megnyitás";
        if (model.editOpen) {
            driver.form.Megynits1->trigger();
            model.messages.emplace_back("Előbb nyomd meg a KÉSZ gombot!");
            return {};
        }
        if (!answerTheQuestion()) {
            driver.form.Megynits1->trigger();
            return savedFileDifference();
        }
        const int kind = pick(0, 6);
        if (kind == 6 && !savedFiles.empty()) {
            const SavedFile& file = savedFiles[static_cast<std::size_t>(pick(0, static_cast<int>(savedFiles.size()) - 1))];
            const QString path = folder.filePath(QStringLiteral("page-%1.html").arg(++pages));
            log << " of the web page of " << file.path;
            std::vector<std::unique_ptr<DivStyle>> records;
            for (const ModelDiv& div : file.divs)
                records.push_back(recordOf(div));
            const std::optional<BodyStyle> body = file.body ? std::optional(recordOf(*file.body)) : std::nullopt;
            QFile page(path);
            if (!page.open(QIODevice::WriteOnly)
                || !page.write(QByteArray::fromStdString(webPage("page", body ? &*body : nullptr, records, text(folder.path())))))
                return "the web page could not be written";
            page.close();
            driver.script.confirmFile(path.toStdString());
            model.openedPage(path.toStdString(), file.body, file.divs, text(folder.path()));
        } else if (kind == 0) {
            log << " cancelled";
            driver.script.cancel();
        } else if (kind == 1) {
            log << " of no stylesheet";
            driver.script.confirmFile(notAStyleSheet());
            model.messages.emplace_back("Ez nem Prizmo stíluslap (hibás sor: 1)");
        } else if (kind == 2 || savedFiles.empty()) {
            log << " of a missing file";
            driver.script.confirmFile(folder.filePath(QStringLiteral("missing.css")).toStdString());
            model.messages.emplace_back("A fájl nem nyitható meg");
        } else {
            const SavedFile& file = savedFiles[static_cast<std::size_t>(pick(0, static_cast<int>(savedFiles.size()) - 1))];
            log << " of " << file.path;
            driver.script.confirmFile(file.path);
            model.opened(file.path, file.body, file.divs);
        }
        driver.form.Megynits1->trigger();
        return savedFileDifference();
    }

    std::string notAStyleSheet()
    {
        const QString path = folder.filePath(QStringLiteral("not-a-stylesheet.css"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write("p { color: red; }");
        return path.toStdString();
    }

    struct SavedFile {
        std::string path;
        std::optional<ModelBody> body;
        std::vector<ModelDiv> divs;
    };
    std::vector<SavedFile> savedFiles;
    std::optional<std::pair<std::string, std::string>> expectedFile;   // path and bytes

    std::mt19937 random;
    const QTemporaryDir& folder;
    FormDriver driver;
    Model model;
    std::ostringstream log;
    int saves = 0;
    int pages = 0;
};

std::uint32_t environmentNumber(const char* name, std::uint32_t fallback)
{
    bool ok = false;
    const std::uint32_t value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : fallback;
}

} // namespace

class TestRandomUse : public QObject
{
    Q_OBJECT

private slots:
    void randomSequencesMatchTheModel()
    {
        const std::uint32_t firstSeed = environmentNumber("PRIZMO_RANDOM_SEED", 20261208);
        const std::uint32_t sequences = environmentNumber("PRIZMO_RANDOM_SEQUENCES", 1000);
        QTemporaryDir folder;
        for (std::uint32_t i = 0; i < sequences; ++i) {
            const std::uint32_t seed = firstSeed + i;
            Sequence sequence(seed, folder);
            const std::string failure = sequence.run();
            if (!failure.empty())
                QFAIL(qPrintable(QStringLiteral("seed %1: %2\nreplay: PRIZMO_RANDOM_SEED=%1 PRIZMO_RANDOM_SEQUENCES=1")
                                     .arg(seed)
                                     .arg(QString::fromStdString(failure))));
        }
    }
};

QTEST_MAIN(TestRandomUse)
#include "tst_random.moc"
