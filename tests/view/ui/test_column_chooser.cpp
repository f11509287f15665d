// The column chooser through the main window's column button, and the columns it hides.
#include "view_fixture.h"

#include "file_replace.h"

#include <QListWidget>
#include <QPushButton>

using namespace quad;
using namespace quad::test;

namespace {

class ColumnChooserTest : public ViewWindowTest
{
protected:
    QString storedMask() const
    {
        return leggi_ini(iniPath(), QStringLiteral("IMPOSTA"), QStringLiteral("Colonne_grid"), QStringLiteral("?"));
    }
    static QListWidgetItem* entry(QDialog* d, const QString& name)
    {
        auto* list = control<QListWidget>(d, "List1");
        const auto found = list ? list->findItems(name, Qt::MatchExactly) : QList<QListWidgetItem*>();
        return found.size() == 1 ? found.first() : nullptr;
    }
};

} // namespace

TEST_F(ColumnChooserTest, UntickingOggettoStoresADashAndHidesTheColumn)
{
    const QString before = storedMask();
    ASSERT_EQ(before, QString(34, 'X'));
    ModalScript script;
    script.then("frm_sel_campi", [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), " Impostazione colonne griglia");
        auto* list = control<QListWidget>(d, "List1");
        ASSERT_TRUE(list);
        // Every field but the four bookkeeping ones, all ticked.
        EXPECT_EQ(list->count(), 28);
        for (int r = 0; r < list->count(); ++r) {
            EXPECT_FALSE(list->item(r)->text().startsWith("sys_", Qt::CaseInsensitive));
            EXPECT_EQ(list->item(r)->checkState(), Qt::Checked);
        }
        QListWidgetItem* oggetto = entry(d, "Oggetto");
        ASSERT_TRUE(oggetto);
        EXPECT_EQ(oggetto->data(Qt::UserRole).toInt(), 9);
        oggetto->setCheckState(Qt::Unchecked);
        click(d, "OKButton");
    });
    click(&w, "cmd_colonne");
    ASSERT_TRUE(script.waitDone());
    QString expected = before;
    expected[8] = '-';
    EXPECT_EQ(storedMask(), expected);
    // Hidden although no width has been stored yet.
    EXPECT_TRUE(leggi_ini(iniPath(), "GRID_WIDTH", "Entrata", "").isEmpty());
    EXPECT_TRUE(grid(w)->isColumnHidden(8));
    EXPECT_FALSE(grid(w)->isColumnHidden(9));
    EXPECT_FALSE(grid(w)->isColumnHidden(1));
    EXPECT_TRUE(messages.shown().isEmpty());

    // Ticked again and then cancelled: nothing changes, the grid is rebuilt as it was.
    ModalScript cancel;
    cancel.then("frm_sel_campi", [](QDialog* d) {
        QListWidgetItem* oggetto = entry(d, "Oggetto");
        ASSERT_TRUE(oggetto);
        EXPECT_EQ(oggetto->checkState(), Qt::Unchecked);
        oggetto->setCheckState(Qt::Checked);
        entry(d, "Note")->setCheckState(Qt::Unchecked);
        click(d, "CancelButton");
    });
    click(&w, "cmd_colonne");
    ASSERT_TRUE(cancel.waitDone());
    EXPECT_EQ(storedMask(), expected);
    EXPECT_TRUE(grid(w)->isColumnHidden(8));
    EXPECT_FALSE(grid(w)->isColumnHidden(11));
}

TEST_F(ColumnChooserTest, BookkeepingColumnsAreHiddenBeforeAnyWidthIsStored)
{
    auto* model = grid(w)->model();
    ASSERT_TRUE(model);
    for (int c = 0; c < model->columnCount(); ++c) {
        const QString caption = model->headerData(c, Qt::Horizontal).toString();
        EXPECT_EQ(grid(w)->isColumnHidden(c), caption.startsWith("sys_", Qt::CaseInsensitive) || c == 18)
            << caption.toStdString();
    }
}

TEST_F(ColumnChooserTest, AShortMaskIsPaddedWithShownColumns)
{
    // A mask written by an older setup, shorter than the register's fields.
    w.state.p_eln_colonne = "X-X";
    ModalScript script;
    script.then("frm_sel_campi", [](QDialog* d) {
        EXPECT_EQ(entry(d, "Tipo_documento")->checkState(), Qt::Checked) << "past the end of the mask";
        EXPECT_EQ(entry(d, "entrata.Tipo")->checkState(), Qt::Unchecked);
        entry(d, "Citta")->setCheckState(Qt::Unchecked);
        click(d, "OKButton");
    });
    click(&w, "cmd_colonne");
    ASSERT_TRUE(script.waitDone());
    const QString mask = storedMask();
    ASSERT_EQ(mask.size(), dati(w, "Adodc1")->Recordset()->fieldCount());
    const int citta = dati(w, "Adodc1")->Recordset()->fieldIndex("Citta");
    for (int i = 0; i < mask.size(); ++i)
        EXPECT_EQ(mask.at(i), QChar(i == 1 || i == citta ? '-' : 'X')) << i;
    EXPECT_TRUE(grid(w)->isColumnHidden(citta));
    EXPECT_TRUE(grid(w)->isColumnHidden(1));
}

TEST_F(ColumnChooserTest, AChoiceTheSettingsFileCannotKeepIsToldAndHoldsForThisRun)
{
    const QString before = storedMask();
    setFileWriteFaultForTests([](const QString& path) { return path.endsWith("imposta.ini"); });
    ModalScript script;
    script.then("frm_sel_campi", [](QDialog* d) {
        entry(d, "Oggetto")->setCheckState(Qt::Unchecked);
        click(d, "OKButton");
    });
    click(&w, "cmd_colonne");
    const bool done = script.waitDone();
    setFileWriteFaultForTests(nullptr);
    ASSERT_TRUE(done);
    EXPECT_EQ(messages.texts(),
              QStringList("ATTENZIONE !\n\nImpossibile salvare la scelta delle colonne nel file delle impostazioni."));
    EXPECT_EQ(storedMask(), before);
    EXPECT_TRUE(grid(w)->isColumnHidden(8));
    EXPECT_EQ(w.state.p_eln_colonne.at(8), QChar('-'));
}
