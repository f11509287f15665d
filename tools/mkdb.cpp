// Build-time tool: writes a database file from a schema script and CSV seed files.
//
//   mkdb --out FILE [--key KEY] --schema SQL [--structures archive] [--csv TABLE=FILE]... [--towns FILE]...
//
// --structures archive adds, after the schema, the structures the register archive is read
// through that the program defines itself (the autocomplete's table of values, its triggers and
// prefix indexes). --csv loads a ';'-separated file whose header names the columns; --towns loads a file with
// the columns Citta;Prov;Cap into Comuni, coding the postal code into codici. Lines starting
// with '#' are comments. The output is written to a temporary file and renamed when complete.

#include "archive_indexes.h"
#include "database.h"
#include "town_code.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

namespace {

int fail(const QString& text)
{
    std::fprintf(stderr, "mkdb: %s\n", qPrintable(text));
    return 1;
}

bool readCsv(const QString& path, QStringList* header, QList<QStringList>* rows, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char(';'));
        if (header->isEmpty()) {
            *header = fields;
            continue;
        }
        if (fields.size() != header->size()) {
            *error = QStringLiteral("%1: wrong field count in line: %2").arg(path, line);
            return false;
        }
        rows->append(fields);
    }
    return true;
}

bool insertRows(quad::Connection& db, const QString& table, const QStringList& columns, const QList<QStringList>& rows,
                QString* error)
{
    QStringList marks;
    QStringList quoted;
    for (const QString& c : columns) {
        marks << QStringLiteral("?");
        quoted << QLatin1Char('"') + c + QLatin1Char('"');
    }
    quad::DbResult r;
    quad::Statement st = db.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                        .arg(table, quoted.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                                    &r);
    if (!r.ok()) {
        *error = r.message;
        return false;
    }
    for (const QStringList& row : rows) {
        QVariantList values;
        for (const QString& v : row)
            values << (v.isEmpty() ? QVariant() : QVariant(v));
        r = st.reset();
        if (r.ok())
            r = st.bindAll(values);
        if (r.ok()) {
            while (st.next()) { }
            r = st.error();
        }
        if (!r.ok()) {
            *error = r.message;
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString out, key;
    QStringList schemas, csvs, towns;
    bool archiveStructures = false;
    for (int i = 0; i + 1 < args.size(); i += 2) {
        const QString& opt = args[i];
        const QString& val = args[i + 1];
        if (opt == QLatin1String("--out"))
            out = val;
        else if (opt == QLatin1String("--key"))
            key = val;
        else if (opt == QLatin1String("--schema"))
            schemas << val;
        else if (opt == QLatin1String("--structures") && val == QLatin1String("archive"))
            archiveStructures = true;
        else if (opt == QLatin1String("--csv"))
            csvs << val;
        else if (opt == QLatin1String("--towns"))
            towns << val;
        else
            return fail(QStringLiteral("unknown option %1").arg(opt));
    }
    if (out.isEmpty() || schemas.isEmpty())
        return fail(
            QStringLiteral("usage: mkdb --out FILE [--key KEY] --schema SQL [--structures archive] [--csv TABLE=FILE] "
                           "[--towns FILE]"));

    const QString temp = out + QStringLiteral(".building");
    QFile::remove(temp);
    QString error;
    {
        quad::DbResult r;
        auto db = quad::Connection::create(temp, key.toUtf8(), &r);
        if (!db)
            return fail(r.message);
        r = db->begin();
        for (const QString& schema : schemas) {
            QFile f(schema);
            if (!f.open(QIODevice::ReadOnly))
                return fail(QStringLiteral("cannot read %1").arg(schema));
            if (r.ok())
                r = db->exec(QString::fromUtf8(f.readAll()));
        }
        if (archiveStructures) {
            for (const QString& sql : quad::archiveValueStructuresSql()) {
                if (r.ok())
                    r = db->exec(sql);
            }
        }
        if (!r.ok())
            return fail(r.message);
        for (const QString& tableAndFile : csvs) {
            const int eq = tableAndFile.indexOf(QLatin1Char('='));
            QStringList header;
            QList<QStringList> rows;
            if (eq < 0 || !readCsv(tableAndFile.mid(eq + 1), &header, &rows, &error)
                || !insertRows(*db, tableAndFile.left(eq), header, rows, &error))
                return fail(error.isEmpty() ? QStringLiteral("bad --csv %1").arg(tableAndFile) : error);
        }
        for (const QString& file : towns) {
            QStringList header;
            QList<QStringList> rows;
            if (!readCsv(file, &header, &rows, &error))
                return fail(error);
            if (header != QStringList({"Citta", "Prov", "Cap"}))
                return fail(QStringLiteral("%1: header must be Citta;Prov;Cap").arg(file));
            for (QStringList& row : rows)
                row[2] = row[2].isEmpty() ? QString() : quad::estrai_codice_comune(1, row[2]);
            if (!insertRows(*db, QStringLiteral("Comuni"), {"Citta", "Prov", "codici"}, rows, &error))
                return fail(error);
        }
        r = db->commit();
        if (!r.ok())
            return fail(r.message);
    }
    QFile::remove(out);
    if (!QFile::rename(temp, out))
        return fail(QStringLiteral("cannot rename %1 to %2").arg(temp, out));
    return 0;
}
