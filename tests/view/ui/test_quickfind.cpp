#include "frmquickfind1.h"
#include "recordset.h"
#include "scripted_messages.h"
#include "temp_program.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui_helpers.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace quad;
using quad::test::control;

namespace {

/// Acts on the modal dialog called name once it shows, through the shared ModalScript.
class ModalAction
{
public:
    ModalAction(const QString& name, std::function<void(QWidget*)> act)
    {
        m_script.then(name, [act](QDialog* dialog) { act(dialog); });
    }
    bool done() const { return m_script.done(); }

private:
    test::ModalScript m_script;
};

/// A register of five entries; the subjects beginning with "a" are rows 1, 3 and 5.
std::shared_ptr<Recordset> registro()
{
    auto rs = std::make_shared<Recordset>();
    rs->appendField("Progressivo", adInteger);
    rs->appendField("Oggetto", adVarWChar);
    rs->appendField("Data_quadernolo", adDate);
    rs->appendField("Annullato", adBoolean);
    rs->openInMemory();
    const QStringList subjects {"Alfa", "Beta", "alfa bis", "Gamma dell'ente", "Alfabeto"};
    for (int i = 0; i < subjects.size(); ++i) {
        rs->addNew();
        EXPECT_TRUE(rs->setValue("Progressivo", i + 1).ok());
        EXPECT_TRUE(rs->setValue("Oggetto", subjects.at(i)).ok());
        EXPECT_TRUE(rs->setValue("Data_quadernolo", QDate(2025, 3, 10 + i)).ok());
        EXPECT_TRUE(rs->setValue("Annullato", i == 3).ok());
    }
    rs->moveFirst();
    return rs;
}

int current(const Recordset& rs)
{
    return rs.eof() || rs.bof() ? -1 : rs.value("Progressivo").toInt();
}

/// A quick find as a caller opens it, not shown modally, to be driven directly.
struct Finder
{
    Finder(std::shared_ptr<Recordset> recordset, const QString& campo, const QString& text)
        : rs(std::move(recordset))
        , dialog(rs, campo, &owner)
    {
        control<QLabel>(&dialog, "lbl_form")->setText("Quadernolo");
        control<QLineEdit>(&dialog, "txtQuickFind")->setText(text);
    }
    /// Presses "Cerca" and returns the entry now current.
    int cerca()
    {
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdOK"), Qt::LeftButton);
        return current(*rs);
    }
    QWidget owner;
    std::shared_ptr<Recordset> rs;
    frmquickfind1 dialog;
};

} // namespace

TEST(QuickFind, OpensOnlyForPrintableTextOnAFieldOfANonEmptyRegister)
{
    test::ScriptedMessages messages;
    QWidget owner;
    auto rs = registro();
    auto empty = std::make_shared<Recordset>();
    empty->appendField("Oggetto", adVarWChar);
    empty->openInMemory();
    bool opened = false;
    ModalAction watch("frmquickfind1", [&](QWidget* d) {
        opened = true;
        d->close();
    });
    EXPECT_FALSE(apri_ricerca_rapida(&owner, empty, "Oggetto", "a"));
    EXPECT_FALSE(apri_ricerca_rapida(&owner, nullptr, "Oggetto", "a"));
    EXPECT_FALSE(apri_ricerca_rapida(&owner, rs, "", "a")) << "a box without a field";
    EXPECT_FALSE(apri_ricerca_rapida(&owner, rs, "Nominativo", "a"));
    EXPECT_FALSE(apri_ricerca_rapida(&owner, rs, "Oggetto", ""));
    EXPECT_FALSE(apri_ricerca_rapida(&owner, rs, "Oggetto", QString(QChar(27))));
    EXPECT_FALSE(apri_ricerca_rapida(&owner, rs, "Oggetto", QString(QChar(8))));
    EXPECT_FALSE(opened);
    EXPECT_EQ(current(*rs), 1);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(QuickFind, OpenedFromABoxCyclesThroughTheMatchesAndWraps)
{
    test::ScriptedMessages messages;
    QWidget owner;
    auto rs = registro();
    rs->moveNext(); // on entry 2
    QList<int> rows;
    int searches = 0;
    ModalAction act("frmquickfind1", [&](QWidget* w) {
        auto* d = static_cast<frmquickfind1*>(w);
        EXPECT_EQ(d->windowTitle(), "Campo : Oggetto");
        EXPECT_EQ(test::announcedName(control<QLineEdit>(d, "txtQuickFind")), "Campo : Oggetto");
        EXPECT_EQ(d->parentWidget(), &owner);
        EXPECT_EQ(control<QLabel>(d, "lbl_form")->text(), "Quadernolo");
        EXPECT_EQ(d->p_chiamante(), "7");
        EXPECT_EQ(control<QLineEdit>(d, "txtQuickFind")->text(), "a");
        EXPECT_EQ(control<QLineEdit>(d, "txtQuickFind")->cursorPosition(), 1);
        EXPECT_EQ(control<QCheckBox>(d, "chk_parte")->text(), "Parte del campo");
        EXPECT_EQ(control<QCheckBox>(d, "chk_modo")->text(), "Campo intero");
        EXPECT_EQ(control<QPushButton>(d, "cmd_esci")->text(), "Esci");
        for (int i = 0; i < 4; ++i) {
            // Enter in the box runs "Cerca".
            QTest::keyClick(control<QLineEdit>(d, "txtQuickFind"), Qt::Key_Return);
            rows << current(*rs);
        }
        QTest::mouseClick(control<QPushButton>(d, "cmd_esci"), Qt::LeftButton);
    });
    EXPECT_TRUE(apri_ricerca_rapida(&owner, rs, "Oggetto", "a", "7", [&] { ++searches; }));
    EXPECT_TRUE(act.done());
    EXPECT_EQ(rows, QList<int>({3, 5, 1, 3}));
    EXPECT_EQ(searches, 4);
    EXPECT_EQ(current(*rs), 3) << "closing keeps the row found";
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(QuickFind, NoMatchSaysSoAndGoesToTheFirstRow)
{
    test::ScriptedMessages messages;
    auto rs = registro();
    rs->moveLast();
    Finder f(rs, "Oggetto", "zeta");
    EXPECT_EQ(f.cerca(), 1);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text, "Non trovato !");
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::Ok);
}

