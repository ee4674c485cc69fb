#pragma once

#include <QMainWindow>

#include <memory>
#include <string>
#include <utility>

class QLabel;
class TMainMenu;

// A form is the program's main window; its controls and components are its Qt children.
class TForm : public QMainWindow
{
public:
    explicit TForm(QWidget* parent = nullptr);

    // The widget the panels are placed on, below the menu.
    QWidget* ClientArea() const { return clientArea; }
    void SetMenu(TMainMenu* menu);
    // Sizes the window so that its area below the menu is width × height, and keeps it from
    // being made smaller.
    void SetClientSize(int width, int height);

    // The title, with Qt's mark of unsaved changes where it holds "[*]".
    void SetCaption(const std::string& caption);
    void SetModified(bool modified) { setWindowModified(modified); }

    void Close() { close(); }
    // Raises the window over the others and gives it the keyboard.
    void BringToFront();

    // One line at the window's foot, there only while it has a text: the window grows by it,
    // so that the client area keeps its size, and gives the room back when it goes.
    void SetStatusText(const std::string& text);
    std::string StatusText() const;
    // A second part of that line, on its right: what the window is at (the rule being edited).
    void SetStatusPlace(const std::string& text);
    std::string StatusPlace() const;

protected:
    // Asked before the window closes, whichever way: the title bar, the keyboard or Close.
    // Leaving `CanClose` true lets it close.
    virtual void FormCloseQuery(bool& CanClose) { CanClose = true; }

private:
    void closeEvent(QCloseEvent* event) override;
    QLabel* statusPart(QLabel*& part, const char* name, bool permanent);
    // The line shows while either part has a text.
    void showStatusLine();

    QWidget* clientArea;
    QLabel* statusLine = nullptr;
    QLabel* statusPlace = nullptr;
    int statusTaken = 0;   // what the window grew by for the line
};

// Creates a component owned by its Qt parent, the way the class library's owners hold theirs.
template <typename Component, typename Parent, typename... Arguments>
Component* CreateComponent(Parent* parent, Arguments&&... arguments)
{
    return new Component(parent, std::forward<Arguments>(arguments)...);
}
