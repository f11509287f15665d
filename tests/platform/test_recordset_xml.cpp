#include "archive_test.h"
#include "file_replace.h"
#include "recordset.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTime>

#include "register_query.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace quad;

namespace {

const QString kRegister = registerQuery();

class RecordsetXmlTest : public test::ArchiveTest
{
protected:
    QString path(const QString& name) const { return QDir(program.path()).filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray read(const QString& name) const
    {
        QFile f(path(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    /// The seeded register as its save writes it.
    QByteArray savedRegister()
    {
        seedRegister();
        Recordset rs;
        EXPECT_TRUE(rs.open(db, kRegister).ok());
        EXPECT_TRUE(rs.save(path("buono.xml")).ok());
        return read("buono.xml");
    }

    void seedRegister()
    {
        ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Anno, Oggetto, Note, Orario, "
                             "Annullato, Numero_documenti) VALUES "
                             "(1, 'E', '2004-03-12', 2004, 'L''ente \"Alfa\" <&> è €', 'riga 1\nriga 2\ttab', "
                             "'14:05:09', -1, 3), "
                             "(2, 'U', '2005-01-31', 2005, 'semplice', NULL, NULL, 0, NULL)")
                        .ok());
        ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo, Data_nascita) VALUES "
                             "(1, 'E', 'D''Amico', '1970-05-06'), (1, 'E', 'Rossi', NULL), "
                             "(2, 'U', 'Città di Ré', NULL)")
                        .ok());
    }
};

TEST_F(RecordsetXmlTest, SaveThenOpenGivesTheSameRowsAndTypes)
{
    seedRegister();
    Recordset rs;
    ASSERT_TRUE(rs.open(db, kRegister).ok());
    ASSERT_TRUE(rs.save(path("Notifica.xml")).ok());

    const QByteArray text = read("Notifica.xml");
    EXPECT_TRUE(text.contains("xmlns:rs=\"urn:schemas-microsoft-com:rowset\""));
    EXPECT_TRUE(text.contains("<s:Schema id=\"RowsetSchema\">"));
    EXPECT_TRUE(text.contains("dt:type=\"dateTime\""));
    EXPECT_TRUE(text.contains("Data_quadernolo=\"2004-03-12T00:00:00\""));
    EXPECT_TRUE(text.contains("Orario=\"1899-12-30T14:05:09\""));
    EXPECT_TRUE(text.contains("Annullato=\"True\""));
    EXPECT_FALSE(text.contains("Quad_rif=")); // Null: no attribute

    DbResult err;
    auto back = Recordset::openXml(path("Notifica.xml"), &err);
    ASSERT_TRUE(back) << err.message.toStdString();
    ASSERT_EQ(back->fieldCount(), rs.fieldCount());
    ASSERT_EQ(back->recordCount(), rs.recordCount());
    for (int c = 0; c < rs.fieldCount(); ++c) {
        EXPECT_EQ(back->field(c).name, rs.field(c).uniqueName);
        EXPECT_EQ(back->field(c).type, rs.field(c).type) << rs.field(c).uniqueName.toStdString();
    }
    for (int r = 0; r < rs.recordCount(); ++r) {
        for (int c = 0; c < rs.fieldCount(); ++c) {
            const QVariant a = rs.valueAt(r, c);
            const QVariant b = back->valueAt(r, c);
            EXPECT_EQ(a.isNull(), b.isNull()) << r << " " << rs.field(c).uniqueName.toStdString();
            if (!a.isNull()) {
                EXPECT_EQ(a.metaType(), b.metaType()) << rs.field(c).uniqueName.toStdString();
                EXPECT_EQ(a, b) << rs.field(c).uniqueName.toStdString();
            }
        }
    }
    EXPECT_EQ(back->value("entrata.Tipo").toString(), "E");
    EXPECT_EQ(back->value("Oggetto").toString(), QString::fromUtf8("L'ente \"Alfa\" <&> è €"));
    EXPECT_EQ(back->value("Note").toString(), "riga 1\nriga 2\ttab");
    EXPECT_FALSE(back->hasPendingChanges());
}

TEST_F(RecordsetXmlTest, SaveWritesTheFilteredViewWithPendingValues)
{
    seedRegister();
    Recordset rs;
    ASSERT_TRUE(rs.open(db, kRegister).ok());
    auto clone = rs.clone();
    ASSERT_TRUE(clone->setFilter("sys_consegnato <> -1 and Ufficio_competente = 'X'").ok());
    EXPECT_TRUE(clone->eof());
    ASSERT_TRUE(clone->setFilter("Progressivo = 1").ok());
    ASSERT_TRUE(clone->setValue("Nominativo", "cambiato").ok());
    ASSERT_TRUE(clone->save(path("due.xml")).ok());
    DbResult err;
    auto back = Recordset::openXml(path("due.xml"), &err);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->recordCount(), 2);
    EXPECT_EQ(back->value("Nominativo").toString(), "cambiato");
}

