#include "main_window.h"

#include "archive_open.h"
#include "folder_actions.h"
#include "notification_actions.h"
#include "print_panel.h"
#include "register_widget.h"
#include "startup.h"
#include "toolbar_icons.h"
#include "window_parts.h"

#include "control_factory.h"
#include "my_func.h"
#include "program_folder.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>

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

    crea_controlli();
    collega_segnali();

    setMinimumSize(kDimensioneMinima, kDimensioneMinima);
    // Design client area 8880 x 8535 twips, widened when the tool bars' buttons or the mask
    // need more: the mask shows whole at the first size.
    resize(std::max({tw(8880), pic_tool_orizz->larghezza_barre(), m_finestraRegistro->larghezza_maschera()}), tw(8535));
    m_centrale->installEventFilter(this);
}

Quadernolo::~Quadernolo()
{
    // The parts outlive this body: what they report as they go (a button losing the focus, the
    // register's window going) must no longer reach the window's handlers.
    for (QObject* parte : findChildren<QObject*>())
        parte->disconnect(this);
}

void Quadernolo::crea_controlli()
{
    QWidget* w = m_centrale;

    // The register's window covers the area, under everything else.
    m_finestraRegistro = new RegisterWidget(
        state, [this] { return resolveDataFolder(state.p_path_cartella); }, w);
    Frame1 = new StartFrame(w);
    frm_menu = new StartMenu(w);

    // The archive in use just above the bottom bar, the historical banner, the message line.
    m_stato = new StatusArea(w);
    m_scorrimento = new FrameScroll(w, Frame1);

    pic_tool_orizz = new ToolStrip(w);
    m_finestraRegistro->imposta_barra(pic_tool_orizz->height());
    std::vector<QPixmap> collegamento;
    for (const char* icona : {"ing_find", "img_notifica", "img_new"})
        collegamento.push_back(disegna_icona(QLatin1String(icona)).pixmap(22, 22));
    m_finestraRegistro->imposta_icone(pic_tool_orizz->immagine(15), collegamento);

    // New-entry pop-up under "Nuovo", print pop-up under "Stampa".
    Picture4 = new PopupButtons(QStringLiteral("Picture4"), "cmd_ins",
                                {QStringLiteral("ENTRATA"), QStringLiteral("USCITA")}, tw(1800), tw(390), w);
    Picture4->move(tw(900), pic_tool_orizz->height());
    Picture1 = new PrintPanel(m_finestraRegistro->registro(), state.p_sessione, w);
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

    // The window's own actions, each over what it works on.
    m_avvio = std::make_unique<StartupLogin>(state, this, [this] { termina_programma(); });
    m_apertura = new ArchiveOpening(state, *m_finestraRegistro, this);
    m_notifiche = new NotificationActions(
        state, *m_finestraRegistro, *m_stato,
        [this](const QString& path, QString* perche) { return importa_notifica(path, perche); },
        [this] { return Picture1->isVisible() || Picture4->isVisible(); }, this);
    m_fascicoli = new FolderActions(*m_finestraRegistro, this);
}

void Quadernolo::collega_segnali()
{
    connect(Frame1, &StartFrame::archivio_richiesto, this, &Quadernolo::Command1_Click);
    connect(frm_menu, &StartMenu::clicked, this, &Quadernolo::cmd_menu_Click);
    connect(pic_tool_orizz, &ToolStrip::Toolbar1_ButtonClick, this, &Quadernolo::Toolbar1_ButtonClick);
    connect(pic_tool_orizz, &ToolStrip::Toolbar2_ButtonClick, this, &Quadernolo::Toolbar2_ButtonClick);
    connect(Picture1, &PrintPanel::popup_lasciato, this, &Quadernolo::nascondi_popup);
    connect(Picture4, &PopupButtons::clicked, this, [this](int Index) {
        Picture4->hide();
        m_finestraRegistro->cmd_ins_Click(Index);
    });
    // A click on the print pop-up or a tool bar (beside its buttons) dismisses the pop-ups.
    connect(pic_tool_orizz, &ToolStrip::clic_sulle_barre, this, &Quadernolo::nascondi_popup);
    Picture1->installEventFilter(this);

    connect(m_finestraRegistro, &RegisterWidget::popup_lasciati, this, &Quadernolo::nascondi_popup);
    connect(m_finestraRegistro, &RegisterWidget::pulsante_filtro, pic_tool_orizz, &ToolStrip::mostra_filtro);
    // The view switch and the filing button follow the view shown.
    connect(m_finestraRegistro, &RegisterWidget::vista_cambiata, this, [this](bool maschera) {
        pic_tool_orizz->mostra_vista(maschera);
        if (maschera)
            pic_tool_orizz->raise();
        // The archive in use in front of the grid, whose foot it overlaps; beneath the register's
        // window while the mask shows, so that the mask's lists and panels are drawn over it in a
        // low window.
        m_stato->poni_archivio_sotto(maschera ? m_finestraRegistro : nullptr);
    });
    // While a new entry is typed the tool bars are out of use; the session's register, as the
    // window shows and prints it, follows the direction chosen.
    connect(m_finestraRegistro, &RegisterWidget::inserimento_iniziato, this, [this](const QString& registro) {
        pic_tool_orizz->abilita_barre(false);
        state.p_sessione = registro;
    });
    connect(m_finestraRegistro, &RegisterWidget::inserimento_finito, this,
            [this] { pic_tool_orizz->abilita_barre(true); });
}

