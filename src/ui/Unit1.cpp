#include "ui/Unit1.h"

#include "output/OutputFile.h"
#include "platform/Events.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(QWidget* parent) : TForm(parent)
{
    createComponents();
    lastDiv = -1;
    refreshView();
}

TForm1::~TForm1() = default;

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

void TForm1::runCommand(const TNotifyEvent& handler)
{
    RunGuarded(handler);
    RunGuarded([this] { refreshView(); });
}

void TForm1::Kilps1Click()
{
    Close();
}
