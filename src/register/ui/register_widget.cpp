// The register's window: its parts made and wired, its layout in the window's area, and what the
// window reads of it.
#include "register_widget.h"

#include "address_book_panel.h"
#include "ax_db_autocomplete.h"
#include "control_factory.h"
#include "data_control.h"
#include "entry_actions.h"
#include "entry_mask.h"
#include "field_binding.h"
#include "main_grid.h"
#include "mask_controller.h"
#include "mask_pickers.h"
#include "register_parts.h"

#include "entry_session.h"
#include "message_service.h"
#include "register_settings.h"

#include <QEvent>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <algorithm>

namespace quad {

using namespace controls;

RegisterWidget::RegisterWidget(RegisterSettings& impostazioni, std::function<QString()> cartellaDati, QWidget* parent)
    : QWidget(parent)
    , m_impostazioni(impostazioni)
{
    setObjectName(QStringLiteral("vista_registro"));
    m_binder = new FieldBinder(this);
    // A part of the window by its name, as its controls are; the widget lets it go before them.
    m_registro = std::make_unique<OpenRegister>(std::move(cartellaDati), this);
    m_registro->setObjectName(QStringLiteral("registro_aperto"));
    crea_controlli();
    collega_segnali();
}

RegisterWidget::~RegisterWidget()
{
    // The controls outlive this body: a box that loses the focus as the window goes, or a data
    // control that reports a change, must no longer reach the handlers, nor the window around.
    disconnect();
    Frm_mask->setEvents(nullptr);
    // The boxes' autocomplete lets them go before they die, with the mask's handlers.
    delete m_controlloMaschera;
    m_controlloMaschera = nullptr;
    delete m_azioniSchede;
    m_azioniSchede = nullptr;
    m_registro->disconnect(this);
    for (QObject* parte : findChildren<QObject*>())
        parte->disconnect(this);
}

void RegisterWidget::crea_controlli()
{
    // The focus is parked on it out of sight; Tab and clicks never reach it.
    cmd_focus = bottone(this, "cmd_focus", QStringLiteral("FOCUS"), QRect(tw(-1000), tw(-1000), tw(800), tw(300)));
    cmd_focus->setFocusPolicy(Qt::NoFocus);

    // The views lie under everything else of the window.
    m_griglia = new MainGrid(*m_registro, m_impostazioni, cmd_focus, this);
    Pic_mask = new MaskViewport(this);

    // The register's data control: entrata joined with Mittenti.
    Adodc1 = nominato(new DataControl(m_registro->registerSource(), this), QStringLiteral("Adodc1"));
    Adodc1->setCaption(QStringLiteral("Adodc1"));
    Adodc1->resize(tw(8880), tw(330));
    Adodc1->hide();

    // The mask, with the data control of the correspondents of the entry shown (never shown).
    Frm_mask = new EntryMask(Pic_mask, cmd_focus);
    Pic_mask->imposta_contenuto(Frm_mask);
    ado_mittenti
        = nominato(new DataControl(m_registro->correspondentSource(), Frm_mask), QStringLiteral("ado_mittenti"));
    ado_mittenti->setCaption(QStringLiteral("ado_mittenti"));
    ado_mittenti->setGeometry(8, 430, 200, 22);
    ado_mittenti->hide();

    pic_move = new NavigationStrip(this);

    // The address-book panel, with the address book's data control (never shown).
    Pic_nomi = new AddressBookPanel(*m_registro, *Frm_mask, this);
    Ado_nomi = nominato(new DataControl(m_registro->addressBookSource(), Pic_nomi), QStringLiteral("Ado_nomi"));
    Ado_nomi->setCaption(QStringLiteral("Adodc2"));
    Ado_nomi->resize(tw(3000), tw(330));
    Ado_nomi->hide();

    // Pick lists.
    m_selettori = new MaskPickers(*Frm_mask, *m_binder, *m_registro, this);

    // The name completion: only its list is ever seen, as a window of its own.
    AXDbAutoComplete1 = new AXDbAutoComplete(window());
    AXDbAutoComplete1->setObjectName(QStringLiteral("AXDbAutoComplete1"));
    AXDbAutoComplete1->setSearchMode(1);
    AXDbAutoComplete1->hide();

    m_azioniSchede = new EntryActions(*m_registro, m_impostazioni, *Frm_mask, *m_binder, *Adodc1, *ado_mittenti,
                                      *m_selettori, *Pic_nomi, *AXDbAutoComplete1, *cmd_focus, this);
    m_controlloMaschera = new MaskController(*m_registro, *m_azioniSchede, *Frm_mask, *m_binder, *Adodc1, *ado_mittenti,
                                             *Ado_nomi, *m_selettori, *Pic_nomi, *AXDbAutoComplete1, *cmd_focus, this);
    Frm_mask->setEvents(m_controlloMaschera);
    m_azioniSchede->collega_tasti_pagina(Pic_mask);
    // A click on the viewport dismisses the pop-ups; the preview follows the entry when it shows.
    Pic_mask->installEventFilter(this);
}

void RegisterWidget::collega_segnali()
{
    connect(Adodc1, &DataControl::moveComplete, m_azioniSchede, &EntryActions::Adodc1_MoveComplete);
    connect(Adodc1, &DataControl::willMove, m_azioniSchede, &EntryActions::Adodc1_WillMove);
    connect(Adodc1, &DataControl::error, m_azioniSchede, &EntryActions::Adodc1_Error);
    // A refresh of the register (another window reading it again) gives it a new recordset: the
    // grid bound to it follows, with its captions and columns set up again.
    connect(Adodc1, &DataControl::recordsetChanged, this, [this] {
        if (!m_griglia->vista()->model() || !Adodc1->Recordset())
            return;
        m_griglia->collega_griglia();
        m_griglia->imposta_intestazioni_griglia();
        m_griglia->carica_colonne_griglia();
    });
    // The filter button and the grid's colour tell whether the register is filtered.
    connect(m_registro.get(), &OpenRegister::filterChanged, this, &RegisterWidget::imposta_pulsante_filtro);
    // The boxes of the correspondent show the rows just read; a read that failed is told as the
    // register's own.
    connect(m_registro.get(), &OpenRegister::correspondentsLoaded, this, [this](const DbResult& letto) {
        if (!letto.ok())
            m_azioniSchede->Adodc1_Error(letto);
        m_azioniSchede->collega_campi_corrispondente_origine();
    });
    connect(m_binder, &FieldBinder::valueRefused, this, &RegisterWidget::valore_rifiutato);

    connect(pic_move, &NavigationStrip::clicked, this, &RegisterWidget::cmd_move_Click);
    connect(m_azioniSchede, &EntryActions::popup_lasciati, this, &RegisterWidget::popup_lasciati);
    connect(m_azioniSchede, &EntryActions::maschera_richiesta, this, &RegisterWidget::passa_alla_maschera);
    connect(m_azioniSchede, &EntryActions::inserimento_iniziato, this, [this](const QString& registro) {
        emit inserimento_iniziato(registro);
        pic_move->setEnabled(false);
    });
    connect(m_azioniSchede, &EntryActions::inserimento_finito, this, [this] {
        emit inserimento_finito();
        pic_move->setEnabled(true);
    });
    connect(m_registro.get(), &OpenRegister::archiveKeyRefused, m_azioniSchede, &EntryActions::chiave_rifiutata);
    connect(m_azioniSchede, &EntryActions::totale_scritto, pic_move, &NavigationStrip::scrivi_totale);
    connect(m_controlloMaschera, &MaskController::popup_lasciati, this, &RegisterWidget::popup_lasciati);
    connect(m_controlloMaschera, &MaskController::elenco_fascicoli_richiesto, this,
            &RegisterWidget::elenco_fascicoli_richiesto);
    connect(m_controlloMaschera, &MaskController::inoltro_richiesto, this, &RegisterWidget::inoltro_richiesto);
    // A double click on a row shows the mask on that entry, as the view switch does.
    connect(m_griglia, &MainGrid::DataGrid1_DblClick, this, [this] {
        passa_alla_maschera();
        Frm_mask->mostra_anteprima_collegamento();
    });
    connect(m_griglia, &MainGrid::record_trovato, m_azioniSchede, &EntryActions::mostra_nodo_corrente);
    // An office added from its list: the name box's suggestions go.
    connect(m_selettori, &MaskPickers::ufficio_aggiunto, this, [this] {
        AXDbAutoComplete1->setListBoxVisible(false);
        Pic_nomi->hide();
    });
}

bool RegisterWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Pic_mask) {
        // A click on the viewport dismisses the pop-ups (the mask reports its own clicks).
        if (event->type() == QEvent::MouseButtonPress)
            emit popup_lasciati();
        // The register may have moved while the grid was shown: the preview follows the entry.
        else if (event->type() == QEvent::Show)
            Frm_mask->mostra_anteprima_collegamento();
    }
    return QWidget::eventFilter(watched, event);
}

