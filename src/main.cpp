#include "platform/Application.h"
#include "platform/Events.h"
#include "ui/Unit1.h"

int main(int argc, char* argv[])
{
    TApplication application(argc, argv);
    try {
        Application->Initialize();
        Application->CreateForm(Form1);
        Application->Run();
    } catch (...) {
        ShowException(std::current_exception());
    }
    return 0;
}
