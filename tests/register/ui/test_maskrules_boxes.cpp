// The entry mask's boxes through the real window: typing, checks on leaving, the calendar, the
// office and document-type lists, the focus bookkeeping.
#include "test_maskrules_fixture.h"

#include "calendar_popup.h"
#include "clock.h"

#include <QAction>
#include <QCalendarWidget>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolBar>

using namespace quad;
using namespace quad::test;

namespace {

class MaskBoxesTest : public MaskRulesTest
{
};

/// The offices of the list, as the register opening loads them from the settings.
void uffici(TestQuadernolo& w, const QStringList& names)
{
    control<QListWidget>(&w, "list_elenco")->clear();
    control<QListWidget>(&w, "list_elenco")->addItems(names);
}

void sceltaUfficio(TestQuadernolo& w, int row)
{
    control<QListWidget>(&w, "list_elenco")->setCurrentRow(row);
    QTest::keyClick(control<QListWidget>(&w, "list_elenco"), Qt::Key_Return);
}

} // namespace

// --- typing ------------------------------------------------------------------------------

TEST_F(MaskBoxesTest, CodesProvinceAndCountryAreTypedInCapitals)
{
    inserisci();
    scrivi(9, "rssmra80a01h501u");
    EXPECT_EQ(box(9)->text(), "RSSMRA80A01H501U");
    scrivi(14, "rm");
    EXPECT_EQ(box(14)->text(), "RM");
    scrivi(15, "it");
    EXPECT_EQ(box(15)->text(), "IT");
    // Other boxes keep what is typed.
    scrivi(11, "via Roma");
    EXPECT_EQ(box(11)->text(), "via Roma");
}

TEST_F(MaskBoxesTest, NumberAndYearCannotBeTypedWhileInserting)
{
    inserisci();
    const QString numero = box(0)->text();
    QTest::keyClick(box(0), '5');
    EXPECT_EQ(messages.last(), "ATTENZIONE !\n\nCampo non digitabile.");
    EXPECT_EQ(box(0)->text(), numero);
    messages.clear();
    QTest::keyClick(box(1), 'x');
    EXPECT_EQ(messages.last(), "ATTENZIONE !\n\nCampo non digitabile.");
}

TEST_F(MaskBoxesTest, TimeBoxFollowsItsTemplate)
{
    inserisci();
    box(24)->clear();
    entra(24);
    box(24)->setCursorPosition(0);
    QTest::keyClick(box(24), '1');
    EXPECT_EQ(box(24)->text(), "10:00:00");
    EXPECT_EQ(box(24)->cursorPosition(), 1);

    box(24)->clear();
    QTest::keyClick(box(24), '2');
    EXPECT_EQ(box(24)->text(), "20:00:00");
    QTest::keyClick(box(24), '7');
    EXPECT_EQ(box(24)->text(), "20:00:00") << "after a 2 the hours go up to 23";
    EXPECT_EQ(box(24)->cursorPosition(), 1);
    QTest::keyClicks(box(24), "31545");
    EXPECT_EQ(box(24)->text(), "23:15:45");
    QTest::keyClicks(box(24), "9a");
    EXPECT_EQ(box(24)->text(), "23:15:45") << "never past the template";
}

TEST_F(MaskBoxesTest, OfficeBoxesTakeNoTypingButKeepTheirArrows)
{
    inserisci();
    uffici(w, {"Protocollo"});
    box(16)->setText("Protocollo");
    entra(16);
    QTest::keyClicks(box(16), "xyz");
    EXPECT_EQ(box(16)->text(), "Protocollo");
    EXPECT_TRUE(control<QListWidget>(&w, "list_elenco")->isVisible()) << "a key opens the list";
    control<QListWidget>(&w, "list_elenco")->hide();
    box(16)->setFocus();
    box(16)->setCursorPosition(3);
    QTest::keyClick(box(16), Qt::Key_Left);
    EXPECT_EQ(box(16)->cursorPosition(), 2);
    EXPECT_FALSE(control<QListWidget>(&w, "list_elenco")->isVisible()) << "the arrows never open the list";
}

// --- checks on leaving -------------------------------------------------------------------