TEST_F(RecordsetXmlTest, ReadsOtherPrefixesAliasesAndNoDeclaration)
{
    // Single quotes, other prefixes, an alias for a name XML cannot carry, no declaration.
    write("altro.xml",
          "<xml xmlns:a='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\n"
          "\txmlns:b='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\n"
          "\txmlns:c='urn:schemas-microsoft-com:rowset'\n"
          "\txmlns:d='#RowsetSchema'>\n"
          "<a:Schema id='RowsetSchema'>\n"
          "\t<a:ElementType name='row' content='eltOnly' c:updatable='true'>\n"
          "\t\t<a:AttributeType name='Numero' c:number='1' c:writeunknown='true'>\n"
          "\t\t\t<a:datatype b:type='int' b:maxLength='4' c:precision='10' c:fixedlength='true' "
          "c:maybenull='false'/>\n"
          "\t\t</a:AttributeType>\n"
          "\t\t<a:AttributeType name='c1' c:name='Nome e cognome' c:number='2' c:nullable='true'>\n"
          "\t\t\t<a:datatype b:type='string' b:maxLength='50'/>\n"
          "\t\t</a:AttributeType>\n"
          "\t\t<a:AttributeType name='Quando' c:number='4' c:nullable='true'>\n"
          "\t\t\t<a:datatype b:type='dateTime' c:dbtype='variantdate' b:maxLength='16'/>\n"
          "\t\t</a:AttributeType>\n"
          "\t\t<a:AttributeType name='Attivo' c:number='3'>\n"
          "\t\t\t<a:datatype b:type='boolean' b:maxLength='2'/>\n"
          "\t\t</a:AttributeType>\n"
          "\t\t<a:AttributeType name='Importo' c:number='5' c:nullable='true'>\n"
          "\t\t\t<a:datatype b:type='float' b:maxLength='8'/>\n"
          "\t\t</a:AttributeType>\n"
          "\t\t<a:AttributeType name='Codice' c:number='6' c:nullable='true'>\n"
          "\t\t\t<a:datatype b:type='string' c:dbtype='str' b:maxLength='20'/>\n"
          "\t\t</a:AttributeType>\n"
          "\t\t<a:extends type='c:rowbase'/>\n"
          "\t</a:ElementType>\n"
          "</a:Schema>\n"
          "<c:data>\n"
          "\t<d:row Numero='1' c1='Anna D&apos;Amico' Attivo='True' Quando='2004-03-12T10:30:00' Importo='1.5'/>\n"
          "\t<d:row Numero='2' Attivo='False' Quando='2004-03-13T00:00:00' Codice='A1'/>\n"
          "</c:data>\n"
          "</xml>\n");
    DbResult err;
    auto rs = Recordset::openXml(path("altro.xml"), &err);
    ASSERT_TRUE(rs) << err.message.toStdString();
    ASSERT_EQ(rs->fieldCount(), 6);
    EXPECT_EQ(rs->field(1).name, "Nome e cognome");
    EXPECT_EQ(rs->field(2).name, "Attivo"); // ordered by rs:number
    EXPECT_EQ(rs->field(0).type, adInteger);
    EXPECT_EQ(rs->field(3).type, adDate);
    EXPECT_EQ(rs->field(4).type, adDouble);
    EXPECT_EQ(rs->field(5).type, 200);
    EXPECT_EQ(rs->field(1).definedSize, 50);
    ASSERT_EQ(rs->recordCount(), 2);
    EXPECT_EQ(rs->value("Nome e cognome").toString(), "Anna D'Amico");
    EXPECT_EQ(rs->value("Attivo"), QVariant(true));
    EXPECT_EQ(rs->value("Quando"), QVariant(QDateTime(QDate(2004, 3, 12), QTime(10, 30))));
    EXPECT_EQ(rs->value("Importo").toDouble(), 1.5);
    rs->moveNext();
    EXPECT_TRUE(rs->value(1).isNull());
    EXPECT_EQ(rs->value("Quando"), QVariant(QDate(2004, 3, 13)));
    EXPECT_EQ(rs->value("Codice").toString(), "A1");

    // With a declaration too.
    write("dichiarato.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + read("altro.xml"));
    EXPECT_TRUE(Recordset::openXml(path("dichiarato.xml"), &err)) << err.message.toStdString();
}

TEST_F(RecordsetXmlTest, PendingChangeWrappersOfASavedBatchReadAsPending)
{
    write("batch.xml",
          "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' "
          "xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' xmlns:rs='urn:schemas-microsoft-com:rowset' "
          "xmlns:z='#RowsetSchema'>\n"
          "<s:Schema id='RowsetSchema'><s:ElementType name='row' content='eltOnly' rs:updatable='true'>\n"
          "<s:AttributeType name='Id' rs:number='1'><s:datatype dt:type='int' dt:maxLength='4'/></s:AttributeType>\n"
          "<s:AttributeType name='Nome' rs:number='2' rs:nullable='true'><s:datatype dt:type='string' "
          "dt:maxLength='40'/></s:AttributeType>\n"
          "<s:extends type='rs:rowbase'/></s:ElementType></s:Schema>\n"
          "<rs:data>\n"
          "<z:row Id='1' Nome='uno'/>\n"
          "<rs:update><rs:original><z:row Id='2' Nome='due'/></rs:original><z:row Nome='DUE'/></rs:update>\n"
          "<rs:insert><z:row Id='5' Nome='cinque'/><z:row Id='6'/></rs:insert>\n"
          "<rs:delete><z:row Id='3' Nome='tre'/></rs:delete>\n"
          "<z:row Id='4' Nome='quattro'/>\n"
          "<rs:update><rs:original><z:row Id='7' Nome='sette'/></rs:original><z:row rs:forcenull='Nome'/></rs:update>\n"
          "</rs:data></xml>");
    DbResult err;
    auto rs = Recordset::openXml(path("batch.xml"), &err);
    ASSERT_TRUE(rs) << err.message.toStdString();
    EXPECT_TRUE(rs->hasPendingChanges());
    QStringList seen;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        seen << QString("%1:%2").arg(rs->value("Id").toString(), rs->value("Nome").toString());
        const RowStatus status = rs->rowStatus();
        const qint64 id = rs->value("Id").toLongLong();
        EXPECT_EQ(status, id == 2 || id == 7 ? RowStatus::Modified : id >= 5 ? RowStatus::New : RowStatus::Unmodified);
    }
    EXPECT_EQ(seen, (QStringList {"1:uno", "2:DUE", "4:quattro", "7:", "5:cinque", "6:"}));
    rs->cancelBatch();
    seen.clear();
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        seen << QString("%1:%2").arg(rs->value("Id").toString(), rs->value("Nome").toString());
    EXPECT_EQ(seen, (QStringList {"1:uno", "2:due", "3:tre", "4:quattro", "7:sette"}));
}

