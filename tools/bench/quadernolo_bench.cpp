// Benchmark of the recordset layer on a large register.
//
//   quadernolo_bench [--rows N] [--template FILE] [--seed S] [--archive FILE] [--threads T]
//
// Makes a register of N entries with 1 to 5 correspondents each (about 1.35 N joined rows,
// default N = 1,000,000) in a temporary copy of the keyed archive template, then measures side
// by side: a raw loop reading every cell of the register query with one call per cell, on one
// thread and a connection opened as the program's readers are (read only, without a mutex of
// its own: "raw_mutex=0"), against our recordset open, on the archive and on an unencrypted copy
// of it; our filters against SQLite (its own LIKE, a page cache that holds the whole file, warmed
// first) counting the same predicate on the same join; a find-next walk; our sort against
// SQLite's ORDER BY of the sort key alone, the two orders checked equal; the save of a new entry
// with two correspondents through the window's own steps, against its floor (SQLite alone, with
// its defaults, writing the entry and its two rows in one transaction on the same archive and
// reading the entry's joined rows back: "save_floor") and against the same save on a register of
// N/10 entries made beside it ("save_growth"), the three taken in turn, one of each per round,
// so that the disk's state weighs on all alike; the peak memory after twenty saves; one
// autocomplete keystroke in "Oggetto" and in the correspondent's name; the peak memory of the
// process. Also: releasing a filter when nothing was written (the rows in memory serve) and
// after another connection added an entry (a read of the file, best of 3) with the process's
// peak during those reads in bytes per register row ("peak_changed_bpr", beside the peak after
// the open), and the archive's bytes per entry. One line per figure, then a "ratios" line. --archive
// keeps the generated register in FILE (or reuses FILE when it exists) for repeated runs;
// --threads caps the threads of the open (default: all).

#include "database.h"
#include "entry_store.h"
#include "prefix_search.h"
#include "recordset.h"
#include "register_query.h"

#include <sqlcipher/sqlite3.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
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

/// The peak before the last resetPeak(): the kernel forgets it at a reset.
double g_peakBeforeReset = 0;

double peakMb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return std::max(double(usage.ru_maxrss) / 1024.0, g_peakBeforeReset); // kilobytes on Linux
}

/// Starts a new peak from the memory held now, so that peakSinceResetMb() tells the peak of what
/// follows; peakMb() still tells the process's peak. False where the kernel cannot reset it.
bool resetPeak()
{
    g_peakBeforeReset = peakMb();
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

/// The peak since the last resetPeak() (since the start when it could not reset).
double peakSinceResetMb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

/// Memory the process holds now.
double rssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& l : status.readAll().split('\n')) {
        if (l.startsWith("VmRSS:"))
            return l.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
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
    if (!db->exec(QStringLiteral("PRAGMA cache_size = -262144")).ok())
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

        // 1 to 5 correspondents: 81% one, 10% two, 4% three, 3% four, 2% five (1.35 on average).
        const int draw = g.pick(100);
        const int people = draw < 81 ? 1 : draw < 91 ? 2 : draw < 95 ? 3 : draw < 98 ? 4 : 5;
        for (int k = 0; k < people; ++k) {
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

/// A connection of SQLite's own, without the program's LIKE, with a page cache that holds the
/// whole file: what a user running the same statements elsewhere would get.
struct RawDb
{
    enum class Use {
        Statements, ///< read and write, SQLite's default locking
        Reader ///< read only and without a mutex of its own, as the program's readers are opened
    };
    sqlite3* h = nullptr;
    /// wholeFile: a page cache as large as the file (else SQLite's default).
    RawDb(const QString& path, const QByteArray& key, int pageSize, bool wholeFile, Use use = Use::Statements)
    {
        const int flags = use == Use::Reader ? (SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX) : SQLITE_OPEN_READWRITE;
        sqlite3_open_v2(QFile::encodeName(path).constData(), &h, flags, nullptr);
        if (!key.isEmpty()) {
            sqlite3_key(h, key.constData(), int(key.size()));
            const QByteArray pragma = "PRAGMA cipher_page_size = " + QByteArray::number(pageSize);
            sqlite3_exec(h, pragma.constData(), nullptr, nullptr, nullptr);
        }
        if (wholeFile) {
            const qint64 kb = QFile(path).size() / 1024 + 65536;
            sqlite3_exec(h, ("PRAGMA cache_size = -" + QByteArray::number(kb)).constData(), nullptr, nullptr, nullptr);
        }
    }
    ~RawDb() { sqlite3_close_v2(h); }
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    /// Runs sql to the end, calling row for each row.
    template <typename F> bool each(const QString& sql, F row)
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(h, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "prepare failed: %s\n", sqlite3_errmsg(h));
            return false;
        }
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            row(st);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            std::fprintf(stderr, "step failed: %s\n", sqlite3_errmsg(h));
        return rc == SQLITE_DONE;
    }
};

