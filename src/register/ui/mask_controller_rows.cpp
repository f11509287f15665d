// The correspondent rows of the entry in the mask: adding a row, paging through them, the
// position label and the blank-last-row rule.
#include "data_control.h"
#include "entry_actions.h"
#include "entry_helpers.h"
#include "field_binding.h"
#include "mask_controller.h"
#include "mask_pickers.h"

#include "entry_session.h"
#include "message_service.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace quad {

namespace {

using schede::aperto;

} // namespace

bool MaskController::mittente_vuoto()
{
    const std::shared_ptr<Recordset> rs = ado_mittenti->Recordset();
    if (aperto(rs) && rs->recordCount() >= 1)
        rs->moveLast();
    return m_registro->session().lastCorrespondentBlank();
}

void MaskController::cmd_altri_Click()
{
    if (Frm_mask->casella(EntryMask::Nominativo)->isReadOnly()) {
        cmd_focus->setFocus();
        return;
    }
    if (!mittente_vuoto()) {
        // The row shown keeps "snc" for a street without a house number; the new row is the entry's.
        (void)schede::mostra_errore_ado(m_registro->addCorrespondent());
    } else {
        warn(QStringLiteral("ATTENZIONE ! \n\nNon è possibile inserire righe vuote !"));
    }
    m_azioniSchede->mostra_posizione_mittenti();
    Frm_mask->casella(EntryMask::Nominativo)->setFocus();
    m_selettori->nascondi_elenco_uffici();
}

void MaskController::cmd_mitt_Click(int Index)
{
    const std::shared_ptr<Recordset> rs = ado_mittenti->Recordset();
    if (aperto(rs) && rs->recordCount() >= 1) {
        if (Index == 0) {
            rs->movePrevious();
            if (rs->bof())
                rs->moveFirst();
        } else if (Index == 1) {
            rs->moveNext();
            if (rs->eof())
                rs->moveLast();
        }
    }
    cmd_focus->setFocus();
    if (aperto(rs))
        Frm_mask->scrivi_posizione_mittenti(rs->absolutePosition(), rs->recordCount());
    m_selettori->nascondi_elenco_uffici();
}

QString MaskController::elenco_corrispondenti_testo()
{
    const std::shared_ptr<Recordset> rs = ado_mittenti->Recordset();
    if (!aperto(rs))
        return QString();
    const auto campo = [&](int riga, const char* nome) {
        const int colonna = rs->fieldIndex(QLatin1String(nome));
        const QVariant valore = colonna >= 0 ? nz_stringa(rs->valueAt(riga, colonna)) : QVariant(QString());
        return Recordset::displayText(valore);
    };
    QString testo;
    for (int riga = 0; riga < rs->recordCount(); ++riga) {
        const auto aggiungi = [&](const char* nome, const QString& prima, const QString& dopo) {
            const QString valore = campo(riga, nome);
            if (!valore.isEmpty())
                testo += prima + valore + dopo;
        };
        aggiungi("Nominativo", QString(), QString());
        aggiungi("Data_nascita", QStringLiteral(" ("), QStringLiteral(")"));
        aggiungi("Indirizzo", QStringLiteral(" "), QString());
        aggiungi("Civico", QStringLiteral(","), QString());
        aggiungi("Citta", QStringLiteral(" "), QString());
        aggiungi("Prov", QStringLiteral(" "), QString());
        aggiungi("Cap", QStringLiteral(" "), QString());
        aggiungi("Stato", QStringLiteral(" "), QString());
        aggiungi("P_iva_CF", QStringLiteral(" ["), QStringLiteral("]"));
        if (!testo.isEmpty())
            testo += QLatin1Char('\n');
    }
    if (rs->recordCount() >= 1)
        rs->moveFirst();
    return testo;
}

QVariant MaskController::nz_stringa(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QVariant(QStringLiteral(""));
    return value;
}

} // namespace quad
