// Benchmark of the recordset layer on a large register.
//
//   quadernolo_bench [--rows N] [--template FILE] [--seed S] [--archive FILE]
//
// Makes a register of N entries with one correspondent each (N joined rows, default
// 1,000,000) in a temporary copy of the keyed archive template, then measures side by side:
// the raw sqlite3_step loop reading every column of the register query against our recordset
// open; our filters against SQLite counting the same predicate on the same join and
// connection; a find-next walk; our sort against SQLite's ORDER BY of the same join; the peak
// memory of the process. One line per figure, then a "ratios" line. --archive keeps the
// generated register in FILE (or reuses FILE when it exists) for repeated runs.

#include "database.h"
#include "recordset.h"

#include <sqlcipher/sqlite3.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <random>

#ifndef QUAD_TEMPLATE_ARCHIVE
#define QUAD_TEMPLATE_ARCHIVE ""
#endif

namespace {

using namespace quad;

const char* const kKey = "quadernolo";
const QString kFrom = QStringLiteral(" FROM entrata INNER JOIN Mittenti ON entrata.Progressivo = Mittenti.Quadernolo ");
const QString kRegister
    = QStringLiteral("SELECT entrata.*, Mittenti.*") + kFrom + QStringLiteral("order by progressivo");
const char* const kPhrase = "variante urbanistica";

void line(const char* name, double value, const QString& note = QString())
{
    std::printf("%-24s %12.1f%s%s\n", name, value, note.isEmpty() ? "" : "  ", qPrintable(note));
    std::fflush(stdout);
}

double peakMb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// ---------------------------------------------------------------------------------------------
// The register

class Generator
{
public:
    explicit Generator(quint64 seed)
        : m_random(seed)
    {
    }

    int pick(int n) { return int(m_random() % quint64(n)); }
    const char* from(const std::vector<const char*>& list) { return list[size_t(pick(int(list.size())))]; }

    /// A subject of 60 to 120 characters of words; about 1 in 100 holds the searched phrase.
    QByteArray subject()
    {
        static const std::vector<const char*> words = {"richiesta",
                                                       "di",
                                                       "rilascio",
                                                       "certificato",
                                                       "autorizzazione",
                                                       "comunicazione",
                                                       "relativa",
                                                       "alla",
                                                       "pratica",
                                                       "edilizia",
                                                       "n.",
                                                       "del",
                                                       "protocollo",
                                                       "trasmissione",
                                                       "documentazione",
                                                       "integrativa",
                                                       "per",
                                                       "il",
                                                       "procedimento",
                                                       "amministrativo",
                                                       "avviso",
                                                       "pubblico",
                                                       "convocazione",
                                                       "conferenza",
                                                       "dei",
                                                       "servizi",
                                                       "istanza",
                                                       "accesso",
                                                       "agli",
                                                       "atti",
                                                       "sollecito",
                                                       "pagamento",
                                                       "fattura",
                                                       "fornitura",
                                                       "materiale",
                                                       "ufficio",
                                                       "tecnico",
                                                       "comunale",
                                                       "lavori",
                                                       "manutenzione",
                                                       "straordinaria",
                                                       "strada",
                                                       "provinciale",
                                                       "ricorso",
                                                       "tributo",
                                                       "rimborso",
                                                       "quota",
                                                       "contributo",
                                                       "associazione",
                                                       "sportiva",
                                                       "iscrizione",
                                                       "albo",
                                                       "fornitori",
                                                       "verbale",
                                                       "riunione",
                                                       "consiglio",
                                                       "giunta",
                                                       "delibera",
                                                       "determina",
                                                       "dirigente",
                                                       "settore",
                                                       "città",
                                                       "attività",
                                                       "proprietà",
                                                       "scuola",
                                                       "mensa",
                                                       "trasporto",
                                                       "anziani",
                                                       "cimitero",
                                                       "concessione",
                                                       "loculo",
                                                       "ordinanza"};
        const int target = 60 + pick(61);
        QByteArray text;
        const bool phrase = pick(100) == 0;
        const int phraseAt = phrase ? pick(3) : -1;
        int index = 0;
        while (text.size() < target) {
            if (!text.isEmpty())
                text += ' ';
            if (index++ == phraseAt)
                text += kPhrase;
            else
                text += from(words);
        }
        if (phrase && !text.contains(kPhrase))
            text += QByteArray(" ") + kPhrase;
        return text;
    }

