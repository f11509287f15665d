// The search dialog opened from the main window's tool bar: simple find, range panels, the
// criteria list and the advanced filter on the register, and the dialog at the keyboard.
#include "view_fixture.h"

#include "advanced_criteria.h"
#include "criteria_model.h"
#include "frm_search.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

using namespace quad;
using namespace quad::test;

namespace {

class SearchDialogTest : public ViewWindowTest
{
protected:
    /// Opens the dialog from the tool bar and runs act on it; the dialog is closed afterwards.
    void withDialog(const std::function<void(frmSearch*)>& act)
    {
        ModalScript script;
        script.then("frmSearch", [act](QDialog* d) {
            auto* s = qobject_cast<frmSearch*>(d);
            ASSERT_TRUE(s);
            ASSERT_TRUE(QTest::qWaitForWindowActive(s));
            act(s);
            if (s->isVisible())
                click(s, "cmdClose");
        });
        trigger(&w, "tb_trova");
        EXPECT_TRUE(script.waitDone());
    }
    static void advanced(frmSearch* s)
    {
        if (!s->modo_avanzato())
            click(s, "cmd_avanzate");
    }
    /// Opens range panel index, fills its boxes and presses "Okay".
    static void panel(frmSearch* s, int index, const QString& from, const QString& to = QString())
    {
        click(s, QString("cmd_imp_search_%1").arg(index));
        control<QLineEdit>(s, "txt_data_1")->setText(from);
        control<QLineEdit>(s, "txt_data_2")->setText(to);
        click(s, "cmd_data_0");
    }
    static QStringList rows(frmSearch* s)
    {
        QStringList list;
        for (const RigaCriterio& r : s->righe_criteri())
            list << QStringList({r.unione, r.campo, r.operatore, r.criterio}).join("|");
        return list;
    }
    QStringList directions() const { return column(1); }
    static int criteri(frmSearch* s) { return int(s->righe_criteri().size()); }
    /// Makes cell (row, col) of the criteria grid current and picks item from the list it opens.
    static void pick(frmSearch* s, int row, int col, const QString& item)
    {
        QAbstractItemModel* model = control<QTableView>(s, "gridFilter")->model();
        control<QTableView>(s, "gridFilter")->setCurrentIndex(model->index(row, 3));
        control<QTableView>(s, "gridFilter")->setCurrentIndex(model->index(row, col));
        ASSERT_TRUE(control<QListWidget>(s, "lstDropDown")->isVisible()) << col;
        const auto found = control<QListWidget>(s, "lstDropDown")->findItems(item, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << item.toStdString();
        control<QListWidget>(s, "lstDropDown")->setCurrentItem(found.first());
        QTest::keyClick(control<QListWidget>(s, "lstDropDown"), Qt::Key_Return);
    }
    /// Opens the editor of the value cell of row and returns it.
    static QLineEdit* editValue(frmSearch* s, int row)
    {
        const QModelIndex cell = control<QTableView>(s, "gridFilter")->model()->index(row, 3);
        control<QTableView>(s, "gridFilter")->setFocus();
        control<QTableView>(s, "gridFilter")->setCurrentIndex(cell);
        control<QTableView>(s, "gridFilter")->edit(cell);
        return control<QTableView>(s, "gridFilter")->viewport()->findChild<QLineEdit*>();
    }
};

/// The control with the focus lies whole inside the dialog.
::testing::AssertionResult inVista(frmSearch* s)
{
    QWidget* f = QApplication::focusWidget();
    if (!f)
        return ::testing::AssertionFailure() << "nothing has the focus";
    const QRect dove(f->mapTo(s, QPoint(0, 0)), f->size());
    if (f->isVisible() && s->rect().contains(dove))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << f->objectName().toStdString() << " at y=" << dove.y() << " in a dialog "
                                         << s->height() << " high";
}

class LongRegisterSearchTest : public SearchDialogTest
{
protected:
    int entries() const override { return 125; }
};

} // namespace

TEST_F(LongRegisterSearchTest, FindButtonsWaitForAValueAndEnterFindsTheFirst)
{
    withDialog([this](frmSearch* s) {
        EXPECT_EQ(s->windowTitle(), "Ricerche");
        EXPECT_EQ(s->parentWidget(), &w);
        EXPECT_EQ(control<QLabel>(s, "Label3")->text(), "Quadernolo");
        EXPECT_GE(control<QComboBox>(s, "cmbFields")->findText("sys_nodo"), 0) << "the main window lists every field";
        EXPECT_EQ(control<QComboBox>(s, "cmbFields")->currentIndex(), 0);
        EXPECT_FALSE(s->modo_avanzato());
        EXPECT_EQ(s->height(), tw(kSearchSimpleHeight));
        EXPECT_FALSE(control<QPushButton>(s, "cmdFindFirst")->isEnabled());
        EXPECT_FALSE(control<QPushButton>(s, "cmdFindNext")->isEnabled());
        control<QComboBox>(s, "cmbFields")->setCurrentText("Progressivo");
        control<QLineEdit>(s, "txtFieldValue")->setText("120");
        EXPECT_TRUE(control<QPushButton>(s, "cmdFindFirst")->isEnabled());
        EXPECT_TRUE(control<QPushButton>(s, "cmdFindNext")->isEnabled());
        EXPECT_TRUE(control<QPushButton>(s, "cmdFindFirst")->isDefault());
        QTest::keyClick(control<QLineEdit>(s, "txtFieldValue"), Qt::Key_Return);
        EXPECT_EQ(rs()->value("Progressivo").toInt(), 120);
        EXPECT_EQ(grid(w)->currentIndex().row(), 120) << "entry 2 has two rows";
        // Emptying the box disables both again.
        control<QLineEdit>(s, "txtFieldValue")->clear();
        EXPECT_FALSE(control<QPushButton>(s, "cmdFindFirst")->isEnabled());
        EXPECT_FALSE(control<QPushButton>(s, "cmdFindNext")->isEnabled());
    });
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(rs()->value("Progressivo").toInt(), 120) << "the row found stays current";
}

TEST_F(SearchDialogTest, AdvancedModeShowsTheCriteriaAndComesBack)
{
    withDialog([](frmSearch* s) {
        click(s, "cmd_avanzate");
        EXPECT_TRUE(s->modo_avanzato());
        EXPECT_EQ(s->height(), tw(kSearchAdvancedHeight));
        EXPECT_EQ(control<QGroupBox>(s, "frAdvSearch")->title(), "Opzioni di ricerca avanzate");
        EXPECT_TRUE(control<QGroupBox>(s, "frAdvSearch")->isVisible());
        EXPECT_FALSE(control<QComboBox>(s, "cmbFields")->isEnabled());
        EXPECT_FALSE(control<QLineEdit>(s, "txtFieldValue")->isEnabled());
        EXPECT_FALSE(control<QPushButton>(s, "cmdFindFirst")->isEnabled());
        EXPECT_EQ(control<QTableView>(s, "gridFilter")->model()->headerData(2, Qt::Horizontal).toString(),
                  "Condizione");
        // A panel left open is closed without rows when advanced mode comes again.
        click(s, "cmd_imp_search_3");
        EXPECT_TRUE(control<QGroupBox>(s, "frame_date")->isVisible());
        click(s, "cmd_avanzate");
        EXPECT_FALSE(s->modo_avanzato());
        EXPECT_EQ(s->height(), tw(kSearchSimpleHeight));
        EXPECT_TRUE(control<QPushButton>(s, "cmdFindFirst")->isEnabled()) << "enabled even with an empty value";
        EXPECT_TRUE(control<QLineEdit>(s, "txtFieldValue")->isEnabled());
        EXPECT_EQ(control<QLabel>(s, "adodcAdvSearch")->text(), "[Effettuare una ricerca]");
        click(s, "cmd_avanzate");
        EXPECT_FALSE(control<QGroupBox>(s, "frame_date")->isVisible());
        EXPECT_TRUE(control<QGroupBox>(s, "frAdvSearch")->isVisible());
        EXPECT_TRUE(s->righe_criteri().isEmpty());
    });
}

TEST_F(SearchDialogTest, ADateRangeFiltersTheRegister)
{
    withDialog([this](frmSearch* s) {
        advanced(s);
        click(s, "cmd_imp_search_0");
        EXPECT_EQ(control<QGroupBox>(s, "frame_date")->title(), " Impostazione date ");
        EXPECT_EQ(control<QLabel>(s, "Label4")->text(), "Dalla data");
        EXPECT_EQ(control<QLabel>(s, "Label5")->text(), "Alla data");
        control<QLineEdit>(s, "txt_data_1")->setText("31/12/2004");
        control<QLineEdit>(s, "txt_data_2")->setText("01/01/2004");
        click(s, "cmd_data_0");
        EXPECT_EQ(messages.texts(), QStringList({"Errore nell' inserimento delle date !"}));
        EXPECT_EQ(messages.shown().first().icon, MsgIcon::Exclamation);
        EXPECT_TRUE(s->righe_criteri().isEmpty());
        EXPECT_FALSE(control<QGroupBox>(s, "frame_date")->isVisible()) << "closed after Okay, refused or not";
        EXPECT_TRUE(control<QGroupBox>(s, "frAdvSearch")->isVisible());
        click(s, "cmd_imp_search_0");
        EXPECT_EQ(control<QLineEdit>(s, "txt_data_1")->text(), "") << "a refused input is not kept";
        control<QLineEdit>(s, "txt_data_1")->setText("01/01/2004");
        control<QLineEdit>(s, "txt_data_2")->setText("31/12/2004");
        click(s, "cmd_data_0");
        EXPECT_FALSE(control<QGroupBox>(s, "frame_date")->isVisible());
        EXPECT_EQ(rows(s), QStringList({" e |Data_quadernolo|>=|01/01/2004", " e |Data_quadernolo|<=|31/12/2004"}));
        click(s, "cmdExecAdvSearch");
        EXPECT_EQ(control<QLabel>(s, "adodcAdvSearch")->text(), "");
        EXPECT_TRUE(control<QPushButton>(s, "cmdFilterSourceRecordset")->isEnabled());
    });
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(column(0), QStringList({"1", "2", "2", "3"}));
    EXPECT_EQ(column(3), QStringList({"2004", "2004", "2004", "2004"}));
    EXPECT_TRUE(filterButton()->isChecked());
    EXPECT_EQ(filterButton()->text(), "Filtro off");
    EXPECT_EQ(filterButton()->toolTip(), "Disattiva filtro");
    EXPECT_EQ(gridColour(), kYellow);
    EXPECT_EQ(control<QLabel>(&w, "lbl_filtro")->text(), "   Totale schede : 4  [Filtro inserito !]");

    // The filter button then releases it as any other filter.
    trigger(&w, "tb_filtro_off");
    EXPECT_EQ(grid(w)->model()->rowCount(), 9);
    EXPECT_EQ(gridColour(), kWhite);
}

TEST_F(SearchDialogTest, NumberDirectionAndOneFieldPanels)
{
    withDialog([this](frmSearch* s) {
        advanced(s);
        panel(s, 1, "10", "9");
        EXPECT_EQ(messages.texts(), QStringList({"Errore nell' inserimento dei dati !"}));
        panel(s, 2, "2004x", "2005");
        EXPECT_EQ(messages.texts().size(), 2) << "a year must be a number";
        click(s, "cmd_imp_search_2");
        click(s, "cmd_data_1");
        EXPECT_FALSE(control<QGroupBox>(s, "frame_date")->isVisible());
        EXPECT_TRUE(s->righe_criteri().isEmpty());

        click(s, "cmd_imp_search_3");
        EXPECT_EQ(control<QGroupBox>(s, "frame_date")->title(), " Impostazione Tipo quadernolo ");
        EXPECT_FALSE(control<QLineEdit>(s, "txt_data_2")->isVisible());
        control<QComboBox>(s, "Combo1")->setCurrentText("USCITA");
        click(s, "cmd_data_0");
        EXPECT_EQ(rows(s), QStringList({" e |Tipo|=|U"}));
        click(s, "cmdExecAdvSearch");
        EXPECT_EQ(directions(), QStringList({"U", "U", "U", "U", "U"}));

        click(s, "cmd_imp_search_4");
        EXPECT_EQ(control<QComboBox>(s, "Combo1")->count(), 8);
        EXPECT_TRUE(control<QRadioButton>(s, "Option1_0")->isChecked());
        control<QComboBox>(s, "Combo1")->setCurrentText("Oggetto");
        control<QRadioButton>(s, "Option1_1")->setChecked(true);
        control<QCheckBox>(s, "Check1")->setChecked(true);
        control<QLineEdit>(s, "txt_ricerca")->setText("nota");
        click(s, "cmd_data_0");
        EXPECT_EQ(rows(s).last(), " oppure |Oggetto|like|%nota");
    });
}

TEST_F(SearchDialogTest, NoMatchLeavesTheRegisterWholeAndAnEmptyListIsInvalid)
{
    withDialog([this](frmSearch* s) {
        advanced(s);
        click(s, "cmdExecAdvSearch");
        EXPECT_EQ(control<QLabel>(s, "adodcAdvSearch")->text(), "[Criteri di ricerca non validi!]");
        EXPECT_TRUE(messages.shown().isEmpty());

        click(s, "cmd_imp_search_4");
        control<QComboBox>(s, "Combo1")->setCurrentText("Oggetto");
        control<QLineEdit>(s, "txt_ricerca")->setText("nessuno così");
        click(s, "cmd_data_0");
        click(s, "cmdExecAdvSearch");
        EXPECT_EQ(control<QLabel>(s, "adodcAdvSearch")->text(), "[Record non trovato]");
        ASSERT_EQ(messages.shown().size(), 1);
        EXPECT_EQ(messages.last(), "Nessun record soddisfa la query impostata.");
        EXPECT_EQ(messages.shown().first().icon, MsgIcon::Exclamation);
        EXPECT_EQ(messages.shown().first().title, "Quadernolo");
    });
    EXPECT_FALSE(rs()->hasFilter());
    EXPECT_EQ(grid(w)->model()->rowCount(), 9);
    EXPECT_FALSE(filterButton()->isChecked());
    EXPECT_EQ(filterButton()->text(), "Filtro on");
    EXPECT_EQ(gridColour(), kWhite);
    EXPECT_EQ(control<QLabel>(&w, "lbl_filtro")->text(), "   Totale schede : 9");
    // Laid out again as the filter release lays it out.
    EXPECT_EQ(grid(w)->model()->headerData(1, Qt::Horizontal).toString(), "E/U");
    EXPECT_FALSE(grid(w)->isColumnHidden(1));
    EXPECT_TRUE(grid(w)->isColumnHidden(17));
}

TEST_F(SearchDialogTest, InvalidCriteriaKeepTheFilterInPlace)
{
    withDialog([this](frmSearch* s) {
        advanced(s);
        panel(s, 3, ""); // incoming
        click(s, "cmdExecAdvSearch");
        ASSERT_EQ(rs()->recordCount(), 4);
        // A value that is not a number, stored without the grid's check.
        s->BuildFilterFromString(" e \tProgressivo\t>\t1 OR 1=1");
        click(s, "cmdExecAdvSearch");
        EXPECT_EQ(control<QLabel>(s, "adodcAdvSearch")->text(), "[Criteri di ricerca non validi!]");
        EXPECT_FALSE(control<QPushButton>(s, "cmdFilterSourceRecordset")->isEnabled());
    });
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(rs()->recordCount(), 4);
    EXPECT_TRUE(filterButton()->isChecked());
    EXPECT_EQ(filterButton()->text(), "Filtro off");
    EXPECT_EQ(gridColour(), kYellow);
    EXPECT_EQ(control<QLabel>(&w, "lbl_filtro")->text(), "   Totale schede : 4  [Filtro inserito !]");
}

TEST_F(SearchDialogTest, CriteriaGridListsKeysAndValueChecks)
{
    withDialog([](frmSearch* s) {
        advanced(s);
        QTableView* grid = control<QTableView>(s, "gridFilter");
        QAbstractItemModel* model = grid->model();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Insert);
        ASSERT_EQ(model->rowCount(), 2) << "the row and the new-row line";
        EXPECT_EQ(model->index(0, 0).data().toString(), " e ");
        EXPECT_TRUE(model->index(0, 1).data(Qt::EditRole).isNull());

        const auto pick = [&](int col, const QString& item) {
            grid->setCurrentIndex(model->index(0, 3));
            grid->setCurrentIndex(model->index(0, col));
            ASSERT_TRUE(control<QListWidget>(s, "lstDropDown")->isVisible()) << col;
            const auto found = control<QListWidget>(s, "lstDropDown")->findItems(item, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << item.toStdString();
            control<QListWidget>(s, "lstDropDown")->setCurrentItem(found.first());
            QTest::keyClick(control<QListWidget>(s, "lstDropDown"), Qt::Key_Return);
            EXPECT_FALSE(control<QListWidget>(s, "lstDropDown")->isVisible());
        };
        const auto operators = [&] {
            grid->setCurrentIndex(model->index(0, 1));
            grid->setCurrentIndex(model->index(0, 2));
            QStringList items;
            for (int i = 0; i < control<QListWidget>(s, "lstDropDown")->count(); ++i)
                items << control<QListWidget>(s, "lstDropDown")->item(i)->text();
            QTest::keyClick(control<QListWidget>(s, "lstDropDown"), Qt::Key_Escape);
            return items;
        };

        // No field yet: the comparison list does not open.
        grid->setCurrentIndex(model->index(0, 1));
        grid->setCurrentIndex(model->index(0, 2));
        EXPECT_FALSE(control<QListWidget>(s, "lstDropDown")->isVisible());

        pick(1, "Oggetto");
        EXPECT_EQ(operators(), QStringList({"like", "<>", "=", ">", "<", ">=", "<="}));
        pick(2, "<>");
        EXPECT_EQ(model->index(0, 2).data().toString(), "<>");
        pick(1, "Annullato");
        EXPECT_EQ(model->index(0, 2).data().toString(), "") << "a new field empties the comparison";
        EXPECT_EQ(operators(), QStringList({"=", "<>"}));

        pick(1, "Progressivo");
        pick(2, ">");
        model->setData(model->index(0, 3), "abc");
        EXPECT_EQ(model->index(0, 3).data().toString(), "");
        EXPECT_TRUE(QTest::qWaitFor([&] { return grid->currentIndex().column() == 3; }));
        model->setData(model->index(0, 3), "12");
        EXPECT_EQ(model->index(0, 3).data().toString(), "12");

        // The direction row of the panels compares entrata.Tipo, a text.
        panel(s, 3, "");
        ASSERT_EQ(model->rowCount(), 3);
        grid->setCurrentIndex(model->index(1, 3));
        grid->setCurrentIndex(model->index(1, 2));
        EXPECT_EQ(control<QListWidget>(s, "lstDropDown")->count(), 7);
        QTest::keyClick(control<QListWidget>(s, "lstDropDown"), Qt::Key_Escape);

        // Delete removes the selected rows only.
        grid->clearSelection();
        QTest::keyClick(grid, Qt::Key_Delete);
        EXPECT_EQ(s->righe_criteri().size(), 2);
        grid->selectRow(0);
        QTest::keyClick(grid, Qt::Key_Delete);
        ASSERT_EQ(s->righe_criteri().size(), 1);
        EXPECT_EQ(model->index(0, 1).data().toString(), "Tipo");
    });
}

TEST_F(SearchDialogTest, ATypedValueIsCheckedOnTheRowItWasTypedIn)
{
    withDialog([](frmSearch* s) {
        advanced(s);
        // Row 1 holds a word typed before its comparison was chosen: it stays unchecked.
        s->BuildFilterFromString(" e \tProgressivo\t>\t\r e \tProgressivo\t>\tabc");
        QAbstractItemModel* model = control<QTableView>(s, "gridFilter")->model();
        QLineEdit* editor = editValue(s, 0);
        ASSERT_TRUE(editor);
        QTest::keyClicks(editor, "xyz");
        QTest::keyClick(editor, Qt::Key_Down); // leaves the cell for the row below
        EXPECT_EQ(model->index(0, 3).data().toString(), "");
        EXPECT_EQ(model->index(1, 3).data().toString(), "abc") << "only the row edited is checked";
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return control<QTableView>(s, "gridFilter")->currentIndex() == model->index(0, 3); }));
        editor = control<QTableView>(s, "gridFilter")->viewport()->findChild<QLineEdit*>();
        ASSERT_TRUE(editor) << "the caret is back in the cell to type the value again";

