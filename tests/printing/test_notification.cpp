#include "notification.h"

#include "file_replace.h"

#include "register_query.h"
#include "temp_program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quad;

namespace {

/// Entry 1 (one correspondent) and entry 2 (two), both for office "Ufficio D'Arco"; entry 3 for
/// another office.
void semina(Connection& db)
{
    ASSERT_TRUE(db.exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Anno, Oggetto, Ufficio_competente, "
                        "Orario) VALUES (1, 'E', '2025-06-01', 2025, 'Primo', 'Ufficio D''Arco', '09:00:00'), "
                        "(2, 'U', '2025-06-02', 2025, 'Secondo', 'Ufficio D''Arco', '10:00:00'), "
                        "(3, 'E', '2025-06-03', 2025, 'Terzo', 'Altro', NULL)")
                    .ok());
    ASSERT_TRUE(db.exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo, Citta) VALUES (1, 'E', 'Anna', 'Roma'), "
                        "(2, 'U', 'Bruno', 'Pisa'), (2, 'U', 'Carla', NULL), (3, 'E', 'Dario', 'Bari')")
                    .ok());
}

std::shared_ptr<Connection> apri(const test::TempProgram& program)
{
    DbResult err;
    auto db = Connection::open(program.archive(), test::kPassword, &err);
    EXPECT_TRUE(db) << err.message.toStdString();
    return db;
}

QStringList fileIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

const QDateTime kMomento(QDate(2026, 2, 1), QTime(14, 5, 9));

} // namespace

TEST(Notification, OfficeFolderFromTheList)
{
    QString uffici = "A;B;A";
    QString cartelle = "/x/a;/x/b;/x/c";
    EXPECT_EQ(cartella_ufficio(uffici, cartelle, "a"), "/x/c"); // without regard to case, the last one wins
    EXPECT_EQ(cartella_ufficio(uffici, cartelle, "B"), "/x/b");
    EXPECT_EQ(cartella_ufficio(uffici, cartelle, "A/B"), "");
    cartelle = "/x/a";
    EXPECT_EQ(cartella_ufficio(uffici, cartelle, "B"), ""); // no folder at its position
    uffici.clear();
    EXPECT_EQ(cartella_ufficio(uffici, cartelle, "A"), "");
}

TEST(Notification, FileNameYearDayMonth)
{
    EXPECT_EQ(nome_file_notifica(kMomento), "Notifica_2026_01_02__14_05_09.xml");
    EXPECT_EQ(nome_file_notifica(QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9))), "Notifica_2026_06_12__14_05_09.xml");
}

TEST(Notification, AnOfficeWithAQuoteSelectsItsUndeliveredRows)
{
    test::TempProgram program;
    auto db = apri(program);
    semina(*db);
    ASSERT_TRUE(db->exec("UPDATE entrata SET Ufficio_competente = 'x'' or ''1''=''1' WHERE Progressivo = 3").ok());
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    auto clone = rs.clone();
    ASSERT_TRUE(clone->setFilter(filtro_notifica("Ufficio D'Arco")).ok());
    EXPECT_EQ(clone->recordCount(), 3);
    ASSERT_TRUE(clone->setFilter(filtro_notifica("x' or '1'='1")).ok());
    EXPECT_EQ(clone->recordCount(), 1);
    ASSERT_TRUE(clone->setFilter(filtro_notifica("ufficio d'arco")).ok());
    EXPECT_EQ(clone->recordCount(), 3); // texts compare without regard to case, as every filter does
}

TEST(Notification, TwoForwardsInOneSecondGiveTwoFilesAndNoTemporaryOnes)
{
    test::TempProgram program;
    auto db = apri(program);
    semina(*db);
    QTemporaryDir ufficio;
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    QString primo, secondo;
    ASSERT_TRUE(scrivi_notifica(rs, ufficio.path(), kMomento, &primo).ok());
    ASSERT_TRUE(scrivi_notifica(rs, ufficio.path(), kMomento, &secondo).ok());
    EXPECT_EQ(fileIn(ufficio.path()),
              QStringList({"Notifica_2026_01_02__14_05_09.xml", "Notifica_2026_01_02__14_05_09_2.xml"}));
    EXPECT_NE(primo, secondo);
    DbResult err;
    auto letto = Recordset::openXml(primo, &err);
    ASSERT_TRUE(letto) << err.message.toStdString();
    EXPECT_EQ(letto->recordCount(), 4);

    // A folder that is not there: an error and no file anywhere.
    const DbResult manca = scrivi_notifica(rs, ufficio.filePath("manca"), kMomento, &primo);
    EXPECT_FALSE(manca.ok());
    EXPECT_EQ(fileIn(ufficio.path()).size(), 2);

    // A write the disk cannot finish: an error, and neither a notification nor a temporary file.
    setFileWriteFaultForTests([](const QString&) { return true; });
    const DbResult pieno = scrivi_notifica(rs, ufficio.path(), kMomento, &primo);
    setFileWriteFaultForTests(nullptr);
    EXPECT_FALSE(pieno.ok());
    EXPECT_EQ(fileIn(ufficio.path()),
              QStringList({"Notifica_2026_01_02__14_05_09.xml", "Notifica_2026_01_02__14_05_09_2.xml"}));
}

