// The older find dialog, driven directly over a caller's register.
#include "fake_caller.h"
#include "gui_helpers.h"
#include "ricerca.h"
#include "scripted_messages.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace quad;
using namespace quad::test;

namespace {

struct OlderFind
{
    explicit OlderFind(const QString& marker)
        : caller(marker)
        , dialog(caller, &owner)
    {
        dialog.Form_Load();
    }
    void look(const QString& field, const QString& value)
    {
        control<QComboBox>(&dialog, "Combo1")->setCurrentText(field);
        control<QLineEdit>(&dialog, "Text1")->setText(value);
    }
    QWidget owner;
    FakeCaller caller;
    Ricerca dialog;
    ScriptedMessages messages;
};

QStringList items(const QComboBox* combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

} // namespace

TEST(OlderFind, TheFieldListDependsOnTheCaller)
{
    OlderFind main("Quadernolo");
    EXPECT_EQ(main.dialog.windowTitle(), "Quadernolo - Sessione di ricerca");
    EXPECT_EQ(items(control<QComboBox>(&main.dialog, "Combo1")).size(), 7);
    EXPECT_EQ(control<QComboBox>(&main.dialog, "Combo1")->currentText(), "Progressivo");
    EXPECT_EQ(test::announcedName(control<QLineEdit>(&main.dialog, "Text1")), "Da ricercare");
    OlderFind folder("Form_tree");
    EXPECT_EQ(items(control<QComboBox>(&folder.dialog, "Combo1")).join(","),
              "Progressivo,Tipo,Data_quadernolo,Oggetto,Annullato");
}

TEST(OlderFind, FirstAlwaysStartsFromTheTopAndNextMovesOn)
{
    OlderFind f("Quadernolo");
    f.caller.rs->moveLast();
    f.look("Oggetto", "nota");
    click(&f.dialog, "Command1");
    EXPECT_EQ(f.caller.current(), 2);
    click(&f.dialog, "Command1");
    EXPECT_EQ(f.caller.current(), 2) << "the same row again";
    click(&f.dialog, "Command3");
    EXPECT_EQ(f.caller.current(), 4);
    EXPECT_TRUE(f.messages.shown().isEmpty());
    EXPECT_TRUE(f.caller.calls.contains("found"));

    // Past the last match the row stays and the search says it is over.
    f.caller.rs->setBookmark(f.caller.rs->bookmarkAt(11 - 1)); // entry 11
    f.look("Oggetto", "altro");
    click(&f.dialog, "Command3");
    EXPECT_EQ(f.caller.current(), 11);
    EXPECT_EQ(f.messages.last(), "Fine ricerca !");
    EXPECT_EQ(f.messages.shown().last().icon, MsgIcon::None);
    f.caller.rs->moveLast();
    f.messages.clear();
    click(&f.dialog, "Command3");
    EXPECT_EQ(f.messages.texts(), QStringList({"Sono alla fine del file !"}));
    EXPECT_EQ(f.caller.current(), 12);
}

TEST(OlderFind, NoMatchRestoresTheRowAndNumbersAndDatesFitTheirFields)
{
    OlderFind f("Quadernolo");
    f.caller.rs->setAbsolutePosition(5);
    f.look("Oggetto", "zzz");
    click(&f.dialog, "Command1");
    EXPECT_EQ(f.messages.texts(), QStringList({"Fine ricerca !"}));
    EXPECT_EQ(f.caller.current(), 5);

    f.messages.clear();
    f.look("Progressivo", " 9 ");
    click(&f.dialog, "Command1");
    EXPECT_EQ(f.caller.current(), 9);
    f.look("Data_quadernolo", "10/03/2004");
    click(&f.dialog, "Command1");
    EXPECT_EQ(f.caller.current(), 3);
    f.look("Oggetto", "l'ente");
    click(&f.dialog, "Command1");
    EXPECT_EQ(f.caller.current(), 7);
    EXPECT_TRUE(f.messages.shown().isEmpty()) << f.messages.last().toStdString();

    // A value that is no date on a date field is refused with a message; the row stays.
    f.look("Data_quadernolo", "31/02/2004");
    click(&f.dialog, "Command1");
    EXPECT_EQ(f.caller.current(), 7);
    ASSERT_EQ(f.messages.shown().size(), 1);
    EXPECT_EQ(f.messages.shown().first().icon, MsgIcon::Exclamation);
    // A blank value searches nothing.
    f.messages.clear();
    f.look("Oggetto", "   ");
    click(&f.dialog, "Command1");
    click(&f.dialog, "Command3");
    EXPECT_TRUE(f.messages.shown().isEmpty());
    EXPECT_EQ(f.caller.current(), 7);
}

TEST(OlderFind, NextFollowsTheFilteredAndSortedView)
{
    OlderFind f("Quadernolo");
    // Newest first, and only the outgoing entries: the next "nota" after 10 is 8, not 12.
    ASSERT_TRUE(f.caller.rs->setSort("Progressivo DESC").ok());
    ASSERT_TRUE(f.caller.rs->setFilter("Tipo = 'U'").ok());
    f.look("Oggetto", "nota");
    click(&f.dialog, "Command1");
    EXPECT_EQ(f.caller.current(), 12);
    click(&f.dialog, "Command3");
    EXPECT_EQ(f.caller.current(), 10);
    click(&f.dialog, "Command3");
    EXPECT_EQ(f.caller.current(), 8);
    EXPECT_TRUE(f.messages.shown().isEmpty());
}

TEST(OlderFind, TypedKeysDoNotChangeThePickedField)
{
    OlderFind f("Quadernolo");
    f.dialog.show();
    control<QComboBox>(&f.dialog, "Combo1")->setCurrentIndex(3);
    control<QLineEdit>(&f.dialog, "Text1")->setText("abc");
    QFocusEvent focus(QEvent::FocusIn);
    QApplication::sendEvent(control<QComboBox>(&f.dialog, "Combo1"), &focus);
    QTest::keyClicks(control<QComboBox>(&f.dialog, "Combo1"), "P");
    EXPECT_EQ(control<QComboBox>(&f.dialog, "Combo1")->currentText(), "Oggetto");
    EXPECT_TRUE(control<QLineEdit>(&f.dialog, "Text1")->text().isEmpty()) << "choosing a field clears the value";
}
