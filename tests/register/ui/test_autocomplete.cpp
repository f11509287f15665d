#include "ax_db_autocomplete.h"
#include "program_folder.h"
#include "temp_program.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace quad;

namespace {

/// A window with a box served by the control, forwarding the box's events as a host does.
class Host : public QWidget
{
public:
    Host()
    {
        box = new QLineEdit(this);
        box->setObjectName("box");
        other = new QLineEdit(this);
        ac = new AXDbAutoComplete(this);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(box);
        layout->addWidget(other);
        layout->addWidget(ac);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (!ac->p_cliccato)
                ac->Text_Change();
        });
        connect(ac, &AXDbAutoComplete::townPicked, this,
                [this](const QString& citta, const QString& prov, const QString& stato, const QString& cap) {
                    picked = {citta, prov, stato, cap};
                    clickedDuringPick = ac->p_cliccato;
                });
        resize(300, 100);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == box && event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (ac->Text_KeyDown(key) || ac->Text_KeyPress(key))
                return true;
        }
        return QWidget::eventFilter(watched, event);
    }

    QLineEdit* box;
    QLineEdit* other;
    AXDbAutoComplete* ac;
    QStringList picked;
    bool clickedDuringPick = false;
};

class AutocompleteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DbResult err;
        settings = Connection::shared(program.file("Quad_imposta.mdb"), QByteArray(), &err);
        ASSERT_TRUE(settings) << err.message.toStdString();
        archive = Connection::shared(program.archive(), test::kPassword, &err);
        ASSERT_TRUE(archive) << err.message.toStdString();
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    }

    void serve(const QString& file, const QString& password, const QString& table, const QString& field,
               long type = adVarWChar)
    {
        ASSERT_TRUE(host.ac->setConnectionString(ConnectionString::build(program.path(), file, password)).ok());
        host.ac->setTableName(table);
        host.ac->setSearchMode(1);
        host.ac->setTextObject(host.box);
        host.ac->setFieldName(field);
        host.ac->setDataType(type);
        host.box->setFocus();
    }

    void serveNames() { serve("Quad_imposta.mdb", "", "Elenco", "Nominativo"); }
    void serveTowns() { serve("Quad_imposta.mdb", "", "Comuni", "Citta"); }

    void addNames(const QStringList& names)
    {
        for (const QString& n : names)
            ASSERT_TRUE(settings->exec("INSERT INTO Elenco (Nominativo) VALUES (?)", {n}).ok());
    }

    void type(const QString& text) { QTest::keyClicks(host.box, text); }
    /// Empties the box as the clerk does, so that the next text queries afresh.
    void clearBox()
    {
        host.box->selectAll();
        key(Qt::Key_Delete);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(host.box, k, m); }

    QStringList items() const
    {
        QStringList out;
        for (int i = 0; i < host.ac->list()->count(); ++i)
            out << host.ac->list()->item(i)->text();
        return out;
    }
    bool listShown() const { return host.ac->isListVisible(); }
    QString current() const
    {
        auto* item = host.ac->list()->currentItem();
        return item ? item->text() : QString();
    }

    test::TempProgram program;
    std::shared_ptr<Connection> settings;
    std::shared_ptr<Connection> archive;
    Host host;
};

} // namespace

TEST_F(AutocompleteTest, ListsDistinctNamesBeginningWithTheTypedTextAndKeepsTheFocus)
{
    addNames({"D'Amico Sergio", "D'Amico Sergio", "d'Angelo Rita", "D'Alessio", "Damiani", "Rossi"});
    for (int i = 0; i < 10; ++i)
        addNames({QString("D'Avola %1").arg(i)});
    serveNames();
    type("D'A");
    ASSERT_TRUE(listShown());
    // At most MaxItems (8 by default), each value once, in order whatever the case.
    EXPECT_EQ(items(),
              QStringList({"D'Alessio", "D'Amico Sergio", "d'Angelo Rita", "D'Avola 0", "D'Avola 1", "D'Avola 2",
                           "D'Avola 3", "D'Avola 4"}));
    EXPECT_EQ(current(), "D'Alessio");
    // The list is a window of its own that never takes the focus from the box.
    EXPECT_TRUE(host.ac->list()->isWindow());
    EXPECT_EQ(QApplication::focusWidget(), host.box);
    EXPECT_EQ(QApplication::activeWindow(), &host);
    EXPECT_EQ(host.box->text(), "D'A");

    // Every control on one database shares the program's one connection to it.
    const long uses = settings.use_count();
    AXDbAutoComplete second(&host);
    ASSERT_TRUE(second.setConnectionString(host.ac->ConnectionString()).ok());
    EXPECT_EQ(settings.use_count(), uses + 1);
    EXPECT_TRUE(second.setConnectionString(QString()).ok());
    EXPECT_EQ(settings.use_count(), uses);

    host.ac->setMaxItems(3);
    type("m");
    EXPECT_EQ(items(), QStringList({"D'Amico Sergio"}));
    key(Qt::Key_Backspace);
    EXPECT_EQ(items(), QStringList({"D'Alessio", "D'Amico Sergio", "d'Angelo Rita"}));

    // Emptying the box hides the list; leaving the box hides it too.
    host.box->selectAll();
    key(Qt::Key_Delete);
    EXPECT_FALSE(listShown());
    type("D'");
    EXPECT_TRUE(listShown());
    host.other->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(listShown());
}