TEST_F(RecordsetXmlTest, ABrokenFileIsRefusedWhole)
{
    const QByteArray good = savedRegister();

    DbResult err;
    write("mezzo.xml", good.left(good.size() / 2));
    EXPECT_FALSE(Recordset::openXml(path("mezzo.xml"), &err));
    EXPECT_FALSE(err.ok());
    EXPECT_TRUE(err.message.contains("mezzo.xml"));

    const int dataEnd = good.indexOf("</rs:data>") + int(strlen("</rs:data>"));
    write("senza_chiusura.xml", good.left(dataEnd));
    EXPECT_FALSE(Recordset::openXml(path("senza_chiusura.xml"), &err));

    QByteArray badValue = good;
    badValue.replace("Progressivo=\"2\"", "Progressivo=\"due\"");
    write("valore.xml", badValue);
    EXPECT_FALSE(Recordset::openXml(path("valore.xml"), &err));
    EXPECT_TRUE(err.message.contains("Progressivo"));

    write("testo.xml", "Progressivo;Tipo\n1;E\n");
    EXPECT_FALSE(Recordset::openXml(path("testo.xml"), &err));
    write("vuoto.xml", "");
    EXPECT_FALSE(Recordset::openXml(path("vuoto.xml"), &err));
    EXPECT_FALSE(Recordset::openXml(path("manca.xml"), &err));
    EXPECT_EQ(err.code, DbError::NotFound);

    QByteArray noSchema = good;
    noSchema.replace("AttributeType", "Attributo");
    write("schema.xml", noSchema);
    EXPECT_FALSE(Recordset::openXml(path("schema.xml"), &err));
}

