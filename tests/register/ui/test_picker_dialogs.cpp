#include "calendar_popup.h"
#include "clock.h"
#include "database.h"
#include "gui_helpers.h"
#include "pickers.h"
#include "temp_program.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace quad;
using quad::test::control;

// --- office list -------------------------------------------------------------------------

TEST(OfficePick, OfficesAreJoinedWithASlashAndNeverTwice)
{
    OfficePick first = aggiungi_ufficio(QString(), "Protocollo");
    EXPECT_TRUE(first.accepted);
    EXPECT_EQ(first.text, "Protocollo");
    OfficePick second = aggiungi_ufficio(first.text, "Ragioneria");
    EXPECT_TRUE(second.accepted);
    EXPECT_EQ(second.text, "Protocollo/Ragioneria");
    for (const char* office : {"Protocollo", "Ragioneria"}) {
        OfficePick again = aggiungi_ufficio(second.text, office);
        EXPECT_FALSE(again.accepted) << office;
        EXPECT_EQ(again.text, "Protocollo/Ragioneria");
        EXPECT_EQ(again.message, "Già inserito !");
    }
    OfficePick third = aggiungi_ufficio("A/B", "C");
    EXPECT_EQ(third.text, "A/B/C");
    EXPECT_FALSE(aggiungi_ufficio(third.text, "B").accepted);
    // A blank box counts as empty; case counts in the check.
    EXPECT_EQ(aggiungi_ufficio("   ", "Tecnico").text, "Tecnico");
    EXPECT_TRUE(aggiungi_ufficio("Tecnico", "tecnico").accepted);
}

TEST(OfficePick, AnOfficeNamedInsideAnotherIsStillOffered)
{
    EXPECT_EQ(aggiungi_ufficio("Ragioneria generale", "Ragioneria").text, "Ragioneria generale/Ragioneria");
    EXPECT_EQ(aggiungi_ufficio("Ragioneria", "Ragioneria generale").text, "Ragioneria/Ragioneria generale");
    EXPECT_TRUE(aggiungi_ufficio("Ufficio A/B", "A").accepted);
}

TEST(OfficePick, ListOpeningAndSelection)
{
    EXPECT_EQ(rifiuto_lista_uffici({}), "Nessuna voce in elenco.");
    EXPECT_EQ(rifiuto_lista_uffici(elenco_uffici("")), "Nessuna voce in elenco.");
    EXPECT_EQ(rifiuto_lista_uffici(elenco_uffici(" ; ")), "Nessuna voce in elenco.");
    const QStringList offices = elenco_uffici("Protocollo;Ragioneria;;Tecnico;Ragioneria");
    EXPECT_EQ(offices, QStringList({"Protocollo", "Ragioneria", "Tecnico", "Ragioneria"}));
    EXPECT_EQ(rifiuto_lista_uffici(offices), "");
    EXPECT_EQ(selezione_lista_uffici(offices, "Tecnico"), 2);
    EXPECT_EQ(selezione_lista_uffici(offices, "Ragioneria"), 3) << "the last equal item stays selected";
    EXPECT_EQ(selezione_lista_uffici(offices, "Protocollo/Tecnico"), -1);
    EXPECT_EQ(selezione_lista_uffici(offices, "tecnico"), -1);
    EXPECT_EQ(selezione_lista_uffici(offices, ""), -1);
}

// --- document types ----------------------------------------------------------------------

TEST(DocumentTypePick, OfficesComeFromTheSettingsDatabaseWithBoundValues)
{
    test::TempProgram program(false);
    DbResult error;
    auto db = Connection::open(program.file("Quad_imposta.mdb"), QByteArray(), &error);
    ASSERT_TRUE(db) << error.message.toStdString();
    ASSERT_TRUE(db->exec("DELETE FROM tipo_doc_entrata").ok());
    ASSERT_TRUE(db->exec("INSERT INTO tipo_doc_entrata VALUES (?, ?, ?), (?, ?, ?), (?, ?, ?)",
                         {"Lettera", "Protocollo", QVariant(), "Atto dell'ente", "Segreteria", "Ragioneria",
                          "Fattura 10%", "Ragioneria", "Tecnico"})
                    .ok());

    EXPECT_EQ(elenco_tipi_documento(*db), QStringList({"Lettera", "Atto dell'ente", "Fattura 10%"}));

    auto lettera = uffici_tipo_documento(*db, "LETTERA", &error);
    ASSERT_TRUE(lettera.has_value());
    EXPECT_EQ(lettera->ufficio_competente, "Protocollo");
    EXPECT_EQ(lettera->ufficio_conoscenza, "") << "Null reads as empty";

    auto atto = uffici_tipo_documento(*db, "Atto dell'ente", &error);
    ASSERT_TRUE(atto.has_value()) << error.message.toStdString();
    EXPECT_EQ(atto->ufficio_conoscenza, "Ragioneria");

    // Wildcards typed in a description match only themselves.
    EXPECT_FALSE(uffici_tipo_documento(*db, "Lett%", &error).has_value());
    EXPECT_TRUE(error.ok());
    EXPECT_FALSE(uffici_tipo_documento(*db, "Letter_", &error).has_value());
    EXPECT_TRUE(uffici_tipo_documento(*db, "Fattura 10%", &error).has_value());
    EXPECT_FALSE(uffici_tipo_documento(*db, "x' OR 1=1 --", &error).has_value());
    EXPECT_TRUE(error.ok());
}