        QTest::keyClicks(editor, "7");
        QTest::keyClick(editor, Qt::Key_Down);
        QTest::qWait(0);
        EXPECT_EQ(model->index(0, 3).data().toString(), "7");
        EXPECT_EQ(model->index(1, 3).data().toString(), "abc");
        EXPECT_EQ(control<QTableView>(s, "gridFilter")->currentIndex(), model->index(1, 3));
    });
}

TEST_F(SearchDialogTest, TheNewRowLineTakesANewCriterion)
{
    withDialog([](frmSearch* s) {
        advanced(s);
        QAbstractItemModel* model = control<QTableView>(s, "gridFilter")->model();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        ASSERT_EQ(model->rowCount(), 1) << "only the empty new-row line";
        EXPECT_EQ(model->headerData(0, Qt::Vertical).toString(), "*");
        EXPECT_TRUE(s->righe_criteri().isEmpty());

        QLineEdit* editor = editValue(s, 0);
        ASSERT_TRUE(editor);
        QTest::keyClicks(editor, "nota");
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !s->righe_criteri().isEmpty(); }));
        ASSERT_EQ(rows(s), QStringList({" e |||nota"}));
        EXPECT_EQ(model->rowCount(), 2);
        EXPECT_EQ(model->headerData(1, Qt::Vertical).toString(), "*");
        // The join cell of the new row becomes current, and its list opens.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return control<QTableView>(s, "gridFilter")->currentIndex() == model->index(0, 0); }));
        EXPECT_TRUE(control<QListWidget>(s, "lstDropDown")->isVisible());
        QTest::keyClick(control<QListWidget>(s, "lstDropDown"), Qt::Key_Escape);

        // A field picked on the new-row line starts a row too; an editor left empty does not.
        pick(s, 1, 1, "Oggetto");
        EXPECT_EQ(rows(s), QStringList({" e |||nota", " e |Oggetto||"}));
        EXPECT_EQ(control<QTableView>(s, "gridFilter")->currentIndex(), model->index(1, 1));
        EXPECT_FALSE(control<QListWidget>(s, "lstDropDown")->isVisible());
        editor = editValue(s, 2);
        ASSERT_TRUE(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(model->rowCount(), 3);
        // Deleting the new-row line with the rows removes the rows only.
        control<QTableView>(s, "gridFilter")->selectAll();
        QTest::keyClick(control<QTableView>(s, "gridFilter"), Qt::Key_Delete);
        EXPECT_TRUE(s->righe_criteri().isEmpty());
        EXPECT_EQ(model->rowCount(), 1);
    });
}