void RegisterWidget::valore_rifiutato(QWidget* box, const DbResult& refusal)
{
    const QString field = m_binder->dataField(box);
    QString name = field;
    // "del" and "Ora" name no field on their own.
    const QString caption = Frm_mask->didascalia(Frm_mask->indexOf(box));
    if (caption.size() > 3)
        name = caption;
    QString text = QStringLiteral("ATTENZIONE !\n\nValore non valido per il campo %1.").arg(name);
    if (!refusal.message.startsWith(QStringLiteral("Valore non valido per il campo %1.").arg(field)))
        text += QStringLiteral("\n\n") + refusal.message;
    warn(text);
    // The clerk mends the value in its box: the focus goes back there once the move that left it
    // (to the next box, or to the button that confirms) is over.
    QTimer::singleShot(0, box, [box] {
        box->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(box))
            edit->selectAll();
    });
}

// --- what the window reads ------------------------------------------------------------------

bool RegisterWidget::aperto() const
{
    return m_inVista && Adodc1->Recordset() != nullptr;
}

bool RegisterWidget::inserimento_in_corso() const
{
    return m_registro->session().p_new_ins();
}

bool RegisterWidget::rifiuta_durante_inserimento() const
{
    if (!inserimento_in_corso())
        return false;
    msgBox(QStringLiteral("ATTENZIONE !\n\nImpossibile effettuare tale operazione nella\n"
                          "fase di inserimento di un nuovo quadernolo"),
           MsgIcon::Information);
    return true;
}

