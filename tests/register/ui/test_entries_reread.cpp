// Where the register stands when it is read again around an entry: "Nuovo" on a filtered register
// that cannot be read again, and the row made current after a save or a confirmation on a sorted
// view, for entries with more than one correspondent row.
#include "test_entries_fixture.h"

#include <QAbstractItemView>

using namespace quad;
using namespace quad::test;

namespace {

/// Clicks the grid cell of the first row showing entry n, in column col, as the clerk does.
void clickCell(TestQuadernolo& w, int n, int col)
{
    QAbstractItemModel* model = grid(w)->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        if (model->index(r, 0).data().toInt() == n) {
            const QModelIndex cell = model->index(r, col);
            grid(w)->scrollTo(cell);
            QTest::mouseClick(grid(w)->viewport(), Qt::LeftButton, {}, grid(w)->visualRect(cell).center());
            return;
        }
    }
    ADD_FAILURE() << "no row for entry " << n;
}

/// A connection of another station to the archive of the program folder.
std::shared_ptr<Connection> altraStazione(const TempProgram& program)
{
    DbResult err;
    auto db = Connection::open(program.archive(), QByteArray(kPassword), &err);
    EXPECT_TRUE(db) << err.message.toStdString();
    return db;
}

class RegisterRereadTest : public EntriesTest
{
protected:
    /// Types nota into the note of the entry shown, then "Precedente": the note is stored without
    /// a word. Returns the entry the mask then shows.
    int notaEPrecedente(const QString& nota)
    {
        const int n = corrente();
        typeInto(&w, "txt_mask1_18", nota);
        click(&w, "cmd_move_1");
        EXPECT_EQ(scalar("SELECT Note FROM entrata WHERE Progressivo = ?", {n}).toString(), nota);
        EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
        EXPECT_EQ(box(0)->text().toInt(), corrente());
        return corrente();
    }
};

} // namespace

TEST_F(RegisterRereadTest, NuovoOnAFilteredRegisterThatCannotBeReadAgainGivesNoNumber)
{
    apri(5);
    showGrid(w);
    clickCell(w, 2, 8);
    ASSERT_TRUE(trigger(&w, "tb_filtro_off"));
    ASSERT_EQ(grid(w)->model()->rowCount(), 2);
    // Another station renames the correspondents' table (an archive damaged or replaced): the
    // register can no longer be read, while the next number could still be taken.
    ASSERT_TRUE(altraStazione(program)->exec("ALTER TABLE Mittenti RENAME TO Mittenti_altrove").ok());
    messages.clear();

    nuovo(0);
    // The register's own error is told; no number is given and no lock taken.
    EXPECT_EQ(messages.last(), "Errore ADO\n\nno such table: Mittenti");
    EXPECT_FALSE(QFile::exists(lock()));
    EXPECT_FALSE(nuovaSchedaInCorso(w));
    EXPECT_FALSE(control<QFrame>(&w, "Frame_new_ins")->isVisibleTo(mask(w)));
    EXPECT_TRUE(control<QToolBar>(&w, "Toolbar1")->isEnabled());
}

TEST_F(RegisterRereadTest, AfterASaveReadingEveryRowTheRegisterStandsOnTheEntrysFirstRowInItsOrder)
{
    apri(5);
    // Entry 2's two rows, in this order "Mittente 2-1" before "Mittente 2-0".
    ASSERT_TRUE(registro()->setSort("Nominativo DESC").ok());
    maschera(2);
    // Another station registers entry 6 meanwhile, ahead of entry 2 in this order.
    ASSERT_TRUE(altraStazione(program)
                    ->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Oggetto) VALUES "
                           "(6, 'E', '2025-06-14', 'altra stazione');"
                           "INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (6, 'E', 'Mittente 6-0')")
                    .ok());
    // Saved, then the entry before it in this order.
    EXPECT_EQ(notaEPrecedente("Sollecito"), 3);
}

TEST_F(RegisterRereadTest, AfterASaveThatMovesTheEntryInTheOrderTheRegisterStandsOnItsSameRow)
{
    seedRegister(program.archive(), 5);
    ASSERT_TRUE(archivio()
                    ->exec("UPDATE entrata SET Note = CASE Progressivo WHEN 1 THEN 'a' WHEN 2 THEN 'c' WHEN 3 THEN "
                           "'b' WHEN 4 THEN 'd' ELSE 'e' END")
                    .ok());
    apri(0);
    // By note: 1, 3, 2 (two rows), 4, 5.
    ASSERT_TRUE(registro()->setSort("Note").ok());
    maschera(2);
    ASSERT_EQ(registro()->absolutePosition(), 3);
    // The new note puts entry 2 before entry 3, and entry 1 before it.
    EXPECT_EQ(notaEPrecedente("ab"), 1);
}

TEST_F(RegisterRereadTest, AfterAConfirmationTheRegisterStandsOnTheNewEntrysFirstRowInItsOrder)
{
    apri(5);
    ASSERT_TRUE(registro()->setSort("Nominativo DESC").ok());
    nuovo(0);
    compila("Lettera", "Due corrispondenti", "Mittente 2-5");
    ASSERT_TRUE(click(&w, "cmd_altri"));
    typeInto(&w, "txt_mask1_8", "Mittente 3-5");
    click(&w, "cmd_new_ins_0");
    EXPECT_FALSE(messages.contains("ATTENZIONE")) << messages.last().toStdString();
    EXPECT_EQ(conta("SELECT count(*) FROM Mittenti WHERE Quadernolo = 6"), 2);

    // In this order entry 6 shows first as "Mittente 3-5", after entry 4, and again as
    // "Mittente 2-5" after entry 3: the entry before it is 4.
    EXPECT_EQ(corrente(), 6);
    click(&w, "cmd_move_1");
    EXPECT_EQ(box(0)->text(), "4");
    EXPECT_EQ(corrente(), 4);
}
