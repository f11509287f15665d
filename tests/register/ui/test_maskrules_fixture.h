#pragma once
// The main window with the register open in the mask view, for the mask's own rules: a
// registered entry shown (browse), or the boxes opened as while a new entry is typed (insert).

#include "../../frame/ui/frame_fixture.h"

#include <QApplication>
#include <QTest>

namespace quad::test {

class MaskRulesTest : public ::testing::Test
{
protected:
    /// How many entries the register holds; a test class may ask for more.
    virtual int entries() const { return 6; }
    /// Runs on the archive before the window opens it.
    virtual void prepareArchive(Connection&) { }

    void SetUp() override
    {
        seedRegister(program.archive(), entries());
        {
            DbResult err;
            auto db = Connection::open(program.archive(), QByteArray(kPassword), &err);
            ASSERT_TRUE(db) << err.message.toStdString();
            prepareArchive(*db);
        }
        ASSERT_TRUE(startWindow(w));
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        openRegister(w);
        ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
        if (entries() > 0)
            vai(1);
    }

    std::shared_ptr<Recordset> registro() const { return dati(w, "Adodc1")->Recordset(); }
    /// Makes entry n the register's current entry.
    void vai(int n)
    {
        ASSERT_TRUE(
            registro()->find(QStringLiteral("Progressivo = %1").arg(n), 0, SearchDirection::Forward, kBookmarkFirst));
    }
    int corrente() const
    {
        return registro()->eof() || registro()->bof() ? -1 : registro()->value("Progressivo").toInt();
    }

    /// Starts a new incoming entry, as the clerk does, and stands in its date box.
    void inserisci()
    {
        messages.answer(MsgAnswer::Yes);
        schede(w)->cmd_ins_Click(0);
        ASSERT_TRUE(nuovaSchedaInCorso(w));
        messages.clear();
    }

    QLineEdit* box(int index) const { return casella(w, index); }
    /// Gives a box the focus as a Tab does.
    void entra(int index) { box(index)->setFocus(Qt::TabFocusReason); }
    /// Gives a box the focus and types into it as the clerk does.
    void scrivi(int index, const QString& text)
    {
        entra(index);
        QTest::keyClicks(box(index), text);
    }
    /// Leaves the current box for box index.
    void esci(int index) { entra(index); }
    /// Empties a box as the clerk does.
    void svuota(int index)
    {
        entra(index);
        box(index)->selectAll();
        QTest::keyClick(box(index), Qt::Key_Delete);
    }

    /// Reads one value of the stored entry numero.
    QVariant archivio(const QString& field, int numero) const
    {
        DbResult err;
        auto db = Connection::shared(program.archive(), QByteArray(kPassword), &err);
        EXPECT_TRUE(db) << err.message.toStdString();
        return db ? db->scalar(QStringLiteral("SELECT %1 FROM entrata WHERE Progressivo = ?").arg(field), {numero})
                  : QVariant();
    }

    TempProgram program;
    ScriptedMessages messages;
    TestQuadernolo w;
};

} // namespace quad::test