TEST_F(RecordsetXmlTest, AFileWhoseStructureIsNotTakenInFullIsRefusedWhole)
{
    const QByteArray good = savedRegister();
    const QByteArray riga = "<z:row Progressivo=\"9\" Quadernolo=\"9\"/>";
    // Each variant has rows, or a place for them, that the reader would not take.
    const std::pair<QByteArray, const char*> casi[] = {
        {QByteArray(good).replace("</rs:data>", "<rs:data>" + riga + "</rs:data>" + riga + "</rs:data>"),
         "Più di una sezione di dati (rs:data)"},
        {QByteArray(good).replace("</xml>", "<rs:data>" + riga + "</rs:data></xml>"),
         "Più di una sezione di dati (rs:data)"},
        {QByteArray(good).replace("</rs:data>", "</rs:data>" + riga), "Elemento inatteso nel file XML (riga"},
        {QByteArray(good).replace("</rs:data>", "<z:righe>" + riga + "</z:righe></rs:data>"), "<z:righe>"},
        {QByteArray(good).replace("</rs:data>", "<z:row Progressivo=\"9\">" + riga + "</z:row></rs:data>"), "<z:row>"},
        {QByteArray(good).replace("<s:extends", "<rs:data>" + riga + "</rs:data><s:extends"), "<rs:data>"},
        {QByteArray(good).replace("</rs:data>", "Progressivo 9</rs:data>"), "Testo inatteso nel file XML (riga"},
        // The schema holds one description of the rows; rows are in the rows' namespace alone.
        {QByteArray(good).replace("<rs:data>", "<s:Schema id=\"RowsetSchema\"/><rs:data>"), "<s:Schema>"},
        {QByteArray(good).replace("<s:extends", "<s:Schema id=\"Altro\"/><s:extends"), "<s:Schema>"},
        {QByteArray(good).replace("</s:Schema>",
                                  "<s:ElementType name=\"row\" content=\"eltOnly\"><s:AttributeType name=\"Altro\">"
                                  "<s:datatype dt:type=\"string\"/></s:AttributeType></s:ElementType></s:Schema>"),
         "<s:ElementType>"},
        {QByteArray(good).replace("<s:extends", riga + "<s:extends"), "<z:row>"},
        {QByteArray(good).replace("</rs:data>", "<rs:original>" + riga + "</rs:original></rs:data>"), "<rs:original>"},
        {QByteArray(good).replace("</rs:data>",
                                  "<x:row xmlns:x=\"urn:altro\" Progressivo=\"9\" Quadernolo=\"9\"/></rs:data>"),
         "<x:row>"},
    };
    for (const auto& [testo, errore] : casi) {
        write("storto.xml", testo);
        DbResult err;
        EXPECT_FALSE(Recordset::openXml(path("storto.xml"), &err)) << errore;
        EXPECT_TRUE(err.message.contains(QString::fromUtf8(errore))) << err.message.toStdString();
    }
}

/// The line of a file on which its first occurrence of what begins.
int lineOf(const QByteArray& file, const QByteArray& what)
{
    return int(file.left(file.indexOf(what)).count('\n')) + 1;
}

TEST_F(RecordsetXmlTest, ADoctypeIsRefusedWithTheEntitiesItDeclares)
{
    const QByteArray good = savedRegister();
    // The second row (entry 1's second correspondent) given as a reference to another file.
    const qsizetype seconda = good.indexOf("<z:row ", good.indexOf("<z:row ") + 1);
    const QByteArray senzaSeconda
        = QByteArray(good).replace(seconda, good.indexOf("/>", seconda) + 2 - seconda, "&righe;");
    const QByteArray interna = "<!DOCTYPE xml [<!ENTITY righe SYSTEM \"righe.xml\">]>\n";
    const QByteArray esterna = "<!DOCTYPE xml SYSTEM \"righe.dtd\">\n";
    const QByteArray oggetto = "Oggetto=\"semplice\"";
    const QByteArray casi[] = {
        interna + senzaSeconda,
        interna + QByteArray(good).replace("</rs:data>", "</rs:data>&righe;"),
        interna + QByteArray(good).replace("<s:extends", "&righe;<s:extends"),
        esterna + senzaSeconda,
        esterna + QByteArray(good).replace(oggetto, "Oggetto=\"&righe;\""),
        esterna + QByteArray(good).replace(oggetto, "Oggetto=\"&r" + QByteArray(34, '\0') + ";\""),
        "<!DOCTYPE xml [<!ENTITY ogg \"semplice\">]>\n" + QByteArray(good).replace(oggetto, "Oggetto=\"&ogg;\""),
        esterna + good,
    };
    for (const QByteArray& testo : casi) {
        write("entita.xml", testo);
        DbResult err;
        EXPECT_FALSE(Recordset::openXml(path("entita.xml"), &err)) << testo.left(60).toStdString();
        EXPECT_TRUE(err.message.endsWith("Dichiarazione DOCTYPE nel file XML (riga 1): un file di dati non ne ha."))
            << err.message.toStdString();
    }
}