class NotificationImport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mittente = std::make_unique<test::TempProgram>();
        db = apri(*mittente);
        semina(*db);
        Recordset rs;
        ASSERT_TRUE(rs.open(db, registerQuery()).ok());
        auto clone = rs.clone();
        ASSERT_TRUE(clone->setFilter(filtro_notifica("Ufficio D'Arco")).ok());
        ASSERT_TRUE(scrivi_notifica(*clone, cartella.path(), kMomento, &file).ok());
        destinatario = std::make_unique<test::TempProgram>();
        arrivo = apri(*destinatario);
        ASSERT_TRUE(registro.open(arrivo, registerQuery()).ok());
    }
    int conta(const QString& sql) const { return arrivo->scalar(sql).toInt(); }

    QTemporaryDir cartella;
    std::unique_ptr<test::TempProgram> mittente;
    std::unique_ptr<test::TempProgram> destinatario;
    std::shared_ptr<Connection> db;
    std::shared_ptr<Connection> arrivo;
    Recordset registro;
    QString file;
};

TEST_F(NotificationImport, EachEntryOnceEachCorrespondentOnceUndelivered)
{
    const EsitoImportazione esito = copia_righe(arrivo, registro, file);
    ASSERT_TRUE(esito.ok) << esito.errore.toStdString();
    EXPECT_EQ(esito.righe, 3);
    EXPECT_EQ(esito.ultimo, 2);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM entrata"), 2);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM Mittenti WHERE Quadernolo = 2"), 2);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM entrata WHERE sys_consegnato = 0"), 2);
    EXPECT_EQ(arrivo->scalar("SELECT Oggetto || Tipo || Data_quadernolo || Orario FROM entrata WHERE Progressivo = 2")
                  .toString(),
              "SecondoU2025-06-0210:00:00");
    EXPECT_EQ(arrivo
                  ->scalar("SELECT group_concat(Nominativo || '/' || ifnull(Citta, '-'), ',') FROM "
                           "(SELECT * FROM Mittenti WHERE Quadernolo = 2 ORDER BY Nominativo)")
                  .toString(),
              "Bruno/Pisa,Carla/-");
}

TEST_F(NotificationImport, ColumnsBeyondTheRegistersAreNotCopied)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray testo = f.readAll();
    f.close();
    testo.replace("<s:extends",
                  "<s:AttributeType name=\"Extra\" rs:number=\"99\"><s:datatype dt:type=\"string\"/>"
                  "</s:AttributeType><s:extends");
    testo.replace("<z:row ", "<z:row Extra=\"in piu\" ");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(testo);
    f.close();
    const EsitoImportazione esito = copia_righe(arrivo, registro, file);
    ASSERT_TRUE(esito.ok) << esito.errore.toStdString();
    EXPECT_EQ(conta("SELECT COUNT(*) FROM entrata"), 2);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM Mittenti"), 3);
}

TEST_F(NotificationImport, ANumberHeldWithOtherValuesIsLeftAsItIsAndTheNewEntriesGoIn)
{
    ASSERT_TRUE(arrivo
                    ->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Anno, Oggetto, "
                           "Ufficio_competente, Orario) VALUES (2, 'U', '2025-06-02', 2025, 'mio', "
                           "'Ufficio D''Arco', '10:00:00')")
                    .ok());
    const EsitoImportazione esito = copia_righe(arrivo, registro, file);
    ASSERT_TRUE(esito.ok) << esito.errore.toStdString();
    EXPECT_FALSE(esito.doppione);
    EXPECT_EQ(esito.aggiunti, QList<qint64>({1}));
    ASSERT_EQ(esito.diversi.size(), 1);
    EXPECT_EQ(esito.diversi[0].first, 2);
    EXPECT_EQ(esito.diversi[0].second, QStringList({"Oggetto", "Nominativo"}));
    EXPECT_EQ(arrivo->scalar("SELECT group_concat(Progressivo || Oggetto) FROM entrata").toString(), "1Primo,2mio");
    EXPECT_EQ(conta("SELECT COUNT(*) FROM Mittenti"), 1); // entry 1's
}

