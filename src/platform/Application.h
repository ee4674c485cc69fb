#pragma once

#include "platform/Events.h"
#include "platform/Forms.h"

#include <QApplication>

#include <exception>
#include <memory>

class QSocketNotifier;
class QTranslator;

// The application object: starts Qt, owns the main form and runs the event loop.
class TApplication
{
public:
    // Becomes the program's `Application` for its lifetime.
    TApplication(int& argc, char** argv);
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Starts Qt, or uses the Qt application that is already running (as in tests).
    void Initialize();

    template <typename Form>
    void CreateForm(Form*& reference)
    {
        auto form = std::make_unique<Form>();
        reference = form.get();
        mainForm = std::move(form);
    }

    // Shows the main form and runs the event loop until the form closes or Terminate.
    void Run();

    // Lets the windows repaint while a command waits, taking no input meanwhile.
    void ProcessMessagesExceptInput();

    // The event loop ends once the current command has finished.
    void Terminate();
    // A request to end from outside (SIGTERM, SIGHUP, SIGINT: a logout, `kill`, Ctrl+C) runs
    // `handler` in the event loop, never inside the signal handler.
    void OnEndRequest(TNotifyEvent handler);
    // Ends the event loop without closing the windows, so that nothing asks first.
    void EndNow();
    bool Terminated() const { return terminated; }

    void ShowException(std::exception_ptr exception) const;

    // Whether the window's designed face (Tahoma, from Wine's fonts) is there to draw with.
    bool DesignedFaceAdded() const { return designedFaceAdded; }

private:
    void translateQtTexts();
    void addDesignedFaces();

    int& argc;
    char** argv;
    std::unique_ptr<QApplication> qtApplication;   // declared first: destroyed last
    std::unique_ptr<QTranslator> qtTranslator;
    std::unique_ptr<QSocketNotifier> endRequests;
    std::unique_ptr<TForm> mainForm;
    bool terminated = false;
    bool designedFaceAdded = false;
    TApplication* previous;   // put back when this one ends
};

extern TApplication* Application;
