#include "transfer_file.h"

#include "file_replace.h"

#include "register_query.h"
#include "temp_program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quad;

namespace {

const QDateTime kMomento(QDate(2026, 3, 4), QTime(8, 9, 10));

std::shared_ptr<Connection> apri(const test::TempProgram& program)
{
    DbResult err;
    auto db = Connection::open(program.archive(), test::kPassword, &err);
    EXPECT_TRUE(db) << err.message.toStdString();
    return db;
}

/// Entry 1 with two correspondents and odd values, entry 2 with Nulls.
void semina(Connection& db)
{
    ASSERT_TRUE(db.exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Anno, Tipo_documento, "
                        "Numero_documenti, Oggetto, Note, Orario, Annullato, Riservato, Collegamento) VALUES "
                        "(1, 'E', '2026-03-01', 2026, 'Lettera', 3, 'Città di Ré € ''a''', 'riga 1\nriga 2', "
                        "'09:15:00', -1, 0, 'C:\\doc\\a.pdf'), "
                        "(2, 'U', '2026-03-02', 2026, NULL, 0, 'Secondo', NULL, NULL, 0, -1, NULL)")
                    .ok());
    ASSERT_TRUE(db.exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (1, 'E', 'Anna'), "
                        "(1, 'E', 'Bruno'), (2, 'U', 'Carla')")
                    .ok());
}

std::vector<Bookmark> tutte(Recordset& rs)
{
    std::vector<Bookmark> segni;
    for (int r = 0; r < rs.recordCount(); ++r)
        segni.push_back(rs.bookmarkAt(r));
    return segni;
}

QStringList righeDi(Connection& db, const char* sql)
{
    QStringList righe;
    EXPECT_TRUE(db.query(sql, {}, [&righe](const Statement& st) {
                      QStringList valori;
                      for (int c = 0; c < st.columnCount(); ++c)
                          valori << (st.value(c).isNull() ? QStringLiteral("<null>") : st.value(c).toString());
                      righe << valori.join('|');
                      return true;
                  }).ok());
    return righe;
}

void scrivi(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

/// Each transfer file (bytes, and the message that refuses it) read into the empty archive db of
/// arrivo: refused with its message, and the archive left empty.
void rifiutati(const test::TempProgram& arrivo, const std::shared_ptr<Connection>& db,
               std::initializer_list<std::pair<QByteArray, const char*>> casi)
{
    for (const auto& [testo, errore] : casi) {
        scrivi(arrivo.file("esporta.txt"), testo);
        const EsitoTrasferimento esito = leggi_file_trasferimento(db, arrivo.file("esporta.txt"));
        EXPECT_FALSE(esito.ok);
        EXPECT_EQ(esito.errore, QString::fromUtf8(errore));
        EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM entrata").toInt(), 0);
        EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM Mittenti").toInt(), 0);
    }
}

} // namespace

TEST(TransferFile, StatusTexts)
{
    EXPECT_EQ(testo_stato(0, 5), "ATTENDERE PREGO ............!");
    EXPECT_EQ(testo_stato(1, 3), "Trasferimento completato nel file PENLIO_TRANS.TXT (3 record) !");
    EXPECT_EQ(testo_stato(1, 0), "");
    EXPECT_EQ(testo_stato(2, 4), "Trasferimento completato .... (N. 4 record) !");
    EXPECT_EQ(testo_stato(2, 0), QString::fromUtf8("Nessun record è stato aggiunto all' archivio."));
    EXPECT_EQ(testo_stato(7, 1), "");
}