TEST_F(SearchDialogTest, ListCellsShowAnArrowAndTheFieldListFitsItsNames)
{
    withDialog([](frmSearch* s) {
        advanced(s);
        QTableView* grid = control<QTableView>(s, "gridFilter");
        QAbstractItemModel* model = grid->model();
        pick(s, 0, 1, "Data_quadernolo");
        grid->setCurrentIndex(model->index(0, 3));
        QTest::keyClick(control<QListWidget>(s, "lstDropDown"), Qt::Key_Escape);
        // Pixels far darker than the cell's background in its right end, grid line aside.
        const QImage image = grid->viewport()->grab().toImage();
        const auto arrow = [&](int row, int col) {
            const QRect cell = grid->visualRect(model->index(row, col));
            const int background = qGray(image.pixel(cell.right() - 16, cell.top() + 1));
            int dark = 0;
            for (int x = cell.right() - 14; x < cell.right() - 1; ++x)
                for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y)
                    dark += qGray(image.pixel(x, y)) < background - 80;
            return dark > 3;
        };
        EXPECT_TRUE(arrow(0, 0));
        EXPECT_TRUE(arrow(0, 1));
        EXPECT_TRUE(arrow(0, 2));
        EXPECT_FALSE(arrow(0, 3)) << "the value is typed";
        EXPECT_TRUE(arrow(1, 1)) << "the new-row line offers the field list";
        EXPECT_FALSE(arrow(1, 2)) << "no comparison list before a field";
        QStyleOptionViewItem option;
        option.initFrom(grid);
        EXPECT_GE(grid->columnWidth(1),
                  grid->itemDelegate()->sizeHint(option, model->index(0, 1)).width() + kFrecciaCriteri)
            << "a field name whole beside its arrow";

        grid->setCurrentIndex(model->index(0, 1));
        ASSERT_TRUE(control<QListWidget>(s, "lstDropDown")->isVisible());
        QCoreApplication::processEvents();
        EXPECT_GE(control<QListWidget>(s, "lstDropDown")->viewport()->width(),
                  control<QListWidget>(s, "lstDropDown")->sizeHintForColumn(0))
            << "every field name whole";
        EXPECT_FALSE(control<QListWidget>(s, "lstDropDown")->horizontalScrollBar()->isVisible());
        EXPECT_LE(control<QListWidget>(s, "lstDropDown")->geometry().right(),
                  control<QGroupBox>(s, "frAdvSearch")->width());
        QTest::keyClick(control<QListWidget>(s, "lstDropDown"), Qt::Key_Escape);
    });
}