bool RegisterWidget::griglia_visibile() const
{
    return m_griglia->visibile();
}

bool RegisterWidget::vista_visibile() const
{
    return m_griglia->visibile() || !Pic_mask->isHidden();
}

QString RegisterWidget::ufficio_competente() const
{
    return Frm_mask->casella(EntryMask::Ufficio_competente)->text();
}

std::vector<Bookmark> RegisterWidget::righe_scelte() const
{
    return m_griglia->righe_scelte();
}

int RegisterWidget::altezza_fondo() const
{
    return std::max(Adodc1->height(), pic_move->height());
}

int RegisterWidget::larghezza_maschera() const
{
    return Frm_mask->width();
}

// --- the window's layout --------------------------------------------------------------------

void RegisterWidget::imposta_icone(const QIcon& fascicoli, const std::vector<QPixmap>& collegamento)
{
    Frm_mask->imposta_icone(fascicoli, collegamento);
}

void RegisterWidget::imposta_barra(int altezza)
{
    m_barra = altezza;
}

void RegisterWidget::disponi()
{
    const int cw = width();
    const int ch = height();
    const int ado = Adodc1->height();
    // The mask centred in its viewport (of the size before this layout).
    Pic_mask->centra_contenuto();
    // The bar at the foot.
    Adodc1->setGeometry(0, ch - ado, cw, ado);
    pic_move->setGeometry(0, ch - pic_move->height(), Adodc1->width(), pic_move->height());
    pic_move->dispose();
    // The mask's viewport between the tool bars and the foot; the grid fills the same area, shown
    // or not, so that it fits when it comes back.
    if (ch - m_barra - ado >= 0)
        Pic_mask->resize(cw, ch - m_barra - ado);
    m_griglia->posiziona_griglia(m_barra, ado);
    // The mask fitted in it, with its scroll bars; the data control leaves the vertical one free.
    const int barraVerticale = Pic_mask->adatta(size(), ch - Pic_mask->altezza_angolo() - m_barra - ado - tw(100));
    if (barraVerticale > 0)
        Adodc1->resize(cw - barraVerticale, Adodc1->height());
}

void RegisterWidget::parcheggia_fuoco()
{
    cmd_focus->setFocus();
}

// --- the entries ----------------------------------------------------------------------------

void RegisterWidget::cmd_ins_Click(int Index)
{
    m_azioniSchede->cmd_ins_Click(Index);
}

bool RegisterWidget::salva_se_modificata()
{
    // A click on a tool-bar button leaves the focus in the box being typed: what it holds counts
    // as a change of the entry on screen, before the action moves the register elsewhere.
    // An incomplete entry is reported and its changes given up; a failed save stops the action.
    return m_azioniSchede->salva_scheda_esito();
}

void RegisterWidget::abbandona_inserimento()
{
    m_azioniSchede->abbandona_inserimento();
}

void RegisterWidget::cmd_move_Click(int Index)
{
    m_azioniSchede->cmd_move_Click(Index);
}

void RegisterWidget::rileggi_registro(qint64 numero, bool soloScheda)
{
    m_azioniSchede->rileggi_registro(numero, soloScheda);
}

void RegisterWidget::mostra_nodo_corrente()
{
    m_azioniSchede->mostra_nodo_corrente();
}

void RegisterWidget::mostra_nodo(const QString& nodo)
{
    Frm_mask->mostra_nodo(nodo);
}

} // namespace quad