/// Reads every cell of the row st stands on with one call, its value then read as our open
/// reads it; a sum of what was read, so that the reads are not optimised away.
quint64 readCells(sqlite3_stmt* st, int columns)
{
    quint64 sum = 0;
    for (int c = 0; c < columns; ++c) {
        sqlite3_value* v = sqlite3_column_value(st, c);
        switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
            sum += quint64(sqlite3_value_int64(v));
            break;
        case SQLITE_FLOAT:
            sum += quint64(sqlite3_value_double(v));
            break;
        case SQLITE_NULL:
            break;
        default: {
            const unsigned char* text = sqlite3_value_text(v);
            sum += quint64(sqlite3_value_bytes(v)) + (text ? *text : 0);
            break;
        }
        }
    }
    return sum;
}

/// The floor: every row stepped and every cell read with one call (its value then read as our
/// open reads it), on a connection opened as the program's readers are (RawDb::Use::Reader).
double rawLoop(sqlite3* h, qint64* rowsRead)
{
    QElapsedTimer t;
    t.start();
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = kRegister.toUtf8();
    sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr);
    const int columns = sqlite3_column_count(st);
    qint64 rows = 0;
    quint64 sum = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        sum += readCells(st, columns);
        ++rows;
    }
    sqlite3_finalize(st);
    *rowsRead = rows;
    if (sum == 1) // keeps the reads from being optimised away
        std::fprintf(stderr, " ");
    return double(t.nsecsElapsed()) / 1e6;
}

double sqliteCount(RawDb& db, const QString& where, qint64* count)
{
    const QString sql = QStringLiteral("SELECT count(*)") + kFrom + QStringLiteral("WHERE ") + where;
    // Once to fill the page cache, then the run that counts.
    db.each(sql, [&](sqlite3_stmt* st) { *count = sqlite3_column_int64(st, 0); });
    QElapsedTimer t;
    t.start();
    db.each(sql, [&](sqlite3_stmt* st) { *count = sqlite3_column_int64(st, 0); });
    return double(t.nsecsElapsed()) / 1e6;
}

/// SQLite's side of the filters and of the sort. It runs in a child process, so that its page
/// cache (as large as the file) does not count in our peak memory.
struct SqliteSide
{
    std::vector<double> filterMs;
    std::vector<qint64> filterCounts;
    double sortMs = 0;
    quint64 sortHash = 0; ///< of the keys in SQLite's order
    qint64 sortRows = 0;
};

quint64 hashStep(quint64 h, const QByteArray& key)
{
    for (char c : key)
        h = (h ^ quint8(c)) * 1099511628211ULL;
    return (h ^ 0xFF) * 1099511628211ULL;
}

const QString kSortSql = QStringLiteral("SELECT Oggetto") + kFrom + QStringLiteral("ORDER BY Oggetto");