TEST_F(NotificationImport, EntriesReceivedAgainWithTheSameValuesAreRecognised)
{
    ASSERT_TRUE(copia_righe(arrivo, registro, file).ok);
    // The receiving office has annotated, linked, filed and annulled entry 2 since: still the same
    // entry. A row of entry 1's number in the other direction belongs to no entry and is not entry 1's.
    ASSERT_TRUE(arrivo
                    ->exec("UPDATE entrata SET Note = 'vista', Collegamento = 'a.pdf', sys_nodo = '1\\', "
                           "Annullato = -1, Nota_annulla = 'doppia' WHERE Progressivo = 2")
                    .ok());
    ASSERT_TRUE(arrivo->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (1, 'U', 'Orfano')").ok());
    const EsitoImportazione ancora = copia_righe(arrivo, registro, file);
    EXPECT_FALSE(ancora.ok);
    EXPECT_TRUE(ancora.doppione);
    EXPECT_EQ(ancora.presenti, (QList<qint64> {1, 2}));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM Mittenti"), 4);

    // Sent again with an entry more: the new one goes in, the others are not written twice.
    ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto, Ufficio_competente) VALUES "
                         "(4, 'E', 'Quarto', 'Ufficio D''Arco')")
                    .ok());
    ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (4, 'E', 'Elena')").ok());
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    ASSERT_TRUE(rs.setFilter(filtro_notifica("Ufficio D'Arco")).ok());
    QString secondo;
    ASSERT_TRUE(scrivi_notifica(rs, cartella.path(), kMomento.addSecs(60), &secondo).ok());
    const EsitoImportazione esito = copia_righe(arrivo, registro, secondo);
    ASSERT_TRUE(esito.ok) << esito.errore.toStdString();
    EXPECT_EQ(esito.righe, 1);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM entrata"), 3);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM Mittenti"), 5);

    // Another subject, or another correspondent, under a number held: named, nothing written.
    ASSERT_TRUE(arrivo->exec("UPDATE Mittenti SET Nominativo = 'Carlo' WHERE Nominativo = 'Carla'").ok());
    ASSERT_TRUE(arrivo->exec("UPDATE entrata SET Oggetto = 'Altro' WHERE Progressivo = 1").ok());
    const EsitoImportazione diverso = copia_righe(arrivo, registro, file);
    EXPECT_TRUE(diverso.ok && !diverso.doppione && diverso.aggiunti.isEmpty());
    EXPECT_EQ(diverso.diversi, (QList<QPair<qint64, QStringList>> {{1, {"Oggetto"}}, {2, {"Nominativo"}}}));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM Mittenti"), 5);
    EXPECT_EQ(arrivo->scalar("SELECT Oggetto FROM entrata WHERE Progressivo = 1").toString(), "Altro");
}

TEST_F(NotificationImport, BadFilesWriteNothing)
{
    const auto scrivi = [this](const QByteArray& bytes) {
        const QString path = cartella.filePath("notifica_x.txt");
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return path;
    };
    EXPECT_FALSE(copia_righe(arrivo, registro, scrivi("")).ok);
    EXPECT_FALSE(copia_righe(arrivo, registro, scrivi("non un file xml")).ok);

    QFile buono(file);
    ASSERT_TRUE(buono.open(QIODevice::ReadOnly));
    const QByteArray testo = buono.readAll();
    EXPECT_FALSE(copia_righe(arrivo, registro, scrivi(testo.left(testo.size() - 40))).ok);

    // No rows: not an import.
    QByteArray senzaRighe = testo.left(testo.indexOf("<z:row")) + "</rs:data>\n</xml>\n";
    const EsitoImportazione vuoto = copia_righe(arrivo, registro, scrivi(senzaRighe));
    EXPECT_FALSE(vuoto.ok);
    EXPECT_TRUE(vuoto.vuoto);

    // Register numbers typed as reals: 5.5 and 6.4 are no register numbers (rounded, both would be 6).
    QByteArray reali = testo;
    reali.replace(R"(dt:type="int" dt:maxLength="4" rs:precision="10" rs:fixedlength="true" rs:maybenull="false")",
                  R"(dt:type="float" dt:maxLength="8" rs:precision="15" rs:fixedlength="true" rs:maybenull="false")");
    for (const char* colonna : {"Progressivo", "Quadernolo"}) {
        reali.replace(colonna + QByteArray("=\"1\""), colonna + QByteArray("=\"5.5\""));
        reali.replace(colonna + QByteArray("=\"2\""), colonna + QByteArray("=\"6.4\""));
    }
    const EsitoImportazione reale = copia_righe(arrivo, registro, scrivi(reali));
    EXPECT_FALSE(reale.ok);
    EXPECT_EQ(reale.errore,
              QString::fromUtf8("Riga 1, colonna Progressivo: \"5,5\" non è un numero di registro (un numero intero "
                                "da 1 a 2147483647)."));

    EXPECT_EQ(conta("SELECT COUNT(*) FROM entrata"), 0);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM Mittenti"), 0);

    // Fewer columns than the register.
    Recordset poche;
    ASSERT_TRUE(poche.open(db, "SELECT * FROM entrata").ok());
    QString poco;
    ASSERT_TRUE(scrivi_notifica(poche, cartella.path(), kMomento.addSecs(1), &poco).ok());
    EXPECT_FALSE(copia_righe(arrivo, registro, poco).ok);
}