TEST(TransferFile, WrittenRowsReadBackEqualInAnotherArchive)
{
    test::TempProgram origine;
    auto db = apri(origine);
    semina(*db);
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    QByteArray testo;
    ASSERT_TRUE(testo_trasferimento(rs, tutte(rs), kMomento, &testo).ok());
    EXPECT_TRUE(testo.startsWith("\"Progressivo\tentrata.Tipo\tData_quadernolo\t"));
    EXPECT_TRUE(testo.endsWith("\xff\"\r\n"));
    EXPECT_TRUE(testo.contains("Citt\xe0 di R\xe9 \x80 'a'")); // code page 1252
    EXPECT_TRUE(testo.contains("\t-1\t04/03/2026\t08:09:10\t1\tE\tAnna"))
        << testo.toStdString(); // the stamp, before the rows get it
    EXPECT_EQ(testo.count('\xff'), 4);
    FileReplacement esporta(QDir(origine.path()).filePath("esporta.txt"));
    ASSERT_TRUE(scrivi_file_trasferimento(esporta, testo).ok());

    // The archive as it will be once stamped.
    ASSERT_TRUE(db->exec("UPDATE entrata SET sys_consegnato = -1, sys_data_consegna = '2026-03-04', "
                         "sys_ora_consegna = '08:09:10'")
                    .ok());
    test::TempProgram arrivo;
    ASSERT_TRUE(QFile::copy(origine.file("esporta.txt"), arrivo.file("esporta.txt")));
    auto altro = apri(arrivo);
    const EsitoTrasferimento esito = leggi_file_trasferimento(altro, arrivo.file("esporta.txt"));
    ASSERT_TRUE(esito.ok) << esito.errore.toStdString();
    EXPECT_EQ(esito.aggiunti.size(), 2); // entry 1's second row is its second correspondent
    for (const char* sql : {"SELECT * FROM entrata ORDER BY Progressivo", "SELECT * FROM Mittenti ORDER BY Nominativo"})
        EXPECT_EQ(righeDi(*altro, sql).join('\n').toStdString(), righeDi(*db, sql).join('\n').toStdString());
}

TEST(TransferFile, AWriteOnAFullDiskKeepsTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath("esporta.txt");
    FileReplacement esporta(file);
    ASSERT_TRUE(scrivi_file_trasferimento(esporta, "\"vecchio\"\r\n").ok());
    setFileWriteFaultForTests([](const QString&) { return true; });
    const DbResult r = scrivi_file_trasferimento(esporta, "\"nuovo, molto più lungo\"\r\n");
    setFileWriteFaultForTests(nullptr);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.message.contains("esporta.txt")) << r.message.toStdString();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "\"vecchio\"\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList {"esporta.txt"});
}

TEST(TransferFile, AValueThatWouldBreakTheRecordIsRefused)
{
    test::TempProgram program;
    auto db = apri(program);
    semina(*db);
    for (const char* valore : {"a\tb", "a\"b", "a\xc3\xbf b", "a \xe2\x86\x92 b"}) {
        ASSERT_TRUE(db->exec("UPDATE entrata SET Oggetto = ? WHERE Progressivo = 2", {QString::fromUtf8(valore)}).ok());
        Recordset rs;
        ASSERT_TRUE(rs.open(db, registerQuery()).ok());
        QByteArray testo;
        const DbResult r = testo_trasferimento(rs, tutte(rs), kMomento, &testo);
        EXPECT_FALSE(r.ok()) << valore;
        EXPECT_TRUE(r.message.contains("n. 2")) << r.message.toStdString();
        EXPECT_TRUE(r.message.contains("Oggetto")) << r.message.toStdString();
    }
}

