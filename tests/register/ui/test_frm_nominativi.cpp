#include "ax_db_autocomplete.h"
#include "frm_nominativi.h"
#include "gui_helpers.h"
#include "scripted_messages.h"
#include "temp_program.h"

#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace quad;
using quad::test::control;

namespace {

class FrmNominativiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DbResult err;
        db = AddressBook::openSettings(&err);
        ASSERT_TRUE(db) << err.message.toStdString();
        book = std::make_unique<AddressBook>(db);
        ASSERT_TRUE(db->exec("INSERT INTO Elenco (Nominativo, P_iva_CF, Data_nascita, Indirizzo, Civico, Citta, "
                             "Prov, Stato, Cap) VALUES (?, NULL, '1975-04-25', 'Via Po', '3', 'Torino', 'TO', 'IT', "
                             "'10121')",
                             {"D'Amico Sergio"})
                        .ok());
        id = db->lastInsertId();
        parent.show();
    }

    frm_nominativi* open()
    {
        AddressRecord rec;
        EXPECT_TRUE(book->leggi(id, &rec));
        dialog = new frm_nominativi(book.get(), rec, &parent);
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        return dialog;
    }

    QLineEdit* box(int index) const { return control<QLineEdit>(dialog, QString("txt_mask1_%1").arg(index)); }
    /// Types into a box as the clerk does (focus first).
    void typeInto(int index, const QString& text)
    {
        box(index)->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(box(index), text);
    }
    /// Moves the focus to the name box, leaving whatever box had it.
    void leave() { box(8)->setFocus(Qt::TabFocusReason); }
    void replace(int index, const QString& text)
    {
        box(index)->setFocus(Qt::TabFocusReason);
        box(index)->selectAll();
        QTest::keyClick(box(index), Qt::Key_Delete);
        QTest::keyClicks(box(index), text);
    }
    void click(int button)
    {
        QTest::mouseClick(control<QPushButton>(dialog, QString("Command1_%1").arg(button)), Qt::LeftButton);
    }
    QString stored(const QString& field)
    {
        return db->scalar(QString("SELECT %1 FROM Elenco WHERE rowid = ?").arg(field), {id}).toString();
    }

    test::TempProgram program {false};
    test::ScriptedMessages messages;
    std::shared_ptr<Connection> db;
    std::unique_ptr<AddressBook> book;
    qint64 id = 0;
    QWidget parent;
    frm_nominativi* dialog = nullptr;
};

} // namespace

TEST_F(FrmNominativiTest, ShowsTheRecordInTheBoxes)
{
    open();
    EXPECT_EQ(dialog->windowTitle(), "Quadernolo : CORREZIONE ANAGRAFICA");
    EXPECT_EQ(dialog->objectName(), "frm_nominativi");
    EXPECT_EQ(box(8)->text(), "D'Amico Sergio");
    EXPECT_EQ(box(9)->text(), "");
    EXPECT_EQ(box(10)->text(), "25/04/1975");
    EXPECT_EQ(box(13)->text(), "Torino");
    EXPECT_EQ(box(0)->text(), "10121");
    EXPECT_EQ(control<QLabel>(dialog, "lbl_mask1_12")->text(), "N.");
    EXPECT_EQ(control<QLabel>(dialog, "lbl_mask1_0")->text(), "Cap");
    EXPECT_EQ(dialog->findChild<QLineEdit*>("txt_mask1_15"), box(15));
    EXPECT_EQ(control<QPushButton>(dialog, "Command1_0")->text(), "Salva ed esci");
    EXPECT_EQ(control<QPushButton>(dialog, "Command1_1")->text(), "Annulla");
    EXPECT_FALSE(dialog->modificato());
}