SqliteSide measureSqlite(const QString& archive, int pageSize, const QStringList& wheres)
{
    SqliteSide out;
    int channel[2];
    if (pipe(channel) != 0)
        return out;
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        RawDb db(archive, kKey, pageSize, true);
        QByteArray text;
        for (const QString& where : wheres) {
            qint64 count = 0;
            const double ms = sqliteCount(db, where, &count);
            text += QByteArray::number(ms, 'f', 3) + ' ' + QByteArray::number(count) + '\n';
        }
        db.each(kSortSql, [](sqlite3_stmt*) {}); // page cache warm
        QElapsedTimer t;
        t.start();
        quint64 h = 14695981039346656037ULL;
        qint64 rows = 0;
        db.each(kSortSql, [&](sqlite3_stmt* st) {
            h = hashStep(h,
                         QByteArray::fromRawData(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                                                 sqlite3_column_bytes(st, 0)));
            ++rows;
        });
        text += QByteArray::number(double(t.nsecsElapsed()) / 1e6, 'f', 3) + ' ' + QByteArray::number(h) + ' '
            + QByteArray::number(rows) + '\n';
        const ssize_t written = write(channel[1], text.constData(), size_t(text.size()));
        _exit(written == text.size() ? 0 : 1);
    }
    close(channel[1]);
    QByteArray text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(channel[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, int(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < wheres.size() && i < lines.size(); ++i) {
        const QList<QByteArray> parts = lines[i].split(' ');
        out.filterMs.push_back(parts.value(0).toDouble());
        out.filterCounts.push_back(parts.value(1).toLongLong());
    }
    const QList<QByteArray> sortLine = lines.value(int(wheres.size())).split(' ');
    out.sortMs = sortLine.value(0).toDouble();
    out.sortHash = sortLine.value(1).toULongLong();
    out.sortRows = sortLine.value(2).toLongLong();
    return out;
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

/// A new entry with two correspondents confirmed as the main window confirms it: the pending
/// record in the register, the entry and its rows written in one transaction, the pending record
/// dropped, the entry's rows read back and made current.
bool saveNewEntry(Connection& db, Recordset& rs, qint64 number, int i)
{
    NewEntry entry = makeNewEntry(number, QStringLiteral("Entrata"), QDateTime(QDate(2024, 2, 1), QTime(9, 30)));
    setFieldValue(entry.record, QStringLiteral("Tipo_documento"), QStringLiteral("Lettera"));
    setFieldValue(entry.record, QStringLiteral("Oggetto"), QStringLiteral("richiesta di prova n. %1").arg(i));
    entry.correspondents[0].insert(QStringLiteral("Nominativo"), QStringLiteral("Rossi Mario"));
    QVariantMap second = newCorrespondent(number, QStringLiteral("E"));
    second.insert(QStringLiteral("Nominativo"), QStringLiteral("Bianchi Anna"));
    entry.correspondents.append(second);

    rs.addNew();
    for (auto it = entry.record.cbegin(); it != entry.record.cend(); ++it) {
        const DbResult set
            = rs.setValue(it.key() == QLatin1String("Tipo") ? QStringLiteral("entrata.Tipo") : it.key(), it.value());
        if (!set.ok())
            std::fprintf(stderr, "value refused: %s\n", qPrintable(set.message));
    }
    const DbResult written = EntryStore(db).commitNewEntry(entry);
    if (!written.ok()) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(written.message));
        return false;
    }
    rs.cancelBatch();
    const DbResult read = refreshRegisterEntry(rs, number);
    if (!read.ok()) {
        std::fprintf(stderr, "read back failed: %s\n", qPrintable(read.message));
        return false;
    }
    return rs.findKey(QStringLiteral("Progressivo"), number);
}

/// The time of one save of saveNewEntry in milliseconds; negative on failure.
double timedSave(Connection& db, Recordset& rs, qint64 number, int i)
{
    QElapsedTimer timer;
    timer.start();
    if (!saveNewEntry(db, rs, number, i))
        return -1;
    return double(timer.nsecsElapsed()) / 1e6;
}