TEST_F(SearchDialogTest, RowsSelectedByTheirHeadersAreDeletedAtOnce)
{
    withDialog([](frmSearch* s) {
        advanced(s);
        panel(s, 1, "1", "5");
        panel(s, 3, "");
        ASSERT_EQ(s->righe_criteri().size(), 3);
        QHeaderView* header = control<QTableView>(s, "gridFilter")->verticalHeader();
        const auto section = [&](int row) {
            return QPoint(header->width() / 2, header->sectionViewportPosition(row) + header->sectionSize(row) / 2);
        };
        control<QTableView>(s, "gridFilter")->setFocus();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, section(0));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::ShiftModifier, section(1));
        EXPECT_FALSE(control<QListWidget>(s, "lstDropDown")->isVisible());
        ASSERT_EQ(QApplication::focusWidget(), control<QTableView>(s, "gridFilter"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        EXPECT_EQ(rows(s), QStringList({" e |Tipo|=|E"}));
    });
}

TEST_F(SearchDialogTest, EscapeClosesAListOrTheCalendarButNeverTheDialog)
{
    withDialog([](frmSearch* s) {
        QTest::keyClick(control<QLineEdit>(s, "txtFieldValue"), Qt::Key_Escape);
        EXPECT_TRUE(s->isVisible());
        advanced(s);
        pick(s, 0, 1, "Oggetto");
        control<QTableView>(s, "gridFilter")
            ->setCurrentIndex(control<QTableView>(s, "gridFilter")->model()->index(0, 0));
        ASSERT_TRUE(control<QListWidget>(s, "lstDropDown")->isVisible());
        QTest::keyClick(control<QListWidget>(s, "lstDropDown"), Qt::Key_Escape);
        EXPECT_FALSE(control<QListWidget>(s, "lstDropDown")->isVisible());
        QTest::keyClick(control<QTableView>(s, "gridFilter"), Qt::Key_Escape);
        EXPECT_TRUE(s->isVisible());
        EXPECT_EQ(rows(s), QStringList({" e |Oggetto||"}));

        click(s, "cmd_imp_search_0");
        control<QLineEdit>(s, "txt_data_1")->setFocus();
        ASSERT_TRUE(control<QFrame>(s, "Frame_calendar")->isVisible());
        QTest::keyClick(control<QCalendarWidget>(s, "CalendarVB1"), Qt::Key_Escape);
        EXPECT_FALSE(control<QFrame>(s, "Frame_calendar")->isVisible());
        EXPECT_TRUE(control<QGroupBox>(s, "frame_date")->isVisible());
        EXPECT_TRUE(s->isVisible());
    });
}