TEST_F(AutocompleteTest, WildcardsTypedMatchThemselves)
{
    addNames({"50% Servizi", "500 Auto", "5_0 Srl", "5X0 Spa"});
    serveNames();
    type("50%");
    EXPECT_EQ(items(), QStringList({"50% Servizi"}));
    clearBox();
    type("5_");
    EXPECT_EQ(items(), QStringList({"5_0 Srl"}));
}

TEST_F(AutocompleteTest, OnlyTheTablesOwnTextColumnsAreSearched)
{
    ASSERT_TRUE(archive
                    ->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (1, 'E', 'Domanda'), "
                           "(2, 'U', 'Delibera')")
                    .ok());
    ASSERT_TRUE(archive
                    ->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo, Indirizzo) VALUES "
                           "(1, 'E', 'Domenici', 'Via Roma'), (2, 'U', 'Dini', 'Via Po')")
                    .ok());
    serve("Arch_quadernolo.mdb", test::kPassword, "Entrata", "Oggetto");
    type("D");
    EXPECT_EQ(items(), QStringList({"Delibera", "Domanda"}));

    // The correspondents' columns, served as the register's, propose nothing.
    key(Qt::Key_Escape);
    clearBox();
    host.ac->setFieldName("Nominativo");
    type("D");
    EXPECT_FALSE(listShown());
    clearBox();
    host.ac->setFieldName("Indirizzo");
    type("Via");
    EXPECT_FALSE(listShown());

    // A column that is not text gives no list.
    clearBox();
    host.ac->setFieldName("Progressivo");
    host.ac->setDataType(adInteger);
    type("1");
    EXPECT_FALSE(listShown());
}

TEST_F(AutocompleteTest, KeysMoveTheSelectionPickAndClose)
{
    addNames({"Bianchi", "Bianco", "Bini", "Bossi"});
    serveNames();
    type("B");
    ASSERT_EQ(items().size(), 4);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(current(), "Bini");
    key(Qt::Key_Up);
    EXPECT_EQ(current(), "Bianco");
    key(Qt::Key_End);
    EXPECT_EQ(current(), "Bossi");
    key(Qt::Key_Home);
    EXPECT_EQ(current(), "Bianchi");
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_EQ(host.box->text(), "Bianco");
    EXPECT_FALSE(listShown());
    EXPECT_EQ(QApplication::focusWidget(), host.box);

    // The written value starts no new search.
    EXPECT_FALSE(listShown());

    // Escape closes the list and keeps the text; with no list it undoes the last edit.
    type("x");
    EXPECT_FALSE(listShown());
    clearBox();
    type("Bo");
    ASSERT_TRUE(listShown());
    key(Qt::Key_Escape);
    EXPECT_FALSE(listShown());
    EXPECT_EQ(host.box->text(), "Bo");
    key(Qt::Key_Escape);
    EXPECT_NE(host.box->text(), "Bo");
}

TEST_F(AutocompleteTest, DoubleClickPicksAndASelectionCanBeRefused)
{
    addNames({"Alfa", "Alfieri"});
    serveNames();
    bool refuse = true;
    QStringList offered;
    QObject::connect(host.ac, &AXDbAutoComplete::OnItemSelected, [&](const QString& item, bool* cancel) {
        offered << item;
        *cancel = refuse;
    });
    type("Alf");
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_EQ(offered, QStringList({"Alfieri"}));
    EXPECT_EQ(host.box->text(), "Alf");
    EXPECT_TRUE(listShown());

    refuse = false;
    QListWidget* list = host.ac->list();
    QStringList scrolled;
    QObject::connect(host.ac, &AXDbAutoComplete::OnScrolling, [&](const QString& item) { scrolled << item; });
    // A single click only reports the item; the double click picks it.
    const QPoint first = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(scrolled, QStringList({"Alfa"}));
    EXPECT_TRUE(listShown());
    EXPECT_EQ(host.box->text(), "Alf");
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(host.box->text(), "Alfa");
    EXPECT_FALSE(listShown());
}

TEST_F(AutocompleteTest, RomaFillsProvinceCountryAndPostalCode)
{
    serveTowns();
    type("Roma");
    ASSERT_TRUE(listShown());
    EXPECT_EQ(current(), "Roma");
    key(Qt::Key_Return);
    ASSERT_EQ(host.picked.size(), 4);
    EXPECT_EQ(host.picked[0], "Roma");
    EXPECT_EQ(host.picked[1], "RM");
    EXPECT_EQ(host.picked[2], "IT");
    EXPECT_TRUE(host.picked[3].startsWith("001")) << host.picked[3].toStdString();
    EXPECT_EQ(host.picked[3].size(), 5);
    EXPECT_TRUE(host.clickedDuringPick);
    EXPECT_FALSE(host.ac->p_cliccato);
    EXPECT_EQ(host.box->text(), "Roma");
    EXPECT_FALSE(listShown());
}

