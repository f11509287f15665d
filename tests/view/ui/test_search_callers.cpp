// The search dialog over the folder window's side of the hand-over, its calendar and its
// bookmark property, driven directly.
#include "fake_caller.h"
#include "frm_search.h"
#include "gui_helpers.h"
#include "scripted_messages.h"

#include "advanced_criteria.h"
#include "clock.h"
#include "search_caller.h"

#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quad;
using namespace quad::test;

namespace {

struct FolderSearch
{
    FolderSearch()
        : dialog(caller, &owner)
    {
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
    for (int i = 0; i < control<QComboBox>(&f.dialog, "cmbFields")->count(); ++i)
        fields << control<QComboBox>(&f.dialog, "cmbFields")->itemText(i);
    EXPECT_EQ(fields.join(","), "Progressivo,Tipo,Data_quadernolo,Oggetto,Annullato");
    EXPECT_EQ(control<QComboBox>(&f.dialog, "cmbFields")->currentIndex(), 0);
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
    EXPECT_EQ(control<QLabel>(&f.dialog, "adodcAdvSearch")->text(), "[Record non trovato]");
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
    QApplication::sendEvent(control<QLineEdit>(&f.dialog, "txt_data_1"), &focus);
    EXPECT_FALSE(control<QFrame>(&f.dialog, "Frame_calendar")->isVisible()) << "no calendar for register numbers";

    click(&f.dialog, "cmd_imp_search_0");
    QApplication::sendEvent(control<QLineEdit>(&f.dialog, "txt_data_1"), &focus);
    EXPECT_TRUE(control<QFrame>(&f.dialog, "Frame_calendar")->isVisible());
    EXPECT_EQ(control<QLabel>(&f.dialog, "lbl_data")->text(), "Dalla data");
    EXPECT_EQ(control<QCalendarWidget>(&f.dialog, "CalendarVB1")->selectedDate(), QDate(2024, 6, 15))
        << "today for an empty box";
    control<QCalendarWidget>(&f.dialog, "CalendarVB1")->setSelectedDate(QDate(2024, 1, 2));
    f.dialog.CalendarVB1_DateDblClick();
    EXPECT_EQ(control<QLineEdit>(&f.dialog, "txt_data_1")->text(), "02/01/2024");
    EXPECT_EQ(control<QLabel>(&f.dialog, "lbl_data")->text(), "Alla data");
    control<QCalendarWidget>(&f.dialog, "CalendarVB1")->setSelectedDate(QDate(2024, 2, 3));
    f.dialog.CalendarVB1_DateDblClick();
    EXPECT_EQ(control<QLineEdit>(&f.dialog, "txt_data_2")->text(), "03/02/2024");
    EXPECT_FALSE(control<QFrame>(&f.dialog, "Frame_calendar")->isVisible());
    Clock::install(nullptr);
}

TEST(SearchCallers, BookmarkPropertyAndCallerProperty)
{
    FolderSearch f;
    control<QLineEdit>(&f.dialog, "txtFieldValue")->setText("x");
    f.dialog.setCurrentBookMark(3);
    EXPECT_TRUE(control<QPushButton>(&f.dialog, "cmdFindNext")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(&f.dialog, "cmdFindNext")->isDefault());
    EXPECT_FALSE(control<QPushButton>(&f.dialog, "cmdFindFirst")->isDefault());
    f.dialog.setCurrentBookMark(0);
    EXPECT_FALSE(control<QPushButton>(&f.dialog, "cmdFindNext")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(&f.dialog, "cmdFindFirst")->isDefault());
    EXPECT_EQ(f.dialog.CurrentBookMark().toInt(), 0);
    f.dialog.setCurrentDb("arch.mdb");
    EXPECT_EQ(f.dialog.CurrentDb(), "arch.mdb");
}

namespace {

/// A users-and-groups form handing itself to the dialog, recording what the dialog asks of it.
struct FakeForm : CallerForm
{
    QString Name() const override { return name; }
    QString LastFilter() const override { return lastFilter; }
    int GridViewMode() const override { return mode; }
    int TableType() const override { return mode; }
    std::shared_ptr<Connection> SourceConnection() const override { return db; }
    void DisableTbFile() override { tbFileOff = true; }
    void MakeNodeClick(const QString& key, const QString& field, const QVariant& value) override
    {
        clicks << QStringList({key, field, value.toString()}).join("|");
    }
    std::shared_ptr<Recordset> Adodc() const override { return grid; }
    std::shared_ptr<Recordset> DatPrimaryRs() const override { return table; }
    void SelBookmarksAdd(Bookmark b) override { selected << b; }

