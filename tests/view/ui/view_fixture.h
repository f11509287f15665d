#pragma once
// The main window over a register prepared for finds and filters: eight entries (entry 2 with
// two correspondents, so nine rows), entries 1 to 3 registered in 2004, subjects beginning
// with "Nota prova" on entries 1 ("Nota prova" itself) and 4, one containing it elsewhere (5), one with an
// apostrophe (6).

#include "../../frame/ui/frame_fixture.h"

#include "my_func.h"
#include "program_folder.h"

#include <QAction>
#include <QLabel>
#include <QTableView>
#include <QTest>

namespace quad::test {

class ViewWindowTest : public ::testing::Test
{
protected:
    virtual int entries() const { return 8; }

    void SetUp() override
    {
        if (entries() > 0) {
            seedRegister(program.archive(), entries());
            DbResult err;
            auto db = Connection::open(program.archive(), QByteArray(kPassword), &err);
            ASSERT_TRUE(db) << err.message.toStdString();
            for (int n = 1; n <= 3; ++n) {
                const QDate data(2004, 5, n * 3);
                ASSERT_TRUE(
                    db->exec("UPDATE entrata SET Data_quadernolo = ?, Anno = 2004 WHERE Progressivo = ?", {data, n})
                        .ok());
            }
            const std::pair<int, const char*> oggetti[]
                = {{1, "Nota prova"}, {4, "Nota prova due"}, {5, "Una Nota prova"}, {6, "l'ente comunica"}};
            for (const auto& [n, oggetto] : oggetti)
                ASSERT_TRUE(
                    db->exec("UPDATE entrata SET Oggetto = ? WHERE Progressivo = ?", {QString::fromUtf8(oggetto), n})
                        .ok());
        }
        ASSERT_TRUE(startWindow(w));
        openRegister(w);
        showGrid(w);
    }

    std::shared_ptr<Recordset> rs() const { return dati(w, "Adodc1")->Recordset(); }
    QAction* filterButton() const { return findAction(&w, "tb_filtro_off"); }
    QColor gridColour() const { return grid(w)->palette().color(QPalette::Base); }
    /// The values of one field over the rows the grid shows.
    QStringList column(int col) const
    {
        QStringList values;
        for (int r = 0; r < grid(w)->model()->rowCount(); ++r)
            values << grid(w)->model()->index(r, col).data().toString();
        return values;
    }
    /// Makes the cell of the first row of entry n, column col, the grid's current cell.
    void selectCell(int n, int col)
    {
        for (int r = 0; r < grid(w)->model()->rowCount(); ++r) {
            if (grid(w)->model()->index(r, 0).data().toInt() == n) {
                grid(w)->setCurrentIndex(grid(w)->model()->index(r, col));
                return;
            }
        }
        ADD_FAILURE() << "no row for entry " << n;
    }

    static inline const QColor kYellow = QColor(0xFF, 0xFF, 0xC0);
    static inline const QColor kWhite = QColor(0xFF, 0xFF, 0xFF);

    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
};

} // namespace quad::test