TEST_F(RecordsetXmlTest, ARowValueOfAFieldTheSchemaLacksIsRefusedNamingItsLine)
{
    seedRegister();
    ASSERT_TRUE(db->exec("UPDATE Mittenti SET Citta = 'Paris' WHERE Nominativo = 'Rossi'").ok());
    Recordset rs;
    ASSERT_TRUE(rs.open(db, kRegister).ok());
    ASSERT_TRUE(rs.save(path("buono.xml")).ok());
    const QByteArray good = read("buono.xml");
    const int riga = lineOf(good, "Citta=\"Paris\"");
    const std::pair<QByteArray, const char*> casi[] = {
        {"Citt=\"Paris\"", "Citt"},
        {"citta=\"Paris\"", "citta"},
        {"z:Citta=\"Paris\"", "z:Citta"},
        {"rs:Citta=\"Paris\"", "rs:Citta"},
        {"Citta=\"Paris\" Ogetto=\"altro\"", "Ogetto"},
        {"Citta=\"Paris\" rs:forcenull=\"Citt\"", "Citt"},
    };
    for (const auto& [attributo, nome] : casi) {
        write("campo.xml", QByteArray(good).replace("Citta=\"Paris\"", attributo));
        DbResult err;
        EXPECT_FALSE(Recordset::openXml(path("campo.xml"), &err)) << attributo.toStdString();
        EXPECT_TRUE(err.message.endsWith(
            QStringLiteral("Un valore nel file XML (riga %1) è di un campo che lo schema non ha: \"%2\".")
                .arg(riga)
                .arg(QLatin1String(nome))))
            << err.message.toStdString();
    }
}

TEST_F(RecordsetXmlTest, BlankTextWhereNoneBelongsIsShownByItsCodes)
{
    const QString good = QString::fromUtf8(savedRegister());
    const std::pair<QByteArray, const char*> casi[] = {
        {"<![CDATA[  ]]>", R"("\u0020\u0020")"},
        {"&#160;", R"("\u00A0")"},
        {"\xc2\xa0", R"("\u00A0")"},
        {"&#32;&#9;", R"("\u0020\u0009")"},
        {"<![CDATA[\n]]>", R"("\u000A")"},
        {"Progressivo\xc2\xa0 9", R"("Progressivo\u00A0 9")"},
    };
    for (const auto& [testo, mostrato] : casi) {
        // The text right after the last row, where the blanks before the end of the data were.
        const QByteArray file = QString(good)
                                    .replace(QRegularExpression(QStringLiteral("\\s*</rs:data>")),
                                             QString::fromUtf8(testo) + QStringLiteral("</rs:data>"))
                                    .toUtf8();
        const int riga = lineOf(file, "</rs:data>");
        write("bianco.xml", file);
        DbResult err;
        EXPECT_FALSE(Recordset::openXml(path("bianco.xml"), &err)) << mostrato;
        EXPECT_TRUE(err.message.endsWith(
            QStringLiteral("Testo inatteso nel file XML (riga %1): %2").arg(riga).arg(QLatin1String(mostrato))))
            << err.message.toStdString();
    }
}

TEST_F(RecordsetXmlTest, AValueThatCannotBeWrittenFailsTheSaveAndLeavesNoFile)
{
    seedRegister();
    ASSERT_TRUE(db->exec("UPDATE entrata SET Data_quad_rif = 'ieri' WHERE Progressivo = 2").ok());
    ASSERT_TRUE(db->exec("UPDATE Mittenti SET Indirizzo = 'a' || char(1) || 'b' WHERE Quadernolo = 1").ok());
    Recordset rs;
    ASSERT_TRUE(rs.open(db, kRegister + " ").ok());
    const DbResult r = rs.save(path("rotto.xml"));
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(QFile::exists(path("rotto.xml")));
    ASSERT_TRUE(rs.setFilter("Progressivo = 2").ok());
    EXPECT_FALSE(rs.save(path("rotto.xml")).ok());
    EXPECT_TRUE(rs.value("Data_quad_rif").toString() == "ieri");
}

TEST_F(RecordsetXmlTest, ASaveOnAFullDiskKeepsTheOldFileWhole)
{
    ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Oggetto) VALUES (1, 'E', 'a'), (2, 'U', 'b')").ok());
    Recordset rs;
    ASSERT_TRUE(rs.open(db, kRegister).ok());
    ASSERT_TRUE(rs.save(path("registro.xml")).ok());
    const QByteArray before = read("registro.xml");
    ASSERT_TRUE(rs.setFilter("Progressivo = 2").ok());

    setFileWriteFaultForTests([&](const QString& file) { return file.endsWith("registro.xml"); });
    const DbResult r = rs.save(path("registro.xml"));
    setFileWriteFaultForTests(nullptr);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.message.contains("registro.xml")) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << r.message.toStdString();
    EXPECT_EQ(read("registro.xml"), before);
    EXPECT_EQ(QDir(program.path()).entryList(QDir::Files).filter("registro"), QStringList {"registro.xml"});
}