TEST_F(FrmNominativiTest, SaveStoresTheCorrections)
{
    open();
    replace(11, "Via Dora");
    replace(10, "01/02/1976");
    replace(12, "");
    replace(15, "");
    replace(8, "D'Amico S.");
    EXPECT_TRUE(dialog->modificato());
    click(0);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(dialog->salvato());
    EXPECT_FALSE(dialog->modificato());
    EXPECT_EQ(stored("Nominativo"), "D'Amico S.");
    EXPECT_EQ(stored("Indirizzo"), "Via Dora");
    EXPECT_EQ(stored("Data_nascita"), "1976-02-01");
    EXPECT_EQ(stored("Civico"), "snc"); // left empty with a street
    EXPECT_TRUE(db->scalar("SELECT Stato IS NULL FROM Elenco WHERE rowid = ?", {id}).toBool());
    EXPECT_EQ(dialog->record().value("Indirizzo").toString(), "Via Dora");
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(FrmNominativiTest, AnnullaAndTheCloseBoxDiscardTheCorrections)
{
    open();
    replace(11, "Via Dora");
    click(1);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(dialog->modificato());
    EXPECT_EQ(stored("Indirizzo"), "Via Po");

    open();
    replace(11, "Via Dora");
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->salvato());
    EXPECT_FALSE(dialog->modificato());
    EXPECT_EQ(stored("Indirizzo"), "Via Po");

    // Escape does not close the dialog.
    open();
    typeInto(11, "x");
    QTest::keyClick(box(11), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    click(1);
}

TEST_F(FrmNominativiTest, SaveWithoutChangesWritesNothingAndAFailedSaveKeepsTheDialog)
{
    open();
    // Another station changes the record meanwhile: an unchanged dialog must not overwrite it.
    ASSERT_TRUE(db->exec("UPDATE Elenco SET Indirizzo = 'Corso Francia' WHERE rowid = ?", {id}).ok());
    click(0);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(stored("Indirizzo"), "Corso Francia");

    open();
    replace(11, "Via Dora");
    ASSERT_TRUE(db->exec("DELETE FROM Elenco WHERE rowid = ?", {id}).ok());
    click(0);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(messages.last().startsWith("Errore nel Database dei nominativi !\n\n"));
    EXPECT_EQ(box(11)->text(), "Via Dora");
    EXPECT_TRUE(dialog->modificato());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Elenco").toInt(), 0);
    click(1);
}

TEST_F(FrmNominativiTest, TypedLettersGoUpperCaseInCodeProvinceAndState)
{
    open();
    replace(14, "mi");
    replace(15, "it");
    replace(12, "4b");
    EXPECT_EQ(box(14)->text(), "MI");
    EXPECT_EQ(box(15)->text(), "IT");
    EXPECT_EQ(box(12)->text(), "4b");
    // Text that reaches the box other than by typing stays as it is.
    box(14)->insert("to");
    EXPECT_EQ(box(14)->text(), "MIto");
    click(1);
}

TEST_F(FrmNominativiTest, LeavingTheCodeBoxChecksVatNumbersAndTaxCodes)
{
    open();
    // A valid VAT number stays.
    replace(9, "12345678903");
    leave();
    EXPECT_EQ(box(9)->text(), "12345678903");
    EXPECT_TRUE(messages.shown().isEmpty());

    replace(9, "12345678901");
    leave();
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.last(), "Partita iva non valida !\n\n");
    EXPECT_EQ(messages.shown().last().title, "Quadernolo");
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(box(9)->text(), "");

    // A leading blank makes it a tax code.
    replace(9, " 12345678903");
    leave();
    EXPECT_EQ(messages.last(), "Codice Fiscale errato !\n\n");
    EXPECT_EQ(box(9)->text(), "");

    replace(9, "RSSMRA80A01H501X");
    leave();
    EXPECT_EQ(messages.last(), "Codice Fiscale errato !\n\n");
    EXPECT_EQ(box(9)->text(), "");

    // An empty box is left alone.
    messages.clear();
    box(9)->setFocus(Qt::TabFocusReason);
    leave();
    EXPECT_TRUE(messages.shown().isEmpty());
    click(1);
}

TEST_F(FrmNominativiTest, SncRuleAndBirthDateValidation)
{
    open();
    replace(12, "");
    box(14)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(box(12)->text(), "snc");

    // Leaving the town box applies it too.
    box(13)->setFocus(Qt::TabFocusReason);
    box(12)->clear();
    box(14)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(box(12)->text(), "snc");

    // Leaving another box does not apply it.
    box(11)->setFocus(Qt::TabFocusReason);
    box(12)->clear();
    leave();
    EXPECT_EQ(box(12)->text(), "");
    // With no street it never applies.
    replace(11, "");
    box(12)->setFocus(Qt::TabFocusReason);
    leave();
    EXPECT_EQ(box(12)->text(), "");

    replace(10, "31/02/1980");
    leave();
    EXPECT_EQ(box(10)->text(), "");
    replace(10, "12/03/1980");
    leave();
    EXPECT_EQ(box(10)->text(), "12/03/1980");
    EXPECT_TRUE(messages.shown().isEmpty());
    click(1);
}

TEST_F(FrmNominativiTest, TownPickFillsProvinceStateAndPostalCode)
{
    open();
    replace(13, "Roma");
    QListWidget* list = control<AXDbAutoComplete>(dialog, "AXDbAutoComplete1")->list();
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->currentItem()->text(), "Roma");
    QTest::keyClick(box(13), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible()); // Enter picks, it neither saves nor closes
    EXPECT_EQ(box(13)->text(), "Roma");
    EXPECT_EQ(box(14)->text(), "RM");
    EXPECT_EQ(box(15)->text(), "IT");
    EXPECT_TRUE(box(0)->text().startsWith("001"));

    replace(13, "Francia");
    ASSERT_TRUE(list->isVisible());
    QTest::keyClick(box(13), Qt::Key_Return);
    EXPECT_EQ(box(13)->text(), "Francia");
    EXPECT_EQ(box(14)->text(), "");
    EXPECT_EQ(box(15)->text(), "EE");
    EXPECT_EQ(box(0)->text(), "");

    // Escape closes the list, not the dialog.
    replace(13, "Castro");
    ASSERT_TRUE(list->isVisible());
    QTest::keyClick(box(13), Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(dialog->isVisible());

    replace(13, "Castro");
    QTest::keyClick(box(13), Qt::Key_Down);
    QTest::keyClick(box(13), Qt::Key_Return);
    click(0);
    EXPECT_EQ(stored("Citta"), "Castro");
    EXPECT_EQ(stored("Prov"), "LE");
    EXPECT_EQ(stored("Stato"), "IT");
    EXPECT_EQ(stored("Cap"), "73030");
}