/// The floor of a save: the same write done by SQLite alone on the archive, with its defaults:
/// one transaction inserting the entry and its two correspondent rows, then the entry's joined
/// rows read back through the register's query for its number. Its time in milliseconds,
/// negative on failure (nothing written).
double floorSave(RawDb& raw, qint64 number, int i)
{
    QElapsedTimer timer;
    timer.start();
    auto run = [&raw](const char* sql, const std::function<void(Binder&)>& bind) {
        sqlite3_stmt* st = nullptr;
        bool done = sqlite3_prepare_v2(raw.h, sql, -1, &st, nullptr) == SQLITE_OK;
        if (done) {
            Binder b {st};
            bind(b);
            done = sqlite3_step(st) == SQLITE_DONE;
        }
        if (!done)
            std::fprintf(stderr, "floor write failed: %s\n", sqlite3_errmsg(raw.h));
        sqlite3_finalize(st);
        return done;
    };
    auto person = [&](const char* name) {
        return run("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (?,?,?)", [&](Binder& b) {
            b.integer(number);
            b.text("E");
            b.text(name);
        });
    };
    const bool written = run("BEGIN IMMEDIATE", [](Binder&) {})
        && run("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Anno, Tipo_documento, Numero_documenti, "
               "Oggetto, Orario, Annullato, Riservato) VALUES (?,?,?,?,?,?,?,?,?,?)",
               [&](Binder& b) {
                   b.integer(number);
                   b.text("E");
                   b.text("2024-02-01");
                   b.integer(2024);
                   b.text("Lettera");
                   b.integer(0);
                   b.text("richiesta di prova n. " + QByteArray::number(i));
                   b.text("09:30:00");
                   b.integer(0);
                   b.integer(0);
               })
        && person("Rossi Mario") && person("Bianchi Anna") && run("COMMIT", [](Binder&) {});
    if (!written) {
        sqlite3_exec(raw.h, "ROLLBACK", nullptr, nullptr, nullptr);
        return -1;
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(raw.h, registerEntryQuery().toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "floor read back failed: %s\n", sqlite3_errmsg(raw.h));
        return -1;
    }
    sqlite3_bind_int64(st, 1, number);
    int rows = 0;
    quint64 sum = 0;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        sum += readCells(st, sqlite3_column_count(st));
        ++rows;
    }
    sqlite3_finalize(st);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (rc != SQLITE_DONE || rows != 2 || sum == 1) {
        std::fprintf(stderr, "floor read back failed: %d rows\n", rows);
        return -1;
    }
    return ms;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

/// Releasing a filter as the window does: the filter goes and the register is read again.
double releaseFilter(Recordset& rs)
{
    if (!rs.setFilter(QStringLiteral("Oggetto like '%%1%'").arg(kPhrase)).ok())
        std::fprintf(stderr, "filter refused\n");
    QElapsedTimer timer;
    timer.start();
    rs.clearFilter();
    const DbResult read = rs.requery();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (!read.ok())
        std::fprintf(stderr, "release failed: %s\n", qPrintable(read.message));
    return ms;
}

/// Makes a register of rows entries from the template in file; false (with a message) on failure.
bool makeRegister(const QString& templateFile, const QString& file, int rows, quint64 seed)
{
    if (!QFile::copy(templateFile, file)) {
        std::fprintf(stderr, "cannot copy the template %s\n", qPrintable(templateFile));
        return false;
    }
    // In a child process, so that the writing's page cache does not count in our peak memory.
    const pid_t child = fork();
    if (child == 0)
        _exit(generate(file, rows, seed) ? 0 : 1);
    int status = 1;
    waitpid(child, &status, 0);
    if (child < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        QFile::remove(file);
        return false;
    }
    return true;
}

/// A register a tenth as large, made beside the archive and kept open by a child process that
/// saves one new entry each time it is asked, as we save on ours: its rows weigh nothing on our
/// memory, and its saves are taken in turn with ours, so that the disk's state weighs on both
/// alike. Made before our register is read, while the process is small.
class TenthRegister
{
public:
    TenthRegister() = default;
    TenthRegister(const TenthRegister&) = delete;
    TenthRegister& operator=(const TenthRegister&) = delete;

