#pragma once
// The main window with the register open in the mask view and a new entry being typed, for the
// address-book panel and the autocomplete.

#include "../../frame/ui/frame_fixture.h"

#include "address_book.h"
#include "ax_db_autocomplete.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>

namespace quad::test {

class AddrwireTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        seedRegister(program.archive(), 3);
        DbResult err;
        book = AddressBook::openSettings(&err);
        ASSERT_TRUE(book) << err.message.toStdString();
        ASSERT_TRUE(startWindow(w));
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        openRegister(w);
        ASSERT_TRUE(shown(w, "Pic_mask")->isVisible());
        ac = control<AXDbAutoComplete>(&w, "AXDbAutoComplete1");
        ASSERT_TRUE(ac);
    }

    /// Starts a new incoming entry as the clerk does: its first correspondent row is current.
    void inserisci()
    {
        messages.answer(MsgAnswer::Yes);
        schede(w)->cmd_ins_Click(0);
        ASSERT_TRUE(nuovaSchedaInCorso(w));
        messages.clear();
        ASSERT_TRUE(mittenti());
        ASSERT_EQ(mittenti()->recordCount(), 1);
    }

    /// Adds a correspondent row to the new entry and makes it current.
    void nuovaRiga()
    {
        mittenti()->addNew();
        ASSERT_TRUE(mittenti()->setValue("Quadernolo", sessione(w).number()).ok());
        ASSERT_TRUE(mittenti()->setValue("tipo", "E").ok());
    }

    std::shared_ptr<Recordset> mittenti() const { return dati(w, "ado_mittenti")->Recordset(); }
    QVariant riga(const QString& field) const { return mittenti()->value(field); }

    /// Adds an address-book record; values by column name.
    void rubrica(const QVariantMap& values) { ASSERT_TRUE(AddressBook(book).aggiungi_da_corrispondente(values).ok()); }
    void rubrica(const QString& nome, const QString& indirizzo = QString(), const QString& citta = QString())
    {
        rubrica(QVariantMap {{"Nominativo", nome}, {"Indirizzo", indirizzo}, {"Citta", citta}});
    }
    /// Names in the address book, sorted.
    QStringList nomiInRubrica(const QString& where = "1")
    {
        QStringList out;
        const DbResult r = book->query(QString("SELECT Nominativo FROM Elenco WHERE %1 ORDER BY Nominativo").arg(where),
                                       {}, [&](const Statement& st) {
                                           out << st.value(0).toString();
                                           return true;
                                       });
        EXPECT_TRUE(r.ok()) << r.message.toStdString();
        return out;
    }

    QLineEdit* box(int index) const { return casella(w, index); }
    /// Gives a box the focus as a Tab does and types into it as the clerk does.
    void scrivi(int index, const QString& text)
    {
        box(index)->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(box(index), text);
    }
    /// Empties a box by typing, then types text.
    void riscrivi(int index, const QString& text)
    {
        box(index)->setFocus(Qt::TabFocusReason);
        box(index)->selectAll();
        QTest::keyClick(box(index), Qt::Key_Delete);
        QTest::keyClicks(box(index), text);
    }
    void tasto(int index, Qt::Key key) { QTest::keyClick(box(index), key); }

    /// The address-book panel's grid.
    QTableView* griglia() const { return control<QTableView>(&w, "DataGridAC"); }
    /// The names the panel's grid shows, in order.
    QStringList nomiInGriglia() const
    {
        QStringList out;
        const QAbstractItemModel* m = griglia()->model();
        if (!m)
            return out;
        int col = -1;
        for (int c = 0; c < m->columnCount(); ++c) {
            if (m->headerData(c, Qt::Horizontal).toString() == "Nominativo")
                col = c;
        }
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, col).data().toString();
        return out;
    }
    QRect cella(int row) const { return griglia()->visualRect(griglia()->model()->index(row, 0)); }
    void scegliRiga(int row) { QTest::mouseClick(griglia()->viewport(), Qt::LeftButton, {}, cella(row).center()); }
    void doppioClic(int row)
    {
        const QPoint p = cella(row).center();
        QTest::mouseClick(griglia()->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(griglia()->viewport(), Qt::LeftButton, {}, p);
    }

    /// The autocomplete list's items.
    QStringList voci() const
    {
        QStringList out;
        for (int i = 0; i < ac->list()->count(); ++i)
            out << ac->list()->item(i)->text();
        return out;
    }
    QString voceScelta() const
    {
        const QListWidgetItem* item = ac->list()->currentItem();
        return item ? item->text() : QString();
    }

    TempProgram program;
    ScriptedMessages messages;
    std::shared_ptr<Connection> book;
    TestQuadernolo w;
    AXDbAutoComplete* ac = nullptr;
};

} // namespace quad::test