    QString name;
    QString lastFilter;
    int mode = 0;
    std::shared_ptr<Connection> db;
    std::shared_ptr<Recordset> grid, table;
    bool tbFileOff = false;
    QStringList clicks;
    QList<Bookmark> selected;
};

QStringList items(const QComboBox* box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

QStringList criteria(const frmSearch& dialog)
{
    QStringList list;
    for (const RigaCriterio& r : dialog.righe_criteri())
        list << QStringList({r.unione, r.campo, r.operatore, r.criterio}).join("|");
    return list;
}

} // namespace

TEST(SearchCallers, ATableFormGetsItsFieldsItsCriteriaAndTheRowsFoundSelected)
{
    FolderSearch f;
    FakeForm form;
    form.name = "FrmTables";
    form.mode = 1; // groups
    form.lastFilter = " e \tGRUPPO\tlike\tUff";
    form.table = std::make_shared<Recordset>();
    form.table->appendField("SYS_ID", adInteger);
    form.table->appendField("NOME", adVarWChar);
    form.table->appendField("Gruppo", adVarWChar);
    form.table->appendField("Nato", adDate);
    form.table->appendField("Attivo", adBoolean);
    form.table->appendField("Foto", 205); // a picture is not searched
    form.table->openInMemory();
    for (const char* gruppo : {"Protocollo", "Ufficio tecnico", "Ufficio dell'ente", "Protocollo"}) {
        form.table->addNew();
        ASSERT_TRUE(form.table->setValue("Gruppo", gruppo).ok());
    }
    form.table->moveFirst();

    ASSERT_TRUE(f.dialog.setCaller(&form).ok());
    EXPECT_EQ(f.dialog.Caller(), &form);
    EXPECT_EQ(f.dialog.SourceRecordset(), form.table);
    EXPECT_EQ(items(control<QComboBox>(&f.dialog, "cmbFields")),
              QStringList({"NOME [testo]", "Gruppo [testo]", "Nato [data e ora]", "Attivo [sì/no]"}));
    EXPECT_EQ(control<QComboBox>(&f.dialog, "cmbFields")->currentText(), "Gruppo [testo]");
    EXPECT_EQ(criteria(f.dialog), QStringList({" e |GRUPPO|like|Uff"}));
    EXPECT_EQ(control<QComboBox>(&f.dialog, "cmbSearchDirection")->currentText(), "Tutto");
    EXPECT_EQ(control<QComboBox>(&f.dialog, "cmbSearchType")->currentIndex(), 0);

    // The rows found move: the form's grid selects each and its table follows.
    auto found = form.table->clone();
    ASSERT_TRUE(found->setFilter("Gruppo like 'Uff%'").ok());
    found->moveNext();
    const Bookmark second = found->bookmark();
    f.dialog.adodcAdvSearch_MoveComplete(13, found.get());
    EXPECT_EQ(control<QLabel>(&f.dialog, "adodcAdvSearch")->text(), "Totale : 2 records trovati.");
    EXPECT_EQ(form.selected, QList<Bookmark>({second}));
    EXPECT_EQ(form.table->bookmark(), second);
    EXPECT_EQ(f.dialog.CurrentBookMark().toLongLong(), 1) << "the table's row before it moved";
    // Any other reason only counts.
    f.dialog.adodcAdvSearch_MoveComplete(1, form.table.get());
    EXPECT_EQ(control<QLabel>(&f.dialog, "adodcAdvSearch")->text(), "Totale : 4 records trovati.");
    EXPECT_EQ(form.selected.size(), 1);
}

TEST(SearchCallers, ATreeFormGetsItsSourceReadAndItsNodeAndRowFound)
{
    QTemporaryDir dir;
    DbResult err;
    auto db = Connection::create(dir.filePath("utenti.mdb"), QByteArray(), &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    ASSERT_TRUE(db->exec("CREATE TABLE Users (SYS_COUNTER INTEGER PRIMARY KEY, NOME TEXT, Nato DATE);"
                         "CREATE TABLE groups (SYS_COUNTER INTEGER PRIMARY KEY, Gruppo TEXT);"
                         "CREATE TABLE relations (SYS_COUNTER INTEGER PRIMARY KEY, SYS_USER_ID INTEGER, "
                         "SYS_KEY TEXT, SYS_GROUP_ID INTEGER);"
                         "INSERT INTO Users VALUES (1, 'Rossi', '1970-01-02'), (2, 'Bianchi', NULL);"
                         "INSERT INTO groups VALUES (1, 'Protocollo'), (2, 'Ufficio dell''ente');"
                         "INSERT INTO relations VALUES (1, 1, '1\\', 1), (2, 2, '1\\2\\', 2), (3, NULL, '2\\', 2);")
                    .ok());
    FakeForm form;
    form.name = "frmTree";
    form.db = db;
    form.lastFilter = " e \tNOME\t=\tRossi\r oppure \tNOME\t=\tBianchi";
    form.grid = std::make_shared<Recordset>();
    ASSERT_TRUE(form.grid->open(db, "SELECT * FROM Users ORDER BY SYS_COUNTER").ok());

    {
        FolderSearch f;
        ASSERT_TRUE(f.dialog.setCaller(&form).ok());
        EXPECT_TRUE(form.tbFileOff);
        EXPECT_EQ(items(control<QComboBox>(&f.dialog, "cmbFields")),
                  QStringList({"NOME [testo]", "Nato [data e ora]"}));
        EXPECT_EQ(control<QComboBox>(&f.dialog, "cmbFields")->currentText(), "NOME [testo]");
        EXPECT_EQ(criteria(f.dialog), QStringList({" e |NOME|=|Rossi", " oppure |NOME|=|Bianchi"}));
        const std::shared_ptr<Recordset> source = f.dialog.SourceRecordset();
        ASSERT_TRUE(source);
        EXPECT_EQ(source->recordCount(), 2) << "the users with their relations";
        // The second user found: its node is clicked and the form's grid moves to it.
        auto found = source->clone();
        found->moveLast();
        f.dialog.adodcAdvSearch_MoveComplete(15, found.get());
        EXPECT_EQ(control<QLabel>(&f.dialog, "adodcAdvSearch")->text(), "Totale : 2 records trovati.");
        EXPECT_EQ(form.clicks, QStringList({"1\\2\\|USERS.SYS_COUNTER|2"}));
        EXPECT_EQ(form.grid->value("NOME").toString(), "Bianchi");
    }

    form.mode = 1; // groups
    form.clicks.clear();
    form.grid = std::make_shared<Recordset>();
    ASSERT_TRUE(form.grid->open(db, "SELECT * FROM groups ORDER BY SYS_COUNTER").ok());
    {
        FolderSearch f;
        ASSERT_TRUE(f.dialog.setCaller(&form).ok());
        EXPECT_EQ(items(control<QComboBox>(&f.dialog, "cmbFields")), QStringList({"Gruppo [testo]"}));
        auto found = f.dialog.SourceRecordset()->clone();
        ASSERT_TRUE(found->setFilter("Gruppo like 'Uff%'").ok());
        f.dialog.adodcAdvSearch_MoveComplete(12, found.get());
        EXPECT_EQ(form.clicks, QStringList({"1\\2\\||"}));
        EXPECT_EQ(form.grid->value("Gruppo").toString(), "Ufficio dell'ente") << "a quote in a name";
    }

    // Every relation, with or without a user.
    form.mode = 2;
    FolderSearch f;
    ASSERT_TRUE(f.dialog.setCaller(&form).ok());
    EXPECT_EQ(f.dialog.SourceRecordset()->recordCount(), 3);
    EXPECT_EQ(items(control<QComboBox>(&f.dialog, "cmbFields")),
              QStringList({"Gruppo [testo]", "NOME [testo]", "Nato [data e ora]"}));
}

TEST(SearchCallers, TheCalendarLeavesTheBoxesAndButtonsFreeAndShowsWholeDays)
{
    FolderSearch f;
    f.dialog.show();
    click(&f.dialog, "cmd_avanzate");
    click(&f.dialog, "cmd_imp_search_0");
    QCalendarWidget* calendar = control<QCalendarWidget>(&f.dialog, "CalendarVB1");
    for (QLineEdit* box : {control<QLineEdit>(&f.dialog, "txt_data_1"), control<QLineEdit>(&f.dialog, "txt_data_2")}) {
        QFocusEvent focus(QEvent::FocusIn);
        QApplication::sendEvent(box, &focus);
        ASSERT_TRUE(control<QFrame>(&f.dialog, "Frame_calendar")->isVisible());
        const QRect place = control<QFrame>(&f.dialog, "Frame_calendar")->geometry();
        EXPECT_TRUE(control<QGroupBox>(&f.dialog, "frame_date")->rect().contains(place));
        for (QWidget* free : std::initializer_list<QWidget*> {
                 control<QLineEdit>(&f.dialog, "txt_data_1"), control<QLineEdit>(&f.dialog, "txt_data_2"),
                 control<QPushButton>(&f.dialog, "cmd_data_0"), control<QPushButton>(&f.dialog, "cmd_data_1")})
            EXPECT_FALSE(place.intersects(free->geometry())) << free->objectName().toStdString();
    }
    EXPECT_GE(calendar->width(), calendar->minimumSizeHint().width());
    EXPECT_GE(calendar->height(), calendar->minimumSizeHint().height());
    auto* days = calendar->findChild<QTableView*>("qt_calendar_calendarview");
    ASSERT_TRUE(days);
    const int last = days->model()->columnCount() - 1;
    EXPECT_EQ(days->model()->index(0, last).data().toString(), "dom");
    EXPECT_LE(days->columnViewportPosition(last) + days->columnWidth(last), days->viewport()->width());
    for (int c = 0; c <= last; ++c) {
        const QString heading = days->model()->index(0, c).data().toString();
        EXPECT_GE(days->columnWidth(c), days->fontMetrics().horizontalAdvance(heading)) << heading.toStdString();
    }
}

TEST(SearchCallers, EveryTextBoxIsAnnouncedByItsLabel)
{
    FolderSearch f;
    // What a screen reader says of a box: the label it is tied to, else its own name.
    const auto name = [](QWidget* w) {
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(w);
        if (!box)
            return QString("(none)");
        for (const auto& label : box->relations(QAccessible::Label))
            return label.first->text(QAccessible::Name);
        return box->text(QAccessible::Name);
    };
    EXPECT_EQ(name(control<QComboBox>(&f.dialog, "cmbFields")), "Campo:");
    EXPECT_EQ(name(control<QLineEdit>(&f.dialog, "txtFieldValue")), "Valore:");
    click(&f.dialog, "cmd_avanzate");
    const std::pair<int, QStringList> panels[]
        = {{0, {"Dalla data", "Alla data"}}, {1, {"Dal N.", "Al N."}}, {2, {"Dall' anno", "All' anno"}}};
    for (const auto& [index, labels] : panels) {
        click(&f.dialog, QString("cmd_imp_search_%1").arg(index));
        EXPECT_EQ(name(control<QLineEdit>(&f.dialog, "txt_data_1")), labels[0]);
        EXPECT_EQ(name(control<QLineEdit>(&f.dialog, "txt_data_2")), labels[1]);
    }
    click(&f.dialog, "cmd_imp_search_3");
    EXPECT_EQ(name(control<QComboBox>(&f.dialog, "Combo1")), "Tipo quad.");
    click(&f.dialog, "cmd_imp_search_4");
    EXPECT_EQ(name(control<QComboBox>(&f.dialog, "Combo1")), "Campo ricerca");
    EXPECT_EQ(name(control<QLineEdit>(&f.dialog, "txt_ricerca")), "Testo da cercare");
    click(&f.dialog, "cmd_data_1");

    // The editor of a value cell is announced by its column.
    f.dialog.show();
    f.dialog.BuildFilterFromString(" e \tOggetto\tlike\tnota");
    const QModelIndex value = control<QTableView>(&f.dialog, "gridFilter")->model()->index(0, 3);
    control<QTableView>(&f.dialog, "gridFilter")->setCurrentIndex(value);
    control<QTableView>(&f.dialog, "gridFilter")->edit(value);
    auto* editor = control<QTableView>(&f.dialog, "gridFilter")->viewport()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    EXPECT_EQ(name(editor), "Criterio");
}