// --- calendar ----------------------------------------------------------------------------

namespace {

struct CalendarHost
{
    CalendarHost()
        : popup(&mask)
    {
        box = new QLineEdit(&mask);
        box->setObjectName("txt_mask1_2");
        box->setGeometry(120, 80, 100, 22);
        mask.resize(600, 500);
        mask.show();
    }
    QWidget mask;
    QLineEdit* box;
    CalendarPopup popup;
};

} // namespace

TEST(CalendarPicker, LooksAsDesignedAndStartsHidden)
{
    CalendarHost host;
    EXPECT_EQ(host.popup.objectName(), "Frame_calendar");
    EXPECT_FALSE(host.popup.isVisible());
    EXPECT_NE(host.popup.findChild<QCalendarWidget*>("CalendarVB1"), nullptr);
    EXPECT_EQ(host.popup.findChild<QLabel*>("Label5")->text(), "Doppio click per assegnare la data");
}

TEST(CalendarPicker, OpensOnTodayOrOnTheBoxDate)
{
    FixedClock clock(QDateTime(QDate(2026, 1, 20), QTime(9, 30)));
    Clock::install(&clock);
    EXPECT_EQ(CalendarPopup::dataIniziale(""), QDate(2026, 1, 20));
    EXPECT_EQ(CalendarPopup::dataIniziale("   "), QDate(2026, 1, 20));
    EXPECT_EQ(CalendarPopup::dataIniziale("15/03/2025"), QDate(2025, 3, 15));
    EXPECT_EQ(CalendarPopup::dataIniziale("31/02/2025"), QDate(2026, 1, 20));

    CalendarHost host;
    host.box->setText("15/03/2025");
    host.popup.apri(host.box, CalendarPopup::captionDataQuadernolo(), host.box->text());
    EXPECT_TRUE(host.popup.isVisible());
    EXPECT_EQ(control<QLabel>(&host.popup, "lbl_data")->text(), "Data quadernolo");
    EXPECT_EQ(host.popup.data(), QDate(2025, 3, 15));
    EXPECT_EQ(control<QCalendarWidget>(&host.popup, "CalendarVB1")->monthShown(), 3);
    // Over the box, a little above it.
    EXPECT_EQ(host.popup.x(), host.box->x());
    EXPECT_LT(host.popup.y(), host.box->y());
    Clock::install(nullptr);
}

TEST(CalendarPicker, EnterOnADayPicksItAndEscapeClosesWithoutAPick)
{
    CalendarHost host;
    host.popup.apri(host.box, CalendarPopup::captionDataQuadRif(), "10/04/2024");
    EXPECT_EQ(control<QLabel>(&host.popup, "lbl_data")->text(), "Data quad. rif.");
    QSignalSpy picked(&host.popup, &CalendarPopup::datePicked);
    QSignalSpy closed(&host.popup, &CalendarPopup::closedWithoutPick);

    QWidget* view
        = control<QCalendarWidget>(&host.popup, "CalendarVB1")->findChild<QWidget*>("qt_calendar_calendarview");
    ASSERT_NE(view, nullptr);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_EQ(picked.size(), 1);
    EXPECT_EQ(picked.at(0).at(0).toDate(), QDate(2024, 4, 11));
    EXPECT_FALSE(host.popup.isVisible());
    EXPECT_EQ(closed.size(), 0);

    host.popup.apri(host.box, CalendarPopup::captionDataQuadRif(), "");
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_EQ(closed.size(), 1);
    EXPECT_EQ(picked.size(), 1);
    EXPECT_FALSE(host.popup.isVisible());
    EXPECT_EQ(control<QLabel>(&host.popup, "lbl_data")->text(), "Data quad. rif.") << "the caption stays while hidden";
}
