#include "register_print.h"

#include "date_text.h"
#include "field_text.h"
#include "morva_print.h"
#include "print_sheet.h"
#include "recordset.h"

#include <cmath>
#include <functional>
#include <utility>

namespace quad {

namespace {

constexpr float kTop = 25;
constexpr float kBottom = 195;
constexpr int kColumns = 7;
constexpr int kLines = 11;
/// Millimetres of a column its text leaves free: a text starts 1 mm after the column's dotted
/// separator and ends 1 mm before the next one, so that no cell runs into the next.
constexpr int kSpazio = 2;

using ColumnText = std::function<QString(const Recordset&)>;

struct RegisterTable
{
    QString nome;
    TableColumns columns;
    std::vector<ColumnText> testo;
    /// Columns of values of one fixed form (a date, a time), with a value as wide as any: they are
    /// given the width it takes, from the last column, so that they always print whole on a line.
    std::vector<std::pair<int, QString>> campioni;
};

/// The value of a field as the table shows it ("" for Null).
ColumnText campo(const char* name)
{
    return [name](const Recordset& rs) { return Recordset::displayText(rs.value(QLatin1String(name))); };
}

QString trimmed(const QVariant& v)
{
    return Recordset::displayText(v).trimmed();
}

RegisterTable tabella1(const QString& p_sessione)
{
    const QString corrispondente
        = p_sessione == QLatin1String("Entrata") ? QStringLiteral("Mittente") : QStringLiteral("Destinatario");
    return {QStringLiteral("1"),
            TableColumns::fromWidths({12, 19, 12, 38, 6, 60, 136},
                                     {QStringLiteral("Num."), QStringLiteral("Data"), QStringLiteral("Ora"),
                                      QStringLiteral("Tipo"), QStringLiteral("N. "), QStringLiteral("Oggetto"),
                                      corrispondente}),
            {campo("Progressivo"), campo("data_quadernolo"), campo("orario"), campo("Tipo_documento"),
             campo("numero_documenti"), campo("Oggetto"), testo_corrispondente_registro},
            {{1, QStringLiteral("00/00/0000")}, {2, QStringLiteral("00:00:00")}}};
}

RegisterTable tabella2()
{
    return {QStringLiteral("2"),
            TableColumns::fromWidths({12, 38, 38, 40, 73, 9, 73},
                                     {QStringLiteral("Num."), QStringLiteral("Uff. Competente"),
                                      QStringLiteral("Uff. Conoscenza"), QStringLiteral("Quad. Rif.(Data)"),
                                      QStringLiteral("Note"), QStringLiteral("Ann. "), QStringLiteral("Nota Annullo")}),
            {campo("Progressivo"), campo("Ufficio_competente"), campo("Ufficio_conoscenza"), testo_riferimento,
             campo("Note"), segno_annullo, campo("Nota_annulla")},
            {}};
}

/// Widens the columns of fixed-form values to what their text takes in the current font; the
/// last column gives the millimetres.
void allarga_colonne(RegisterTable& t, const MorvaPrint& p)
{
    std::vector<int> larghezze = t.columns.width;
    for (const auto& [colonna, campione] : t.campioni) {
        const int serve = int(std::ceil(p.TextWidth(campione))) + kSpazio;
        if (serve > larghezze[size_t(colonna)]) {
            larghezze.back() -= serve - larghezze[size_t(colonna)];
            larghezze[size_t(colonna)] = serve;
        }
    }
    t.columns = TableColumns::fromWidths(larghezze, t.columns.caption);
}

/// Prints one table from the first row to the last as one document.
void stampa_tabella(PrintSheet& sheet, Recordset& rs, RegisterTable t, const QString& p_sessione)
{
    MorvaPrint& p = sheet.printer();
    p.setNomeDocumento(QStringLiteral("Registro_%1_tabella_%2").arg(p_sessione, t.nome));
    sheet.imposta_pagina_stampa(1, 7);
    // Rows are measured and printed in the body font.
    sheet.carattere_stampa(10);
    const float h = p.TextHeight(QStringLiteral("aA")) + 1;
    allarga_colonne(t, p);

    float y = kTop;
    sheet.stampa_intestazione(t.columns);
    CellGrid grid(kColumns, kLines);
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        for (int c = 0; c < kColumns; ++c) {
            const QString text = t.testo[size_t(c)](rs);
            const QString measured = text.isEmpty() ? QStringLiteral(" ") : text;
            const int spazio = t.columns.width[size_t(c)] - kSpazio;
            if (float(spazio) >= p.TextWidth(measured))
                grid.at(c, 0) = text;
            else
                sheet.stampa_cella(text, spazio, grid, c);
        }
        for (int line = 0; line < kLines; ++line) {
            bool printed = false;
            for (int c = 0; c < kColumns; ++c) {
                QString text = grid.at(c, line);
                if (text.trimmed().isEmpty())
                    continue;
                p.PrintLeft(sheet.margine_stampa() + t.columns.x[size_t(c)], y, text, 0,
                            t.columns.width[size_t(c)] - kSpazio);
                printed = true;
            }
            if (printed) {
                y += h;
            } else {
                p.setDrawWidth(2);
                float flat = 0;
                p.PrintShape(sheet.margine_stampa(), y, sheet.larghezza_stampa(), 0, flat);
            }
            if (y > kBottom) {
                y = kTop;
                p.NewPage();
                sheet.stampa_intestazione(t.columns);
            }
        }
        grid.clear();
    }
    sheet.chiudi_stampa();
}

} // namespace