    /// Makes the register of rows entries in file and opens it in the child; false on failure.
    bool start(const QString& templateFile, const QString& file, int rows, quint64 seed)
    {
        int down[2];
        int up[2];
        if (pipe(down) != 0)
            return false;
        if (pipe(up) != 0) {
            close(down[0]);
            close(down[1]);
            return false;
        }
        m_child = fork();
        if (m_child == 0) {
            close(down[1]);
            close(up[0]);
            _exit(serve(templateFile, file, rows, seed, down[0], up[1]) ? 0 : 1);
        }
        close(down[0]);
        close(up[1]);
        m_to = down[1];
        m_from = up[0];
        double ready = -1;
        return m_child > 0 && receive(&ready) && ready == 0;
    }

    /// One save in the child: its time in milliseconds, negative on failure.
    double save()
    {
        const char ask = 's';
        double ms = -1;
        if (write(m_to, &ask, 1) != 1 || !receive(&ms))
            return -1;
        return ms;
    }

    /// The child ends at the end of its questions.
    ~TenthRegister()
    {
        if (m_to >= 0)
            close(m_to);
        if (m_from >= 0)
            close(m_from);
        int status = 0;
        if (m_child > 0)
            waitpid(m_child, &status, 0);
    }

private:
    static bool serve(const QString& templateFile, const QString& file, int rows, quint64 seed, int in, int out)
    {
        auto reply = [out](double value) { return write(out, &value, sizeof value) == ssize_t(sizeof value); };
        DbResult err;
        std::shared_ptr<Connection> db;
        Recordset rs;
        if (makeRegister(templateFile, file, rows, seed))
            db = Connection::open(file, kKey, &err);
        if (!db || !rs.open(db, kRegister).ok()) {
            reply(-1);
            return false;
        }
        const qint64 next = db->scalar(QStringLiteral("SELECT max(Progressivo) FROM entrata")).toLongLong() + 1;
        if (!reply(0))
            return false;
        char ask = 0;
        for (int i = 0; read(in, &ask, 1) == 1; ++i) {
            if (!reply(timedSave(*db, rs, next + i, i)))
                return false;
        }
        return true;
    }

    bool receive(double* value) { return read(m_from, value, sizeof *value) == ssize_t(sizeof *value); }

    pid_t m_child = -1;
    int m_to = -1;
    int m_from = -1;
};

/// The slowest keystroke while text is typed into a box served from table.field.
double slowestKeystroke(Connection& db, const QString& table, const QString& field, const QString& text)
{
    double slowest = 0;
    for (int n = 1; n <= text.size(); ++n) {
        QElapsedTimer t;
        t.start();
        DbResult err;
        const QStringList values = prefixValues(db, table, field, text.left(n), 8, &err);
        slowest = std::max(slowest, double(t.nsecsElapsed()) / 1e6);
        if (!err.ok())
            std::fprintf(stderr, "autocomplete failed: %s\n", qPrintable(err.message));
        if (n == text.size() && values.isEmpty())
            std::fprintf(stderr, "autocomplete found nothing for %s\n", qPrintable(text));
    }
    return slowest;
}