TEST_F(RecordsetXmlTest, AnInMemoryRecordsetRoundTrips)
{
    Recordset rs;
    rs.appendField("OPERATORE_UNIONE", 200, 20);
    rs.appendField("NOME_CAMPO", 200, 255);
    rs.appendField("Valore", adDouble);
    rs.appendField("Giorno", adDate);
    rs.openInMemory();
    rs.addNew();
    EXPECT_TRUE(rs.setValue(0, " e ").ok());
    EXPECT_TRUE(rs.setValue(1, "Oggetto").ok());
    EXPECT_TRUE(rs.setValue(2, "-2,5").ok());
    EXPECT_TRUE(rs.setValue(3, "08:15").ok());
    ASSERT_TRUE(rs.save(path("criteri.xml")).ok());
    DbResult err;
    auto back = Recordset::openXml(path("criteri.xml"), &err);
    ASSERT_TRUE(back) << err.message.toStdString();
    EXPECT_EQ(back->field(0).type, 200);
    EXPECT_EQ(back->field(0).definedSize, 20);
    EXPECT_EQ(back->value(0).toString(), " e ");
    EXPECT_EQ(back->value(2).toDouble(), -2.5);
    EXPECT_EQ(back->value(3), QVariant(QTime(8, 15)));
}

/// The schema element of one column in a saved file.
QString columnSchema(const QByteArray& file, const QString& name)
{
    const QString text = QString::fromUtf8(file);
    const qsizetype start = text.indexOf(QStringLiteral("<s:AttributeType name=\"%1\"").arg(name));
    if (start < 0)
        return {};
    return text.mid(start, text.indexOf(QStringLiteral("</s:AttributeType>"), start) - start);
}

TEST_F(RecordsetXmlTest, TheRegistersSchemaAsThePublishedFormatWritesItAndAfterASecondSave)
{
    seedRegister();
    Recordset rs;
    ASSERT_TRUE(rs.open(db, kRegister).ok());
    ASSERT_TRUE(rs.save(path("primo.xml")).ok());
    const QByteArray primo = read("primo.xml");
    // Every column names its table and column; the entry number is the key.
    for (int c = 0; c < rs.fieldCount(); ++c) {
        const QString schema = columnSchema(primo, rs.field(c).uniqueName);
        const FieldInfo& f = rs.field(c);
        EXPECT_TRUE(schema.contains(QStringLiteral("rs:basetable=\"%1\"").arg(f.table))) << schema.toStdString();
        EXPECT_TRUE(schema.contains(QStringLiteral("rs:basecolumn=\"%1\"").arg(f.name))) << schema.toStdString();
        EXPECT_TRUE(schema.contains(f.name == "Progressivo" ? "rs:keycolumn=\"true\"" : "rs:keycolumn=\"false\""))
            << schema.toStdString();
        EXPECT_FALSE(schema.contains("rs:maybenull=\"true\"")) << schema.toStdString();
    }
    EXPECT_TRUE(columnSchema(primo, "Progressivo").contains("rs:precision=\"10\""));
    EXPECT_TRUE(columnSchema(primo, "Data_quadernolo").contains("rs:precision=\"19\""));
    EXPECT_FALSE(columnSchema(primo, "Oggetto").contains("rs:precision"));

    DbResult err;
    auto back = Recordset::openXml(path("primo.xml"), &err);
    ASSERT_TRUE(back) << err.message.toStdString();
    ASSERT_TRUE(back->save(path("secondo.xml")).ok());
    for (const QString& file : {QStringLiteral("primo.xml"), QStringLiteral("secondo.xml")}) {
        const QByteArray text = read(file);
        for (const char* never : {"Progressivo", "Quadernolo", "Mittenti.tipo", "Annullato"}) {
            EXPECT_TRUE(columnSchema(text, never).contains("rs:maybenull=\"false\"")) << never << file.toStdString();
            EXPECT_FALSE(columnSchema(text, never).contains("rs:nullable")) << never << file.toStdString();
        }
        for (const char* maybe : {"Oggetto", "entrata.Tipo"}) {
            EXPECT_FALSE(columnSchema(text, maybe).contains("rs:maybenull")) << maybe << file.toStdString();
            EXPECT_TRUE(columnSchema(text, maybe).contains("rs:nullable=\"true\"")) << maybe << file.toStdString();
        }
    }

    // A file written before, with "may be Null" on every column and none of the base names,
    // reads as it did.
    QString vecchio = QString::fromUtf8(primo);
    vecchio.remove(QRegularExpression(QStringLiteral(" rs:(basetable|basecolumn|keycolumn|precision)=\"[^\"]*\"")));
    vecchio.replace(QRegularExpression(QStringLiteral("<s:datatype (?![^>]*maybenull)")),
                    QStringLiteral("<s:datatype rs:maybenull=\"true\" "));
    write("vecchio.xml", vecchio.toUtf8());
    auto old = Recordset::openXml(path("vecchio.xml"), &err);
    ASSERT_TRUE(old) << err.message.toStdString();
    EXPECT_EQ(old->recordCount(), rs.recordCount());
    EXPECT_EQ(old->value("Oggetto"), back->value("Oggetto"));
}

