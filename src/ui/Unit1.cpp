#include "ui/Unit1.h"

#include "ui/PropertiesDock.h"

#include "output/OutputFile.h"
#include "platform/Events.h"
#include "ui/PreviewFeed.h"
#include "ui/RulesPanel.h"
#include "ui/WindowStep.h"

#include <QUndoStack>

TForm1* Form1 = nullptr;

TForm1::TForm1(QWidget* parent) : TForm(parent)
{
    createComponents();
    lastDiv = -1;
    refreshView(wholeChange());
}

// The rules tree reads the records: it goes before them, not with the window's other children
// after them.
TForm1::~TForm1()
{
    // The controls go after this part of the window: a list that loses the focus then must
    // not reach the handlers.
    for (TComboBox* list : {ComboBox1, ComboBox2, ComboBox3, ComboBox4})
        QObject::disconnect(list, &QComboBox::activated, nullptr, nullptr);
    if (Properties) {
        Properties->onTyped({});
        Properties->onFinished({});
    }
    followers.clear();
    UndoStack->disconnect(this);
    delete UndoStack;
    delete Rules;
    delete Properties;
}

void TForm1::resizeDivStorage(std::size_t slotCount)
{
    divs.resize(slotCount);
}

std::unique_ptr<DivStyle> TForm1::createDivRecord()
{
    return std::make_unique<DivStyle>();
}

std::unique_ptr<OutputFile> TForm1::createOutputFile(const std::string& fileName)
{
    return std::make_unique<OutputFile>(fileName);
}

void TForm1::Kilps1Click()
{
    Close();
}