namespace {

bool nelCalendario(frmSearch* s)
{
    return QTest::qWaitFor(
        [s] { return control<QCalendarWidget>(s, "CalendarVB1")->isAncestorOf(QApplication::focusWidget()); });
}

} // namespace

TEST_F(SearchDialogTest, DatesTypedWhileTheCalendarIsOpenAreTheDatesTyped)
{
    withDialog([](frmSearch* s) {
        advanced(s);
        click(s, "cmd_imp_search_0");
        QTest::mouseClick(control<QLineEdit>(s, "txt_data_1"), Qt::LeftButton);
        ASSERT_TRUE(nelCalendario(s));
        typeInFocus("03012004");
        EXPECT_FALSE(control<QFrame>(s, "Frame_calendar")->isVisible());
        EXPECT_TRUE(control<QLineEdit>(s, "txt_data_1")->hasFocus());
        // Tab goes on to the to box, whose calendar opens and takes what is typed too.
        pressKeyInFocus(Qt::Key_Tab);
        EXPECT_EQ(control<QLineEdit>(s, "txt_data_1")->text(), "03/01/2004");
        ASSERT_TRUE(nelCalendario(s));
        EXPECT_EQ(control<QLabel>(s, "lbl_data")->text(), "Alla data");
        typeInFocus("5/5/2004");
        pressKeyInFocus(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), control<QPushButton>(s, "cmd_data_0"));
        // Esc in a calendar goes back to its box, which keeps its date.
        QTest::mouseClick(control<QLineEdit>(s, "txt_data_2"), Qt::LeftButton);
        ASSERT_TRUE(nelCalendario(s));
        pressKeyInFocus(Qt::Key_Escape);
        EXPECT_FALSE(control<QFrame>(s, "Frame_calendar")->isVisible());
        EXPECT_TRUE(control<QLineEdit>(s, "txt_data_2")->hasFocus());
        EXPECT_EQ(control<QLineEdit>(s, "txt_data_2")->text(), "05/05/2004");
        click(s, "cmd_data_0");
        EXPECT_EQ(rows(s), QStringList({" e |Data_quadernolo|>=|03/01/2004", " e |Data_quadernolo|<=|05/05/2004"}));
    });
}