TEST_F(RecordsetXmlTest, NumbersAreWrittenWithoutAnExponent)
{
    Recordset rs;
    rs.appendField("Valore", adDouble);
    rs.openInMemory();
    const double values[] = {1e15, -2.5e20, 1.5e-7, 123.25, 0.1};
    for (const double v : values) {
        rs.addNew();
        ASSERT_TRUE(rs.setValue(0, v).ok());
    }
    ASSERT_TRUE(rs.save(path("numeri.xml")).ok());
    const QByteArray text = read("numeri.xml");
    EXPECT_TRUE(text.contains("Valore=\"1000000000000000\"")) << text.toStdString();
    EXPECT_TRUE(text.contains("Valore=\"-250000000000000000000\""));
    EXPECT_TRUE(text.contains("Valore=\"0.00000015\""));
    EXPECT_FALSE(QString::fromUtf8(text).contains(QRegularExpression(QStringLiteral("Valore=\"[^\"]*[eE]"))));
    DbResult err;
    auto back = Recordset::openXml(path("numeri.xml"), &err);
    ASSERT_TRUE(back) << err.message.toStdString();
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(back->valueAt(r, 0).toDouble(), values[r]) << r;
}

TEST_F(RecordsetXmlTest, TextLengthsCurrencyAndLongTextFollowTheValues)
{
    Recordset rs;
    rs.appendField("Breve", adVarWChar);
    rs.appendField("Lungo", adVarWChar);
    rs.appendField("Importo", 6);
    rs.appendField("Memo", adLongVarWChar);
    rs.openInMemory();
    const QString lungo = QString(300, QLatin1Char('x')) + QStringLiteral("è");
    rs.addNew();
    EXPECT_TRUE(rs.setValue(0, "abc").ok());
    EXPECT_TRUE(rs.setValue(1, lungo).ok());
    EXPECT_TRUE(rs.setValue(2, "12,34").ok());
    EXPECT_TRUE(rs.setValue(3, "nota").ok());
    ASSERT_TRUE(rs.save(path("lunghi.xml")).ok());
    const QByteArray text = read("lunghi.xml");
    EXPECT_TRUE(columnSchema(text, "Breve").contains("dt:maxLength=\"255\""));
    EXPECT_FALSE(columnSchema(text, "Breve").contains("rs:long"));
    EXPECT_TRUE(columnSchema(text, "Lungo").contains("rs:long=\"true\""));
    EXPECT_FALSE(columnSchema(text, "Lungo").contains("dt:maxLength=\"255\""));
    EXPECT_TRUE(columnSchema(text, "Memo").contains("rs:long=\"true\""));
    EXPECT_TRUE(columnSchema(text, "Importo").contains("dt:type=\"number\""));
    EXPECT_TRUE(columnSchema(text, "Importo").contains("rs:dbtype=\"currency\""));
    EXPECT_FALSE(text.contains("\"i8\""));

    DbResult err;
    auto back = Recordset::openXml(path("lunghi.xml"), &err);
    ASSERT_TRUE(back) << err.message.toStdString();
    EXPECT_EQ(back->value("Lungo").toString(), lungo);
    EXPECT_GE(back->field(1).definedSize, lungo.size());
    EXPECT_EQ(back->field(2).type, 6);
    EXPECT_DOUBLE_EQ(back->value("Importo").toDouble(), 12.34);
}

