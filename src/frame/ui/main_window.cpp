#include "main_window.h"

#include "control_factory.h"
#include "data_control.h"
#include "entry_helpers.h"
#include "field_binding.h"
#include "message_service.h"
#include "part_hosts.h"
#include "program_folder.h"
#include "register_grid.h"
#include "toolbar_icons.h"
#include "window_parts.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace quad {

using namespace controls;

Quadernolo::Quadernolo(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Quadernolo"));
    setWindowTitle(QStringLiteral("Gestione quadernolo"));
    m_centrale = new QWidget(this);
    m_centrale->setObjectName(QStringLiteral("centrale"));
    setCentralWidget(m_centrale);
    binder = new FieldBinder(this);
    m_parti = std::make_unique<PartHosts>(*this);
    // A part of the window by its name, as its controls are; the window lets it go before them.
    m_registro = std::make_unique<OpenRegister>([this] { return resolveDataFolder(state.p_path_cartella); }, this);
    m_registro->setObjectName(QStringLiteral("registro_aperto"));
    // A write that meets a key changed at another station asks for the archive's password; the
    // write itself tells the clerk when none was given.
    m_registro->setArchiveKeyRequest([this] {
        bool rinuncia = false;
        return chiave_archivio_in_uso(&rinuncia);
    });

    creaControlli();
    creaMaschera();
    creaPannelli();
    MaskController::Parti parti;
    parti.maschera = Frm_mask;
    parti.viewport = Pic_mask;
    parti.binder = binder;
    parti.registro = Adodc1;
    parti.mittenti = ado_mittenti;
    parti.rubrica = Pic_nomi->Ado_nomi;
    parti.selettori = m_selettori;
    parti.pannelloNomi = Pic_nomi;
    parti.fuoco = cmd_focus;
    m_maschera = new MaskController(*m_registro, state, parti, m_parti->maschera, this);
    Frm_mask->setEvents(m_maschera);
    EntryActions::Parti schede;
    schede.maschera = parti;
    schede.regole = m_maschera;
    schede.griglia = m_griglia;
    schede.strumenti = pic_tool_orizz;
    schede.navigazione = pic_move;
    schede.nuovo = Picture4;
    schede.stampa = Picture1;
    schede.avvio = Frame1;
    schede.menu = frm_menu;
    m_schede = new EntryActions(*m_registro, state, schede, m_parti->schede, this);
    collegaSegnali();
    collega_regole_maschera();
    m_maschera->collega_rubrica();

    setMinimumSize(kDimensioneMinima, kDimensioneMinima);
    // Design client area 8880 x 8535 twips, widened when the tool bars' buttons or the mask
    // need more: the mask shows whole at the first size.
    const int barre = pic_tool_orizz->Toolbar1->sizeHint().width() + pic_tool_orizz->Toolbar2->sizeHint().width();
    resize(std::max({tw(8880), barre, Frm_mask->width()}), tw(8535));
    m_centrale->installEventFilter(this);
}

Quadernolo::~Quadernolo()
{
    // The controls outlive this part of the window: a box that loses the focus as the window
    // goes, or a data control that reports a change, must no longer reach its handlers, and the
    // mask's event filter must not read the control lists freed after this body.
    delete findChild<QObject*>(QStringLiteral("regole_maschera"), Qt::FindDirectChildrenOnly);
    for (QObject* control : std::initializer_list<QObject*> {Adodc1, ado_mittenti, Pic_nomi->Ado_nomi}) {
        control->disconnect(this);
        control->disconnect(m_schede);
    }
    Picture1->disconnect(this);
    Frm_mask->setEvents(nullptr);
    // The boxes' autocomplete lets them go before they die, with the mask's handlers.
    delete m_maschera;
    m_maschera = nullptr;
    binder->disconnect(this);
}

void Quadernolo::creaControlli()
{
    QWidget* w = m_centrale;

    // The register views lie under everything else.
    m_griglia = new MainGrid(*m_registro, m_parti->griglia, w);
    Pic_mask = new MaskViewport(w);
    Frame1 = new StartFrame(w);
    frm_menu = new StartMenu(w);

    // The archive in use just above the bottom bar, the historical banner, the message line.
    m_stato = new StatusArea(w);

    cmd_focus = bottone(w, "cmd_focus", QStringLiteral("FOCUS"), QRect(0, 0, tw(800), tw(300)));
    // The focus is parked on it out of sight; Tab and clicks never reach it.
    cmd_focus->setFocusPolicy(Qt::NoFocus);

    m_scorrimento = new FrameScroll(w, Frame1, Pic_mask);

    // Data controls and timers.
    Adodc1 = nominato(new DataControl(m_registro->registerSource(), w), QStringLiteral("Adodc1"));
    Adodc1->setCaption(QStringLiteral("Adodc1"));
    Adodc1->resize(tw(8880), tw(330));
    Adodc1->hide();
    m_timers = new RegisterTimers(this);
    pic_tool_orizz = new ToolStrip(m_centrale);
}