TEST_F(MaskBoxesTest, VatNumberAndTaxCodeAreCheckedOnLeaving)
{
    inserisci();
    scrivi(9, "12345678903");
    esci(10);
    EXPECT_EQ(box(9)->text(), "12345678903");
    EXPECT_TRUE(messages.shown().isEmpty());

    box(9)->clear();
    scrivi(9, "12345678901");
    esci(10);
    EXPECT_EQ(messages.last(), "Partita iva non valida !\n\n");
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Exclamation);
    EXPECT_TRUE(box(9)->text().isEmpty());

    messages.clear();
    scrivi(9, "RSSMRA80A01H501U");
    esci(10);
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(box(9)->text(), "RSSMRA80A01H501U");

    box(9)->clear();
    scrivi(9, "rssmra80a01h501x");
    esci(10);
    EXPECT_EQ(messages.last(), "Codice Fiscale errato !\n\n");
    EXPECT_TRUE(box(9)->text().isEmpty());

    // The first character as typed decides: a leading blank makes the text a tax code.
    messages.clear();
    box(9)->clear();
    scrivi(9, " 12345678903");
    esci(10);
    EXPECT_EQ(messages.texts(), QStringList {"Codice Fiscale errato !\n\n"});
    EXPECT_TRUE(box(9)->text().isEmpty());

    // Short garbage is no tax code; an empty box is left alone.
    messages.clear();
    scrivi(9, "ma");
    esci(10);
    EXPECT_EQ(messages.last(), "Codice Fiscale errato !\n\n");
    messages.clear();
    entra(9);
    esci(10);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(MaskBoxesTest, ABirthDateThatIsNoDateIsEmptiedSilently)
{
    inserisci();
    scrivi(10, "31/02/1980");
    esci(11);
    EXPECT_TRUE(box(10)->text().isEmpty());
    EXPECT_TRUE(messages.shown().isEmpty());
    scrivi(10, "29/02/1980");
    esci(11);
    EXPECT_EQ(box(10)->text(), "29/02/1980");
}

TEST_F(MaskBoxesTest, ADateTypedInEightCharactersIsWrittenOut)
{
    inserisci();
    scrivi(10, "03011980");
    esci(11);
    EXPECT_EQ(box(10)->text(), "03/01/1980");
    EXPECT_EQ(dati(w, "ado_mittenti")->Recordset()->value("Data_nascita").toDate(), QDate(1980, 1, 3));
    // The registration date, typed so and left, is judged as the date it is.
    box(2)->setFocus(Qt::MouseFocusReason);
    box(2)->clear();
    QTest::keyClicks(box(2), "03012026");
    esci(7);
    EXPECT_EQ(box(2)->text(), "03/01/2026");
    EXPECT_EQ(registro()->value("Data_quadernolo").toDate(), QDate(2026, 1, 3));
    EXPECT_EQ(box(1)->text(), "2026");
    box(2)->setFocus(Qt::MouseFocusReason);
    box(2)->clear();
    QTest::keyClicks(box(2), "03012020");
    esci(7);
    EXPECT_EQ(messages.texts(), QStringList {"Data inferiore all' ultima inserita !"});
    EXPECT_TRUE(box(2)->text().isEmpty());
}

TEST_F(MaskBoxesTest, AStreetWithoutNumberGetsSnc)
{
    inserisci();
    svuota(12);
    scrivi(11, "Via Roma");
    esci(12);
    esci(13);
    EXPECT_EQ(box(12)->text(), "snc");
    EXPECT_EQ(dati(w, "ado_mittenti")->Recordset()->value("Civico").toString(), "snc");
    EXPECT_EQ(box(11)->text(), "Via Roma") << "the street typed is kept";
    // No street: nothing written.
    svuota(11);
    svuota(12);
    esci(13);
    esci(14);
    EXPECT_TRUE(box(12)->text().isEmpty());
    // Leaving another box does not apply the rule.
    scrivi(11, "Via Po");
    esci(14);
    EXPECT_TRUE(box(12)->text().isEmpty());
}