TEST_F(SearchDialogTest, TheStatusUnderTheCriteriaShowsItsTextOrNothing)
{
    withDialog([this](frmSearch* s) {
        advanced(s);
        EXPECT_TRUE(control<QLabel>(s, "adodcAdvSearch")->isVisible());
        EXPECT_EQ(control<QLabel>(s, "adodcAdvSearch")->text(), "[Effettuare una ricerca]");
        s->BuildFilterFromString(" e \tOggetto\tlike\tNota prova");
        click(s, "cmdExecAdvSearch");
        ASSERT_TRUE(rs()->hasFilter());
        EXPECT_FALSE(control<QLabel>(s, "adodcAdvSearch")->isVisible()) << "no empty frame";
        s->PrepareADVSearch();
        s->BuildFilterFromString(" e \tOggetto\t=\tnessuno");
        click(s, "cmdExecAdvSearch");
        EXPECT_TRUE(control<QLabel>(s, "adodcAdvSearch")->isVisible());
        EXPECT_EQ(control<QLabel>(s, "adodcAdvSearch")->text(), "[Record non trovato]");
    });
}

// --- at the keyboard ------------------------------------------------------------------

TEST_F(SearchDialogTest, DatesSetInTheirPanelSurviveTheNextSpace)
{
    withDialog([](frmSearch* s) {
        click(s, "cmd_avanzate");
        // "Imposta date", the two dates typed while their calendars are open, "Okay".
        click(s, "cmd_imp_search_0");
        QTest::mouseClick(control<QLineEdit>(s, "txt_data_1"), Qt::LeftButton);
        ASSERT_TRUE(nelCalendario(s));
        typeInFocus("01012004");
        pressKeyInFocus(Qt::Key_Tab);
        ASSERT_TRUE(nelCalendario(s));
        typeInFocus("31122004");
        click(s, "cmd_data_0");
        ASSERT_EQ(criteri(s), 2);
        EXPECT_EQ(s->righe_criteri().last().criterio, "31/12/2004");

        pressKeyInFocus(Qt::Key_Space);
        ASSERT_TRUE(s->isVisible()) << "one Space closed the dialog";
        EXPECT_EQ(criteri(s), 2);

        // A panel given up with its "Annulla" leaves the focus out of the way too.
        click(s, "cmd_imp_search_1");
        click(s, "cmd_data_1");
        EXPECT_FALSE(control<QGroupBox>(s, "frame_date")->isVisible());
        pressKeyInFocus(Qt::Key_Space);
        EXPECT_TRUE(s->isVisible()) << "one Space closed the dialog";
        EXPECT_EQ(criteri(s), 2);
    });
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
}

