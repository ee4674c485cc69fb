#include "FormDriver.h"
#include "Files.h"
#include "StdStringOutput.h"

#include "ui/RulesModel.h"
#include "ui/RulesPanel.h"

#include <QHeaderView>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using Texts = std::vector<std::string>;

namespace {

// The tree as it shows, a row a line: indented by depth, the name and the size.
Texts rowsOf(const RulesModel& model, const QModelIndex& parent = {}, const std::string& indent = {})
{
    Texts rows;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex name = model.index(row, 0, parent);
        const QString size = model.index(row, 1, parent).data().toString();
        rows.push_back(indent + name.data().toString().toStdString() + (size.isEmpty() ? "" : " " + size.toStdString()));
        for (std::string& child : rowsOf(model, name, indent + "  "))
            rows.push_back(child);
    }
    return rows;
}

std::string selected(const TForm1& form)
{
    const QModelIndexList rows = form.Rules->tree()->selectionModel()->selectedRows();
    return rows.isEmpty() ? std::string() : rows.front().data().toString().toStdString();
}

void nest(FormDriver& driver, int child, int parent)
{
    driver.openSavePanel();
    driver.pick(driver.form.ComboBox3, child);
    driver.pick(driver.form.ComboBox4, parent);
    driver.ok();
}

} // namespace

class TestRules : public QObject
{
    Q_OBJECT

private slots:
    // While an edit is open nothing is opened again: what was typed stays.
    void openingARuleAgainWaitsForKesz_data()
    {
        QTest::addColumn<QString>("open");
        QTest::addRow("the body's edit") << "body";
        QTest::addRow("a new div's edit") << "new div";
        QTest::addRow("a div opened again") << "div 0";
    }
    void openingARuleAgainWaitsForKesz()
    {
        QFETCH(QString, open);
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        driver.done();
        if (open == QLatin1String("body"))
            driver.bodySettings();
        else if (open == QLatin1String("new div"))
            driver.newDiv();
        else
            form.runCommand("megnyitás", [&form] { form.reopenRule({Rule::Kind::Div, 0}); });
        driver.type(form.Edit3, "33");
        const Rule before = form.panelsRule();

        form.runCommand("megnyitás", [&form] { form.reopenRule({Rule::Kind::Div, 0}); });
        form.runCommand("megnyitás", [&form] { form.reopenRule({Rule::Kind::Body, -1}); });
        QCOMPARE(driver.script.messages, (Texts{"Előbb nyomd meg a KÉSZ gombot!", "Előbb nyomd meg a KÉSZ gombot!"}));
        QCOMPARE(form.Edit3->Text(), std::string("33"));
        QVERIFY(form.panelsRule() == before);
        QVERIFY(form.editOpen());
    }

    // The rules as the page nests them, the selection following the panels, and the
    // keyboard: Ctrl+E, a name typed, Return opens it; "KÉSZ" then changes it and lists nothing.
    void theTreeShowsTheRulesAndOpensThem()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        driver.bodySettings();
        driver.done();
        for (const char* width : {"600", "100", "100", "100"}) {
            driver.newDiv();
            driver.type(form.Edit1, width);
            driver.type(form.Edit2, "400");
            driver.done();
        }
        nest(driver, 1, 0);
        nest(driver, 2, 3);
        nest(driver, 3, 2);   // a loop: both stay at the top
        QVERIFY(!form.Rules);   // made when first shown
        const int designedWidth = form.width();
        QTest::keyClick(&form, Qt::Key_E, Qt::ControlModifier);
        QVERIFY(form.Rules->isVisible());
        QCOMPARE(rowsOf(*form.Rules->rules()),
                 (Texts{"body", "div0 600 × 400", "  div1 100 × 400", "div2 100 × 400", "div3 100 × 400"}));
        QVERIFY(form.Szablyok1->isChecked());
        QCOMPARE(form.ClientArea()->width(), 676);
        // This screen is 800 wide: the rules take what is left, both columns in sight.
        QCOMPARE(form.screen()->availableGeometry().width(), 800);
        QVERIFY(form.frameGeometry().width() <= 800);
        QVERIFY(form.Rules->width() >= RulesPanel::narrowestWidth);
        const QHeaderView* columns = form.Rules->tree()->header();
        QVERIFY(columns->sectionViewportPosition(1) + 40 <= form.Rules->tree()->viewport()->width());
        QCOMPARE(columns->length(), form.Rules->tree()->viewport()->width());   // no scrolling sideways
        QTRY_VERIFY(form.Rules->tree()->hasFocus());
        QCOMPARE(selected(form), std::string());   // the panels stand for nothing now
        typeText(form.Rules->tree(), QStringLiteral("div5"));   // no such div: div0 is no answer
        QTest::keyClick(form.Rules->tree(), Qt::Key_Return);
        QVERIFY(!form.Panel1->isVisible());
        QCOMPARE(form.StatusText(), std::string("Nincs ilyen szabály: div5"));
        typeText(form.Rules->tree(), QStringLiteral("div1"));
        QTest::keyClick(form.Rules->tree(), Qt::Key_Return);
        QVERIFY(form.Panel2->isVisible());
        QCOMPARE(form.StatusText(), std::string());
        QCOMPARE(selected(form), std::string("div1"));
        QCOMPARE(form.Edit1->Text(), std::string("100"));
        driver.type(form.Edit1, "250");
        driver.done();
        QCOMPARE(form.divs[1]->getWidth(), 250);
        QCOMPARE(form.divs[1]->getParent(), 0);
        QCOMPARE(driver.entries(form.ComboBox3), (Texts{"div0", "div1", "div2", "div3"}));
        QCOMPARE(rowsOf(*form.Rules->rules())[2], std::string("  div1 250 × 400"));

