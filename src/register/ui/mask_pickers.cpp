// The pickers of the entry mask: the calendar of the two date boxes, the office list of the
// two office boxes and the document-type list of the box Tipo_documento, whose pick also fills the offices.
#include "mask_pickers.h"

#include "control_factory.h"
#include "entry_mask.h"
#include "mask_rules.h"

#include "calendar_popup.h"
#include "field_binding.h"
#include "open_register.h"

#include "date_text.h"
#include "message_service.h"
#include "pickers.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace quad {

namespace {

QStringList voci(const QListWidget* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

} // namespace

using namespace controls;

MaskPickers::MaskPickers(EntryMask& mask, FieldBinder& binder, OpenRegister& registro, QWidget* area)
    : QObject(area)
    , m_mask(mask)
    , m_binder(binder)
    , m_registro(registro)
{
    list_elenco = nominato(new QListWidget(area), QStringLiteral("list_elenco"));
    list_elenco->setGeometry(tw(2000), tw(4000), tw(3500), tw(2000));
    list_elenco->hide();
    list_view = nominato(new QListWidget(area), QStringLiteral("list_view"));
    list_view->setGeometry(tw(2000), tw(4000), tw(3500), tw(2000));
    list_view->hide();
    connect(list_elenco, &QListWidget::itemDoubleClicked, this, [this] { list_elenco_DblClick(); });
    connect(list_view, &QListWidget::itemDoubleClicked, this, [this] { list_view_DblClick(); });
    for (QListWidget* list : {list_elenco, list_view})
        list->installEventFilter(this);
}

bool MaskPickers::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool invio = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (watched == list_elenco) {
        if (invio) {
            list_elenco_DblClick();
            return true;
        }
        if (key == Qt::Key_Escape
            && (p_index == EntryMask::Ufficio_competente || p_index == EntryMask::Ufficio_conoscenza)) {
            list_elenco->hide();
            m_mask.casella(size_t(p_index))->setFocus();
            return true;
        }
    }
    if (watched == list_view) {
        if (invio) {
            list_view_DblClick();
            return true;
        }
        if (key == Qt::Key_Escape) {
            list_view->hide();
            m_mask.casella(EntryMask::Tipo_documento)->setFocus();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void MaskPickers::imposta_casella(int Index)
{
    p_index = Index;
}

void MaskPickers::carica_uffici(const QStringList& uffici)
{
    list_elenco->clear();
    list_elenco->addItems(uffici);
}

bool MaskPickers::elenco_uffici_visibile() const
{
    return list_elenco->isVisible();
}

void MaskPickers::nascondi_elenco_uffici()
{
    list_elenco->hide();
}

void MaskPickers::nascondi_tipi_documento()
{
    list_view->hide();
}

// --- calendar ----------------------------------------------------------------------------

void MaskPickers::apri_calendario(int Index)
{
    CalendarPopup* calendario = m_mask.calendario();
    QLineEdit* box = m_mask.casella(Index);
    if (!calendario || box->isReadOnly())
        return;
    const QString caption = Index == EntryMask::Data_quadernolo ? CalendarPopup::captionDataQuadernolo()
                                                                : CalendarPopup::captionDataQuadRif();
    calendario->apri(box, caption, box->text());
}

void MaskPickers::imposta_data_calendario()
{
    CalendarPopup* calendario = m_mask.calendario();
    if (!calendario)
        return;
    const QString data = showDate(calendario->data());
    if (calendario->didascalia() == CalendarPopup::captionDataQuadernolo()) {
        // The date rule may refuse the date and empty the box; the year follows the box.
        scrivi_casella(&m_binder, m_mask.caselle(), m_mask.casella(EntryMask::Data_quadernolo), data);
        scrivi_casella(&m_binder, m_mask.caselle(), m_mask.casella(EntryMask::Anno),
                       anno_della_data(m_mask.casella(EntryMask::Data_quadernolo)->text()));
        m_mask.casella(EntryMask::Tipo_documento)->setFocus();
    } else if (calendario->didascalia() == CalendarPopup::captionDataQuadRif()) {
        scrivi_casella(&m_binder, m_mask.caselle(), m_mask.casella(EntryMask::Data_quad_rif), data);
        m_mask.casella(EntryMask::Oggetto)->setFocus();
    }
}

void MaskPickers::CalendarVB1_DateDblClick()
{
    imposta_data_calendario();
    m_mask.nascondi_calendario();
}

void MaskPickers::CalendarVB1_Close()
{
    m_mask.nascondi_calendario();
    // While a new entry is typed the clerk goes on with the next box.
    if (!m_mask.nuova_scheda_in_corso())
        return;
    if (m_mask.calendario()->didascalia() == CalendarPopup::captionDataQuadernolo())
        m_mask.casella(EntryMask::Tipo_documento)->setFocus();
    else if (m_mask.calendario()->didascalia() == CalendarPopup::captionDataQuadRif())
        m_mask.casella(EntryMask::Oggetto)->setFocus();
}

// --- office list -------------------------------------------------------------------------

bool MaskPickers::apri_elenco_uffici(int Index, bool withFocus)
{
    QLineEdit* box = m_mask.casella(Index);
    if (box->isReadOnly())
        return false;
    const QString rifiuto = rifiuto_lista_uffici(elenco_uffici(voci(list_elenco).join(QLatin1Char(';'))));
    if (!rifiuto.isEmpty()) {
        warn(rifiuto);
        return true;
    }
    // Beside the box, as wide as the box.
    const QPoint accanto = box->mapTo(list_elenco->parentWidget(), QPoint(box->width(), 0));
    if (list_elenco->isVisible()) {
        list_elenco->move(list_elenco->x(), accanto.y());
        return false;
    }
    list_elenco->setGeometry(accanto.x(), accanto.y(), box->width(), list_elenco->height());
    list_elenco->raise();
    list_elenco->show();
    const int scelta = selezione_lista_uffici(voci(list_elenco), box->text());
    list_elenco->clearSelection();
    list_elenco->setCurrentRow(scelta);
    if (withFocus)
        list_elenco->setFocus();
    return true;
}

bool MaskPickers::entra_elenco_uffici()
{
    if (!list_elenco->isVisible())
        return false;
    if (!list_elenco->currentItem())
        list_elenco->setCurrentRow(0);
    list_elenco->setFocus();
    return true;
}

void MaskPickers::list_elenco_DblClick()
{
    QListWidgetItem* item = list_elenco->currentItem();
    const int indice = p_index;
    if (!item || (indice != EntryMask::Ufficio_competente && indice != EntryMask::Ufficio_conoscenza))
        return;
    QLineEdit* box = m_mask.casella(size_t(indice));
    if (box->isReadOnly())
        return;
    const OfficePick pick = aggiungi_ufficio(box->text(), item->text());
    if (!pick.accepted) {
        warn(pick.message);
        return;
    }
    scrivi_casella(&m_binder, m_mask.caselle(), box, pick.text);
    // The list stays for a further pick.
    emit ufficio_aggiunto();
    box->setCursorPosition(box->text().size());
    box->setFocus();
}

// --- document types ----------------------------------------------------------------------

void MaskPickers::apri_tipi_documento()
{
    QLineEdit* box = m_mask.casella(EntryMask::Tipo_documento);
    list_view->clear();
    DbResult error;
    if (std::shared_ptr<Connection> db
        = DataSource::connectionFor(m_registro.addressBookSource().ConnectionString(), &error))
        list_view->addItems(elenco_tipi_documento(*db, &error));
    if (list_view->count() == 0) {
        list_view->hide();
        return;
    }
    // Under the box, as a drop-down list.
    const QPoint sotto = box->mapTo(list_view->parentWidget(), QPoint(0, box->height()));
    list_view->setGeometry(sotto.x(), sotto.y(), box->width(), list_view->height());
    list_view->raise();
    list_view->show();
    list_view->setCurrentRow(0);
    list_view->setFocus();
}

void MaskPickers::list_view_DblClick()
{
    QListWidgetItem* item = list_view->currentItem();
    if (!item)
        return;
    const QString scelta = item->text();
    scrivi_casella(&m_binder, m_mask.caselle(), m_mask.casella(EntryMask::Tipo_documento), scelta);
    DbResult error;
    if (std::shared_ptr<Connection> db
        = DataSource::connectionFor(m_registro.addressBookSource().ConnectionString(), &error)) {
        if (const auto uffici = uffici_tipo_documento(*db, scelta, &error)) {
            scrivi_casella(&m_binder, m_mask.caselle(), m_mask.casella(EntryMask::Ufficio_competente),
                           uffici->ufficio_competente);
            scrivi_casella(&m_binder, m_mask.caselle(), m_mask.casella(EntryMask::Ufficio_conoscenza),
                           uffici->ufficio_conoscenza);
        }
    }
    list_view->hide();
    m_mask.casella(EntryMask::Numero_documenti)->setFocus();
}

} // namespace quad
