// Opening the body or a new div for editing, and committing what was typed ("KÉSZ").

#include "ui/Unit1.h"

#include "platform/Application.h"
#include "platform/Conversions.h"
#include "ui/PanelBindings.h"

#include <new>

void TForm1::Bodybelltsa1Click()
{
    if (body) {   // and while an edit is open: see the layout's menu table
        ShowMessage("Már beállítottad a body-t");
        return;
    }
    Panel1->Show();
    Panel2->Hide();
    journalBody();
    body = std::make_unique<BodyStyle>();
    showValues(*this, *body);
    Button3->SetEnabled(true);
}

void TForm1::jDiv1Click()
{
    // Refused while an edit is open (the layout's menu table): it keeps its panels and mode.
    Panel1->Show();
    Panel2->Show();

    // The record is made and the storage grows before the number is taken, so that a
    // failure of either leaves the model as it was.
    auto created = createDivRecord();
    try {
        resizeDivStorage(static_cast<std::size_t>(lastDiv + 1) + 1);
    } catch (const std::bad_alloc&) {
        ShowMessage("Súlyos memóriahiba");
        Application->Terminate();
        return;
    }
    journalSlot(static_cast<std::size_t>(lastDiv + 1));
    ++lastDiv;
    divs[lastDiv] = std::move(created);
    reopenedDiv = -1;   // the panels stand for the new div
    showValues(*this, *divs[lastDiv]);   // its defaults, the lists at their first entries
    Button3->SetEnabled(true);
}

void TForm1::Button3Click()
{
    if (body && !editingDiv()) {
        storeValues(*this, changeBody());
        Button3->SetEnabled(false);
        return;
    }
    if (!divStorageExists() || !editingDiv())
        return;

    // Each field is converted just before it is stored: a text that is no number stops the
    // commit there, keeps "KÉSZ" enabled and lists nothing, so the person can correct it.
    if (lastDiv >= 0) {
        storeValues(*this, changeDiv(panelsDiv()));

        // A div opened again is listed already.
        if (reopenedDiv >= 0) {
            Button3->SetEnabled(false);
            return;
        }
        listLastDiv();
    }
    Button3->SetEnabled(false);
}

void TForm1::listLastDiv()
{
    const std::string entry = "div" + IntToStr(lastDiv);
    for (TComboBox* list : {ComboBox3, ComboBox4}) {
        list->AddItem(entry);
        list->SetItemIndex(list->ItemCount() - 1);
    }
}

void TForm1::Divtrlse1Click()
{
    const Rule rule = panelsRule();
    if (rule.kind != Rule::Kind::Div || editOpen())
        return;
    const std::int32_t gone = rule.number;
    for (std::int32_t number = gone; number <= lastDiv; ++number)
        journalSlot(static_cast<std::size_t>(number));
    for (std::int32_t number = gone; number < lastDiv; ++number)
        divs[number] = std::move(divs[number + 1]);
    divs[lastDiv].reset();
    --lastDiv;
    // The numbers that named a div now name the one after it.
    for (std::int32_t number = 0; number <= lastDiv; ++number) {
        const std::int32_t parent = divs[number]->getParent();
        if (parent == gone)
            changeDiv(number).setParent(-1);
        else if (parent > gone)
            changeDiv(number).setParent(parent - 1);
    }
    for (TComboBox* list : {ComboBox3, ComboBox4}) {
        list->SetItemCount(lastDiv + 1);
        list->SetItemIndex(lastDiv);
    }
    reopenedDiv = -1;
    Panel1->Hide();
    Panel2->Hide();
    Panel3->Hide();
}
