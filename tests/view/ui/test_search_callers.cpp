// The search dialog over the folder window's side of the hand-over, its calendar and its
// bookmark property, driven directly.
#include "fake_caller.h"
#include "frm_search.h"
#include "gui_helpers.h"
#include "scripted_messages.h"

#include "advanced_criteria.h"
#include "clock.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace quad;
using namespace quad::test;

namespace {

struct FolderSearch
{
    FolderSearch()
        : dialog(caller, &owner)
    {
        dialog.Label3->setText(caller.nome_chiamante());
        dialog.InitSearch();
    }
    QWidget owner;
    FakeCaller caller {"Form_tree"};
    frmSearch dialog;
    ScriptedMessages messages;
};

} // namespace

TEST(SearchCallers, TheFolderWindowsFieldsLeaveOutEverySysField)
{
    FolderSearch f;
    QStringList fields;
    for (int i = 0; i < f.dialog.cmbFields->count(); ++i)
        fields << f.dialog.cmbFields->itemText(i);
    EXPECT_EQ(fields.join(","), "Progressivo,Tipo,Data_quadernolo,Oggetto,Annullato");
    EXPECT_EQ(f.dialog.cmbFields->currentIndex(), 0);
}

TEST(SearchCallers, TheFolderWindowGetsItsOwnOutcomes)
{
    FolderSearch f;
    click(&f.dialog, "cmd_avanzate");
    f.dialog.BuildFilterFromString(" e \tOggetto\tlike\tnota");
    click(&f.dialog, "cmdExecAdvSearch");
    EXPECT_EQ(f.caller.rs->recordCount(), 6);
    EXPECT_EQ(f.caller.current(), 2) << "the first row of the filtered register";
    EXPECT_EQ(f.caller.calls, QStringList({"pressed", "total", "found"}));
    EXPECT_TRUE(f.messages.shown().isEmpty());

    f.caller.calls.clear();
    f.dialog.PrepareADVSearch();
    f.dialog.BuildFilterFromString(" e \tOggetto\t=\tnessuno");
    click(&f.dialog, "cmdExecAdvSearch");
    ASSERT_EQ(f.messages.shown().size(), 1);
    EXPECT_EQ(f.messages.shown().first().title, "frm_tree");
    EXPECT_EQ(f.caller.calls, QStringList({"reread", "relaid", "total", "released"}));
    EXPECT_FALSE(f.caller.rs->hasFilter());
    EXPECT_EQ(f.dialog.adodcAdvSearch->text(), "[Record non trovato]");
}

TEST(SearchCallers, TheCalendarFillsTheDateBoxesOfTheDatesPanelOnly)
{
    FixedClock clock(QDateTime(QDate(2024, 6, 15), QTime(10, 0)));
    Clock::install(&clock);
    FolderSearch f;
    f.dialog.show();
    click(&f.dialog, "cmd_avanzate");
    click(&f.dialog, "cmd_imp_search_1");
    QFocusEvent focus(QEvent::FocusIn);
    QApplication::sendEvent(f.dialog.txt_data_1, &focus);
    EXPECT_FALSE(f.dialog.Frame_calendar->isVisible()) << "no calendar for register numbers";

    click(&f.dialog, "cmd_imp_search_0");
    QApplication::sendEvent(f.dialog.txt_data_1, &focus);
    EXPECT_TRUE(f.dialog.Frame_calendar->isVisible());
    EXPECT_EQ(f.dialog.lbl_data->text(), "Dalla data");
    EXPECT_EQ(f.dialog.CalendarVB1->selectedDate(), QDate(2024, 6, 15)) << "today for an empty box";
    f.dialog.CalendarVB1->setSelectedDate(QDate(2024, 1, 2));
    f.dialog.CalendarVB1_DateDblClick();
    EXPECT_EQ(f.dialog.txt_data_1->text(), "02/01/2024");
    EXPECT_EQ(f.dialog.lbl_data->text(), "Alla data");
    f.dialog.CalendarVB1->setSelectedDate(QDate(2024, 2, 3));
    f.dialog.CalendarVB1_DateDblClick();
    EXPECT_EQ(f.dialog.txt_data_2->text(), "03/02/2024");
    EXPECT_FALSE(f.dialog.Frame_calendar->isVisible());
    Clock::install(nullptr);
}

TEST(SearchCallers, BookmarkPropertyAndCallerProperty)
{
    FolderSearch f;
    f.dialog.txtFieldValue->setText("x");
    f.dialog.setCurrentBookMark(3);
    EXPECT_TRUE(f.dialog.cmdFindNext->isEnabled());
    EXPECT_TRUE(f.dialog.cmdFindNext->isDefault());
    EXPECT_FALSE(f.dialog.cmdFindFirst->isDefault());
    f.dialog.setCurrentBookMark(0);
    EXPECT_FALSE(f.dialog.cmdFindNext->isEnabled());
    EXPECT_TRUE(f.dialog.cmdFindFirst->isDefault());
    EXPECT_EQ(f.dialog.CurrentBookMark().toInt(), 0);
    f.dialog.setCurrentDb("arch.mdb");
    EXPECT_EQ(f.dialog.CurrentDb(), "arch.mdb");

    QWidget form;
    f.dialog.setCaller(&form);
    EXPECT_EQ(f.dialog.Caller(), &form);
    EXPECT_EQ(f.dialog.cmbFields->count(), 0);
    EXPECT_EQ(f.dialog.cmbSearchDirection->currentText(), "Tutto");
}
