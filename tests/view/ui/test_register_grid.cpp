// The register grid both windows show: its row follows the recordset, and its widths are read and
// written as each window keeps them.
#include "register_grid.h"

#include "my_func.h"
#include "program_folder.h"
#include "recordset.h"
#include "temp_program.h"

#include <QHeaderView>

#include <gtest/gtest.h>

using namespace quad;
using namespace quad::test;

namespace {

std::shared_ptr<Recordset> threeColumns(int rows)
{
    auto rs = std::make_shared<Recordset>();
    for (const char* name : {"Progressivo", "SYS_ID", "Oggetto"})
        rs->appendField(QLatin1String(name), 202, 50);
    rs->openInMemory();
    for (int r = 0; r < rows; ++r) {
        rs->addNew();
        (void)rs->setValue(0, QString::number(r + 1));
        (void)rs->setValue(2, QStringLiteral("oggetto %1").arg(r + 1));
    }
    return rs;
}

} // namespace

TEST(RegisterGrid, CurrentRowAndCurrentRecordFollowEachOther)
{
    TempProgram program;
    RegisterGrid grid(GridWidthStore("GRID_WIDTH", "Entrata", GridWidthStore::Reading::Whole), nullptr);
    auto rs = threeColumns(3);
    rs->moveFirst();
    grid.bind(rs, RegisterGrid::Selection::None);
    EXPECT_FALSE(grid.currentIndex().isValid());
    rs->moveLast();
    EXPECT_EQ(grid.currentIndex().row(), 2);
    grid.setCurrentIndex(grid.model()->index(1, 2));
    EXPECT_EQ(rs->value(0).toString(), "2");

    grid.bind(rs);
    EXPECT_EQ(grid.currentIndex().row(), 1);
}

TEST(RegisterGrid, WidthsAsEachWindowReadsThemAndHiddenColumnsKeepTheirs)
{
    TempProgram program;
    scrivi_ini(iniPath(), "GRID_WIDTH", "Entrata", "1000_600_450.9_");
    scrivi_ini(iniPath(), "GRID_TREE_WIDTH", "Width", "1000_600_450.9_");
    RegisterGrid main(GridWidthStore("GRID_WIDTH", "Entrata", GridWidthStore::Reading::Whole), nullptr);
    RegisterGrid folder(GridWidthStore("GRID_TREE_WIDTH", "Width", GridWidthStore::Reading::Decimal), nullptr);
    auto rs = threeColumns(1);
    main.bind(rs);
    folder.bind(rs);
    const int standard = main.columnWidth(2);

    main.loadWidths([](int, const QString& caption) { return caption.startsWith("SYS_"); });
    folder.loadWidths();
    // Whole twips at the nearest pixel; a piece that is no whole number leaves its column alone.
    EXPECT_EQ(main.columnWidth(0), 67);
    EXPECT_TRUE(main.isColumnHidden(1));
    EXPECT_EQ(main.columnWidth(2), standard);
    // Any number, its whole twips at the nearest pixel.
    EXPECT_EQ(folder.columnWidth(0), 67);
    EXPECT_EQ(folder.columnWidth(2), 30);

    // The hidden column is written back with the width it was stored with.
    main.horizontalHeader()->resizeSection(2, 80);
    main.saveWidths();
    EXPECT_EQ(leggi_ini(iniPath(), "GRID_WIDTH", "Entrata", ""), "1005_600_1200_");
    EXPECT_EQ(leggi_ini(iniPath(), "GRID_TREE_WIDTH", "Width", ""), "1000_600_450.9_");
}
