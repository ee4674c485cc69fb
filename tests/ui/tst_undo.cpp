#include "Files.h"
#include "FormDriver.h"
#include "StdStringOutput.h"
#include "StyleSheetModel.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <sstream>

namespace {

// Everything undo and redo must restore, as one text: the records, the storage's slots, the
// panels, the edits and lists, "KÉSZ", the radio buttons and the unsaved mark.
std::string stateOf(const TForm1& form)
{
    std::ostringstream out;
    if (form.body)
        out << "body: " << describe(modelOf(*form.body)) << '\n';
    for (std::int32_t n = 0; n <= form.lastDiv; ++n)
        out << "div " << n << ": " << describe(modelOf(*form.divs[static_cast<std::size_t>(n)])) << '\n';
    out << "slots " << form.divs.size() << ", panels " << form.Panel1->Visible() << form.Panel2->Visible()
        << form.Panel3->Visible() << ", KÉSZ " << form.Button3->Enabled() << ", Szín " << form.RadioButton1->Checked()
        << ", edits '" << form.Edit1->Text() << "' '" << form.Edit2->Text() << "' '" << form.Edit3->Text() << "'";
    for (const TComboBox* list : {form.ComboBox1, form.ComboBox2, form.ComboBox3, form.ComboBox4})
        out << ", " << list->ItemIndex() << " '" << list->currentText().toStdString() << "' of " << list->ItemCount();
    out << ", unsaved " << form.isWindowModified();
    return out.str();
}

using Command = std::function<void(FormDriver&, const std::string& folder)>;

} // namespace

Q_DECLARE_METATYPE(Command)

class TestUndo : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

private slots:
    // Two divs nested in neither, the panels on div 1 and the save panel shown, then the
    // command: undo gives back exactly the state before it, redo exactly the state after it.
    void eachCommandIsUndoneAndRedoneExactly_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("step");
        QTest::addRow("Body beállítása") << Command([](FormDriver& d, const std::string&) {
            d.bodySettings();
        }) << "Body beállítása";
        QTest::addRow("Új Div") << Command([](FormDriver& d, const std::string&) { d.newDiv(); }) << "Új Div";
        QTest::addRow("KÉSZ, typed") << Command([](FormDriver& d, const std::string&) {
            d.type(d.form.Edit1, "640");
            d.done();
        }) << "KÉSZ";
        QTest::addRow("background") << Command([](FormDriver& d, const std::string&) {
            d.script.confirmColor(0x0000FF);
            d.pickBackground();
        }) << "Háttér választása";
        QTest::addRow("font colour") << Command([](FormDriver& d, const std::string&) {
            d.script.confirmColor(0x00FF00);
            d.pickFontColor();
        }) << "Betüszín választása";
        QTest::addRow("Ok") << Command([](FormDriver& d, const std::string&) {
            d.pick(d.form.ComboBox3, 1);
            d.pick(d.form.ComboBox4, 0);
            d.ok();
        }) << "Ok";
        QTest::addRow("a rule opened again") << Command([](FormDriver& d, const std::string&) {
            d.form.runCommand("div0 megnyitása", [&d] { d.form.reopenRule({Rule::Kind::Div, 0}); });
        }) << "div0 megnyitása";
        QTest::addRow("Mentés") << Command([](FormDriver& d, const std::string& folder) {
            d.script.confirmFile(folder + "/undone save.css");
            d.save();
        }) << "Mentés";
        QTest::addRow("Megnyitás") << Command([](FormDriver& d, const std::string& folder) {
            const std::string name = folder + "/opened.css";
            QFile file(QString::fromStdString(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::fromStdString(styleSheet({}, {{.width = 7}})));
            file.close();
            d.script.answer(SaveAnswer::Discard);
            d.script.confirmFile(name);
            d.form.Megynits1->trigger();
        }) << "Megnyitás";
        QTest::addRow("Div törlése") << Command([](FormDriver& d, const std::string&) {
            d.form.Divtrlse1->trigger();
        }) << "Div törlése";
    }
    void eachCommandIsUndoneAndRedoneExactly()
    {
        QFETCH(Command, command);
        QFETCH(QString, step);
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.type(form.Edit1, "300");
        driver.done();
        driver.newDiv();
        driver.openSavePanel();
        if (!QTest::currentDataTag() || std::string(QTest::currentDataTag()) != "KÉSZ, typed")
            driver.done();   // no edit open, except where the command needs one
        const std::string before = stateOf(form);

        command(driver, folder.path().toStdString());
        const std::string after = stateOf(form);
        QVERIFY(after != before);
        QCOMPARE(form.Visszavons1->text(), "&Visszavonás: " + step);
        form.Visszavons1->trigger();
        QCOMPARE(stateOf(form), before);
        QCOMPARE(form.Mgis1->text(), "&Mégis: " + step);
        form.Mgis1->trigger();
        QCOMPARE(stateOf(form), after);

        // A new command after an undo drops what could have been redone.
        form.Visszavons1->trigger();
        driver.script.confirmColor(0x123456);
        driver.pickFontColor();
        QVERIFY(!form.Mgis1->isEnabled());
        QCOMPARE(form.Visszavons1->text(), QStringLiteral("&Visszavonás: Betüszín választása"));
        QCOMPARE(driver.script.unanswered, 0);
    }

    // A save undone brings the records back, unsaved; saved again, they give the same bytes.
    void aSaveUndoneCanBeSavedAgain()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.type(form.Edit1, "640");
        driver.done();
        const std::string first = folder.filePath(QStringLiteral("first.css")).toStdString();
        const std::string second = folder.filePath(QStringLiteral("second.css")).toStdString();
        driver.openSavePanel();
        driver.script.confirmFile(first);
        driver.save();
        QVERIFY(!form.isWindowModified());
        form.Visszavons1->trigger();
        QCOMPARE(form.lastDiv, 0);
        QVERIFY(form.isWindowModified());
        driver.script.confirmFile(second);
        driver.save();
        QCOMPARE(readBytes(QString::fromStdString(second)), readBytes(QString::fromStdString(first)));
        QCOMPARE(readBytes(QString::fromStdString(first)).value_or(""), styleSheet({}, {{.width = 640}}));
        form.Visszavons1->trigger();
        form.Mgis1->trigger();   // back at the saved state: nothing to save
        QVERIFY(!form.isWindowModified());

        // Typed into an open edit and not committed: undo waits for "KÉSZ".
        driver.newDiv();
        driver.type(form.Edit1, "999");
        form.Visszavons1->trigger();
        QCOMPARE(driver.script.messages, std::vector<std::string>{"Előbb nyomd meg a KÉSZ gombot!"});
        QCOMPARE(form.Edit1->Text(), std::string("999"));
        QCOMPARE(form.lastDiv, 0);   // the save let the earlier div go
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
