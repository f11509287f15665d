#include "column_mask.h"

#include <gtest/gtest.h>

using namespace quad;

TEST(ColumnMask, BookkeepingFieldsInAnyCase)
{
    EXPECT_TRUE(campo_sistema("sys_nodo"));
    EXPECT_TRUE(campo_sistema("SYS_CONSEGNATO"));
    EXPECT_TRUE(campo_sistema("Sys_x"));
    EXPECT_FALSE(campo_sistema("sysnodo"));
    EXPECT_FALSE(campo_sistema("Oggetto"));
    EXPECT_FALSE(campo_sistema(""));
}

TEST(ColumnMask, ChoiceChangesOnlyTheListedPositionsAndPadsWithX)
{
    // A system position edited by hand to "-" and an odd character stay as they are.
    EXPECT_EQ(applica_scelta_colonne("X-?X", {{1, false}, {4, true}}), "--?X");
    EXPECT_EQ(applica_scelta_colonne("X", {{3, false}}), "XX-");
    EXPECT_EQ(applica_scelta_colonne("XXXX", {}), "XXXX");
    EXPECT_EQ(maschera_colonne("X-", 4), "X-XX");
    EXPECT_EQ(maschera_colonne("X-XX", 2), "X-XX") << "never shortened";
    EXPECT_TRUE(colonna_esclusa("X-", 1));
    EXPECT_FALSE(colonna_esclusa("X-", 2));
    EXPECT_FALSE(colonna_esclusa("X-", -1));
}
