#pragma once

#include "ScriptedInteraction.h"
#include "ui/Unit1.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

class TApplication;

// The program's application object, adopting the Qt application of the test.
TApplication& testApplication();

// What a person reads of a text shown in `format`: markup that Qt would render is rendered.
QString shownText(const QString& text, Qt::TextFormat format = Qt::AutoText);

// Key presses for each character, accented ones included (QTest::keyClicks knows only ASCII).
void typeText(QWidget* widget, const QString& text);

// Drives a freshly shown main window the way a person does: menu items are triggered, buttons
// clicked with the mouse, edits and lists typed into or chosen from, each only when it is on
// screen and enabled.
template <typename Form = TForm1>
class BasicFormDriver
{
public:
    BasicFormDriver();

    ScriptedScope scope;
    ScriptedInteraction& script;
    std::unique_ptr<Form> window;
    Form& form;

    void bodySettings() { form.Bodybelltsa1->trigger(); }
    void newDiv() { form.jDiv1->trigger(); }
    void done() { click(form.Button3); }
    void openSavePanel() { form.Ments1->trigger(); }
    void ok() { click(form.Button4); }
    void save() { click(form.Button5); }
    void pickBackground() { click(form.Button2); }
    void pickFontColor() { click(form.Button1); }

    void click(QWidget* button);
    void type(TEdit* edit, const QString& text);
    void pick(TComboBox* list, int entry);
    void typeOver(TComboBox* list, const QString& text);

    std::vector<std::string> entries(TComboBox* list) const;
};

using FormDriver = BasicFormDriver<>;

#include "FormDriver.inl"
