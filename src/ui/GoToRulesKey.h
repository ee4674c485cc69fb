#pragma once

#include <QObject>

class TForm1;

// Ctrl+E goes to the rules from anywhere in the window, also from an edit, where it would
// otherwise move the cursor to the end of the line.
class GoToRulesKey : public QObject
{
public:
    explicit GoToRulesKey(TForm1* form);

protected:
    bool eventFilter(QObject* target, QEvent* event) override;

private:
    TForm1* form;
};
