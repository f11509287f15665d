#include "transfer_file.h"

#include "field_text.h"
#include "file_replace.h"
#include "received_entries.h"

#include <QFile>
#include <QHash>

#include <cmath>
#include <utility>

namespace quad {

namespace {

const QChar kFineRiga(0x00FF); // the byte 0xFF in the code page
const QChar kTab(QLatin1Char('\t'));
const QChar kVirgolette(QLatin1Char('"'));
const QString kNullo = QStringLiteral(" ");

/// Code page 1252 between 0x80 and 0x9F (0 where the page has no character).
constexpr char16_t kCp1252[32]
    = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
       0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
       0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

/// The byte of c in code page 1252, or -1 when the page lacks it.
int byteOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (kCp1252[i] == u)
            return 0x80 + i;
    }
    return -1;
}

QString decodifica(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        text += (u >= 0x80 && u < 0xA0 && kCp1252[u - 0x80]) ? QChar(kCp1252[u - 0x80]) : QChar(u);
    }
    return text;
}

/// A value as the transfer text carries it.
QString testoValore(const QVariant& v)
{
    if (v.isNull())
        return kNullo;
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
    return Recordset::displayText(v);
}

/// The number the text begins with (blanks before it skipped; point or comma before decimals),
/// 0 when it begins with none.
double numeroIniziale(const QString& text)
{
    QString numero;
    int i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        numero += text[i++];
    bool decimali = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 0x80)
            numero += c;
        else if (!decimali && (c == QLatin1Char('.') || c == QLatin1Char(',')))
            decimali = true, numero += QLatin1Char('.');
        else
            break;
    }
    bool ok = false;
    const double v = numero.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

/// The value a text gives a column of this ADO type in *out (null when nothing is assigned);
/// false when the number it begins with lies beyond what the column holds.
bool valorePerTipo(const QString& text, int tipo, QVariant* out)
{
    *out = QVariant();
    switch (fieldKindOfAdoType(tipo)) {
    case FieldKind::Integer:
    case FieldKind::Count: {
        const double intero = std::trunc(numeroIniziale(text));
        // 2^63: the first value a 64-bit integer does not hold.
        if (std::abs(intero) >= 9223372036854775808.0 || !integerFitsAdoType(qint64(intero), tipo))
            return false;
        *out = qint64(intero);
        return true;
    }
    case FieldKind::Real:
        *out = numeroIniziale(text);
        return true;
    case FieldKind::YesNo:
        *out = numeroIniziale(text) != 0.0;
        return true;
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime:
        if (!text.trimmed().isEmpty())
            *out = text.trimmed();
        return true;
    case FieldKind::Text:
        break;
    }
    // Only the character types take a text; anything else (binary, identifiers) is not assigned.
    switch (tipo) {
    case 129:
    case 130:
    case 200:
    case 201:
    case 202:
    case 203:
        *out = text;
        break;
    default:
        break;
    }
    return true;
}

/// Where a header name puts its values: a column of one of the two tables, or nowhere.
struct Destinazione
{
    Recordset* tabella = nullptr;
    int colonna = -1;
};

/// "entrata.x" and "Mittenti.x" name their table; a bare name is entrata's column when entrata
/// has it, else the correspondents'; any other name goes nowhere.
Destinazione destinazioneDi(const QString& nome, Recordset& schede, Recordset& mittenti)
{
    const qsizetype punto = nome.indexOf(QLatin1Char('.'));
    if (punto >= 0) {
        const QString tabella = nome.left(punto);
        Recordset* rs = tabella.compare(QLatin1String("entrata"), Qt::CaseInsensitive) == 0 ? &schede
            : tabella.compare(QLatin1String("Mittenti"), Qt::CaseInsensitive) == 0          ? &mittenti
                                                                                            : nullptr;
        const int colonna = rs ? rs->fieldIndex(nome.mid(punto + 1)) : -1;
        return colonna >= 0 ? Destinazione {rs, colonna} : Destinazione {};
    }
    for (Recordset* rs : {&schede, &mittenti}) {
        const int colonna = rs->fieldIndex(nome);
        if (colonna >= 0)
            return {rs, colonna};
    }
    return {};
}

EsitoTrasferimento fallito(const QString& testo)
{
    EsitoTrasferimento e;
    e.errore = testo;
    return e;
}

} // namespace

QString testo_stato(int modo, int n)
{
    switch (modo) {
    case 0:
        return QStringLiteral("ATTENDERE PREGO ............!");
    case 1:
        return n != 0 ? QStringLiteral("Trasferimento completato nel file PENLIO_TRANS.TXT (%1 record) !").arg(n)
                      : QString();
    case 2:
        return n != 0 ? QStringLiteral("Trasferimento completato .... (N. %1 record) !").arg(n)
                      : QStringLiteral("Nessun record è stato aggiunto all' archivio.");
    default:
        return {};
    }
}