TEST_F(NotificationImport, ACorrespondentOfAnotherEntryOrDirectionRefusesTheFileNamingTheRow)
{
    const struct
    {
        const char* campo;
        QVariant valore;
        const char* errore;
    } casi[]
        = {{"Quadernolo", 1, "Riga 3: il corrispondente è del quadernolo n. 1, non del n. 2."},
           {"Mittenti.tipo", "E", "Riga 3: la direzione del corrispondente (E) non è quella del quadernolo n. 2 (U)."}};
    for (const auto& caso : casi) {
        // Entry 2's second correspondent (the third row), changed before the file is saved.
        Recordset rs;
        ASSERT_TRUE(rs.open(db, registerQuery()).ok());
        ASSERT_TRUE(rs.setFilter(filtro_notifica("Ufficio D'Arco")).ok());
        ASSERT_TRUE(rs.setBookmark(rs.bookmarkAt(2)));
        ASSERT_TRUE(rs.setValue(caso.campo, caso.valore).ok());
        const QString storta = cartella.filePath("notifica_storta.xml");
        ASSERT_TRUE(rs.save(storta).ok());
        const EsitoImportazione esito = copia_righe(arrivo, registro, storta);
        EXPECT_FALSE(esito.ok);
        EXPECT_EQ(esito.errore, QString::fromUtf8(caso.errore));
        EXPECT_EQ(conta("SELECT COUNT(*) FROM entrata"), 0);
        EXPECT_EQ(conta("SELECT COUNT(*) FROM Mittenti"), 0);
    }
}

TEST_F(NotificationImport, AnEntryOfNeitherDirectionIsRefusedNamingTheRowAndTheColumn)
{
    for (const char* verso : {"", "X", "e", " U"}) {
        // Entry 1 (the first row) and its correspondent, given the direction before the file is saved.
        Recordset rs;
        ASSERT_TRUE(rs.open(db, registerQuery()).ok());
        ASSERT_TRUE(rs.setFilter(filtro_notifica("Ufficio D'Arco")).ok());
        ASSERT_TRUE(rs.setValue("entrata.Tipo", verso).ok());
        ASSERT_TRUE(rs.setValue("Mittenti.tipo", verso).ok());
        const QString storta = cartella.filePath("notifica_verso.xml");
        ASSERT_TRUE(rs.save(storta).ok());
        const EsitoImportazione esito = copia_righe(arrivo, registro, storta);
        EXPECT_FALSE(esito.ok);
        EXPECT_EQ(esito.errore,
                  QString::fromUtf8("Riga 1, colonna Tipo: \"%1\" non è una direzione (E per entrata, U per uscita).")
                      .arg(verso));
        EXPECT_EQ(conta("SELECT COUNT(*) FROM entrata"), 0);
        EXPECT_EQ(conta("SELECT COUNT(*) FROM Mittenti"), 0);
    }
}