TEST(TransferFile, ReadingRules)
{
    test::TempProgram program;
    auto db = apri(program);
    // Header only: nothing added, still a completed import.
    scrivi(program.file("solo.txt"), "\"Progressivo\tOggetto\xff\"\r\n");
    EsitoTrasferimento e = leggi_file_trasferimento(db, program.file("solo.txt"));
    EXPECT_TRUE(e.ok);
    EXPECT_EQ(e.aggiunti.size(), 0);

    // A single value is no row; 12abc gives 12, abc 0; a blank date keeps the default; text as it is;
    // a column entrata lacks is the correspondents'.
    scrivi(program.file("regole.txt"),
           "\"Progressivo\tNumero_documenti\tAnno\tData_quadernolo\tOggetto\tNominativo\tMittenti.tipo\xff"
           "solo\xff"
           "5\t12abc\tabc\t   \t  spazi \tAnna\tE\xff"
           "6\t-3,7\t2026\t 02/01/2026 \tsei\tBruno\tU\xff\"\r\n");
    e = leggi_file_trasferimento(db, program.file("regole.txt"));
    ASSERT_TRUE(e.ok) << e.errore.toStdString();
    EXPECT_EQ(e.aggiunti.size(), 2);
    EXPECT_EQ(db->scalar("SELECT Numero_documenti || '|' || Anno || '|' || ifnull(Data_quadernolo, 'null') || '|' || "
                         "Oggetto FROM entrata WHERE Progressivo = 5")
                  .toString(),
              "12|0|null|  spazi ");
    EXPECT_EQ(
        db->scalar("SELECT Numero_documenti || '|' || Data_quadernolo FROM entrata WHERE Progressivo = 6").toString(),
        "-3|2026-01-02");
    // Each row's correspondent, joined to its entry by number and direction (the entry's, or the
    // row's own where the entry has none).
    EXPECT_EQ(righeDi(*db, "SELECT Quadernolo, tipo, Nominativo FROM Mittenti ORDER BY Quadernolo"),
              QStringList({"5|E|Anna", "6|U|Bruno"}));
    // An entry without a Tipo of its own takes its correspondents'.
    EXPECT_EQ(righeDi(*db, "SELECT Progressivo, Tipo FROM entrata ORDER BY 1"), QStringList({"5|E", "6|U"}));

    // Entries held already: passed over with the same values, named with other ones; the new go in.
    scrivi(program.file("doppio.txt"),
           "\"Progressivo\tOggetto\tNominativo\tMittenti.tipo\xff"
           "7\tsette\tElena\tE\xff"
           "5\tcinque\tAnna\tE\xff"
           "6\tsei\tBruno\tU\xff\"\r\n");
    e = leggi_file_trasferimento(db, program.file("doppio.txt"));
    ASSERT_TRUE(e.ok) << e.errore.toStdString();
    EXPECT_EQ(e.aggiunti, QList<qint64>({7}));
    EXPECT_EQ(e.presenti, QList<qint64>({6}));
    EXPECT_EQ(e.diversi, (QList<QPair<qint64, QStringList>> {{5, {"Oggetto"}}}));
    EXPECT_EQ(db->scalar("SELECT group_concat(Progressivo || Oggetto) FROM entrata").toString(),
              "5  spazi ,6sei,7sette");
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM Mittenti").toInt(), 3);

    // All or nothing: too many values, a missing file.
    scrivi(program.file("troppi.txt"),
           "\"Progressivo\tOggetto\xff"
           "8\totto\tin piu\xff\"\r\n");
    EXPECT_FALSE(leggi_file_trasferimento(db, program.file("troppi.txt")).ok);
    EXPECT_FALSE(leggi_file_trasferimento(db, program.file("manca.txt")).ok);
    scrivi(program.file("rotto.txt"), "Progressivo\tOggetto");
    EXPECT_FALSE(leggi_file_trasferimento(db, program.file("rotto.txt")).ok);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM entrata").toInt(), 3);
}

TEST(TransferFile, AFileThatCannotGoInWholeIsRefusedNamingItsRow)
{
    test::TempProgram program;
    auto db = apri(program);
    semina(*db);
    const QByteArray header = "\"Progressivo\tentrata.Tipo\tAnno\tOggetto\tNominativo\xff";
    const std::pair<QByteArray, const char*> refused[] = {
        {header + "7\tE\t2026\tbuona\tAnna\xff \tE\t2026\tsenza numero\tBruno\xff\"\r\n", "riga 2"},
        {header + "abc\tE\t2026\tlettere\tAnna\xff\"\r\n", "riga 1"},
        {header + "0\tE\t2026\tzero\tAnna\xff\"\r\n", "riga 1"},
        {header + "-7\tE\t2026\tnegativo\tAnna\xff\"\r\n", "riga 1"},
        {header + "2147483648\tE\t2026\ttroppo\tAnna\xff\"\r\n", "riga 1"},
        {header + "1e3\tE\t2026\tesponente\tAnna\xff\"\r\n", "riga 1"},
        {header + "+7\tE\t2026\tsegno\tAnna\xff\"\r\n", "riga 1"},
        {header + "7\tE\t99999999999999999999\tanno\tAnna\xff\"\r\n", "Riga 1, campo Anno"},
        {header
             + "7\tE\t2026\tbuona\tAnna\xff"
               "8\tE\t2026\tdetto \"cosi\"\tBruno\xff"
               "9\tE\t2026\tultima\tCarla\xff\"\r\n",
         "riga 2"},
        {"\"Oggetto\tNominativo\xffsenza\tnumero\xff\"\r\n", "Progressivo"},
        // No Tipo of the entry's own, and correspondents that give it two.
        {"\"Progressivo\tOggetto\tNominativo\tMittenti.tipo\xff"
         "7\tsette\tAnna\tE\xff"
         "7\tsette\tBruno\tU\xff\"\r\n",
         "riga 2"},
    };
    for (const auto& [bytes, detto] : refused) {
        scrivi(program.file("rifiutato.txt"), bytes);
        const EsitoTrasferimento e = leggi_file_trasferimento(db, program.file("rifiutato.txt"));
        EXPECT_FALSE(e.ok) << bytes.toStdString();
        EXPECT_TRUE(e.errore.contains(QLatin1String(detto), Qt::CaseInsensitive)) << e.errore.toStdString();
    }
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM entrata").toInt(), 2);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM Mittenti").toInt(), 3);
}