DateRange controlla_intervallo(const QVariant& p_alert1, const QVariant& p_alert2)
{
    DateRange r;
    const auto data = [](const QVariant& v) -> std::optional<QDate> {
        const auto value = parseDateText(v.toString());
        if (!value || !value->date || !isDateText(v.toString()))
            return std::nullopt;
        return value->date;
    };
    const auto dal = data(p_alert1);
    if (!dal) {
        r.errore = QStringLiteral("Errore inserimento data inizio");
        return r;
    }
    const auto al = data(p_alert2);
    if (!al) {
        r.errore = QStringLiteral("Errore inserimento data fine");
        return r;
    }
    if (*dal > *al) {
        r.errore = QStringLiteral("Errore nell' inserimento delle date !");
        return r;
    }
    r.dal = *dal;
    r.al = *al;
    return r;
}

QString codice_registro(const QString& p_sessione)
{
    if (p_sessione == QLatin1String("Entrata"))
        return QStringLiteral("E");
    if (p_sessione == QLatin1String("Uscita"))
        return QStringLiteral("U");
    return QString();
}

std::shared_ptr<Recordset> leggi_registro(const QString& archivio, const QString& password, const QString& tipo,
                                          const QDate& dal, const QDate& al, DbResult* error)
{
    DbResult err;
    std::shared_ptr<Connection> db = Connection::open(archivio, password.toUtf8(), &err);
    if (!db) {
        if (error)
            *error = err;
        return nullptr;
    }
    auto rs = std::make_shared<Recordset>();
    err = rs->open(db,
                   QStringLiteral("SELECT entrata.*, Mittenti.* FROM entrata INNER JOIN Mittenti ON "
                                  "(entrata.Tipo = Mittenti.tipo) AND (entrata.Progressivo = Mittenti.Quadernolo) "
                                  "WHERE entrata.Tipo = ? AND entrata.Data_quadernolo BETWEEN ? AND ? "
                                  "ORDER BY entrata.Progressivo, Mittenti.rowid"),
                   {tipo, dal, al});
    if (!err.ok()) {
        if (error)
            *error = err;
        return nullptr;
    }
    return rs;
}

QString testo_corrispondente_registro(const Recordset& rs)
{
    const auto v = [&](const char* name) { return rs.value(QLatin1String(name)); };
    QString text = trimmed(v("Nominativo"));
    if (!v("Data_nascita").isNull())
        text += QStringLiteral(" (") + Recordset::displayText(v("Data_nascita")) + QLatin1Char(')');
    if (!v("Indirizzo").isNull())
        text += QStringLiteral("  ") + trimmed(v("Indirizzo")) + QLatin1Char(',');
    if (!v("Civico").isNull())
        text += trimmed(v("Civico"));
    if (!v("Cap").isNull())
        text += QLatin1Char(' ') + trimmed(v("Cap"));
    if (!v("Citta").isNull())
        text += QLatin1Char(' ') + trimmed(v("Citta"));
    if (!v("Prov").isNull())
        text += QStringLiteral(" (") + trimmed(v("Prov")) + QLatin1Char(')');
    if (!v("P_iva_CF").isNull())
        text += QLatin1Char(' ') + trimmed(v("P_iva_CF"));
    return text;
}

QString testo_riferimento(const Recordset& rs)
{
    QString text = trimmed(rs.value(QStringLiteral("Quad_rif")));
    const QVariant data = rs.value(QStringLiteral("data_quad_rif"));
    if (!data.isNull())
        text += QStringLiteral(" (") + Recordset::displayText(data) + QLatin1Char(')');
    return text;
}

QString segno_annullo(const Recordset& rs)
{
    return isTrueValue(rs.value(QStringLiteral("Annullato"))) ? QStringLiteral("  X") : QStringLiteral(" ");
}

void stampa_tabelle_registro(PrintSheet& sheet, Recordset& rs, const QString& p_sessione)
{
    stampa_tabella(sheet, rs, tabella1(p_sessione), p_sessione);
    stampa_tabella(sheet, rs, tabella2(), p_sessione);
}

} // namespace quad
