#include "html_table.h"

#include "database.h"
#include "recordset.h"

namespace quad {

namespace {

const QString kCella = QStringLiteral("<td><font face=Arial size=2>");
const QString kFineCella = QStringLiteral("</font></td>");

QString intestazione(const QString& nome)
{
    return nome.left(1).toUpper() + nome.mid(1).toLower();
}

} // namespace

QString tabella_html_record(const QString& archivio, const QString& chiave, const QString& tabella, int codice,
                            QString* errore)
{
    QString locale;
    QString& err = errore ? *errore : locale;
    err.clear();
    DbResult esito;
    const auto db = Connection::shared(archivio, chiave.toUtf8(), &esito);
    if (!db) {
        err = esito.message;
        return {};
    }
    // Only a table the archive has: its name as the archive spells it, quoted as an identifier.
    const QString nome = db->scalar(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                                   "lower(name) = lower(?)"),
                                    {tabella}, &esito)
                             .toString();
    if (!esito.ok() || nome.isEmpty()) {
        err = esito.ok() ? QStringLiteral("La tabella %1 non esiste nell' archivio.").arg(tabella) : esito.message;
        return {};
    }
    Recordset rs;
    esito = rs.open(
        db, QStringLiteral("SELECT * FROM \"%1\" WHERE sys_cod = ?").arg(QString(nome).replace('"', "\"\"")), {codice});
    if (!esito.ok()) {
        err = esito.message;
        return {};
    }
    if (rs.recordCount() < 1)
        return {};

    QString html = QStringLiteral("<table border = 1 borderColor=black borderColorDark=white borderColorLight=black>"
                                  "<tr bgcolor=#C0C0C0>");
    for (int c = 0; c < rs.fieldCount(); ++c)
        html += kCella + intestazione(rs.field(c).name).toHtmlEscaped() + kFineCella;
    html += QStringLiteral("</tr>");
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < rs.fieldCount(); ++c) {
            const QVariant v = rs.value(c);
            html += kCella + (v.isNull() ? QStringLiteral("&nbsp;") : Recordset::displayText(v).toHtmlEscaped())
                + kFineCella;
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

} // namespace quad
