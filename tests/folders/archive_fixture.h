#pragma once
// A temporary program folder with its archive open on a connection of its own.

#include "database.h"
#include "folder_tree_store.h"
#include "temp_program.h"

#include <gtest/gtest.h>

namespace quad::test {

class ArchiveTest : public ::testing::Test
{
protected:
    TempProgram prog;
    std::shared_ptr<Connection> db = apri();

    /// A further connection to the archive, as another station holds one.
    std::shared_ptr<Connection> apri()
    {
        DbResult err;
        auto c = Connection::open(prog.archive(), kPassword, &err);
        EXPECT_TRUE(c) << err.message.toStdString();
        return c;
    }
};

/// The folders of a loaded tree, as a window reads them.
inline std::vector<NodoAlbero> letti(const AlberoCaricato& albero)
{
    std::vector<NodoAlbero> nodi;
    for (const auto& [n, padre] : albero.nodi)
        nodi.push_back(n);
    return nodi;
}

/// Another station reads the stored tree and stores nodi as its own.
inline SalvataggioAlbero salva_da_altra_stazione(Connection& db, const std::vector<NodoAlbero>& nodi)
{
    const AlberoCaricato albero = carica_albero(db, nullptr);
    return salva_albero(db, albero.snapshot, letti(albero), nodi);
}

} // namespace quad::test
