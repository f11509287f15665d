// Events of the mask's boxes: what each box does when it gets the focus, on its keys and its
// typing, when its text changes and when it is left. A registered entry is only consulted (its
// boxes are locked): there a typed character starts the quick find on the box's field. A new
// entry is typed: there the boxes check and shape what the clerk types.
#include "mask_controller.h"
#include "mask_rules.h"

#include "address_book_panel.h"
#include "ax_db_autocomplete.h"
#include "entry_actions.h"
#include "field_binding.h"
#include "mask_pickers.h"

#include "date_text.h"
#include "entry_session.h"
#include "identifier_checks.h"
#include "mask_typing.h"
#include "message_service.h"
#include "open_register.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>

namespace quad {

namespace {

/// Tab and Shift+Tab move between the boxes: no box rule takes them.
bool tastoNavigazione(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
}

bool soloModificatore(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
        return true;
    default:
        return false;
    }
}

} // namespace

bool MaskController::txt_mask1_KeyDown(int Index, QKeyEvent* event)
{
    if (conta_schede() < 1 || tastoNavigazione(event))
        return false;
    QLineEdit* box = Frm_mask->casella(Index);
    const int key = event->key();
    // The subject of a registered entry is corrected in a dialog of its own.
    if (Index == EntryMask::Oggetto && key == Qt::Key_F12 && box->isReadOnly()) {
        correggi_oggetto_scheda();
        return true;
    }
    // The link box chooses its file in either state.
    if (Index == EntryMask::Collegamento && key == Qt::Key_F2) {
        scegli_collegamento();
        return true;
    }
    if (box->isReadOnly())
        return false;
    switch (Index) {
    case EntryMask::Tipo_documento:
        if (key != Qt::Key_Down)
            return false;
        m_selettori->apri_tipi_documento();
        return true;
    case EntryMask::Ufficio_competente:
    case EntryMask::Ufficio_conoscenza:
        // The arrows move the caret; Down goes into the office list shown beside the box; every
        // other key opens the list.
        if (key == Qt::Key_Left || key == Qt::Key_Right || soloModificatore(event))
            return false;
        if (key == Qt::Key_Down && m_selettori->entra_elenco_uffici())
            return true;
        return m_selettori->apri_elenco_uffici(Index, true);
    default:
        return false;
    }
}

bool MaskController::txt_mask1_KeyPress(int Index, QKeyEvent* event)
{
    const QString typed = event->text();
    if (typed.isEmpty() || tastoNavigazione(event))
        return false;
    const ushort code = typed.at(0).unicode();
    QLineEdit* box = Frm_mask->casella(Index);

    // A registered entry: from "%" to "z" a character starts the quick find on the box's field
    // (the note and the link take typing as usual).
    if (Frm_mask->casella(EntryMask::Tipo_documento)->isReadOnly() && Index != EntryMask::Note
        && Index != EntryMask::Collegamento) {
        if (code < 37 || code > 122)
            return false;
        apri_ricerca_campo(typed, Index);
        return true;
    }

    switch (Index) {
    case EntryMask::P_iva_CF:
    case EntryMask::Prov:
    case EntryMask::Stato: {
        // Tax code, province and country are typed in capitals.
        const QString upper = typed.toUpper();
        if (upper == typed || box->isReadOnly())
            return false;
        box->insert(upper);
        return true;
    }
    case EntryMask::Progressivo:
    case EntryMask::Anno:
        warn(QStringLiteral("ATTENZIONE !\n\nCampo non digitabile."));
        return true;
    case EntryMask::Orario: {
        if (box->isReadOnly())
            return true;
        const MaskResult result = mask_ora(box->text(), box->cursorPosition(), typed.at(0));
        if (result.text != box->text())
            box->setText(result.text);
        box->setCursorPosition(result.caret);
        return result.swallowed;
    }
    case EntryMask::Ufficio_competente:
    case EntryMask::Ufficio_conoscenza:
        // The offices come from their list only.
        return true;
    default:
        return false;
    }
}

