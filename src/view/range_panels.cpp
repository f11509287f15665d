#include "range_panels.h"

#include "date_text.h"

#include <QRegularExpression>

namespace quad {

namespace {

const QString kErroreDate = QStringLiteral("Errore nell' inserimento delle date !");
const QString kErroreDati = QStringLiteral("Errore nell' inserimento dei dati !");

RigaCriterio riga(const QString& campo, const QString& op, const QString& valore)
{
    return {QStringLiteral(" e "), campo, op, valore};
}

} // namespace

EsitoPannello pannello_date(const QString& dal, const QString& al)
{
    const auto da = parseDateText(dal.trimmed());
    const auto a = parseDateText(al.trimmed());
    if (!da || !da->date || !a || !a->date || da->serial() > a->serial())
        return {{}, kErroreDate};
    return {{riga(QStringLiteral("Data_quadernolo"), QStringLiteral(">="), showDate(*da->date)),
             riga(QStringLiteral("Data_quadernolo"), QStringLiteral("<="), showDate(*a->date))},
            QString()};
}

EsitoPannello pannello_numeri(const QString& campo, const QString& dal, const QString& al)
{
    static const QRegularExpression intero(QStringLiteral("^\\s*\\d+\\s*$"));
    if (!intero.match(dal).hasMatch() || !intero.match(al).hasMatch())
        return {{}, kErroreDati};
    const QString da = dal.trimmed();
    const QString a = al.trimmed();
    if (da.toLongLong() > a.toLongLong())
        return {{}, kErroreDati};
    return {{riga(campo, QStringLiteral(">="), da), riga(campo, QStringLiteral("<="), a)}, QString()};
}

EsitoPannello pannello_tipo(int indice)
{
    return {
        {riga(QStringLiteral("Tipo"), QStringLiteral("="), indice == 0 ? QStringLiteral("E") : QStringLiteral("U"))},
        QString()};
}

EsitoPannello pannello_campo(bool oppure, const QString& campo, bool parte, const QString& testo)
{
    if (testo.trimmed().isEmpty() || campo.isEmpty())
        return {{}, kErroreDati};
    RigaCriterio r = riga(campo, QStringLiteral("like"), parte ? QLatin1Char('%') + testo : testo);
    if (oppure)
        r.unione = QStringLiteral(" oppure ");
    return {{r}, QString()};
}

QStringList campi_pannello_singolo()
{
    return {QStringLiteral("Nominativo"),     QStringLiteral("Oggetto"),
            QStringLiteral("Note"),           QStringLiteral("Ufficio_competente"),
            QStringLiteral("Tipo_documento"), QStringLiteral("Citta"),
            QStringLiteral("Prov"),           QStringLiteral("Nota_annulla")};
}

} // namespace quad