QString ratio(double value)
{
    return QString::number(value, 'f', value < 10 ? 3 : 2);
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
        else if (args[i] == QLatin1String("--threads") && i + 1 < args.size())
            Recordset::setParallelRead(args[++i].toInt(), 50000);
        else {
            std::fprintf(stderr,
                         "usage: quadernolo_bench [--rows N] [--template FILE] [--seed S] [--archive FILE] "
                         "[--threads T]\n");
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
        if (!makeRegister(templateFile, archive, rows, seed))
            return 1;
        line("generate_s", double(timer.elapsed()) / 1000.0);
    }
    const int tenthRows = std::max(4, rows / 10);
    TenthRegister tenth;
    if (!tenth.start(templateFile, QDir(dir.path()).filePath(QStringLiteral("decimo.mdb")), tenthRows, seed + 1)) {
        std::fprintf(stderr, "cannot make the register of %d entries\n", tenthRows);
        return 1;
    }

    DbResult err;
    auto db = Connection::open(archive, kKey, &err);
    if (!db) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(err.message));
        return 1;
    }
    const qint64 entries = db->scalar(QStringLiteral("SELECT count(*) FROM entrata")).toLongLong();
    line("entries", double(entries));
    line("file_mb", double(QFile(archive).size()) / 1048576.0,
         QStringLiteral("%1 KB cipher pages").arg(db->cipherPageSize() / 1024));

    // An unencrypted copy of the archive: the floor of any encrypted one.
    const QString plain = QDir(dir.path()).filePath(QStringLiteral("plain.db"));
    QFile::remove(plain);
    {
        // The archive's connection creates no file: the copy is made empty first.
        if (!Connection::create(plain, QByteArray(), &err)) {
            std::fprintf(stderr, "cannot make the unencrypted copy: %s\n", qPrintable(err.message));
            return 1;
        }
        const QString attach = QStringLiteral("ATTACH DATABASE '%1' AS plain KEY ''").arg(plain);
        for (const QString& step :
             {attach, QStringLiteral("SELECT sqlcipher_export('plain')"), QStringLiteral("DETACH DATABASE plain")}) {
            const DbResult done = db->exec(step);
            if (!done.ok()) {
                std::fprintf(stderr, "cannot make the unencrypted copy: %s\n", qPrintable(done.message));
                return 1;
            }
        }
    }

    // Open: the raw loop before and after ours, the faster one counts (file cache warm).
    RawDb rawArchive(archive, kKey, db->cipherPageSize(), false, RawDb::Use::Reader);
    RawDb rawPlain(plain, QByteArray(), 0, false, RawDb::Use::Reader);
    qint64 rawRows = 0;
    const double raw1 = rawLoop(rawArchive.h, &rawRows);
    const double plain1 = rawLoop(rawPlain.h, &rawRows);
    Recordset rs;
    timer.restart();
    const DbResult opened = rs.open(db, kRegister);
    const double ours = double(timer.nsecsElapsed()) / 1e6;
    if (!opened.ok()) {
        std::fprintf(stderr, "open failed: %s\n", qPrintable(opened.message));
        return 1;
    }
    const double peakOpen = peakMb();
    // The best of three of ours against the best of three of the floor.
    double oursBest = ours;
    for (int i = 0; i < 2; ++i) {
        rs.close();
        timer.restart();
        if (!rs.open(db, kRegister).ok())
            return 1;
        oursBest = std::min(oursBest, double(timer.nsecsElapsed()) / 1e6);
    }
    const double raw = std::min({raw1, rawLoop(rawArchive.h, &rawRows), rawLoop(rawArchive.h, &rawRows)});
    const double rawPlainMs = std::min({plain1, rawLoop(rawPlain.h, &rawRows), rawLoop(rawPlain.h, &rawRows)});
    line("rows", double(rs.recordCount()),
         QStringLiteral("joined rows, %1 per entry").arg(double(rs.recordCount()) / double(entries), 0, 'f', 2));
    line("open_raw_ms", raw, QStringLiteral("%1 rows, one call per cell").arg(rawRows));
    line("open_plain_raw_ms", rawPlainMs, QStringLiteral("the same on an unencrypted copy"));
    line("open_ours_ms", oursBest,
         QStringLiteral("%1 rows, best of 3 (first %2 ms), %3 threads")
             .arg(rs.recordCount())
             .arg(ours, 0, 'f', 1)
             .arg(rs.readThreads()));
    const int openRows = rs.recordCount();
    line("peak_after_open_mb", peakOpen,
         QStringLiteral("%1 bytes per register row").arg(peakOpen * 1048576.0 / openRows, 0, 'f', 0));

    // Releasing a filter, with nothing written since the open.
    const double release = releaseFilter(rs);
    line("release_ms", release, QStringLiteral("filter released, nothing written since the read"));

    // Saves: twenty rounds right after the open, each a new entry with two correspondents saved
    // on our register, one on the register a tenth as large and the floor's on the archive.
    std::vector<double> saves, tenthSaves, floorSaves;
    {
        RawDb floorDb(archive, kKey, db->cipherPageSize(), false);
        floorDb.each(QStringLiteral("SELECT count(*) FROM sqlite_master"), [](sqlite3_stmt*) {}); // the key derived
        const qint64 next = db->scalar(QStringLiteral("SELECT max(Progressivo) FROM entrata")).toLongLong() + 1;
        for (int i = 0; i < 20; ++i) {
            saves.push_back(timedSave(*db, rs, next + 2 * i, i));
            tenthSaves.push_back(tenth.save());
            floorSaves.push_back(floorSave(floorDb, next + 2 * i + 1, i));
            if (saves.back() < 0 || tenthSaves.back() < 0 || floorSaves.back() < 0)
                return 1;
        }
    }
    const double save = median(saves);
    const double saveSmall = median(tenthSaves);
    const double saveFloor = median(floorSaves);
    const double peakSaves = peakMb();
    line("save_ms", save,
         QStringLiteral("median of 20, slowest %1 ms").arg(*std::max_element(saves.begin(), saves.end()), 0, 'f', 1));
    line("save_tenth_ms", saveSmall, QStringLiteral("median of 20 on %1 entries").arg(tenthRows));
    line("save_floor_ms", saveFloor, QStringLiteral("median of 20, SQLite alone writing and reading back the same"));
    line("peak_after_saves_mb", peakSaves);

    // Releasing a filter after another connection added an entry: the file is read. The best of
    // three, as for the open, each a moment after the last (as a clerk works), so that the rows
    // let go of last time are gone.
    auto other = Connection::open(archive, kKey, &err);
    if (!other) {
        std::fprintf(stderr, "cannot open a second connection: %s\n", qPrintable(err.message));
        return 1;
    }
    double releaseChanged = 0;
    // The process's peak while the register is read again, over the three reads.
    bool peakReset = true;
    double peakChanged = 0;
    for (int i = 0; i < 3; ++i) {
        const qint64 number = other->scalar(QStringLiteral("SELECT max(Progressivo) FROM entrata")).toLongLong() + 1;
        NewEntry entry = makeNewEntry(number, QStringLiteral("Uscita"), QDateTime(QDate(2024, 2, 2), QTime(10, 0)));
        entry.correspondents[0].insert(QStringLiteral("Nominativo"), QStringLiteral("Verdi Paolo"));
        if (!EntryStore(*other).commitNewEntry(entry).ok())
            return 1;
        peakReset = resetPeak() && peakReset;
        const double ms = releaseFilter(rs);
        peakChanged = std::max(peakChanged, peakSinceResetMb());
        releaseChanged = i == 0 ? ms : std::min(releaseChanged, ms);
        usleep(500000);
    }
    other.reset();
    line("release_changed_ms", releaseChanged, QStringLiteral("after another connection added an entry, best of 3"));
    line("peak_after_release_changed_mb", peakMb());
    const double peakOpenBpr = peakOpen * 1048576.0 / openRows;
    const double peakChangedBpr = peakChanged * 1048576.0 / rs.recordCount();
    line("peak_changed_bpr", peakChangedBpr,
         QStringLiteral("bytes per register row, the process's peak during those reads%1 (after the open: %2)")
             .arg(peakReset ? "" : " (not reset: the peak since the start)")
             .arg(peakOpenBpr, 0, 'f', 0));

    // Autocomplete: the slowest keystroke while a subject and a name are typed.
    const double keyOggetto
        = slowestKeystroke(*db, QStringLiteral("entrata"), QStringLiteral("Oggetto"), QStringLiteral("richiesta di"));
    const double keyMittente
        = slowestKeystroke(*db, QStringLiteral("Mittenti"), QStringLiteral("Nominativo"), QStringLiteral("rossi ma"));
    line("keystroke_oggetto_ms", keyOggetto, QStringLiteral("slowest of \"richiesta di\" typed"));
    line("keystroke_mittente_ms", keyMittente, QStringLiteral("slowest of \"rossi ma\" typed"));

    // Filters.
    struct Filter
    {
        const char* name;
        QString criteria;
        QString sql;
        double ratio = 0;
    };
    const qint64 quarter = entries / 4;
    Filter filters[] = {
        {"filter_like", QStringLiteral("Oggetto like '%%1%'").arg(kPhrase),
         QStringLiteral("Oggetto LIKE '%%1%'").arg(kPhrase)},
        {"filter_date", QStringLiteral("Data_quadernolo >= #01/01/2010# AND Data_quadernolo <= #31/08/2016#"),
         QStringLiteral("Data_quadernolo >= '2010-01-01' AND Data_quadernolo <= '2016-08-31'")},
        {"filter_num", QStringLiteral("Progressivo >= %1 AND Progressivo <= %2").arg(quarter + 1).arg(3 * quarter),
         QStringLiteral("Progressivo >= %1 AND Progressivo <= %2").arg(quarter + 1).arg(3 * quarter)},
    };
    QStringList wheres;
    for (const Filter& f : filters)
        wheres << f.sql;
    const SqliteSide side = measureSqlite(archive, db->cipherPageSize(), wheres);
    if (qsizetype(side.filterMs.size()) != wheres.size()) {
        std::fprintf(stderr, "SQLite's side failed\n");
        return 1;
    }
    int mismatches = 0;
    for (size_t i = 0; i < std::size(filters); ++i) {
        Filter& f = filters[i];
        qint64 ourCount = 0;
        const qint64 theirCount = side.filterCounts[i];
        const double mine = ourFilter(rs, f.criteria, &ourCount);
        const double theirs = side.filterMs[i];
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

    // Sort, against SQLite ordering the same rows by the key alone; the keys must come in the
    // same order (the subjects are lower case, where folding changes no order).
    timer.restart();
    const DbResult sorted = rs.setSort(QStringLiteral("Oggetto"));
    const double sortOurs = double(timer.nsecsElapsed()) / 1e6;
    if (!sorted.ok())
        std::fprintf(stderr, "sort refused: %s\n", qPrintable(sorted.message));
    line("sort_ours_ms", sortOurs);
    line("peak_after_sort_mb", peakMb());
    const double sortSqlite = side.sortMs;
    const int oggetto = rs.fieldIndex(QStringLiteral("Oggetto"));
    quint64 ourHash = 14695981039346656037ULL;
    for (int r = 0; r < rs.recordCount(); ++r)
        ourHash = hashStep(ourHash, rs.valueAt(r, oggetto).toString().toUtf8());
    const bool sameOrder = ourHash == side.sortHash && side.sortRows == rs.recordCount();
    line("sort_sqlite_ms", sortSqlite,
         QStringLiteral("%1 rows%2").arg(side.sortRows).arg(sameOrder ? ", same order" : "  ORDER MISMATCH"));
    if (!sameOrder)
        ++mismatches;
    const int threads = rs.readThreads();
    rs.close();
    const double peak = peakMb();
    line("peak_mb", peak);
    line("rss_after_close_mb", rssMb(), QStringLiteral("the register let go"));

    // The archive's weight, with every index the window makes.
    const double fileBpe = double(QFile(archive).size()) / double(entries);
    line("file_bytes_per_entry", fileBpe);

    std::printf("ratios open=%s open_plain=%s filter_like=%s filter_date=%s filter_num=%s sort=%s peak_mb=%.0f "
                "peak_open_bpr=%.0f peak_changed_bpr=%.0f save=%s save_peak=%s keystroke=%s release=%s "
                "release_changed=%s file_bpe=%.0f save_growth=%s save_floor=%s threads=%d raw_mutex=0\n",
                qPrintable(ratio(oursBest / raw)), qPrintable(ratio(oursBest / rawPlainMs)),
                qPrintable(ratio(filters[0].ratio)), qPrintable(ratio(filters[1].ratio)),
                qPrintable(ratio(filters[2].ratio)), qPrintable(ratio(sortOurs / sortSqlite)), peak, peakOpenBpr,
                peakChangedBpr, qPrintable(ratio(save / oursBest)), qPrintable(ratio(peakSaves / peakOpen)),
                qPrintable(ratio(std::max(keyOggetto, keyMittente) / oursBest)), qPrintable(ratio(release / oursBest)),
                qPrintable(ratio(releaseChanged / oursBest)), fileBpe, qPrintable(ratio(save / saveSmall)),
                qPrintable(ratio(save / saveFloor)), threads);
    return mismatches == 0 ? 0 : 3;
}