void MaskController::txt_mask1_GotFocus(int Index)
{
    if (conta_schede() < 1) {
        cmd_focus->setFocus();
        return;
    }
    QLineEdit* box = Frm_mask->casella(Index);
    m_ctrl_filtro = box;
    if (m_azioniSchede->in_uscita())
        return;

    nascondi_popup();
    if (AXDbAutoComplete1)
        AXDbAutoComplete1->setListBoxVisible(false);
    Pic_nomi->hide();
    m_selettori->imposta_casella(Index);

    if (Index == EntryMask::Ufficio_competente || Index == EntryMask::Ufficio_conoscenza) {
        // An empty office box offers the list at once (the focus stays in the box); a list
        // already open moves beside this box.
        if (m_selettori->elenco_uffici_visibile() || box->text().isEmpty())
            m_selettori->apri_elenco_uffici(Index, false);
    } else {
        m_selettori->nascondi_elenco_uffici();
    }
    if (Index != EntryMask::Tipo_documento)
        m_selettori->nascondi_tipi_documento();
    // A typed date the register refused is mended by typing: its calendar stays closed.
    if ((Index == EntryMask::Data_quadernolo || Index == EntryMask::Data_quad_rif)
        && (box->text().trimmed().isEmpty() || isDateText(box->text())))
        m_selettori->apri_calendario(Index);
}

void MaskController::txt_mask1_LostFocus(int Index)
{
    m_ctrl_filtro = Frm_mask->casella(Index);
    // A registered entry is not checked.
    if (Frm_mask->casella(EntryMask::Data_quadernolo)->isReadOnly())
        return;
    // What was typed goes into the record before the rules below write other boxes.
    conferma_caselle(binder, Frm_mask->caselle());

    if (Index == EntryMask::Data_quadernolo)
        regola_data_quadernolo(true);
    // The year always follows the registration date.
    const QString anno = anno_della_data(Frm_mask->casella(EntryMask::Data_quadernolo)->text());
    if (!anno.isEmpty() && Frm_mask->casella(EntryMask::Anno)->text() != anno)
        scrivi_casella(binder, Frm_mask->caselle(), Frm_mask->casella(EntryMask::Anno), anno);

    if (Index == EntryMask::Collegamento)
        Frm_mask->mostra_anteprima_collegamento();

    if (Index == EntryMask::P_iva_CF) {
        const QString rifiuto = rifiuto_piva_cf(Frm_mask->casella(EntryMask::P_iva_CF)->text());
        if (!rifiuto.isEmpty()) {
            warn(rifiuto);
            scrivi_casella(binder, Frm_mask->caselle(), Frm_mask->casella(EntryMask::P_iva_CF), QString());
        }
    }

    // A street without a house number has "snc".
    if ((Index == EntryMask::Civico || Index == EntryMask::Citta)
        && !Frm_mask->casella(EntryMask::Indirizzo)->text().trimmed().isEmpty()
        && Frm_mask->casella(EntryMask::Civico)->text().trimmed().isEmpty())
        scrivi_casella(binder, Frm_mask->caselle(), Frm_mask->casella(EntryMask::Civico), QStringLiteral("snc"));
}

void MaskController::txt_mask1_Change(int Index)
{
    if (m_azioniSchede->in_uscita() || m_registro->session().p_stop())
        return;
    if (Index == EntryMask::Data_quadernolo)
        regola_data_quadernolo(false);
    else if (Index == EntryMask::Collegamento && Frm_mask->isVisible())
        Frm_mask->mostra_anteprima_collegamento();
}

bool MaskController::txt_mask1_Validate(int Index)
{
    QLineEdit* box = Frm_mask->casella(Index);
    if (box->isReadOnly()
        || (Index != EntryMask::Data_quadernolo && Index != EntryMask::Data_quad_rif
            && Index != EntryMask::Data_nascita))
        return true;
    // A date typed in eight characters ("03012026") is written out as the box shows dates.
    const QString data = data_otto_caratteri(box->text());
    if (data != box->text())
        box->setText(data);
    // A birth date that is not a date goes without a word.
    if (Index == EntryMask::Data_nascita && !box->text().trimmed().isEmpty() && !isDateText(box->text()))
        box->clear();
    return true;
}

void MaskController::regola_data_quadernolo(bool leaving)
{
    QLineEdit* box = Frm_mask->casella(EntryMask::Data_quadernolo);
    const QString text = box->text().trimmed();
    // With no entry (or only the one being typed) before it, any date is accepted.
    if (text.isEmpty() || box->isReadOnly() || conta_schede() <= 1 || !m_registro->session().p_ultima_data().isValid())
        return;
    // A date typed by hand is judged when it has its whole year, or when the box is left.
    static const QRegularExpression annoIntero(QStringLiteral("(^|\\D)\\d{4}($|\\D)"));
    if (!leaving && !annoIntero.match(text).hasMatch())
        return;
    const auto value = parseDateText(text);
    if (!value || !value->date || *value->date >= m_registro->session().p_ultima_data())
        return;
    warn(QStringLiteral("Data inferiore all' ultima inserita !"));
    // The refused date never reaches the record.
    box->clear();
    (void)binder->commit(box);
}

} // namespace quad
