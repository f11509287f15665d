// The main window's one-field filter button and its release.
#include "view_fixture.h"

#include <QLineEdit>
#include <QToolBar>

using namespace quad;
using namespace quad::test;

namespace {

class FilterTest : public ViewWindowTest
{
};

class EmptyRegisterFilterTest : public ViewWindowTest
{
protected:
    int entries() const override { return 0; }
};

} // namespace

TEST_F(FilterTest, ASubjectCellFiltersTheRowsBeginningWithItAndReleaseShowsThemAll)
{
    selectCell(1, 8);
    trigger(&w, "tb_filtro_off");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(column(8).join("|").toStdString(), "Nota prova|Nota prova due");
    EXPECT_TRUE(filterButton()->isChecked());
    EXPECT_EQ(filterButton()->text(), "Filtro off");
    EXPECT_EQ(filterButton()->toolTip(), "Disattiva filtro");
    EXPECT_EQ(gridColour(), kYellow);
    EXPECT_EQ(control<QLabel>(&w, "lbl_filtro")->text(), "   Totale schede : 2  [Filtro inserito !]");
    EXPECT_EQ(dati(w, "Adodc1")->Caption(), control<QLabel>(&w, "lbl_filtro")->text());
    EXPECT_FALSE(control<QLabel>(&w, "lbl_filtro_ins")->isHidden());

    trigger(&w, "tb_filtro_off");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(grid(w)->model()->rowCount(), 9);
    EXPECT_FALSE(rs()->hasFilter());
    EXPECT_EQ(rs()->value("Progressivo").toInt(), 8) << "the last row is current";
    EXPECT_EQ(grid(w)->currentIndex().row(), 8);
    EXPECT_FALSE(filterButton()->isChecked());
    EXPECT_EQ(filterButton()->text(), "Filtro on");
    EXPECT_EQ(filterButton()->toolTip(), "Imposta filtro");
    EXPECT_EQ(gridColour(), kWhite);
    EXPECT_EQ(control<QLabel>(&w, "lbl_filtro")->text(), "   Totale schede : 9");
    EXPECT_TRUE(control<QLabel>(&w, "lbl_filtro_ins")->isHidden());
    // The grid is laid out again: captions and the hidden columns.
    EXPECT_EQ(grid(w)->model()->headerData(8, Qt::Horizontal).toString(), "oggetto");
    EXPECT_TRUE(grid(w)->isColumnHidden(18));
}

TEST_F(FilterTest, AnApostropheAYesNoCellAndATimeCellFilterWithoutError)
{
    selectCell(6, 8);
    trigger(&w, "tb_filtro_off");
    EXPECT_EQ(column(8), QStringList({"l'ente comunica"}));
    trigger(&w, "tb_filtro_off");

    selectCell(3, 14); // Annullato: only entry 3 is annulled
    trigger(&w, "tb_filtro_off");
    EXPECT_EQ(column(0), QStringList({"3"}));
    EXPECT_EQ(column(14), QStringList({"Vero"}));
    trigger(&w, "tb_filtro_off");

    selectCell(2, 13); // Orario: every entry was registered at 09:30:00
    trigger(&w, "tb_filtro_off");
    EXPECT_EQ(grid(w)->model()->rowCount(), 9);
    EXPECT_TRUE(filterButton()->isChecked());
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
}

TEST_F(FilterTest, AValueTheFilterCannotReadIsReportedAndTheRegisterStaysWhole)
{
    // A reference date that the archive holds as text the program cannot read.
    DbResult err;
    auto db = Connection::shared(program.archive(), kPassword, &err);
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->exec("UPDATE entrata SET Data_quad_rif = '31/12/2004x' WHERE Progressivo = 4").ok());
    ASSERT_TRUE(dati(w, "Adodc1")->Refresh().ok());
    selectCell(4, 7);
    ASSERT_EQ(grid(w)->currentIndex().data().toString(), "31/12/2004x");
    trigger(&w, "tb_filtro_off");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.last().contains("Valore non valido")) << messages.last().toStdString();
    EXPECT_EQ(messages.shown().first().icon, MsgIcon::Exclamation);
    EXPECT_FALSE(rs()->hasFilter());
    EXPECT_EQ(grid(w)->model()->rowCount(), 9);
    EXPECT_FALSE(filterButton()->isChecked());
    EXPECT_EQ(filterButton()->text(), "Filtro on");
    EXPECT_EQ(gridColour(), kWhite);
}

TEST_F(FilterTest, NoCurrentCellOrABlankCellSpringsTheButtonBack)
{
    grid(w)->selectionModel()->clearCurrentIndex();
    trigger(&w, "tb_filtro_off");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(), "Selezionare il campo di interesse.");
    EXPECT_EQ(messages.shown().first().icon, MsgIcon::Exclamation);
    EXPECT_EQ(messages.shown().first().title, "Quadernolo");
    EXPECT_FALSE(filterButton()->isChecked());
    EXPECT_EQ(filterButton()->toolTip(), "Imposta filtro");

    messages.clear();
    selectCell(1, 9); // Ufficio_competente is empty
    trigger(&w, "tb_filtro_off");
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_FALSE(filterButton()->isChecked());
    EXPECT_FALSE(rs()->hasFilter());
}

TEST_F(FilterTest, InTheMaskTheBoxLastFocusedGivesFieldAndValue)
{
    trigger(&w, "tb_modo");
    ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
    regole(w)->set_ctrl_filtro(nullptr);
    trigger(&w, "tb_filtro_off");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(), "Selezionare un campo.\n");
    EXPECT_EQ(messages.shown().first().icon, MsgIcon::None);
    EXPECT_FALSE(filterButton()->isChecked());

    messages.clear();
    rs()->moveFirst();
    ASSERT_EQ(text(&w, "txt_mask1_7").toStdString(), "Nota prova");
    regole(w)->set_ctrl_filtro(casella(w, 7));
    trigger(&w, "tb_filtro_off");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(rs()->recordCount(), 2);
    EXPECT_EQ(filterButton()->text(), "Filtro off");
    // Released in the mask view: the grid's layout is left alone.
    trigger(&w, "tb_filtro_off");
    EXPECT_EQ(rs()->recordCount(), 9);
    EXPECT_FALSE(grid(w)->isVisible());
    EXPECT_TRUE(shown(w, "Pic_mask")->isVisible());
}

TEST_F(FilterTest, ReleasingSavesTheNoteBeingTyped)
{
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    selectCell(1, 8);
    trigger(&w, "tb_filtro_off");
    ASSERT_EQ(rs()->recordCount(), 2);
    trigger(&w, "tb_modo");
    rs()->moveFirst();
    ASSERT_EQ(rs()->value("Progressivo").toInt(), 1);
    typeInto(&w, "txt_mask1_18", "Scritta sotto filtro");
    QTest::mouseClick(control<QToolBar>(&w, "Toolbar2")->widgetForAction(filterButton()), Qt::LeftButton);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
    EXPECT_FALSE(rs()->hasFilter());
    EXPECT_FALSE(sessione(w).p_update());
    DbResult err;
    auto db = Connection::shared(program.archive(), kPassword, &err);
    ASSERT_TRUE(db);
    EXPECT_EQ(db->scalar("SELECT Note FROM entrata WHERE Progressivo = 1").toString(), "Scritta sotto filtro");
}

TEST_F(EmptyRegisterFilterTest, TheButtonSpringsBackSilently)
{
    trigger(&w, "tb_filtro_off");
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_FALSE(filterButton()->isChecked());
    EXPECT_EQ(filterButton()->text(), "Filtro on");
    EXPECT_EQ(gridColour(), kWhite);
}