void Quadernolo::creaPannelli()
{
    QWidget* w = m_centrale;
    pic_move = new NavigationStrip(w);
    // New-entry pop-up under "Nuovo", print pop-up under "Stampa".
    Picture4 = new PopupButtons(QStringLiteral("Picture4"), "cmd_ins",
                                {QStringLiteral("ENTRATA"), QStringLiteral("USCITA")}, tw(1800), tw(390), w);
    Picture4->move(tw(900), pic_tool_orizz->height());
    Picture1 = new PrintPanel(*m_registro, state.p_sessione, w);
    Picture1->move(tw(2700), pic_tool_orizz->height());
    connect(Picture1, &PrintPanel::popup_lasciato, this, &Quadernolo::nascondi_popup);

    // Address-book panel.
    Pic_nomi = new AddressBookPanel(*m_registro, m_parti->rubrica, w);

    // Pick lists and the hidden field list.
    m_selettori = new MaskPickers(*Frm_mask, *binder, *m_registro, m_parti->selettori, w);
    // The filter field choice, never shown: List1, Command3, Combo1.
    auto* List1 = nominato(new QListWidget(w), QStringLiteral("List1"));
    List1->setGeometry(tw(300), tw(900), tw(3015), tw(3000));
    List1->setSelectionMode(QAbstractItemView::MultiSelection);
    List1->hide();
    bottone(w, "Command3", QString(), QRect(0, tw(900), tw(300), tw(300)))->hide();
    auto* Combo1 = nominato(new QComboBox(w), QStringLiteral("Combo1"));
    Combo1->setGeometry(tw(300), tw(900), tw(3015), tw(315));
    Combo1->hide();
}

void Quadernolo::collegaSegnali()
{
    connect(Frame1->Command1, &QPushButton::clicked, this, &Quadernolo::Command1_Click);
    connect(frm_menu, &StartMenu::clicked, this, &Quadernolo::cmd_menu_Click);
    connect(pic_tool_orizz->Toolbar1, &QToolBar::actionTriggered, this, &Quadernolo::Toolbar1_ButtonClick);
    connect(pic_tool_orizz->Toolbar2, &QToolBar::actionTriggered, this, &Quadernolo::Toolbar2_ButtonClick);
    connect(m_timers->Timer1, &QTimer::timeout, this, &Quadernolo::Timer1_Timer);

    connect(Adodc1, &DataControl::moveComplete, m_schede, &EntryActions::Adodc1_MoveComplete);
    connect(Adodc1, &DataControl::willMove, m_schede, &EntryActions::Adodc1_WillMove);
    connect(Adodc1, &DataControl::error, m_schede, &EntryActions::Adodc1_Error);
    // A refresh of the register (another window reading it again) gives it a new recordset: the
    // grid bound to it follows, with its captions and columns set up again.
    connect(Adodc1, &DataControl::recordsetChanged, this, [this] {
        if (!m_griglia->DataGrid1->model() || !Adodc1->Recordset())
            return;
        m_griglia->collega_griglia();
        m_griglia->imposta_intestazioni_griglia();
        m_griglia->carica_colonne_griglia();
    });
    // The filter button and the grid's colour tell whether the register is filtered.
    connect(m_registro.get(), &OpenRegister::filterChanged, this, [this](bool filtrato) {
        if (pic_tool_orizz->toolbarButton(QStringLiteral("tb_filtro_off"))->isChecked() == filtrato)
            return;
        pic_tool_orizz->mostra_filtro(filtrato);
        m_griglia->colore_griglia_filtro();
    });
    // The boxes of the correspondent show the rows just read; a read that failed is told as the
    // register's own (a key that no longer opens the archive asks for its password).
    connect(m_registro.get(), &OpenRegister::correspondentsLoaded, this, [this](const DbResult& letto) {
        if (!letto.ok())
            m_schede->Adodc1_Error(letto);
        m_schede->collega_campi_corrispondente_origine();
    });

    // A typed value its field cannot hold is refused aloud; the box keeps it for the clerk to mend.
    connect(binder, &FieldBinder::valueRefused, this, [this](QWidget* box, const DbResult& refusal) {
        const QString field = binder->dataField(box);
        QString name = field;
        // "del" and "Ora" name no field on their own.
        const QString caption = Frm_mask->didascalia(Frm_mask->indexOf(box));
        if (caption.size() > 3)
            name = caption;
        QString text = QStringLiteral("ATTENZIONE !\n\nValore non valido per il campo %1.").arg(name);
        if (!refusal.message.startsWith(QStringLiteral("Valore non valido per il campo %1.").arg(field)))
            text += QStringLiteral("\n\n") + refusal.message;
        warn(text);
    });

    connect(Picture4, &PopupButtons::clicked, m_schede, &EntryActions::cmd_ins_Click);
    connect(pic_move, &NavigationStrip::clicked, m_schede, &EntryActions::cmd_move_Click);
}

// --- events -----------------------------------------------------------------------------

bool Quadernolo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_centrale) {
        if (event->type() == QEvent::Resize)
            Form_Resize();
        return false;
    }
    return QMainWindow::eventFilter(watched, event);
}

// Closing the window (closeEvent) is handled in exit.cpp.

} // namespace quad