TEST_F(AutocompleteTest, AForeignStateFillsEEAndEmptiesProvinceAndPostalCode)
{
    serveTowns();
    type("Francia");
    ASSERT_EQ(current(), "Francia");
    key(Qt::Key_Return);
    EXPECT_EQ(host.picked, QStringList({"Francia", "", "EE", ""}));
    EXPECT_EQ(host.box->text(), "Francia");
}

TEST_F(AutocompleteTest, TownsSharingANameShowTheirProvinceAndThePickTakesTheRowChosen)
{
    serveTowns();
    type("Castro");
    const QStringList shown = items();
    ASSERT_GE(shown.size(), 2);
    EXPECT_EQ(shown[0], "Castro (BG)");
    EXPECT_EQ(shown[1], "Castro (LE)");
    EXPECT_FALSE(shown.contains("Castro"));
    // A name only one town has shows bare.
    for (int i = 2; i < shown.size(); ++i)
        EXPECT_FALSE(shown[i].contains('(')) << shown[i].toStdString();

    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_EQ(host.picked, QStringList({"Castro", "LE", "IT", "73030"}));
    EXPECT_EQ(host.box->text(), "Castro");

    clearBox();
    type("San Teodoro");
    key(Qt::Key_Return);
    EXPECT_EQ(host.picked, QStringList({"San Teodoro", "ME", "IT", "98030"}));
}

TEST_F(AutocompleteTest, AQueryWithNoRowsIsNotRepeatedWhileTypingWithinTheSameStem)
{
    serveNames();
    type("Zz");
    EXPECT_FALSE(listShown());
    addNames({"Zzz Nuovo"});
    type("z");
    EXPECT_FALSE(listShown());
    key(Qt::Key_Backspace);
    EXPECT_FALSE(listShown());
    // Nor does a shorter text of the same stem; emptying the box makes the next text query.
    host.box->selectAll();
    type("Z");
    EXPECT_FALSE(listShown());
    clearBox();
    type("Z");
    EXPECT_TRUE(listShown());
    EXPECT_EQ(items(), QStringList({"Zzz Nuovo"}));
}

TEST_F(AutocompleteTest, SearchKeysInModesZeroAndTwo)
{
    addNames({"Gialli", "Giallo"});
    serveNames();
    host.ac->setSearchMode(0);
    type("Gia");
    EXPECT_FALSE(listShown());
    key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(listShown());
    EXPECT_EQ(host.box->text(), "Gia"); // Ctrl+Space types no space
    type("llo");
    EXPECT_EQ(items(), QStringList({"Giallo"}));
    key(Qt::Key_Escape);

    clearBox();
    host.ac->setSearchMode(2);
    host.ac->setCustomKeyCode(113);
    host.ac->setCustomShiftMask(2);
    type("G");
    key(Qt::Key_F2);
    EXPECT_FALSE(listShown());
    key(Qt::Key_F2, Qt::ControlModifier);
    EXPECT_TRUE(listShown());
    EXPECT_EQ(items().size(), 2);
    type("iallo");
    EXPECT_EQ(items(), QStringList({"Giallo"}));
    key(Qt::Key_Escape);
    clearBox();
    type("Gia");
    EXPECT_FALSE(listShown());
}

TEST_F(AutocompleteTest, ListHeightFollowsTheRowsAndTheListGoesAboveNearTheScreenBottom)
{
    for (int i = 0; i < 8; ++i)
        addNames({QString("Nome %1").arg(i)});
    serveNames();
    QListWidget* list = host.ac->list();

    type("Nome 1");
    const int itemHeight = list->sizeHintForRow(0);
    ASSERT_GT(itemHeight, 0);
    EXPECT_EQ(list->height(), 2 * itemHeight);
    const QPoint boxBottomLeft = host.box->mapToGlobal(QPoint(0, host.box->height()));
    EXPECT_EQ(list->geometry().topLeft(), boxBottomLeft);
    EXPECT_EQ(list->width(), host.box->width());
    key(Qt::Key_Escape);

    clearBox();
    host.ac->setVisibleListItems(5);
    type("Nome");
    EXPECT_EQ(list->height(), 6 * itemHeight);
    key(Qt::Key_Escape);

    const QRect screen = host.screen()->geometry();
    host.move(host.x(), screen.bottom() - host.height() + 1);
    QTest::qWait(0);
    clearBox();
    type("Nome");
    ASSERT_TRUE(listShown());
    const QPoint boxTop = host.box->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(list->geometry().bottom() + 1, boxTop.y());
}
