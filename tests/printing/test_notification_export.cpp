// Sending the register's rows to another office without a window: each file is in place before
// its rows are stamped delivered, and rows that cannot be stamped leave no file delivered.
#include "notification_export.h"

#include "register_query.h"
#include "temp_program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quad;

namespace {

const QDateTime kMomento(QDate(2026, 2, 1), QTime(14, 5, 9));

/// Entries 1 (one correspondent) and 2 (two) for "Ufficio D'Arco", entry 3 for another office.
class NotificationExport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DbResult err;
        db = Connection::open(program.archive(), test::kPassword, &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto, Ufficio_competente) VALUES "
                             "(1, 'E', 'Primo', 'Ufficio D''Arco'), (2, 'U', 'Secondo', 'Ufficio D''Arco'), "
                             "(3, 'E', 'Terzo', 'Altro')")
                        .ok());
        ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (1, 'E', 'Anna'), "
                             "(2, 'U', 'Bruno'), (2, 'U', 'Carla'), (3, 'E', 'Dario')")
                        .ok());
        ASSERT_TRUE(registro.open(db, registerQuery()).ok());
    }

    int consegnate() const { return db->scalar("SELECT COUNT(*) FROM entrata WHERE sys_consegnato = -1").toInt(); }
    /// Makes every later stamp fail, as an archive that refuses the write.
    void rifiutaTimbri()
    {
        ASSERT_TRUE(
            db->exec("CREATE TRIGGER rifiuta BEFORE UPDATE ON entrata BEGIN SELECT RAISE(ABORT, 'rifiutato'); END")
                .ok());
    }

    test::TempProgram program;
    std::shared_ptr<Connection> db;
    Recordset registro;
    QTemporaryDir ufficio;
};

} // namespace

TEST_F(NotificationExport, AForwardIsStampedOnceItsFileIsInPlaceAndNotWhenTheStampsFail)
{
    DbResult err;
    std::shared_ptr<Recordset> righe = righe_da_inoltrare(registro, "Ufficio D'Arco", &err);
    ASSERT_TRUE(righe) << err.message.toStdString();
    ASSERT_EQ(righe->recordCount(), 3);

    // A folder that is not there: nothing written, nothing stamped.
    EsitoInoltro inoltro = inoltra_notifica(registro, *righe, ufficio.filePath("manca"), kMomento);
    EXPECT_EQ(inoltro.passo, EsitoInoltro::Passo::NonScritto);
    EXPECT_FALSE(inoltro.esito.ok());
    EXPECT_EQ(consegnate(), 0);
    EXPECT_FALSE(registro.hasPendingChanges());

    // Stamps the archive refuses: the file is taken back and the rows stay to be sent.
    rifiutaTimbri();
    inoltro = inoltra_notifica(registro, *righe, ufficio.path(), kMomento);
    EXPECT_EQ(inoltro.passo, EsitoInoltro::Passo::NonTimbrato);
    EXPECT_FALSE(inoltro.esito.ok());
    EXPECT_TRUE(QDir(ufficio.path()).isEmpty());
    EXPECT_EQ(consegnate(), 0);
    EXPECT_FALSE(registro.hasPendingChanges());

    ASSERT_TRUE(db->exec("DROP TRIGGER rifiuta").ok());
    righe = righe_da_inoltrare(registro, "Ufficio D'Arco", &err);
    ASSERT_TRUE(righe);
    ASSERT_EQ(righe->recordCount(), 3);
    inoltro = inoltra_notifica(registro, *righe, ufficio.path(), kMomento);
    ASSERT_TRUE(inoltro.ok()) << inoltro.esito.message.toStdString();
    EXPECT_EQ(QDir(ufficio.path()).entryList(QDir::Files), QStringList("Notifica_2026_01_02__14_05_09.xml"));
    EXPECT_EQ(inoltro.file, ufficio.filePath("Notifica_2026_01_02__14_05_09.xml"));
    EXPECT_EQ(db->scalar("SELECT group_concat(Progressivo) FROM entrata WHERE sys_consegnato = -1").toString(), "1,2");
    righe = righe_da_inoltrare(registro, "Ufficio D'Arco", &err);
    ASSERT_TRUE(righe);
    EXPECT_EQ(righe->recordCount(), 0) << "nothing is left to forward";
}

TEST_F(NotificationExport, ATransferFileWhoseRowsCannotBeStampedPutsTheEarlierFileBack)
{
    const QString path = program.file("esporta.txt");
    {
        QFile prima(path);
        ASSERT_TRUE(prima.open(QIODevice::WriteOnly));
        prima.write("\"precedente\"\r\n");
    }
    registro.moveFirst();
    const Bookmark primo = registro.bookmark();
    registro.moveLast();
    const std::vector<Bookmark> scelte {registro.bookmark(), primo};

    rifiutaTimbri();
    EXPECT_FALSE(esporta_trasferimento(registro, scelte, path, kMomento).ok());
    EXPECT_EQ(program.readFile("esporta.txt"), "\"precedente\"\r\n");
    EXPECT_EQ(consegnate(), 0);
    EXPECT_FALSE(registro.hasPendingChanges());

    ASSERT_TRUE(db->exec("DROP TRIGGER rifiuta").ok());
    ASSERT_TRUE(esporta_trasferimento(registro, scelte, path, kMomento).ok());
    EXPECT_TRUE(program.readFile("esporta.txt").startsWith("\"Progressivo\t"));
    EXPECT_EQ(db->scalar("SELECT group_concat(Progressivo) FROM entrata WHERE sys_consegnato = -1").toString(), "1,3");
}