TEST_F(RecordsetXmlTest, AnAliasNeverTakesAnotherFieldsName)
{
    // Field 1 cannot be an XML name; its alias "c1" must not be field 0's name.
    Recordset rs;
    rs.appendField("c1", adVarWChar);
    rs.appendField("Nome e cognome", adVarWChar);
    rs.appendField("c1_2", adVarWChar);
    rs.openInMemory();
    rs.addNew();
    EXPECT_TRUE(rs.setValue(0, "primo").ok());
    EXPECT_TRUE(rs.setValue(1, "secondo").ok());
    EXPECT_TRUE(rs.setValue(2, "terzo").ok());
    ASSERT_TRUE(rs.save(path("alias.xml")).ok());
    DbResult err;
    auto back = Recordset::openXml(path("alias.xml"), &err);
    ASSERT_TRUE(back) << err.message.toStdString();
    ASSERT_EQ(back->fieldCount(), 3);
    EXPECT_EQ(back->field(1).name, "Nome e cognome");
    EXPECT_EQ(back->value(0).toString(), "primo");
    EXPECT_EQ(back->value(1).toString(), "secondo");
    EXPECT_EQ(back->value(2).toString(), "terzo");
}

TEST_F(RecordsetXmlTest, AnIntegerBeyondItsWidthIsRefusedOnReading)
{
    const auto file = [](const char* type, const char* value) {
        return QByteArray("<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' "
                          "xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' "
                          "xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>"
                          "<s:Schema id='RowsetSchema'><s:ElementType name='row' content='eltOnly'>"
                          "<s:AttributeType name='N' rs:number='1'><s:datatype dt:type='")
            + type + "'/></s:AttributeType></s:ElementType></s:Schema><rs:data><z:row N='" + value
            + "'/></rs:data></xml>";
    };
    DbResult err;
    const std::pair<const char*, const char*> refused[]
        = {{"i2", "32768"}, {"ui1", "-1"}, {"int", "2147483648"}, {"ui2", "65536"}, {"i1", "-129"}};
    for (const auto& [type, value] : refused) {
        write("largo.xml", file(type, value));
        EXPECT_FALSE(Recordset::openXml(path("largo.xml"), &err)) << type << " " << value;
    }
    const std::pair<const char*, const char*> accepted[]
        = {{"i2", "-32768"}, {"int", "2147483647"}, {"i8", "5000000000"}, {"ui1", "255"}};
    for (const auto& [type, value] : accepted) {
        write("largo.xml", file(type, value));
        auto rs = Recordset::openXml(path("largo.xml"), &err);
        ASSERT_TRUE(rs) << type << " " << err.message.toStdString();
        EXPECT_EQ(rs->value(0).toString(), QString::fromLatin1(value));
    }

    // A number beyond 32 bits in an integer column is written so that it reads back.
    Recordset big;
    big.appendField("N", adInteger);
    big.openInMemory();
    big.addNew();
    EXPECT_TRUE(big.setValue(0, QVariant(qint64(5000000000))).ok());
    ASSERT_TRUE(big.save(path("grande.xml")).ok());
    auto back = Recordset::openXml(path("grande.xml"), &err);
    ASSERT_TRUE(back) << err.message.toStdString();
    EXPECT_EQ(back->value(0).toLongLong(), 5000000000);
}

} // namespace

TEST_F(RecordsetXmlTest, AColumnHoldingValuesLongerThanItsDeclaredLengthIsSavedWithTheLongest)
{
    // Another office's file declares 5 characters and holds 11 ("è" counts as one).
    write("corto.xml",
          "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' "
          "xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' "
          "xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>"
          "<s:Schema id='RowsetSchema'><s:ElementType name='row' content='eltOnly'>"
          "<s:AttributeType name='Oggetto' rs:number='1' rs:nullable='true'>"
          "<s:datatype dt:type='string' dt:maxLength='5'/></s:AttributeType>"
          "</s:ElementType></s:Schema><rs:data>"
          "<z:row Oggetto='Perché così'/><z:row Oggetto='Sì'/><z:row/>"
          "</rs:data></xml>");
    DbResult err;
    auto letto = Recordset::openXml(path("corto.xml"), &err);
    ASSERT_TRUE(letto) << err.message.toStdString();
    ASSERT_TRUE(letto->save(path("salvato.xml")).ok());
    EXPECT_TRUE(columnSchema(read("salvato.xml"), "Oggetto").contains("dt:maxLength=\"11\""))
        << columnSchema(read("salvato.xml"), "Oggetto").toStdString();

    auto back = Recordset::openXml(path("salvato.xml"), &err);
    ASSERT_TRUE(back) << err.message.toStdString();
    EXPECT_EQ(back->field(0).definedSize, 11);
    EXPECT_EQ(back->value(0).toString(), QString::fromUtf8("Perché così"));
    // The value read back fits its column again, as a copy of the row writes it.
    EXPECT_TRUE(back->setValue(0, QString::fromUtf8("Perché così")).ok());
    back->moveNext();
    EXPECT_EQ(back->value(0).toString(), QString::fromUtf8("Sì"));
}
