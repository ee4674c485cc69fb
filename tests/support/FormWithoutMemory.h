#pragma once

#include "output/OutputFile.h"
#include "ui/Unit1.h"

#include <memory>
#include <new>

// A window whose div storage cannot grow once `failResize` is set, that can make no new div
// record once `failRecord` is set, and no file to save into once `failOutputFile` is set.
class FormWithoutMemory : public TForm1
{
public:
    bool failResize = false;
    bool failRecord = false;
    bool failOutputFile = false;

protected:
    void resizeDivStorage(std::size_t slotCount) override
    {
        if (failResize)
            throw std::bad_alloc();
        TForm1::resizeDivStorage(slotCount);
    }
    std::unique_ptr<DivStyle> createDivRecord() override
    {
        if (failRecord)
            throw std::bad_alloc();
        return TForm1::createDivRecord();
    }
    std::unique_ptr<OutputFile> createOutputFile(const std::string& fileName) override
    {
        if (failOutputFile)
            throw std::bad_alloc();
        return TForm1::createOutputFile(fileName);
    }
};