TEST_F(MaskBoxesTest, ARegistrationDateBeforeTheLastIsRefused)
{
    inserisci();
    ASSERT_EQ(sessione(w).p_ultima_data(), QDate(2024, 3, 7)) << "the date of the last entry";
    box(2)->clear();
    QTest::keyClicks(box(2), "01/01/2024");
    EXPECT_EQ(messages.texts(), QStringList {"Data inferiore all' ultima inserita !"});
    EXPECT_EQ(messages.shown().last().icon, MsgIcon::Exclamation);
    EXPECT_TRUE(box(2)->text().isEmpty());
    EXPECT_TRUE(registro()->value("Data_quadernolo").isNull());

    // The same day, or later, is taken.
    messages.clear();
    QTest::keyClicks(box(2), "07/03/2024");
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(box(2)->text(), "07/03/2024");

    // A two-digit year is judged when the box is left, not half typed.
    box(2)->clear();
    QTest::keyClicks(box(2), "1/1/20");
    EXPECT_TRUE(messages.shown().isEmpty());
    box(2)->setFocus(Qt::MouseFocusReason);
    esci(7);
    EXPECT_EQ(messages.last(), "Data inferiore all' ultima inserita !");
    EXPECT_TRUE(box(2)->text().isEmpty());
}

TEST_F(MaskBoxesTest, TheYearFollowsTheDateWheneverABoxIsLeft)
{
    inserisci();
    ASSERT_TRUE(registro()->setValue("Data_quadernolo", QDate(2031, 1, 5)).ok());
    ASSERT_EQ(box(2)->text(), "05/01/2031");
    ASSERT_NE(box(1)->text(), "2031");
    scrivi(11, "Via Roma");
    esci(13);
    EXPECT_EQ(box(1)->text(), "2031");
    EXPECT_EQ(registro()->value("Anno").toInt(), 2031);
    EXPECT_EQ(box(11)->text(), "Via Roma");
}

