// The entry mask's handlers: made by the register's window over the mask, its binder, the open
// register and its entries; the name completion is handed to the mask's autocomplete.
#include "mask_controller.h"

#include "address_book_panel.h"
#include "ax_db_autocomplete.h"
#include "entry_actions.h"
#include "mask_autocomplete.h"
#include "mask_pickers.h"

#include "open_register.h"

namespace quad {

MaskController::MaskController(OpenRegister& aperto, EntryActions& azioniSchede, EntryMask& maschera,
                               FieldBinder& binder, DataControl& registro, DataControl& mittenti, DataControl& rubrica,
                               MaskPickers& selettori, AddressBookPanel& pannelloNomi, AXDbAutoComplete& completamento,
                               QWidget& fuoco, QObject* parent)
    : QObject(parent)
    , m_registro(&aperto)
    , m_azioniSchede(&azioniSchede)
    , Frm_mask(&maschera)
    , binder(&binder)
    , Adodc1(&registro)
    , ado_mittenti(&mittenti)
    , m_selettori(&selettori)
    , Pic_nomi(&pannelloNomi)
    , AXDbAutoComplete1(&completamento)
    , cmd_focus(&fuoco)
{
    setObjectName(QStringLiteral("controllo_maschera"));
    // The name completion watches the boxes too; it lets them go before they die.
    m_completamentoMaschera = new MaskAutocomplete(*this, maschera.caselle(), completamento, registro, rubrica,
                                                   mittenti, binder, pannelloNomi, aperto.session(), this);
}

MaskController::~MaskController()
{
    // The boxes' autocomplete lets them go before they die.
    delete m_completamentoMaschera;
    m_completamentoMaschera = nullptr;
}

QWidget* MaskController::finestra() const
{
    return Frm_mask->window();
}

int MaskController::conta_schede() const
{
    return m_registro->count();
}

bool MaskController::p_uscita() const
{
    return m_azioniSchede->in_uscita();
}

bool MaskController::p_modifica() const
{
    return Pic_nomi->p_modifica();
}

bool MaskController::p_frm_nomi() const
{
    return Pic_nomi->p_frm_nomi();
}

void MaskController::cmd_new_ins_Click(int Index)
{
    m_azioniSchede->cmd_new_ins_Click(Index);
}

void MaskController::CalendarVB1_DateDblClick()
{
    m_selettori->CalendarVB1_DateDblClick();
}

void MaskController::CalendarVB1_Close()
{
    m_selettori->CalendarVB1_Close();
}

void MaskController::cerca_in_elenco(const QString& text)
{
    Pic_nomi->cerca_in_elenco(text);
}

} // namespace quad