TEST(QuickFind, MatchOnlyAboveTheCurrentRowIsFoundByTheWrap)
{
    test::ScriptedMessages messages;
    auto rs = registro();
    rs->moveLast();
    Finder f(rs, "Oggetto", "beta");
    EXPECT_EQ(f.cerca(), 2);
    EXPECT_EQ(f.cerca(), 2) << "the only match is found again";
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(QuickFind, WildcardsAndPartOfTheField)
{
    test::ScriptedMessages messages;
    auto rs = registro();
    Finder f(rs, "Oggetto", "*bis");
    EXPECT_EQ(f.cerca(), 3);
    EXPECT_EQ(control<QLineEdit>(&f.dialog, "txtQuickFind")->text(), "%bis") << "a typed * is written back as %";

    control<QLineEdit>(&f.dialog, "txtQuickFind")->setText("bet");
    control<QCheckBox>(&f.dialog, "chk_parte")->setChecked(true);
    EXPECT_EQ(f.cerca(), 5) << "Alfabeto holds bet";
    control<QLineEdit>(&f.dialog, "txtQuickFind")->setText("dell'ente");
    EXPECT_EQ(f.cerca(), 4);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(QuickFind, PartOfTheFieldOnANumberSearchesTheNumber)
{
    test::ScriptedMessages messages;
    auto rs = registro();
    Finder f(rs, "Progressivo", "4");
    control<QCheckBox>(&f.dialog, "chk_parte")->setChecked(true);
    EXPECT_EQ(f.cerca(), 4);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(QuickFind, DatesAndYesNo)
{
    test::ScriptedMessages messages;
    auto rs = registro();
    Finder dates(rs, "Data_quadernolo", "12/3/2025");
    EXPECT_EQ(dates.cerca(), 3);
    Finder flags(rs, "Annullato", "Vero");
    EXPECT_EQ(flags.cerca(), 4);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(QuickFind, AValueThatDoesNotFitTheFieldIsReportedAndTheRowKept)
{
    test::ScriptedMessages messages;
    auto rs = registro();
    rs->moveNext();
    rs->moveNext();
    int searches = 0;
    for (auto [campo, text] : {std::pair<const char*, const char*> {"Data_quadernolo", "31/02/2025"},
                               {"Progressivo", "abc"},
                               {"Annullato", "forse"}}) {
        Finder f(rs, campo, text);
        QObject::connect(&f.dialog, &frmquickfind1::ricerca_eseguita, [&] { ++searches; });
        messages.clear();
        EXPECT_EQ(f.cerca(), 3) << campo;
        ASSERT_EQ(messages.shown().size(), 1) << campo;
        EXPECT_TRUE(messages.last().contains(campo));
        EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Exclamation);
    }
    EXPECT_EQ(searches, 3) << "the caller refreshes after a refused search too";
}

TEST(QuickFind, SearchRunsOnlyForTheMainWindowMark)
{
    test::ScriptedMessages messages;
    auto rs = registro();
    Finder f(rs, "Oggetto", "Gamma");
    control<QLabel>(&f.dialog, "lbl_form")->setText("Label1");
    EXPECT_EQ(f.cerca(), 1);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST(QuickFind, QualifiedFieldOfTheJoinedRegister)
{
    test::ScriptedMessages messages;
    test::TempProgram program;
    DbResult error;
    auto db = Connection::open(program.archive(), test::kPassword, &error);
    ASSERT_TRUE(db) << error.message.toStdString();
    ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (1, 'E', 'a'), (2, 'U', 'b'), "
                         "(3, 'E', 'c'), (4, 'U', 'd')")
                    .ok());
    ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (1, 'E', 'Rossi'), "
                         "(2, 'U', 'Bianchi'), (3, 'E', 'Verdi'), (4, 'U', 'Neri')")
                    .ok());
    auto rs = std::make_shared<Recordset>();
    ASSERT_TRUE(rs->open(db,
                         "SELECT entrata.*, Mittenti.* FROM entrata LEFT JOIN Mittenti ON "
                         "entrata.Progressivo = Mittenti.Quadernolo AND entrata.Tipo = Mittenti.tipo "
                         "ORDER BY entrata.Progressivo")
                    .ok());
    Finder f(rs, "entrata.Tipo", "u");
    EXPECT_EQ(f.cerca(), 2);
    EXPECT_EQ(f.cerca(), 4);
    EXPECT_EQ(f.cerca(), 2);
    Finder names(rs, "Nominativo", "ver");
    EXPECT_EQ(names.cerca(), 3);
    EXPECT_TRUE(messages.shown().isEmpty());
}