TEST_F(MaskBoxesTest, WithOnlyOneRecordAnyDateIsTaken)
{
    inserisci();
    ASSERT_EQ(sessione(w).p_ultima_data(), QDate(2024, 3, 7)) << "the date of the last entry";
    ASSERT_TRUE(registro()->setFilter("Progressivo = 1").ok());
    ASSERT_EQ(schede(w)->conta_schede(), 1);
    box(2)->clear();
    QTest::keyClicks(box(2), "01/01/2020");
    EXPECT_EQ(box(2)->text(), "01/01/2020");
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(MaskBoxesTest, ARegisteredEntryIsNotChecked)
{
    // Shown read-only, a stored entry with a bad code and no house number stays as it is.
    box(9)->setText("x");
    box(12)->clear();
    entra(9);
    esci(12);
    esci(13);
    EXPECT_EQ(box(9)->text(), "x");
    EXPECT_TRUE(box(12)->text().isEmpty());
    EXPECT_TRUE(messages.shown().isEmpty());
}

// --- calendar ----------------------------------------------------------------------------

TEST_F(MaskBoxesTest, TheCalendarFillsTheDateAndTheYear)
{
    FixedClock clock(QDateTime(QDate(2026, 1, 20), QTime(9, 30)));
    Clock::install(&clock);
    inserisci();
    ASSERT_EQ(sessione(w).p_ultima_data(), QDate(2024, 3, 7)) << "the date of the last entry";
    box(2)->clear();
    box(1)->clear();
    entra(2);
    ASSERT_TRUE(control<QFrame>(&w, "Frame_calendar")->isVisible());
    EXPECT_EQ(control<QLabel>(&w, "lbl_data")->text(), "Data quadernolo");
    EXPECT_EQ(control<QCalendarWidget>(&w, "CalendarVB1")->selectedDate(), QDate(2026, 1, 20))
        << "an empty box opens on today";

    control<QCalendarWidget>(&w, "CalendarVB1")->setSelectedDate(QDate(2026, 1, 12));
    QTest::keyClick(control<QCalendarWidget>(&w, "CalendarVB1")->findChild<QWidget*>("qt_calendar_calendarview"),
                    Qt::Key_Return);
    EXPECT_FALSE(control<QFrame>(&w, "Frame_calendar")->isVisible());
    EXPECT_EQ(box(2)->text(), "12/01/2026");
    EXPECT_EQ(box(1)->text(), "2026");
    EXPECT_TRUE(box(3)->hasFocus());

    // A day before the last entry's is refused and takes the year away.
    entra(2);
    EXPECT_EQ(control<QCalendarWidget>(&w, "CalendarVB1")->selectedDate(), QDate(2026, 1, 12)) << "the box's date";
    control<QCalendarWidget>(&w, "CalendarVB1")->setSelectedDate(QDate(2023, 5, 1));
    QTest::keyClick(control<QCalendarWidget>(&w, "CalendarVB1")->findChild<QWidget*>("qt_calendar_calendarview"),
                    Qt::Key_Return);
    EXPECT_EQ(messages.last(), "Data inferiore all' ultima inserita !");
    EXPECT_TRUE(box(2)->text().isEmpty());
    EXPECT_TRUE(box(1)->text().isEmpty());

    // The reference date's calendar goes on to the subject.
    entra(6);
    EXPECT_EQ(control<QLabel>(&w, "lbl_data")->text(), "Data quad. rif.");
    control<QCalendarWidget>(&w, "CalendarVB1")->setSelectedDate(QDate(2025, 12, 1));
    QTest::keyClick(control<QCalendarWidget>(&w, "CalendarVB1")->findChild<QWidget*>("qt_calendar_calendarview"),
                    Qt::Key_Return);
    EXPECT_EQ(box(6)->text(), "01/12/2025");
    EXPECT_TRUE(box(7)->hasFocus());
    Clock::install(nullptr);
}

namespace {

/// True when the box's caret blinks: two pictures of it half a blink apart differ.
bool caretBlinks(QLineEdit* box)
{
    const int half = qMax(100, QApplication::cursorFlashTime() / 2);
    QImage before = box->grab().toImage();
    for (int i = 0; i < 3; ++i) {
        QTest::qWait(half + 20);
        const QImage now = box->grab().toImage();
        if (now != before)
            return true;
        before = now;
    }
    return false;
}

} // namespace

TEST_F(MaskBoxesTest, ANewEntryOpensTheCalendarAndOnlyTheFocusedBoxShowsACaret)
{
    inserisci();
    ASSERT_TRUE(control<QFrame>(&w, "Frame_calendar")->isVisible()) << "the date box is entered as the entry starts";
    EXPECT_EQ(control<QLabel>(&w, "lbl_data")->text(), "Data quadernolo");
    const auto inCalendario = [&] {
        QWidget* f = QApplication::focusWidget();
        return f
            && (f == control<QCalendarWidget>(&w, "CalendarVB1")
                || control<QCalendarWidget>(&w, "CalendarVB1")->isAncestorOf(f));
    };
    ASSERT_TRUE(QTest::qWaitFor(inCalendario));
    EXPECT_FALSE(caretBlinks(box(2)));

    // The "del" box gives its caret to the calendar too; a box with the focus keeps its own.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    entra(6);
    ASSERT_TRUE(control<QFrame>(&w, "Frame_calendar")->isVisible());
    ASSERT_TRUE(QTest::qWaitFor(inCalendario));
    EXPECT_FALSE(caretBlinks(box(6)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    entra(7);
    EXPECT_TRUE(caretBlinks(box(7)));
}

TEST_F(MaskBoxesTest, TheOfficeListTakesTheCaretFromItsBox)
{
    inserisci();
    uffici(w, {"A", "B"});
    box(16)->setText("B");
    entra(16);
    QTest::keyClick(box(16), Qt::Key_Down);
    ASSERT_TRUE(control<QListWidget>(&w, "list_elenco")->hasFocus());
    EXPECT_FALSE(caretBlinks(box(16)));
    // An empty box shows the list at once and keeps the focus, and its caret, for the keys.
    entra(7);
    box(17)->clear();
    entra(17);
    ASSERT_TRUE(control<QListWidget>(&w, "list_elenco")->isVisible());
    EXPECT_TRUE(box(17)->hasFocus());
    EXPECT_TRUE(caretBlinks(box(17)));
}

TEST_F(MaskBoxesTest, ClosingTheCalendarMovesOnOnlyWhileInserting)
{
    inserisci();
    control<QFrame>(&w, "Frame_new_ins")->show();
    entra(2);
    ASSERT_TRUE(control<QFrame>(&w, "Frame_calendar")->isVisible());
    QTest::keyClick(control<QCalendarWidget>(&w, "CalendarVB1")->findChild<QWidget*>("qt_calendar_calendarview"),
                    Qt::Key_Escape);
    EXPECT_FALSE(control<QFrame>(&w, "Frame_calendar")->isVisible());
    EXPECT_TRUE(box(3)->hasFocus());
}

TEST_F(MaskBoxesTest, ARegisteredEntryOpensNoCalendar)
{
    entra(2);
    EXPECT_FALSE(control<QFrame>(&w, "Frame_calendar")->isVisible());
}

// --- office list -------------------------------------------------------------------------

TEST_F(MaskBoxesTest, OfficesAreJoinedWithASlashAndNeverTwice)
{
    inserisci();
    uffici(w, {"A", "B", "Protocollo"});
    box(16)->clear();
    entra(16);
    ASSERT_TRUE(control<QListWidget>(&w, "list_elenco")->isVisible()) << "an empty office box offers its list";
    EXPECT_TRUE(box(16)->hasFocus());

    sceltaUfficio(w, 0);
    EXPECT_EQ(box(16)->text(), "A");
    EXPECT_TRUE(box(16)->hasFocus());
    EXPECT_TRUE(control<QListWidget>(&w, "list_elenco")->isVisible()) << "the list stays for a further pick";
    sceltaUfficio(w, 1);
    EXPECT_EQ(box(16)->text(), "A/B");
    EXPECT_EQ(box(16)->cursorPosition(), 3);
    EXPECT_EQ(registro()->value("Ufficio_competente").toString(), "A/B");

    sceltaUfficio(w, 0);
    EXPECT_EQ(messages.last(), "Già inserito !");
    EXPECT_EQ(box(16)->text(), "A/B");

    // A double click picks as Enter does, into the box that has the list.
    box(17)->clear();
    entra(17);
    const QRect item
        = control<QListWidget>(&w, "list_elenco")->visualItemRect(control<QListWidget>(&w, "list_elenco")->item(2));
    QTest::mouseClick(control<QListWidget>(&w, "list_elenco")->viewport(), Qt::LeftButton, {}, item.center());
    QTest::mouseDClick(control<QListWidget>(&w, "list_elenco")->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(box(17)->text(), "Protocollo");
    EXPECT_EQ(box(16)->text(), "A/B");

    // Another box hides the list.
    entra(7);
    EXPECT_FALSE(control<QListWidget>(&w, "list_elenco")->isVisible());
}

TEST_F(MaskBoxesTest, TheListSelectsTheBoxOffice)
{
    inserisci();
    uffici(w, {"A", "B"});
    box(16)->setText("B");
    entra(16);
    EXPECT_FALSE(control<QListWidget>(&w, "list_elenco")->isVisible()) << "a box with an office waits for a key";
    QTest::keyClick(box(16), Qt::Key_Down);
    ASSERT_TRUE(control<QListWidget>(&w, "list_elenco")->isVisible());
    EXPECT_EQ(control<QListWidget>(&w, "list_elenco")->currentRow(), 1);
    EXPECT_TRUE(control<QListWidget>(&w, "list_elenco")->hasFocus());
}

TEST_F(MaskBoxesTest, NoOfficesInTheSettings)
{
    inserisci();
    uffici(w, {});
    box(16)->clear();
    entra(16);
    EXPECT_EQ(messages.last(), "Nessuna voce in elenco.");
    EXPECT_FALSE(control<QListWidget>(&w, "list_elenco")->isVisible());
    messages.clear();
    entra(7);
    entra(16);
    EXPECT_EQ(messages.texts(), QStringList {"Nessuna voce in elenco."}) << "each time";

    // On a registered entry nothing is shown.
    messages.clear();
    for (int i : {16, 17})
        box(i)->setReadOnly(true);
    entra(7);
    entra(17);
    EXPECT_TRUE(messages.shown().isEmpty());
}

// --- document types ----------------------------------------------------------------------

TEST_F(MaskBoxesTest, ADocumentTypeBringsItsOffices)
{
    {
        DbResult err;
        auto settings = Connection::shared(program.file("Quad_imposta.mdb"), QByteArray(), &err);
        ASSERT_TRUE(settings) << err.message.toStdString();
        ASSERT_TRUE(
            settings
                ->exec("INSERT INTO tipo_doc_entrata VALUES (?, ?, ?)", {"Atto dell'ente", "Segreteria", "Ragioneria"})
                .ok());
    }
    inserisci();
    entra(3);
    QTest::keyClick(box(3), Qt::Key_Down);
    ASSERT_TRUE(control<QListWidget>(&w, "list_view")->isVisible());
    EXPECT_EQ(control<QListWidget>(&w, "list_view")->currentRow(), 0);
    EXPECT_TRUE(control<QListWidget>(&w, "list_view")->hasFocus());
    const QList<QListWidgetItem*> found
        = control<QListWidget>(&w, "list_view")->findItems("Atto dell'ente", Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    control<QListWidget>(&w, "list_view")->setCurrentItem(found.first());
    QTest::keyClick(control<QListWidget>(&w, "list_view"), Qt::Key_Return);
    EXPECT_EQ(box(3)->text(), "Atto dell'ente");
    EXPECT_EQ(box(16)->text(), "Segreteria");
    EXPECT_EQ(box(17)->text(), "Ragioneria");
    EXPECT_FALSE(control<QListWidget>(&w, "list_view")->isVisible());
    EXPECT_TRUE(box(4)->hasFocus());

    // Escape leaves the list without a pick.
    entra(3);
    QTest::keyClick(box(3), Qt::Key_Down);
    QTest::keyClick(control<QListWidget>(&w, "list_view"), Qt::Key_Escape);
    EXPECT_FALSE(control<QListWidget>(&w, "list_view")->isVisible());
    EXPECT_TRUE(box(3)->hasFocus());
    EXPECT_EQ(box(3)->text(), "Atto dell'ente");
}

// --- focus -------------------------------------------------------------------------------

TEST_F(MaskBoxesTest, TheLastBoxUsedIsKeptForTheFilter)
{
    EXPECT_EQ(regole(w)->ctrl_filtro(), nullptr);
    entra(7);
    EXPECT_EQ(regole(w)->ctrl_filtro(), box(7));
    shown(w, "Picture4")->show();
    entra(13);
    EXPECT_EQ(regole(w)->ctrl_filtro(), box(13));
    EXPECT_FALSE(shown(w, "Picture4")->isVisible()) << "a box's focus hides the pop-ups";
}

TEST_F(MaskBoxesTest, ABoxClickedWhileTheWindowIsNotActiveIsTheOneFiltered)
{
    QWidget altra;
    altra.show();
    altra.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&altra));
    // The click gives the box the focus only when it brings the window back.
    QTest::mouseClick(box(13), Qt::LeftButton);
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QAction* filtro = findAction(&w, "tb_filtro_off");
    QTest::mouseClick(control<QToolBar>(&w, "Toolbar2")->widgetForAction(filtro), Qt::LeftButton);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(filtro->text(), "Filtro off");
    EXPECT_TRUE(registro()->filterText().contains("Citta")) << registro()->filterText().toStdString();

    // The window coming back to the box it left is not a new arrival: the box is not left either.
    inserisci();
    uffici(w, {});
    messages.clear();
    entra(16);
    ASSERT_EQ(messages.texts(), QStringList {"Nessuna voce in elenco."});
    altra.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&altra));
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(messages.texts(), QStringList {"Nessuna voce in elenco."});
}

TEST_F(MaskBoxesTest, AClickOnTheMaskHidesThePopups)
{
    shown(w, "Picture1")->show();
    shown(w, "Picture4")->show();
    QTest::mouseClick(mask(w), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_FALSE(shown(w, "Picture1")->isVisible());
    EXPECT_FALSE(shown(w, "Picture4")->isVisible());

    // A click on the print pop-up itself, or on a tool bar beside its buttons, does the same.
    for (QWidget* where : {shown(w, "Picture1"), static_cast<QWidget*>(control<QToolBar>(&w, "Toolbar1")),
                           static_cast<QWidget*>(control<QToolBar>(&w, "Toolbar2"))}) {
        shown(w, "Picture1")->show();
        shown(w, "Picture4")->show();
        ASSERT_TRUE(where->isVisible()) << where->objectName().toStdString();
        QTest::mouseClick(where, Qt::LeftButton, {}, QPoint(where->width() - 2, where->height() / 2));
        EXPECT_FALSE(shown(w, "Picture1")->isVisible()) << where->objectName().toStdString();
        EXPECT_FALSE(shown(w, "Picture4")->isVisible()) << where->objectName().toStdString();
    }
}

namespace {

class EmptyMaskTest : public MaskRulesTest
{
protected:
    int entries() const override { return 0; }
};

} // namespace

TEST_F(EmptyMaskTest, AnEmptyRegisterKeepsNoBoxFocusedAndOpensNothing)
{
    ModalScript none;
    entra(7);
    EXPECT_TRUE(control<QPushButton>(&w, "cmd_focus")->hasFocus());
    QTest::keyClick(box(7), 'a');
    QTest::keyClick(box(7), Qt::Key_F12);
    entra(16);
    EXPECT_FALSE(control<QListWidget>(&w, "list_elenco")->isVisible());
    EXPECT_TRUE(messages.shown().isEmpty());
}
