#include "main_window.h"

#include "control_factory.h"
#include "message_service.h"
#include "program_folder.h"
#include "toolbar_icons.h"
#include "window_parts.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

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

    creaControlli();
    creaPannelli();
    collegaSegnali();

    setMinimumSize(kDimensioneMinima, kDimensioneMinima);
    // Design client area 8880 x 8535 twips, widened when the tool bars' buttons or the mask
    // need more: the mask shows whole at the first size.
    const int barre = pic_tool_orizz->Toolbar1->sizeHint().width() + pic_tool_orizz->Toolbar2->sizeHint().width();
    resize(std::max({tw(8880), barre, m_registro->larghezza_maschera()}), tw(8535));
    m_centrale->installEventFilter(this);
}

Quadernolo::~Quadernolo()
{
    // The parts outlive this body: what they report as they go (a button losing the focus, the
    // register's window going) must no longer reach the window's handlers.
    for (QObject* parte : findChildren<QObject*>())
        parte->disconnect(this);
}

void Quadernolo::creaControlli()
{
    QWidget* w = m_centrale;

    // The register's window covers the area, under everything else.
    m_registro = new RegisterWidget(
        state, [this] { return resolveDataFolder(state.p_path_cartella); }, w);
    Frame1 = new StartFrame(w);
    frm_menu = new StartMenu(w);

    // The archive in use just above the bottom bar, the historical banner, the message line.
    m_stato = new StatusArea(w);
    m_scorrimento = new FrameScroll(w, Frame1);

    m_timers = new RegisterTimers(this);
    pic_tool_orizz = new ToolStrip(m_centrale);
    m_registro->imposta_barra(pic_tool_orizz->height());
    std::vector<QPixmap> collegamento;
    for (const char* icona : {"ing_find", "img_notifica", "img_new"})
        collegamento.push_back(disegna_icona(QLatin1String(icona)).pixmap(22, 22));
    m_registro->imposta_icone(pic_tool_orizz->ImageList1[15], collegamento);
}

void Quadernolo::creaPannelli()
{
    QWidget* w = m_centrale;
    // New-entry pop-up under "Nuovo", print pop-up under "Stampa".
    Picture4 = new PopupButtons(QStringLiteral("Picture4"), "cmd_ins",
                                {QStringLiteral("ENTRATA"), QStringLiteral("USCITA")}, tw(1800), tw(390), w);
    Picture4->move(tw(900), pic_tool_orizz->height());
    Picture1 = new PrintPanel(m_registro->registro(), state.p_sessione, w);
    Picture1->move(tw(2700), pic_tool_orizz->height());

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
    connect(m_scorrimento, &FrameScroll::scorrimento, m_registro, &RegisterWidget::scorri_maschera);
    connect(Picture1, &PrintPanel::popup_lasciato, this, &Quadernolo::nascondi_popup);
    connect(Picture4, &PopupButtons::clicked, this, [this](int Index) {
        Picture4->hide();
        m_registro->cmd_ins_Click(Index);
    });

    connect(m_registro, &RegisterWidget::vista_cambiata, this, &Quadernolo::vista_cambiata);
    connect(m_registro, &RegisterWidget::popup_lasciati, this, &Quadernolo::nascondi_popup);
    connect(m_registro, &RegisterWidget::pulsante_filtro, pic_tool_orizz, &ToolStrip::mostra_filtro);
    connect(m_registro, &RegisterWidget::chiave_richiesta, this, &Quadernolo::chiedi_chiave_archivio_in_uso);
    connect(m_registro, &RegisterWidget::elenco_fascicoli_richiesto, this, &Quadernolo::cmd_tree_Click);
    connect(m_registro, &RegisterWidget::inoltro_richiesto, this, &Quadernolo::inoltra_ufficio_competente);
    // While a new entry is typed the tool bars are out of use; the session's register, as the
    // window shows and prints it, follows the direction chosen.
    connect(m_registro, &RegisterWidget::inserimento_iniziato, this, [this](const QString& registro) {
        pic_tool_orizz->toolbarButton(QStringLiteral("tb_add_tree"))->setEnabled(false);
        pic_tool_orizz->Toolbar1->setEnabled(false);
        pic_tool_orizz->Toolbar2->setEnabled(false);
        state.p_sessione = registro;
    });
    connect(m_registro, &RegisterWidget::inserimento_finito, this, [this] {
        pic_tool_orizz->toolbarButton(QStringLiteral("tb_add_tree"))->setEnabled(true);
        pic_tool_orizz->Toolbar1->setEnabled(true);
        pic_tool_orizz->Toolbar2->setEnabled(true);
    });
    // A write that meets a key changed at another station asks for the archive's password; the
    // write itself tells the clerk when none was given.
    m_registro->registro().setArchiveKeyRequest([this] {
        bool rinuncia = false;
        return chiave_archivio_in_uso(&rinuncia);
    });

    // A click on the print pop-up or a tool bar (beside its buttons) dismisses the pop-ups.
    for (QObject* watched :
         std::initializer_list<QObject*> {Picture1, pic_tool_orizz->Toolbar1, pic_tool_orizz->Toolbar2})
        watched->installEventFilter(this);
}

// --- events -----------------------------------------------------------------------------

bool Quadernolo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_centrale) {
        if (event->type() == QEvent::Resize)
            Form_Resize();
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress
        && (watched == Picture1 || watched == pic_tool_orizz->Toolbar1 || watched == pic_tool_orizz->Toolbar2))
        nascondi_popup();
    return QMainWindow::eventFilter(watched, event);
}

void Quadernolo::nascondi_popup()
{
    Picture1->hide();
    Picture4->hide();
}

// Closing the window (closeEvent) is handled in exit.cpp.

} // namespace quad
