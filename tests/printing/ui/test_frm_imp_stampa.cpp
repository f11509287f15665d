#include "gui_helpers.h"

#include "frm_imp_stampa.h"

#include <QAbstractItemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableView>

#include <gtest/gtest.h>

using namespace quad;
using namespace quad::test;

namespace {

QStringList campi(int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QStringLiteral("Campo%1").arg(i);
    return out;
}

QStringList intestazioni(QTableView* grid)
{
    QStringList out;
    for (int i = 0; i < grid->model()->columnCount(); ++i)
        out << grid->model()->headerData(i, Qt::Horizontal).toString();
    return out;
}

TEST(frm_imp_stampa, OneColumnPerFieldFillingThePrintableWidth)
{
    frm_imp_stampa w(campi(30), nullptr, 15000);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Form1"));
    EXPECT_EQ(intestazioni(control<QTableView>(&w, "DataGrid1")), campi(30));
    EXPECT_EQ(intestazioni(control<QTableView>(&w, "DataGrid2")), QStringList(30, QStringLiteral("8")));
    EXPECT_EQ(control<QTableView>(&w, "DataGrid1")->horizontalHeader()->sectionSize(0), 33); // 500 twips
    EXPECT_EQ(control<QPushButton>(&w, "Command1")->text(), QStringLiteral("Salva ed Esci"));
    EXPECT_EQ(control<QPushButton>(&w, "Command2")->text(), QStringLiteral("Annulla"));
    const QList<QLabel*> labels = w.findChildren<QLabel*>(QRegularExpression("^Label1_\\d+$"));
    ASSERT_EQ(labels.size(), 31);
    for (QLabel* l : labels)
        EXPECT_TRUE(l->isHidden());
    EXPECT_TRUE(findControl(&w, "Label1_30"));
}

TEST(frm_imp_stampa, DraggingOrRemovingAColumnRebalancesTheLast)
{
    frm_imp_stampa w(campi(4), nullptr, 15876);
    w.resize(600, 300);
    w.show();
    EXPECT_EQ(intestazioni(control<QTableView>(&w, "DataGrid2")), (QStringList {"70", "70", "70", "70"}));
    // A drag moves by whole pixels of 15 twips: 303 pixels are 4545 twips.
    control<QTableView>(&w, "DataGrid1")->horizontalHeader()->resizeSection(0, 303);
    EXPECT_EQ(w.larghezze().widths(), (std::vector<long> {4545, 3969, 3969, 3393}));
    EXPECT_EQ(intestazioni(control<QTableView>(&w, "DataGrid2")), (QStringList {"80", "70", "70", "59"}));
    EXPECT_EQ(control<QTableView>(&w, "DataGrid2")->horizontalHeader()->sectionSize(3),
              control<QTableView>(&w, "DataGrid1")->horizontalHeader()->sectionSize(3));

    w.DataGrid1_HeadClick(0); // the first column stays
    EXPECT_EQ(intestazioni(control<QTableView>(&w, "DataGrid1")), campi(4));
    w.DataGrid1_HeadClick(1);
    EXPECT_EQ(intestazioni(control<QTableView>(&w, "DataGrid1")), (QStringList {"Campo0", "Campo2", "Campo3"}));
    EXPECT_EQ(intestazioni(control<QTableView>(&w, "DataGrid2")), (QStringList {"80", "70", "129"}));

    EXPECT_EQ(control<QScrollBar>(&w, "HScroll1")->maximum(), 1058 - 600); // 15876 twips are 1058 pixels
    control<QScrollBar>(&w, "HScroll1")->setValue(100);
    EXPECT_EQ(control<QWidget>(&w, "Picture2")->x(), -100);
}

} // namespace
