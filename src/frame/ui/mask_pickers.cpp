// The pickers of the entry mask: the calendar of the two date boxes, the office list of the
// two office boxes and the document-type list of box 3, whose pick also fills the offices.
#include "main_window.h"
#include "mask_rules.h"

#include "ax_db_autocomplete.h"
#include "calendar_popup.h"
#include "data_control.h"
#include "field_binding.h"

#include "date_text.h"
#include "message_service.h"
#include "pickers.h"

#include <QFrame>
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

// --- calendar ----------------------------------------------------------------------------

void Quadernolo::apri_calendario(int Index)
{
    auto* calendario = qobject_cast<CalendarPopup*>(Frm_mask->Frame_calendar);
    QLineEdit* box = Frm_mask->txt_mask1[Index];
    if (!calendario || box->isReadOnly())
        return;
    const QString caption = Index == 2 ? CalendarPopup::captionDataQuadernolo() : CalendarPopup::captionDataQuadRif();
    calendario->apri(box, caption, box->text());
}

void Quadernolo::imposta_data_calendario()
{
    auto* calendario = qobject_cast<CalendarPopup*>(Frm_mask->Frame_calendar);
    if (!calendario)
        return;
    const QString data = showDate(calendario->data());
    if (Frm_mask->lbl_data->text() == CalendarPopup::captionDataQuadernolo()) {
        // The date rule may refuse the date and empty the box; the year follows the box.
        scrivi_casella(binder, Frm_mask->txt_mask1, Frm_mask->txt_mask1[2], data);
        scrivi_casella(binder, Frm_mask->txt_mask1, Frm_mask->txt_mask1[1],
                       anno_della_data(Frm_mask->txt_mask1[2]->text()));
        Frm_mask->txt_mask1[3]->setFocus();
    } else if (Frm_mask->lbl_data->text() == CalendarPopup::captionDataQuadRif()) {
        scrivi_casella(binder, Frm_mask->txt_mask1, Frm_mask->txt_mask1[6], data);
        Frm_mask->txt_mask1[7]->setFocus();
    }
}

void Quadernolo::CalendarVB1_DateDblClick()
{
    imposta_data_calendario();
    Frm_mask->Frame_calendar->hide();
}

void Quadernolo::CalendarVB1_Close()
{
    Frm_mask->Frame_calendar->hide();
    // While a new entry is typed the clerk goes on with the next box.
    if (Frm_mask->Frame_new_ins->isHidden())
        return;
    if (Frm_mask->lbl_data->text() == CalendarPopup::captionDataQuadernolo())
        Frm_mask->txt_mask1[3]->setFocus();
    else if (Frm_mask->lbl_data->text() == CalendarPopup::captionDataQuadRif())
        Frm_mask->txt_mask1[7]->setFocus();
}

// --- office list -------------------------------------------------------------------------

bool Quadernolo::apri_elenco_uffici(int Index, bool withFocus)
{
    QLineEdit* box = Frm_mask->txt_mask1[Index];
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

void Quadernolo::list_elenco_DblClick()
{
    QListWidgetItem* item = list_elenco->currentItem();
    if (!item || (m_p_index != 16 && m_p_index != 17))
        return;
    QLineEdit* box = Frm_mask->txt_mask1[m_p_index];
    if (box->isReadOnly())
        return;
    const OfficePick pick = aggiungi_ufficio(box->text(), item->text());
    if (!pick.accepted) {
        warn(pick.message);
        return;
    }
    scrivi_casella(binder, Frm_mask->txt_mask1, box, pick.text);
    // The list stays for a further pick.
    if (AXDbAutoComplete1)
        AXDbAutoComplete1->setListBoxVisible(false);
    Pic_nomi->hide();
    box->setCursorPosition(box->text().size());
    box->setFocus();
}

// --- document types ----------------------------------------------------------------------

void Quadernolo::apri_tipi_documento()
{
    QLineEdit* box = Frm_mask->txt_mask1[3];
    list_view->clear();
    DbResult error;
    if (std::shared_ptr<Connection> db = DataControl::connectionFor(Ado_nomi->ConnectionString(), &error))
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

void Quadernolo::list_view_DblClick()
{
    QListWidgetItem* item = list_view->currentItem();
    if (!item)
        return;
    const QString scelta = item->text();
    scrivi_casella(binder, Frm_mask->txt_mask1, Frm_mask->txt_mask1[3], scelta);
    DbResult error;
    if (std::shared_ptr<Connection> db = DataControl::connectionFor(Ado_nomi->ConnectionString(), &error)) {
        if (const auto uffici = uffici_tipo_documento(*db, scelta, &error)) {
            scrivi_casella(binder, Frm_mask->txt_mask1, Frm_mask->txt_mask1[16], uffici->ufficio_competente);
            scrivi_casella(binder, Frm_mask->txt_mask1, Frm_mask->txt_mask1[17], uffici->ufficio_conoscenza);
        }
    }
    list_view->hide();
    Frm_mask->txt_mask1[4]->setFocus();
}

} // namespace quad