bool Quadernolo::Form_Load()
{
    const QString logo = fileInFolder(programFolder(), QStringLiteral("logo.bmp"));
    QPixmap pix;
    if (file_esiste(logo) && pix.load(logo))
        Frame1->mostra_logo(pix);
    pic_tool_orizz->mostra_barre(false);
    if (!m_avvio->accedi())
        return false;
    frm_menu->raise();
    m_avvio->raccogli_archivi_storici();
    return true;
}

void Quadernolo::termina_programma()
{
    hide();
    QCoreApplication::exit(0);
}

bool Quadernolo::importa_notifica(const QString& path, QString* perche)
{
    return m_notifiche->importa_notifica(path, perche);
}

void Quadernolo::mostra_registro()
{
    // The tool bars, with the commands of the open register.
    pic_tool_orizz->toolbarButton(QStringLiteral("tb_notifica"))->setVisible(true);
    pic_tool_orizz->toolbarButton(QStringLiteral("tb_scanner"))->setVisible(true);
    pic_tool_orizz->mostra_barre(true);
    // Whichever archive opens, the live one or a historical one, is worked in alike: no banner of
    // a mere consultation, "Nuovo" offered (the register's window opens the mask's boxes).
    m_stato->nascondi_storico();
    pic_tool_orizz->toolbarButton(QStringLiteral("tb_insert"))->setEnabled(true);
    state.p_sessione = QStringLiteral("Entrata");
    // The grid, then the mask, take the start frame's place.
    Frame1->hide();
    m_finestraRegistro->mostra_registro();
    setWindowTitle(QStringLiteral("Gestione quadernolo"));
    frm_menu->hide();
    m_notifiche->avvia();

    // Only a "Server" station registers entries.
    const bool server = state.p_postazione == QLatin1String("Server");
    pic_tool_orizz->toolbarButton(QStringLiteral("tb_insert"))->setEnabled(server);
    pic_tool_orizz->dispose(width());
    pic_tool_orizz->show();
    pic_tool_orizz->raise();
    Form_Resize();
    m_finestraRegistro->parcheggia_fuoco();

    // The archive in use when it is not the live one of the program folder: a historical archive by
    // its name, one the clerk located elsewhere by its folder.
    const QString cartella = resolveDataFolder(state.p_path_cartella);
    if (state.p_sub_use && state.p_path_cartella.startsWith(QLatin1String("SUB_"), Qt::CaseInsensitive))
        m_stato->mostra_archivio(QStringLiteral("Archivio in uso : ") + state.p_path_cartella.mid(4));
    else if (QFileInfo(cartella).canonicalFilePath() != QFileInfo(programFolder()).canonicalFilePath())
        m_stato->mostra_archivio(QStringLiteral("Archivio in uso : ") + QDir::toNativeSeparators(cartella));
    else
        m_stato->nascondi_archivio();

    // Notifications that arrived while the register was closed.
    m_notifiche->Timer1_Timer();
}

// --- events -----------------------------------------------------------------------------

bool Quadernolo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_centrale) {
        if (event->type() == QEvent::Resize)
            Form_Resize();
        return false;
    }
    if (watched == Picture1 && event->type() == QEvent::MouseButtonPress)
        nascondi_popup();
    return QMainWindow::eventFilter(watched, event);
}

void Quadernolo::nascondi_popup()
{
    Picture1->hide();
    Picture4->hide();
}

// Closing the window (closeEvent) is handled in main_window_exit.cpp.

} // namespace quad