DbResult testo_trasferimento(Recordset& righe, const std::vector<Bookmark>& segni, const QDateTime& moment,
                             QByteArray* out)
{
    const int colonne = righe.fieldCount();
    QStringList nomi;
    for (int c = 0; c < colonne; ++c)
        nomi << righe.field(c).uniqueName;
    QString testo = nomi.join(kTab) + kFineRiga;

    const QHash<QString, QVariant> timbro = {{QStringLiteral("sys_consegnato"), true},
                                             {QStringLiteral("sys_data_consegna"), moment.date()},
                                             {QStringLiteral("sys_ora_consegna"), moment.time()}};
    for (const Bookmark segno : segni) {
        if (!righe.setBookmark(segno))
            return DbResult::failure(DbError::Other, QStringLiteral("Riga del registro non trovata."));
        QStringList valori;
        for (int c = 0; c < colonne; ++c) {
            const QString nome = righe.field(c).name.toLower();
            const bool timbrato = timbro.contains(nome)
                && righe.field(c).table.compare(QLatin1String("entrata"), Qt::CaseInsensitive) == 0;
            const QString valore = testoValore(timbrato ? timbro.value(nome) : righe.value(c));
            for (const QChar ch : valore) {
                if (ch == kTab || ch == kVirgolette || ch == kFineRiga || byteOf(ch) < 0)
                    return DbResult::failure(
                        DbError::Other,
                        QStringLiteral("Il quadernolo n. %1 contiene nel campo %2 un carattere che il file di "
                                       "trasferimento non può contenere (%3).")
                            .arg(righe.value(QStringLiteral("Progressivo")).toString(), nomi[c],
                                 ch == kTab ? QStringLiteral("tabulazione") : QString(ch)));
            }
            valori << valore;
        }
        testo += valori.join(kTab) + kFineRiga;
    }

    QByteArray bytes;
    bytes.reserve(testo.size() + 4);
    bytes += '"';
    for (const QChar ch : testo)
        bytes += char(byteOf(ch));
    bytes += "\"\r\n";
    *out = bytes;
    return {};
}

DbResult scrivi_file_trasferimento(FileReplacement& file, const QByteArray& bytes)
{
    if (!file.write(bytes))
        return DbResult::failure(DbError::ReadOnly, file.errorString());
    return {};
}