    QByteArray person()
    {
        static const std::vector<const char*> surnames = {
            "Rossi", "Russo", "Ferrari", "Esposito", "Bianchi", "Romano", "Colombo",  "Ricci", "Marino",   "Greco",
            "Bruno", "Gallo", "Conti",   "De Luca",  "Mancini", "Costa",  "Giordano", "Rizzo", "Lombardi", "Moretti"};
        static const std::vector<const char*> names
            = {"Mario",    "Giuseppe", "Anna",   "Maria",  "Luca",   "Paola", "Marco", "Sara",
               "Giovanni", "Laura",    "Andrea", "Chiara", "Nicolò", "Lucia", "Fabio"};
        return QByteArray(from(surnames)) + ' ' + from(names);
    }

    QByteArray fiscalCode()
    {
        QByteArray code;
        for (int i = 0; i < 16; ++i)
            code += (i >= 6 && i < 8) || (i >= 9 && i < 11) || (i >= 12 && i < 15) ? char('0' + pick(10))
                                                                                   : char('A' + pick(26));
        return code;
    }

    QByteArray time()
    {
        return QByteArray::number(8 + pick(10)).rightJustified(2, '0') + ':'
            + QByteArray::number(pick(60)).rightJustified(2, '0') + ':'
            + QByteArray::number(pick(60)).rightJustified(2, '0');
    }

private:
    std::mt19937_64 m_random;
};

struct Binder
{
    sqlite3_stmt* st;
    int i = 0;
    void text(const QByteArray& v) { sqlite3_bind_text(st, ++i, v.constData(), int(v.size()), SQLITE_TRANSIENT); }
    void text(const char* v) { sqlite3_bind_text(st, ++i, v, -1, SQLITE_TRANSIENT); }
    void integer(qint64 v) { sqlite3_bind_int64(st, ++i, v); }
    void null() { sqlite3_bind_null(st, ++i); }
};

bool generate(const QString& path, int rows, quint64 seed)
{
    DbResult err;
    auto db = Connection::open(path, kKey, &err);
    if (!db) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), qPrintable(err.message));
        return false;
    }
    if (!db->exec(QStringLiteral("PRAGMA cache_size = -65536")).ok())
        std::fprintf(stderr, "cache size not set\n");
    sqlite3* h = db->handle();
    sqlite3_stmt* entry = nullptr;
    sqlite3_stmt* person = nullptr;
    sqlite3_prepare_v2(h,
                       "INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Anno, Tipo_documento, "
                       "Numero_documenti, Quad_rif, Data_quad_rif, Oggetto, Ufficio_competente, Ufficio_conoscenza, "
                       "Note, Collegamento, Orario, Annullato, Riservato, Nota_annulla, sys_nodo, sys_consegnato, "
                       "sys_data_consegna, sys_ora_consegna) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &entry, nullptr);
    sqlite3_prepare_v2(h,
                       "INSERT INTO Mittenti (Quadernolo, tipo, Nominativo, P_iva_CF, Data_nascita, Indirizzo, "
                       "Civico, Citta, Prov, Stato, Cap) VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &person, nullptr);
    if (!entry || !person) {
        std::fprintf(stderr, "prepare failed: %s\n", sqlite3_errmsg(h));
        return false;
    }
    static const std::vector<const char*> documents = {"Lettera", "Fax", "E-mail", "PEC", "Raccomandata", "Nota"};
    static const std::vector<const char*> offices
        = {"Segreteria", "Ufficio tecnico", "Ragioneria", "Anagrafe", "Polizia locale", "Servizi sociali"};
    static const std::vector<const char*> streets
        = {"Via Roma", "Via Garibaldi", "Corso Italia", "Piazza Dante", "Via dei Mille", "Viale della Libertà"};
    static const std::vector<const char*> towns = {"Milano", "Torino", "Bologna", "Firenze", "Napoli", "Forlì"};
    static const std::vector<const char*> provinces = {"MI", "TO", "BO", "FI", "NA", "FC"};
    Generator g(seed);
    const QDate first(2004, 1, 1);
    const int span = int(first.daysTo(QDate(2024, 1, 1)));

    if (const DbResult begun = db->begin(); !begun.ok()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(begun.message));
        return false;
    }
    for (int n = 1; n <= rows; ++n) {
        const QDate date = first.addDays(qint64(n - 1) * span / rows);
        const bool in = g.pick(2) == 0;
        Binder b {entry};
        b.integer(n);
        b.text(in ? "E" : "U");
        b.text(date.toString(QStringLiteral("yyyy-MM-dd")).toLatin1());
        b.integer(date.year());
        b.text(g.from(documents));
        b.integer(g.pick(6));
        if (g.pick(4) == 0) {
            b.text(QByteArray::number(g.pick(5000)) + "/" + QByteArray::number(date.year()));
            b.text(date.addDays(-g.pick(30)).toString(QStringLiteral("yyyy-MM-dd")).toLatin1());
        } else {
            b.null();
            b.null();
        }
        b.text(g.subject());
        const int office = g.pick(int(offices.size()));
        b.text(offices[size_t(office)]);
        if (g.pick(3) == 0)
            b.text(offices[size_t((office + 1) % int(offices.size()))]);
        else
            b.null();
        if (g.pick(3) == 0)
            b.text("Consegnata a mano allo sportello");
        else
            b.null();
        if (g.pick(20) == 0)
            b.text("C:\\Documenti\\scansioni\\protocollo_" + QByteArray::number(n) + ".pdf");
        else
            b.null();
        b.text(g.time());
        const bool annulled = g.pick(200) == 0;
        b.integer(annulled ? -1 : 0);
        b.integer(g.pick(10) == 0 ? -1 : 0);
        if (annulled)
            b.text("Annullata per errore di registrazione");
        else
            b.null();
        if (g.pick(5) == 0)
            b.text("FASCICOLI\\Lavori pubblici\\" + QByteArray::number(date.year()));
        else
            b.null();
        const bool delivered = g.pick(2) == 0;
        b.integer(delivered ? -1 : 0);
        if (delivered) {
            b.text(date.addDays(1).toString(QStringLiteral("yyyy-MM-dd")).toLatin1());
            b.text(g.time());
        } else {
            b.null();
            b.null();
        }
        if (sqlite3_step(entry) != SQLITE_DONE) {
            std::fprintf(stderr, "insert failed: %s\n", sqlite3_errmsg(h));
            return false;
        }
        sqlite3_reset(entry);

        Binder p {person};
        p.integer(n);
        p.text(in ? "E" : "U");
        p.text(g.person());
        p.text(g.fiscalCode());
        p.text(QDate(1940, 1, 1).addDays(g.pick(20000)).toString(QStringLiteral("yyyy-MM-dd")).toLatin1());
        p.text(g.from(streets));
        p.text(QByteArray::number(1 + g.pick(200)));
        const int town = g.pick(int(towns.size()));
        p.text(towns[size_t(town)]);
        p.text(provinces[size_t(town)]);
        p.text("Italia");
        p.text(QByteArray::number(10000 + g.pick(89999)));
        if (sqlite3_step(person) != SQLITE_DONE) {
            std::fprintf(stderr, "insert failed: %s\n", sqlite3_errmsg(h));
            return false;
        }
        sqlite3_reset(person);
    }
    sqlite3_finalize(entry);
    sqlite3_finalize(person);
    const DbResult committed = db->commit();
    if (!committed.ok()) {
        std::fprintf(stderr, "commit failed: %s\n", qPrintable(committed.message));
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Measures

/// The floor: every row stepped and every column read, as our open must do.
double rawLoop(Connection& db, qint64* rowsRead)
{
    QElapsedTimer t;
    t.start();
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = kRegister.toUtf8();
    sqlite3_prepare_v2(db.handle(), sql.constData(), -1, &st, nullptr);
    const int columns = sqlite3_column_count(st);
    qint64 rows = 0;
    quint64 sum = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                sum += quint64(sqlite3_column_int64(st, c));
                break;
            case SQLITE_FLOAT:
                sum += quint64(sqlite3_column_double(st, c));
                break;
            case SQLITE_NULL:
                break;
            default:
                sum += quint64(sqlite3_column_bytes(st, c)) + *sqlite3_column_text(st, c);
                break;
            }
        }
        ++rows;
    }
    sqlite3_finalize(st);
    *rowsRead = rows;
    if (sum == 1) // keeps the reads from being optimised away
        std::fprintf(stderr, " ");
    return double(t.nsecsElapsed()) / 1e6;
}

