// The search dialog's hand-over to a form that gives itself through the Caller property, and
// the move handler of the criteria data control that keeps such a form in step.
#include "frm_search.h"

#include "advanced_criteria.h"
#include "caller_form.h"
#include "search_caller.h"

#include "recordset.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace quad {

namespace {

// ADO's reasons for a move.
constexpr int adRsnMoveFirst = 12;
constexpr int adRsnMoveLast = 15;

/// A field of the current record, or Null when there is none or the recordset lacks it.
QVariant valore(const Recordset& rs, const QString& campo)
{
    const int index = rs.fieldIndex(campo);
    if (index < 0 || rs.bof() || rs.eof())
        return QVariant();
    return rs.value(index);
}

} // namespace

DbResult frmSearch::setCaller(CallerForm* form)
{
    cmbFields->clear();
    m_callerForm = form;
    m_sorgente.reset();
    const QString nome = form ? form->Name().toLower() : QString();
    QString predefinito;
    if (nome == QLatin1String("frmtree")) {
        predefinito = campo_predefinito(form->GridViewMode() == 1);
        BuildFilterFromString(form->LastFilter());
        form->DisableTbFile();
        const std::shared_ptr<Connection> db = form->SourceConnection();
        if (!db)
            return DbResult::failure(DbError::NotFound, QStringLiteral("Archivio degli utenti non aperto."));
        auto sorgente = std::make_shared<Recordset>();
        const DbResult aperto = sorgente->open(db, sorgente_albero(form->GridViewMode()));
        if (!aperto.ok())
            return aperto;
        m_sorgente = sorgente;
    } else if (nome == QLatin1String("frmtables")) {
        predefinito = campo_predefinito(form->TableType() == 1);
        m_sorgente = form->DatPrimaryRs();
        BuildFilterFromString(form->LastFilter());
    }
    if (m_sorgente && m_sorgente->isOpen()) {
        for (const QString& voce : campi_annotati(*m_sorgente)) {
            cmbFields->addItem(voce);
            if (GetFieldNameFromString(voce).toUpper() == predefinito)
                cmbFields->setCurrentIndex(cmbFields->count() - 1);
        }
    }
    if (cmbSearchDirection->count() > 2)
        cmbSearchDirection->setCurrentIndex(2);
    cmbSearchType->setCurrentIndex(0);
    txtFieldValue->setFocus();
    return DbResult::success();
}

void frmSearch::adodcAdvSearch_MoveComplete(int adReason, Recordset* pRecordset)
{
    if (!pRecordset || !pRecordset->isOpen())
        return;
    mostra_stato(QStringLiteral("Totale : ") + QString::number(pRecordset->recordCount())
                 + QStringLiteral(" records trovati."));
    if (adReason < adRsnMoveFirst || adReason > adRsnMoveLast || !m_sorgente || !m_sorgente->isOpen())
        return;
    if (m_sorgente->absolutePosition() < 1) {
        setCurrentBookMark(1);
        return;
    }
    setCurrentBookMark(m_sorgente->bookmark());
    const QString nome = m_callerForm ? m_callerForm->Name().toLower() : QString();
    if (nome == QLatin1String("frmtree")) {
        const QString chiave = valore(*pRecordset, QStringLiteral("SYS_KEY")).toString();
        const std::shared_ptr<Recordset> griglia = m_callerForm->Adodc();
        QString criterio;
        if (m_callerForm->GridViewMode() == 1) {
            m_callerForm->MakeNodeClick(chiave, QString(), QVariant());
            criterio = criterio_uguale(QStringLiteral("GRUPPO"), valore(*pRecordset, QStringLiteral("GRUPPO")));
        } else {
            const QString campo = QStringLiteral("USERS.SYS_COUNTER");
            const QVariant utente = valore(*pRecordset, campo);
            m_callerForm->MakeNodeClick(chiave, campo, utente);
            criterio = criterio_uguale(campo, utente);
        }
        // A row the grid does not hold is simply not found.
        if (griglia && !criterio.isEmpty())
            (void)griglia->find(criterio, 0, SearchDirection::Forward, kBookmarkFirst);
    } else if (nome == QLatin1String("frmtables")) {
        const Bookmark segno = pRecordset->bookmark();
        m_callerForm->SelBookmarksAdd(segno);
        (void)m_sorgente->setBookmark(segno);
    }
}

} // namespace quad
