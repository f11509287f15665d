#include "receipt.h"

#include "morva_print.h"
#include "print_sheet.h"
#include "recordset.h"

namespace quad {

namespace {

constexpr int kWidthLimit = 180;
constexpr float kTop = 25;
/// Nothing is printed closer than this to the bottom edge of the paper.
constexpr float kBottomMargin = 20;

/// The value as the receipt prints it: "" for Null, dates dd/MM/yyyy, numbers as shown.
QString valore_campo(const QVariant& value)
{
    return Recordset::displayText(value);
}

QVariant campo(const Recordset& rs, const char* name)
{
    return rs.value(QLatin1String(name));
}

/// Prints the receipt's lines one under the other, going on to a new page at the bottom.
class ReceiptWriter
{
public:
    explicit ReceiptWriter(PrintSheet& sheet)
        : m_sheet(sheet)
        , m_p(sheet.printer())
    {
        m_h = m_p.TextHeight(QStringLiteral("aA")) + 1;
    }

    float h() const { return m_h; }
    void avanza(float lines) { m_y += lines * m_h; }

    void riga(const QString& text, float x, int widthMax)
    {
        if (m_y + m_h > m_p.PageHeight() - kBottomMargin) {
            m_p.NewPage();
            m_y = kTop;
        }
        QString line = text;
        m_p.PrintLeft(x, m_y, line, 0, widthMax);
    }

    /// A line at the margin, then down by `after` lines.
    void stampa(const QString& text, float after)
    {
        riga(text, m_sheet.margine_stampa(), kWidthLimit);
        avanza(after);
    }

    /// A text wrapped at the width limit, one line per buffer line that is not blank.
    void blocco(const QString& text)
    {
        // One line per word (plus the first line, left empty by a word wider than the limit)
        // is the most a text can take, so the buffer holds all of it.
        CellGrid buffer(1, int(text.count(QLatin1Char(' '))) + 2);
        if (float(kWidthLimit) < m_p.TextWidth(text))
            m_sheet.stampa_cella(text, kWidthLimit, buffer, 0);
        else
            buffer.at(0, 0) = text;
        for (int i = 0; i < buffer.lines(); ++i) {
            if (buffer.at(0, i).trimmed().isEmpty())
                continue;
            stampa(buffer.at(0, i), 1);
        }
    }

private:
    PrintSheet& m_sheet;
    MorvaPrint& m_p;
    float m_y = kTop;
    float m_h = 0;
};

} // namespace

ReceiptData leggi_ricevuta(const Recordset& registro, const Recordset& mittenti)
{
    ReceiptData d;
    d.sessione = campo(registro, "entrata.Tipo").toString() == QLatin1String("E") ? QStringLiteral("Entrata")
                                                                                  : QStringLiteral("Uscita");
    d.Progressivo = campo(registro, "Progressivo");
    d.data_quadernolo = campo(registro, "data_quadernolo");
    d.tipo_documento = campo(registro, "tipo_documento");
    d.numero_documenti = campo(registro, "numero_documenti");
    d.ufficio_competente = campo(registro, "ufficio_competente");
    d.oggetto = campo(registro, "oggetto");
    d.note = campo(registro, "note");

    if (!mittenti.isOpen())
        return d;
    const auto column = [&](const char* name) { return mittenti.fieldIndex(QLatin1String(name)); };
    const int cols[] = {column("Nominativo"), column("Indirizzo"), column("Civico"),  column("Citta"),
                        column("Prov"),       column("Cap"),       column("p_iva_CF")};
    for (int row = 0; row < mittenti.recordCount(); ++row) {
        const auto at = [&](int i) { return cols[i] >= 0 ? mittenti.valueAt(row, cols[i]) : QVariant(); };
        d.corrispondenti.append({at(0), at(1), at(2), at(3), at(4), at(5), at(6)});
    }
    return d;
}

QString testo_corrispondente(const ReceiptCorrespondent& c)
{
    QString text = valore_campo(c.Nominativo);
    const auto aggiungi = [&](const QVariant& value, const QString& before, const QString& after = QString()) {
        const QString v = valore_campo(value);
        if (!v.isEmpty())
            text += before + v + after;
    };
    aggiungi(c.Indirizzo, QStringLiteral(" "));
    aggiungi(c.Civico, QStringLiteral(","));
    aggiungi(c.Citta, QStringLiteral(" - "));
    aggiungi(c.Prov, QStringLiteral(" ("), QStringLiteral(")"));
    aggiungi(c.Cap, QStringLiteral(" - "));
    const QString codice = valore_campo(c.p_iva_CF);
    const bool partitaIva = !codice.isEmpty() && codice.at(0) >= QLatin1Char('0') && codice.at(0) <= QLatin1Char('9');
    aggiungi(c.p_iva_CF, partitaIva ? QStringLiteral(" - P.Iva ") : QStringLiteral(" - Cod. Fisc. "));
    return text;
}

void stampa_ricevuta(PrintSheet& sheet, const ReceiptData& d)
{
    MorvaPrint& p = sheet.printer();
    p.setNomeDocumento(QStringLiteral("Ricevuta_quadernolo_%1").arg(valore_campo(d.Progressivo)));
    sheet.imposta_pagina_stampa(0, 10);
    sheet.carattere_stampa(12);

    ReceiptWriter w(sheet);
    w.stampa(QStringLiteral(" Ricevuta per quadernolo in ") + d.sessione, 3);
    w.stampa(QStringLiteral(" Quadernolo n. ") + valore_campo(d.Progressivo) + QStringLiteral("     del ")
                 + valore_campo(d.data_quadernolo),
             2);
    w.stampa(QStringLiteral(" Tipo documento : ") + valore_campo(d.tipo_documento), 2);
    w.stampa(QStringLiteral(" N. documenti   : ") + valore_campo(d.numero_documenti), 2);
    w.stampa(QStringLiteral(" Ufficio competente : ") + valore_campo(d.ufficio_competente), 2);
    w.stampa(QStringLiteral("    OGGETTO : "), 1);
    w.blocco(valore_campo(d.oggetto));
    w.avanza(1);

    const bool uno = d.corrispondenti.size() == 1;
    if (d.sessione == QLatin1String("Entrata"))
        w.stampa(uno ? QStringLiteral("    MITTENTE : ") : QStringLiteral("    MITTENTI : "), 1);
    else
        w.stampa(uno ? QStringLiteral("   DESTINATARIO : ") : QStringLiteral("   DESTINATARI  : "), 1);
    for (const ReceiptCorrespondent& c : d.corrispondenti) {
        w.blocco(testo_corrispondente(c));
        w.avanza(1);
    }

    w.stampa(QStringLiteral("    NOTE : "), 1);
    w.blocco(valore_campo(d.note));
    w.avanza(3);
    w.riga(QStringLiteral("________________________"), 110, 0);
    sheet.chiudi_stampa();
}

} // namespace quad