double sqliteCount(Connection& db, const QString& where, qint64* count)
{
    QElapsedTimer t;
    t.start();
    DbResult err;
    *count = db.scalar(QStringLiteral("SELECT count(*)") + kFrom + QStringLiteral("WHERE ") + where, {}, &err)
                 .toLongLong();
    if (!err.ok())
        std::fprintf(stderr, "count failed: %s\n", qPrintable(err.message));
    return double(t.nsecsElapsed()) / 1e6;
}

double ourFilter(Recordset& rs, const QString& criteria, qint64* count)
{
    QElapsedTimer t;
    t.start();
    const DbResult r = rs.setFilter(criteria);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (!r.ok())
        std::fprintf(stderr, "filter refused: %s\n", qPrintable(r.message));
    *count = rs.recordCount();
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int rows = 1000000;
    quint64 seed = 20240611;
    QString templateFile = QStringLiteral(QUAD_TEMPLATE_ARCHIVE);
    QString kept;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--rows") && i + 1 < args.size())
            rows = args[++i].toInt();
        else if (args[i] == QLatin1String("--template") && i + 1 < args.size())
            templateFile = args[++i];
        else if (args[i] == QLatin1String("--seed") && i + 1 < args.size())
            seed = args[++i].toULongLong();
        else if (args[i] == QLatin1String("--archive") && i + 1 < args.size())
            kept = args[++i];
        else {
            std::fprintf(stderr, "usage: quadernolo_bench [--rows N] [--template FILE] [--seed S] [--archive FILE]\n");
            return 2;
        }
    }
    if (rows < 4) {
        std::fprintf(stderr, "--rows must be at least 4\n");
        return 2;
    }

    QTemporaryDir dir;
    const QString archive = kept.isEmpty() ? QDir(dir.path()).filePath(QStringLiteral("Arch_quadernolo.mdb")) : kept;
    QElapsedTimer timer;
    timer.start();
    if (!QFile::exists(archive)) {
        if (!QFile::copy(templateFile, archive)) {
            std::fprintf(stderr, "cannot copy the template %s\n", qPrintable(templateFile));
            return 1;
        }
        if (!generate(archive, rows, seed)) {
            QFile::remove(archive);
            return 1;
        }
        line("generate_s", double(timer.elapsed()) / 1000.0);
    }

    DbResult err;
    auto db = Connection::open(archive, kKey, &err);
    if (!db) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(err.message));
        return 1;
    }
    rows = int(db->scalar(QStringLiteral("SELECT count(*) FROM entrata")).toLongLong());
    line("rows", rows, QStringLiteral("joined rows, one correspondent per entry"));
    line("file_mb", double(QFile(archive).size()) / 1048576.0);

    // Open: the raw loop before and after ours, the faster one counts (file cache warm).
    qint64 rawRows = 0;
    const double raw1 = rawLoop(*db, &rawRows);
    Recordset rs;
    timer.restart();
    const DbResult opened = rs.open(db, kRegister);
    const double ours = double(timer.nsecsElapsed()) / 1e6;
    if (!opened.ok()) {
        std::fprintf(stderr, "open failed: %s\n", qPrintable(opened.message));
        return 1;
    }
    const double raw2 = rawLoop(*db, &rawRows);
    const double raw = std::min(raw1, raw2);
    line("open_raw_ms", raw, QStringLiteral("%1 rows").arg(rawRows));
    line("open_ours_ms", ours, QStringLiteral("%1 rows").arg(rs.recordCount()));
    line("peak_after_open_mb", peakMb());

    // Filters.
    struct Filter
    {
        const char* name;
        QString criteria;
        QString sql;
        double ratio = 0;
    };
    const int quarter = rows / 4;
    Filter filters[] = {
        {"filter_like", QStringLiteral("Oggetto like '%%1%'").arg(kPhrase),
         QStringLiteral("Oggetto LIKE '%%1%'").arg(kPhrase)},
        {"filter_date", QStringLiteral("Data_quadernolo >= #01/01/2010# AND Data_quadernolo <= #31/08/2016#"),
         QStringLiteral("Data_quadernolo >= '2010-01-01' AND Data_quadernolo <= '2016-08-31'")},
        {"filter_num", QStringLiteral("Progressivo >= %1 AND Progressivo <= %2").arg(quarter + 1).arg(3 * quarter),
         QStringLiteral("Progressivo >= %1 AND Progressivo <= %2").arg(quarter + 1).arg(3 * quarter)},
    };
    int mismatches = 0;
    for (Filter& f : filters) {
        qint64 ourCount = 0, theirCount = 0;
        const double mine = ourFilter(rs, f.criteria, &ourCount);
        const double theirs = sqliteCount(*db, f.sql, &theirCount);
        f.ratio = mine / theirs;
        line(qPrintable(QStringLiteral("%1_ours_ms").arg(f.name)), mine, QStringLiteral("%1 rows").arg(ourCount));
        line(qPrintable(QStringLiteral("%1_sqlite_ms").arg(f.name)), theirs,
             QStringLiteral("%1 rows%2").arg(theirCount).arg(ourCount == theirCount ? "" : "  MISMATCH"));
        if (ourCount != theirCount)
            ++mismatches;
    }
    rs.clearFilter();

    // Find-next walk over the whole register.
    const QString findText = QStringLiteral("Oggetto like '%%1%'").arg(kPhrase);
    timer.restart();
    int found = 0;
    rs.moveFirst();
    bool hit = rs.find(findText, 0);
    while (hit) {
        ++found;
        hit = rs.find(findText, 1);
    }
    line("find_walk_ms", double(timer.nsecsElapsed()) / 1e6, QStringLiteral("%1 found").arg(found));

    // Sort.
    timer.restart();
    const DbResult sorted = rs.setSort(QStringLiteral("Oggetto"));
    const double sortOurs = double(timer.nsecsElapsed()) / 1e6;
    if (!sorted.ok())
        std::fprintf(stderr, "sort refused: %s\n", qPrintable(sorted.message));
    line("sort_ours_ms", sortOurs);
    line("peak_after_sort_mb", peakMb());
    rs.close();

    timer.restart();
    qint64 sortedRows = 0;
    const DbResult sortedBySqlite
        = db->query(QStringLiteral("SELECT entrata.*, Mittenti.*") + kFrom + QStringLiteral("ORDER BY Oggetto"), {},
                    [&](const Statement&) {
                        ++sortedRows;
                        return true;
                    });
    if (!sortedBySqlite.ok())
        std::fprintf(stderr, "sqlite sort failed: %s\n", qPrintable(sortedBySqlite.message));
    const double sortSqlite = double(timer.nsecsElapsed()) / 1e6;
    line("sort_sqlite_ms", sortSqlite, QStringLiteral("%1 rows").arg(sortedRows));
    const double peak = peakMb();
    line("peak_mb", peak);

    std::printf("ratios open=%.2f filter_like=%.3f filter_date=%.3f filter_num=%.3f sort=%.3f peak_mb=%.0f\n",
                ours / raw, filters[0].ratio, filters[1].ratio, filters[2].ratio, sortOurs / sortSqlite, peak);
    return mismatches == 0 ? 0 : 3;
}
