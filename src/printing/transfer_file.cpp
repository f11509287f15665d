#include "transfer_file.h"

#include "field_text.h"
#include "file_replace.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <cmath>

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

/// The value a text gives a column of this ADO type; null when nothing is assigned.
QVariant valorePerTipo(const QString& text, int tipo)
{
    switch (fieldKindOfAdoType(tipo)) {
    case FieldKind::Integer:
    case FieldKind::Count:
        return qint64(std::trunc(numeroIniziale(text)));
    case FieldKind::Real:
        return numeroIniziale(text);
    case FieldKind::YesNo:
        return numeroIniziale(text) != 0.0;
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime:
        return text.trimmed().isEmpty() ? QVariant() : QVariant(text.trimmed());
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
        return text;
    default:
        return {};
    }
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

DbResult scrivi_file_trasferimento(const QString& path, const QByteArray& bytes)
{
    QString why;
    if (!replaceFile(path, bytes, &why))
        return DbResult::failure(DbError::ReadOnly, why);
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
    // One quoted record: the text runs from the first double quote to the next one.
    const qsizetype apertura = tutto.indexOf(kVirgolette);
    const qsizetype chiusura = apertura < 0 ? -1 : tutto.indexOf(kVirgolette, apertura + 1);
    if (apertura < 0 || chiusura < 0 || !tutto.left(apertura).trimmed().isEmpty())
        return fallito(QStringLiteral("Il file %1 non è un file di trasferimento.").arg(path));
    const QStringList pezzi = tutto.mid(apertura + 1, chiusura - apertura - 1).split(kFineRiga);

    Transaction transazione(*db, true);
    if (!transazione.begun().ok())
        return fallito(transazione.begun().message);
    Recordset schede;
    DbResult r = schede.open(db, QStringLiteral("SELECT * FROM entrata WHERE 0"));
    if (!r.ok())
        return fallito(r.message);

    EsitoTrasferimento esito;
    if (pezzi.size() >= 2) {
        // Header names: entrata's own columns, bare or as "entrata.name"; others are skipped.
        const QStringList intestazione = pezzi[0].split(kTab);
        std::vector<int> colonna;
        int numero = -1;
        for (const QString& nome : intestazione) {
            QString proprio = nome;
            const qsizetype punto = nome.indexOf(QLatin1Char('.'));
            if (punto >= 0)
                proprio = nome.left(punto).compare(QLatin1String("entrata"), Qt::CaseInsensitive) == 0
                    ? nome.mid(punto + 1)
                    : QString();
            const int indice = proprio.isEmpty() ? -1 : schede.fieldIndex(proprio);
            colonna.push_back(indice);
            if (indice >= 0
                && schede.field(indice).name.compare(QLatin1String("Progressivo"), Qt::CaseInsensitive) == 0)
                numero = int(colonna.size()) - 1;
        }
        QSet<qint64> lette;
        for (int p = 1; p < pezzi.size(); ++p) {
            const QStringList valori = pezzi[p].split(kTab);
            if (valori.size() < 2)
                continue;
            if (valori.size() > intestazione.size())
                return fallito(QStringLiteral("La riga %1 ha più valori dell' intestazione.").arg(p));
            if (numero >= 0 && numero < valori.size()) {
                const qint64 n = qint64(numeroIniziale(valori[numero]));
                if (lette.contains(n))
                    continue;
                lette.insert(n);
                DbResult errore;
                if (db->scalar(QStringLiteral("SELECT COUNT(*) FROM entrata WHERE Progressivo = ?"), {n}, &errore)
                        .toInt()
                    > 0)
                    return fallito(QStringLiteral("Il quadernolo n. %1 è già in archivio.").arg(n));
                if (!errore.ok())
                    return fallito(errore.message);
            }
            schede.addNew();
            for (int i = 0; i < valori.size(); ++i) {
                if (colonna[size_t(i)] < 0 || valori[i] == kNullo)
                    continue;
                const QVariant valore = valorePerTipo(valori[i], schede.field(colonna[size_t(i)]).type);
                if (valore.isNull())
                    continue;
                r = schede.setValue(colonna[size_t(i)], valore);
                if (!r.ok())
                    return fallito(QStringLiteral("Riga %1, campo %2: %3")
                                       .arg(p)
                                       .arg(schede.field(colonna[size_t(i)]).name, r.message));
            }
            ++esito.schede;
        }
    }
    if (!(r = schede.updateBatch()).ok() || !(r = transazione.commit()).ok())
        return fallito(r.message);
    esito.ok = true;
    return esito;
}

} // namespace quad
