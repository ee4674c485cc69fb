#include "output/OutputFile.h"

OutputFile::OutputFile(const std::string& fileName) : stream(std::fopen(fileName.c_str(), "wt"))
{
    failed = stream == nullptr;
}

OutputFile::~OutputFile()
{
    if (stream)
        std::fclose(stream);
}

void OutputFile::write(const std::string& text)
{
    if (!stream || std::fputs(text.c_str(), stream) < 0)
        failed = true;
}

bool OutputFile::close()
{
    if (!stream)
        return false;
    // A full disk usually shows only here, when the buffer goes out.
    if (std::fflush(stream) != 0 || std::ferror(stream))
        failed = true;
    if (std::fclose(stream) != 0)
        failed = true;
    stream = nullptr;
    return !failed;
}