EsitoTrasferimento leggi_file_trasferimento(const std::shared_ptr<Connection>& db, const QString& path)
{
    if (!db)
        return fallito(QStringLiteral("Archivio non aperto."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fallito(QStringLiteral("Impossibile leggere il file %1: %2").arg(path, file.errorString()));
    const QString tutto = decodifica(file.readAll());
    // One quoted record and its line end: the text runs from the first double quote to the last.
    const qsizetype apertura = tutto.indexOf(kVirgolette);
    const qsizetype chiusura = tutto.lastIndexOf(kVirgolette);
    if (apertura < 0 || chiusura <= apertura || !tutto.left(apertura).trimmed().isEmpty()
        || !tutto.mid(chiusura + 1).trimmed().isEmpty())
        return fallito(QStringLiteral("Il file %1 non è un file di trasferimento.").arg(path));
    const QStringList pezzi = tutto.mid(apertura + 1, chiusura - apertura - 1).split(kFineRiga);
    // A double quote inside a value would end the record there, and a NUL would end the value
    // in the archive: the file is refused rather than read in part.
    for (int p = 0; p < pezzi.size(); ++p) {
        for (const auto& [carattere, nome] : {std::pair(kVirgolette, QStringLiteral("un doppio apice (\")")),
                                              std::pair(QChar(0), QStringLiteral("un carattere nullo (NUL)"))}) {
            if (pezzi[p].contains(carattere))
                return fallito(p == 0 ? QStringLiteral("L' intestazione contiene %1.").arg(nome)
                                      : QStringLiteral("La riga %1 contiene %2 in un valore.").arg(p).arg(nome));
        }
    }

    SchedeRicevute archivio;
    DbResult r = archivio.inizia(db);
    // Each row's values are put into rows of these, never written, for their columns to convert
    // them as the archive will take them.
    Recordset schede;
    Recordset mittenti;
    if (r.ok())
        r = schede.open(db, QStringLiteral("SELECT * FROM entrata WHERE 0"));
    if (r.ok())
        r = mittenti.open(db, QStringLiteral("SELECT * FROM Mittenti WHERE 0"));
    if (!r.ok())
        return fallito(r.message);

    if (pezzi.size() >= 2) {
        const QStringList intestazione = pezzi[0].split(kTab);
        std::vector<Destinazione> colonne;
        int numero = -1;
        int suoNumero = -1; // the correspondent's Quadernolo
        for (const QString& nome : intestazione) {
            const Destinazione d = destinazioneDi(nome, schede, mittenti);
            // A column the archive lacks (a misspelt name, another program's) would lose its
            // values without a word.
            if (!d.tabella)
                return fallito(QStringLiteral("L' intestazione nomina una colonna che l' archivio non ha: \"%1\" "
                                              "(colonna %2).")
                                   .arg(nome)
                                   .arg(colonne.size() + 1));
            // A column named twice would take two values from one row, and the later would win
            // where the earlier was checked: a correspondent could go to another entry.
            for (size_t prima = 0; prima < colonne.size(); ++prima) {
                if (colonne[prima].tabella == d.tabella && colonne[prima].colonna == d.colonna)
                    return fallito(QStringLiteral("L' intestazione nomina due volte la colonna %1 (colonne %2 e %3).")
                                       .arg(nome)
                                       .arg(prima + 1)
                                       .arg(colonne.size() + 1));
            }
            colonne.push_back(d);
            const QString& colonna = d.tabella->field(d.colonna).name;
            if (d.tabella == &schede && colonna.compare(QLatin1String("Progressivo"), Qt::CaseInsensitive) == 0)
                numero = int(colonne.size()) - 1;
            if (d.tabella == &mittenti && colonna.compare(QLatin1String("Quadernolo"), Qt::CaseInsensitive) == 0)
                suoNumero = int(colonne.size()) - 1;
        }
        if (numero < 0)
            return fallito(QStringLiteral("L' intestazione del file non ha la colonna Progressivo."));

        // Assigns the row's values that go to one table (the register numbers apart), and gives
        // them back as that table holds them, by column name.
        const auto assegna = [&](const QStringList& valori, Recordset& tabella, int riga, ValoriColonne* dati) {
            for (int i = 0; i < valori.size(); ++i) {
                const Destinazione& d = colonne[size_t(i)];
                if (d.tabella != &tabella || i == numero || i == suoNumero)
                    continue;
                const FieldInfo& campo = tabella.field(d.colonna);
                QVariant valore;
                if (valori[i] != kNullo && !valorePerTipo(valori[i], campo.type, &valore))
                    return DbResult::failure(
                        DbError::Other,
                        QStringLiteral("Riga %1, campo %2: il numero %3 è fuori dai limiti del campo.")
                            .arg(riga)
                            .arg(campo.name, valori[i].trimmed()));
                if (!valore.isNull()) {
                    const DbResult esito = tabella.setValue(d.colonna, valore);
                    if (!esito.ok())
                        return DbResult::failure(
                            esito.code,
                            QStringLiteral("Riga %1, campo %2: %3").arg(riga).arg(campo.name, esito.message));
                }
                dati->append({campo.name, tabella.value(d.colonna)});
            }
            return DbResult();
        };

        QList<RigaRicevuta> righe;
        for (int p = 1; p < pezzi.size(); ++p) {
            const QStringList valori = pezzi[p].split(kTab);
            if (valori.size() < 2)
                continue;
            if (valori.size() > intestazione.size())
                return fallito(QStringLiteral("La riga %1 ha più valori dell' intestazione.").arg(p));
            // The register numbers are judged as the row writes them (digits alone), the entry's
            // and its correspondent's alike; a blank gives none.
            const auto testoDi
                = [&valori](int i) { return i >= 0 && i < valori.size() ? valori[i].trimmed() : QString(); };
            RigaRicevuta riga;
            riga.posizione = p;
            if (const QString testo = testoDi(numero); !testo.isEmpty())
                riga.numero = testo;
            schede.addNew();
            if (!(r = assegna(valori, schede, p, &riga.scheda)).ok())
                return fallito(r.message);
            mittenti.addNew();
            if (!(r = assegna(valori, mittenti, p, &riga.mittente)).ok())
                return fallito(r.message);
            // A join column left blank says nothing: the correspondent joins its row's entry. One
            // that is given must be its entry's number and direction, as in a notification.
            riga.mittente.removeIf(
                [](const auto& colonna) { return giunzione(colonna.first) && colonna.second.isNull(); });
            if (const QString testo = testoDi(suoNumero); !testo.isEmpty())
                riga.mittente.append({QStringLiteral("Quadernolo"), testo});
            // A row that gives its entry no direction gives it its correspondent's.
            const QVariant* tipo = valore_colonna(riga.scheda, QStringLiteral("Tipo"));
            const QVariant* suo = valore_colonna(riga.mittente, QStringLiteral("tipo"));
            if ((!tipo || tipo->isNull()) && suo)
                imposta_colonna(riga.scheda, QStringLiteral("Tipo"), *suo);
            righe << riga;
        }

        QList<SchedaRicevuta> ricevute;
        if (!(r = raccogli_schede(righe, &ricevute)).ok())
            return fallito(r.message);
        for (const SchedaRicevuta& ricevuta : ricevute) {
            if (!(r = archivio.aggiungi(ricevuta)).ok())
                return fallito(r.message);
        }
    }
    if (!(r = archivio.concludi()).ok())
        return fallito(r.message);
    EsitoTrasferimento esito;
    static_cast<EsitoSchede&>(esito) = archivio.esito();
    esito.ok = true;
    return esito;
}

} // namespace quad