TEST(TransferFile, ANulOrADirectionOtherThanEOrUIsRefusedNamingTheRow)
{
    test::TempProgram arrivo;
    auto db = apri(arrivo);
    const QByteArray intestazione = "\"Progressivo\tentrata.Tipo\tOggetto\tNominativo\xff"
                                    "10\tE\tdieci\tAnna\xff";
    const std::pair<QByteArray, const char*> casi[]
        = {{QByteArray("11\tU\tun\0due\tBruno", 17), "La riga 2 contiene un carattere nullo (NUL) in un valore."},
           {"11\tX\tundici\tBruno", "Riga 2, colonna Tipo: \"X\" non è una direzione (E per entrata, U per uscita)."},
           {"11\te\tundici\tBruno", "Riga 2, colonna Tipo: \"e\" non è una direzione (E per entrata, U per uscita)."}};
    for (const auto& [riga, errore] : casi) {
        scrivi(arrivo.file("esporta.txt"), intestazione + riga + "\xff\"\r\n");
        const EsitoTrasferimento esito = leggi_file_trasferimento(db, arrivo.file("esporta.txt"));
        EXPECT_FALSE(esito.ok);
        EXPECT_EQ(esito.errore, QString::fromUtf8(errore));
        EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM entrata").toInt(), 0);
    }
}

TEST(TransferFile, AHeaderThatNamesAColumnTwiceIsRefusedNamingIt)
{
    test::TempProgram arrivo;
    auto db = apri(arrivo);
    // Entry 5 is held; the file's entry 7 has a second Quadernolo (5) or a second tipo (U) after
    // the one that joins its correspondent to it.
    ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (5, 'E', 'cinque')").ok());
    const std::pair<QByteArray, const char*> casi[] = {
        {"\"Progressivo\tentrata.Tipo\tNominativo\tQuadernolo\tMittenti.Quadernolo\xff"
         "7\tE\tAnna\t7\t5\xff\"\r\n",
         "L' intestazione nomina due volte la colonna Mittenti.Quadernolo (colonne 4 e 5)."},
        {"\"Progressivo\tentrata.Tipo\tMittenti.tipo\tNominativo\tMittenti.tipo\xff"
         "7\tE\tE\tAnna\tU\xff\"\r\n",
         "L' intestazione nomina due volte la colonna Mittenti.tipo (colonne 3 e 5)."},
        {"\"Progressivo\tentrata.Tipo\tOggetto\tTipo\tNominativo\xff"
         "7\tE\tsette\tU\tAnna\xff\"\r\n",
         "L' intestazione nomina due volte la colonna Tipo (colonne 2 e 4)."},
        {"\"Progressivo\tentrata.Tipo\tNominativo\tProgressivo\xff"
         "7\tE\tAnna\t8\xff\"\r\n",
         "L' intestazione nomina due volte la colonna Progressivo (colonne 1 e 4)."},
    };
    for (const auto& [testo, errore] : casi) {
        scrivi(arrivo.file("esporta.txt"), testo);
        const EsitoTrasferimento esito = leggi_file_trasferimento(db, arrivo.file("esporta.txt"));
        EXPECT_FALSE(esito.ok);
        EXPECT_EQ(esito.errore, QString::fromUtf8(errore));
        EXPECT_EQ(righeDi(*db, "SELECT Progressivo FROM entrata"), QStringList("5"));
        EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM Mittenti").toInt(), 0);
    }
}

