#include <QTest>

template <typename Form>
BasicFormDriver<Form>::BasicFormDriver()
    : script(scope.script), window((testApplication(), std::make_unique<Form>())), form(*window)
{
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
}

template <typename Form>
void BasicFormDriver<Form>::click(QWidget* button)
{
    if (button->isVisible())
        QTest::mouseClick(button, Qt::LeftButton);
}

template <typename Form>
void BasicFormDriver<Form>::type(TEdit* edit, const QString& text)
{
    if (!edit->isVisible() || !edit->isEnabled())
        return;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    typeText(edit, text);
}

template <typename Form>
void BasicFormDriver<Form>::pick(TComboBox* list, int entry)
{
    // What choosing from the drop-down does, also over typed text.
    if (!list->isVisible() || !list->isEnabled())
        return;
    list->setCurrentIndex(entry);
    if (list->isEditable())
        list->setEditText(list->itemText(entry));
}

template <typename Form>
void BasicFormDriver<Form>::typeOver(TComboBox* list, const QString& text)
{
    if (!list->isVisible() || !list->isEnabled())
        return;
    list->setFocus();
    list->lineEdit()->selectAll();
    typeText(list->lineEdit(), text);
}

template <typename Form>
std::vector<std::string> BasicFormDriver<Form>::entries(TComboBox* list) const
{
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i)
        texts.push_back(list->itemText(i).toStdString());
    return texts;
}