TEST_F(SearchDialogTest, TabInTheSimpleSearchStaysInSight)
{
    withDialog([](frmSearch* s) {
        ASSERT_FALSE(s->modo_avanzato());
        for (int i = 0; i < 20; ++i) {
            pressKeyInFocus(Qt::Key_Tab);
            ASSERT_TRUE(inVista(s)) << "after Tab " << i + 1;
        }
        for (int i = 0; i < 20; ++i) {
            pressKeyInFocus(Qt::Key_Backtab);
            ASSERT_TRUE(inVista(s)) << "after Shift+Tab " << i + 1;
        }
        // Back from advanced mode, the advanced controls are out of reach again.
        click(s, "cmd_avanzate");
        click(s, "cmd_imp_search_0");
        click(s, "cmd_avanzate");
        ASSERT_FALSE(s->modo_avanzato());
        for (int i = 0; i < 20; ++i) {
            pressKeyInFocus(Qt::Key_Tab);
            ASSERT_TRUE(inVista(s)) << "after Tab " << i + 1 << " back in simple mode";
        }
    });
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
}

TEST_F(SearchDialogTest, ReturnPressesTheFocusedButtonWhateverTheDefaultOne)
{
    const int prima = rs()->value("Progressivo").toInt();
    ASSERT_NE(prima, 6);
    const auto invio = [](frmSearch* s, const QString& pulsante) {
        control<QPushButton>(s, pulsante)->setFocus();
        pressKeyInFocus(Qt::Key_Return);
    };
    withDialog([&](frmSearch* s) {
        // A value typed makes "Trova primo" the default button; Return on another button presses that one.
        ASSERT_EQ(control<QComboBox>(s, "cmbFields")->currentText(), "Progressivo");
        typeInto(s, "txtFieldValue", "6");
        invio(s, "cmd_avanzate");
        EXPECT_TRUE(s->modo_avanzato());
        invio(s, "cmd_imp_search_3");
        invio(s, "cmd_data_0");
        EXPECT_EQ(rows(s), QStringList({" e |Tipo|=|E"}));
        EXPECT_FALSE(control<QGroupBox>(s, "frame_date")->isVisible());
        invio(s, "cmd_avanzate");
        EXPECT_FALSE(s->modo_avanzato());
        EXPECT_EQ(rs()->value("Progressivo").toInt(), prima) << "no find ran";
        invio(s, "cmdClose");
        EXPECT_FALSE(s->isVisible());
    });
    EXPECT_EQ(rs()->value("Progressivo").toInt(), prima);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.last().toStdString();
}