TEST(TransferFile, RowsOfOneEntryThatDisagreeOnItsSubjectAreRefusedAsANotificationsAre)
{
    test::TempProgram arrivo;
    rifiutati(arrivo, apri(arrivo),
              {{"\"Progressivo\tentrata.Tipo\tOggetto\tNominativo\xff"
                "901\tE\tFattura\tRossi\xff"
                "902\tE\tDomanda\tBianchi\xff"
                "903\tE\tRicorso\tNeri\xff"
                "902\tE\tDomanda (bis)\tVerdi\xff\"\r\n",
                "Riga 4, colonna Oggetto: il quadernolo n. 902 vi ha \"Domanda (bis)\", alla riga 2 \"Domanda\"."}});
}

TEST(TransferFile, AHeaderNamingAColumnTheArchiveLacksIsRefusedNamingIt)
{
    test::TempProgram arrivo;
    rifiutati(arrivo, apri(arrivo),
              {{"\"Progressivo\tTipo\tOgetto\tNominativo\xff"
                "950\tE\tsoggetto\tAnna\xff\"\r\n",
                "L' intestazione nomina una colonna che l' archivio non ha: \"Ogetto\" (colonna 3)."},
               {"\"Progressivo\tTipo\tNominativo\tentrata.Citta\xff"
                "950\tE\tAnna\tRoma\xff\"\r\n",
                "L' intestazione nomina una colonna che l' archivio non ha: \"entrata.Citta\" (colonna 4)."}});
}

TEST(TransferFile, ACorrespondentOfAnotherEntryOrDirectionIsRefusedAsInANotification)
{
    test::TempProgram arrivo;
    const QByteArray intestazione = "\"Progressivo\tentrata.Tipo\tNominativo\tMittenti.Quadernolo\tMittenti.tipo\xff";
    rifiutati(arrivo, apri(arrivo),
              {{intestazione + "951\tE\tAnna\t952\tE\xff\"\r\n",
                "Riga 1: il corrispondente è del quadernolo n. 952, non del n. 951."},
               {intestazione + "951\tE\tAnna\t951\tU\xff\"\r\n",
                "Riga 1: la direzione del corrispondente (U) non è quella del quadernolo n. 951 (E)."},
               {intestazione + "12\tE\tAnna\t12x\tE\xff\"\r\n",
                "Riga 1, colonna Quadernolo: \"12x\" non è un numero di registro (un numero intero da 1 a "
                "2147483647)."}});
}

TEST(TransferFile, ARowWithMoreValuesThanItsHeaderIsRefusedNamingIt)
{
    test::TempProgram arrivo;
    rifiutati(arrivo, apri(arrivo),
              {{"\"Progressivo\tentrata.Tipo\tOggetto\tNominativo\xff"
                "980\tE\tottanta\tAnna\xff"
                "981\tE\tottantuno\tBruno\tRoma\xff\"\r\n",
                "La riga 2 ha più valori dell' intestazione."}});
}

TEST(TransferFile, AJoinColumnLeftBlankGivesTheEntrysOwn)
{
    test::TempProgram arrivo;
    auto db = apri(arrivo);
    scrivi(arrivo.file("esporta.txt"),
           "\"Progressivo\tentrata.Tipo\tNominativo\tMittenti.Quadernolo\tMittenti.tipo\xff"
           "960\t \tAnna\t \tU\xff"
           "961\tE\tBruno\t \t \xff\"\r\n");
    const EsitoTrasferimento esito = leggi_file_trasferimento(db, arrivo.file("esporta.txt"));
    ASSERT_TRUE(esito.ok) << esito.errore.toStdString();
    EXPECT_EQ(righeDi(*db, "SELECT Progressivo, Tipo FROM entrata ORDER BY 1"), QStringList({"960|U", "961|E"}));
    EXPECT_EQ(righeDi(*db, "SELECT Quadernolo, tipo, Nominativo FROM Mittenti ORDER BY 1"),
              QStringList({"960|U|Anna", "961|E|Bruno"}));
}

TEST(TransferFile, AFileThatGivesNoDirectionIsRefusedNamingTheColumn)
{
    test::TempProgram arrivo;
    rifiutati(arrivo, apri(arrivo),
              {{"\"Progressivo\tOggetto\tNominativo\xff"
                "970\tsettanta\tCarla\xff\"\r\n",
                "Riga 1, colonna Tipo: (nessuno) non è una direzione (E per entrata, U per uscita)."}});
}