TEST_F(NotificationImport, ARegisterNumberOutsideTheArchivesRangeIsRefusedWhateverItsColumnsType)
{
    QFile buono(file);
    ASSERT_TRUE(buono.open(QIODevice::ReadOnly));
    const QByteArray testo = buono.readAll();
    // Progressivo and Quadernolo (the columns declared as whole numbers that are never Null) given
    // another type, and entry 1's numbers (its row is the first) given other values.
    const auto variante = [&](const char* tipo, const char* progressivo, const char* quadernolo) {
        QByteArray v = testo;
        v.replace(R"(dt:type="int" dt:maxLength="4" rs:precision="10" rs:fixedlength="true" rs:maybenull="false")",
                  tipo);
        v.replace("Progressivo=\"1\"", progressivo ? "Progressivo=\"" + QByteArray(progressivo) + '"' : "");
        v.replace("Quadernolo=\"1\"", quadernolo ? "Quadernolo=\"" + QByteArray(quadernolo) + '"' : "");
        const QString path = cartella.filePath("notifica_numeri.xml");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(v);
        return path;
    };
    const char* testoNumero = R"(dt:type="string" dt:maxLength="255")";
    const char* reale = R"(dt:type="r8" dt:maxLength="8")";
    const char* intero = R"(dt:type="int" dt:maxLength="4")";
    const auto fuori = [](const char* colonna, const char* valore) {
        return QString::fromUtf8("Riga 1, colonna %1: %2 non è un numero di registro (un numero intero da 1 a "
                                 "2147483647).")
            .arg(QLatin1String(colonna), QLatin1String(valore));
    };
    const struct
    {
        const char* tipo;
        const char* progressivo;
        const char* quadernolo;
        QString errore;
    } casi[] = {
        {testoNumero, "9223372036854775807", "9223372036854775807", fuori("Progressivo", "\"9223372036854775807\"")},
        {reale, "2147483648", "2147483648", fuori("Progressivo", "\"2147483648\"")},
        {intero, "0", "0", fuori("Progressivo", "\"0\"")},
        {testoNumero, "1", "9223372036854775807", fuori("Quadernolo", "\"9223372036854775807\"")},
        {reale, "1", "2147483648", fuori("Quadernolo", "\"2147483648\"")},
        // A correspondent without an entry's number belongs to none.
        {intero, "1", nullptr,
         QString::fromUtf8("Riga 1: il corrispondente è del quadernolo n. (nessuno), non del n. 1.")},
    };
    for (const auto& caso : casi) {
        const EsitoImportazione esito
            = copia_righe(arrivo, registro, variante(caso.tipo, caso.progressivo, caso.quadernolo));
        EXPECT_FALSE(esito.ok) << caso.progressivo;
        EXPECT_EQ(esito.errore, caso.errore);
        EXPECT_EQ(conta("SELECT COUNT(*) FROM entrata"), 0);
        EXPECT_EQ(conta("SELECT COUNT(*) FROM Mittenti"), 0);
    }
    // The largest number the archive holds goes in, from a text column too.
    const EsitoImportazione esito = copia_righe(arrivo, registro, variante(testoNumero, "2147483647", "2147483647"));
    ASSERT_TRUE(esito.ok) << esito.errore.toStdString();
    EXPECT_EQ(
        arrivo->scalar("SELECT group_concat(Progressivo) FROM (SELECT Progressivo FROM entrata ORDER BY 1)").toString(),
        "2,2147483647");
    EXPECT_EQ(conta("SELECT COUNT(*) FROM Mittenti WHERE Quadernolo = 2147483647"), 1);
}

TEST_F(NotificationImport, RowsOfOneEntryThatDisagreeOnItsSubjectAreRefused)
{
    // Entry 2's second correspondent (the third row) gives the entry another subject (one that
    // the message must show as it is).
    Recordset rs;
    ASSERT_TRUE(rs.open(db, registerQuery()).ok());
    ASSERT_TRUE(rs.setFilter(filtro_notifica("Ufficio D'Arco")).ok());
    ASSERT_TRUE(rs.setBookmark(rs.bookmarkAt(2)));
    ASSERT_TRUE(rs.setValue("Oggetto", "Secondo \"bis\" al 50%1").ok());
    const QString storta = cartella.filePath("notifica_oggetto.xml");
    ASSERT_TRUE(rs.save(storta).ok());
    const EsitoImportazione esito = copia_righe(arrivo, registro, storta);
    EXPECT_FALSE(esito.ok);
    EXPECT_EQ(
        esito.errore,
        "Riga 3, colonna Oggetto: il quadernolo n. 2 vi ha \"Secondo \"bis\" al 50%1\", alla riga 2 \"Secondo\".");
    EXPECT_EQ(conta("SELECT COUNT(*) FROM entrata"), 0);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM Mittenti"), 0);
}