        form.Rules->tree()->setCurrentIndex(form.Rules->rules()->indexOf({Rule::Kind::Body, -1}));
        QTest::keyClick(form.Rules->tree(), Qt::Key_Return);
        QVERIFY(!form.Panel2->isVisible());
        QCOMPARE(form.Edit3->Text(), std::string("14"));
        QCOMPARE(selected(form), std::string("body"));

        driver.done();

        // Delete from the tree only on the row the panels stand for (div 1 here).
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.Rules->tree()->setCurrentIndex(form.Rules->rules()->indexOf({Rule::Kind::Div, 1}));
        QTest::keyClick(form.Rules->tree(), Qt::Key_Return);
        driver.done();
        form.Rules->tree()->setFocus();
        form.Rules->tree()->setCurrentIndex(form.Rules->rules()->indexOf({Rule::Kind::Div, 2}));
        QTest::keyClick(form.Rules->tree(), Qt::Key_Delete);
        QCOMPARE(form.lastDiv, 3);
        form.Rules->tree()->setCurrentIndex(form.Rules->rules()->indexOf({Rule::Kind::Div, 1}));
        QTest::keyClick(form.Rules->tree(), Qt::Key_Delete);
        QCOMPARE(form.lastDiv, 2);
        QCOMPARE(rowsOf(*form.Rules->rules()), (Texts{"body", "div0 600 × 400", "div1 100 × 400", "div2 100 × 400"}));

        form.Szablyok1->trigger();   // hidden again, and the window as designed
        QVERIFY(form.Rules->isHidden());
        QCOMPARE(form.width(), designedWidth);
        QVERIFY(driver.script.messages.empty());
    }

    // No deeper than a browser shows: a deep page is shown at most that deep, with the rules
    // open, and no nesting command goes past it.
    void nestingStopsAtTheDepthABrowserShows()
    {
        FormDriver driver;
        TForm1& form = driver.form;
        form.Szablyok1->trigger();
        std::string page = "<!DOCTYPE html><html><body>";
        for (int n = 0; n < 513; ++n)
            page += "<div id=\"div" + std::to_string(n) + "\">";
        const QTemporaryDir folder;
        const std::string file = folder.filePath(QStringLiteral("mély.html")).toStdString();
        QVERIFY(writeBytes(file, page));
        driver.script.confirmFile(file);
        form.Megynits1->trigger();
        QCOMPARE(driver.script.messages.size(), std::size_t{1});   // what was flattened
        QCOMPARE(form.lastDiv, 512);
        QCOMPARE(form.divs[512]->getParent(), 510);
        form.Rules->tree()->expandAll();
        QCOMPARE(rowsOf(*form.Rules->rules()).back(), std::string(2 * 511, ' ') + "div512 100 × 200");

        const std::string refused = "Ennél mélyebbre nem ágyazhatod: legfeljebb 512 szint lehet.";
        form.Rules->tree()->setFocus();
        form.Rules->tree()->setCurrentIndex(form.Rules->rules()->indexOf({Rule::Kind::Div, 512}));
        QTest::keyClick(form.Rules->tree(), Qt::Key_Right, Qt::ControlModifier);   // into div 511
        nest(driver, 511, 512);
        QCOMPARE(driver.script.messages, (std::vector<std::string>{driver.script.messages[0], refused, refused}));
        QCOMPARE(form.divs[512]->getParent(), 510);
        QCOMPARE(form.divs[511]->getParent(), 510);
        nest(driver, 512, 0);
        QCOMPARE(form.divs[512]->getParent(), 0);
        QCOMPARE(driver.script.messages.size(), std::size_t{3});
        // Now every div shows where it is recorded: the deepest place left is inside div 510.
        nest(driver, 512, 511);
        QCOMPARE(driver.script.messages.size(), std::size_t{4});
        nest(driver, 512, 510);
        QCOMPARE(form.divs[512]->getParent(), 510);
        QCOMPARE(rowsOf(*form.Rules->rules()).back(), std::string(2 * 511, ' ') + "div512 100 × 200");
        nest(driver, 512, -1);
        nest(driver, 0, 512);   // a branch of 512 levels into a top-level div
        QCOMPARE(driver.script.messages.size(), std::size_t{5});
        QCOMPARE(form.divs[0]->getParent(), -1);
    }
};

QTEST_MAIN(TestRules)
#include "tst_rules.moc"
