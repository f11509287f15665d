#include "frm_mod_pass.h"

#include "compaction.h"
#include "control_factory.h"
#include "elided_label.h"
#include "frm_password.h"
#include "frm_sel_cartella.h"
#include "general_settings.h"
#include "message_service.h"
#include "office_list.h"
#include "password_change.h"
#include "program_folder.h"
#include "read_only_box.h"
#include "unlock.h"
#include "wait_cursor.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QVBoxLayout>

#include <optional>

namespace quad {

namespace {

const QString kEtichettaPercorso = QStringLiteral("Percorso di rete per A.O.O. : ");
/// The dialog's width, in twips: wider than the main window's start frame, which it opens over,
/// so that no edge of that frame shows around the dialog as if it were one of its panels.
constexpr int kLarghezzaDialogo = 7200;

/// The historical-archive chooser, modal over owner: it leaves "SUB_<name>" in p_path_cartella, or ""
/// when the user cancels.
void scegli_archivio_storico(QWidget* owner, WorkingState& s)
{
    frm_sel_cartella chooser(s.p_sub_dir, owner);
    chooser.exec();
    s.p_path_cartella = chooser.p_path_cartella();
}

using controls::nominato;

QPushButton* button(const QString& name, const QString& caption)
{
    // Enter in a box must not press a button of the dialog.
    auto* b = nominato(new QPushButton(caption), name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

void cmd_menu_database(QWidget* owner, WorkingState& s)
{
    QString title = owner ? owner->window()->windowTitle() : QString();
    if (title.isEmpty())
        title = QStringLiteral("Quadernolo");
    if (!askYesNo(QStringLiteral("Compattare il database?"), title))
        return;
    // With historical archives only they are offered; otherwise the live archive is compacted.
    if (s.p_sub_use)
        scegli_archivio_storico(owner, s);
    else
        s.p_path_cartella = programFolder();
    if (s.p_path_cartella.isEmpty())
        return;
    DbResult r;
    {
        WaitCursor wait;
        r = compatta_database(s);
    }
    if (r.ok())
        msgBox(QStringLiteral("Compattazione del database terminata con successo."), MsgIcon::Information);
    else
        msgBox(messaggio_errore_compattazione(r), MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Service"));
}

// ---------------------------------------------------------------------------------------------
// Building the dialog

frm_mod_pass::frm_mod_pass(WorkingState& state, QWidget* parent)
    : QDialog(parent)
    , m_state(state)
{
    setObjectName(QStringLiteral("frm_mod_pass"));
    setWindowTitle(QStringLiteral("Quadernolo - Impostazioni programma"));
    setModal(true);
    setMinimumWidth(tw(kLarghezzaDialogo));

    auto* layout = new QVBoxLayout(this);
    TabStrip1 = nominato(new QTabBar, QStringLiteral("TabStrip1"));
    TabStrip1->addTab(QStringLiteral("Generale"));
    TabStrip1->setTabData(0, QStringLiteral("Imp_generale"));
    TabStrip1->addTab(QStringLiteral("Password"));
    TabStrip1->setTabData(1, QStringLiteral("Password"));
    TabStrip1->addTab(QStringLiteral("Elenco A.O.O."));
    TabStrip1->setTabData(2, QStringLiteral("Elenco_uffici"));
    TabStrip1->setExpanding(false);
    layout->addWidget(TabStrip1);

    buildGeneral();
    buildPassword();
    buildOffices();
    layout->addWidget(Frame2);
    layout->addWidget(Frame4);
    layout->addWidget(Frame3);
    layout->addWidget(Frame1);
    layout->addStretch();

    connect(TabStrip1, &QTabBar::currentChanged, this, [this](int) { TabStrip1_Click(); });
    // Choosing the tab that is already selected runs the dispatch again (it leaves a correction).
    connect(TabStrip1, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index == TabStrip1->currentIndex())
            TabStrip1_Click();
    });

    Form_Load();
}

void frm_mod_pass::buildGeneral()
{
    Frame2 = nominato(new QFrame, QStringLiteral("Frame2"));
    auto* general = new QVBoxLayout(Frame2);

    Frame5 = nominato(new QGroupBox(QStringLiteral(" Back Up Archivi ")), QStringLiteral("Frame5"));
    auto* backUp = new QGridLayout(Frame5);
    chk_back_up = nominato(new QCheckBox(QStringLiteral("Effettua Back Up in uscita")), QStringLiteral("chk_back_up"));
    cmd_back_up = button(QStringLiteral("cmd_back_up"), QStringLiteral("Sfoglia cartelle"));
    // A long folder is cut to the dialog's width, whole in its tool tip.
    lbl_back_up = nominato(new ElidedLabel, QStringLiteral("lbl_back_up"));
    lbl_back_up->setFrameShape(QFrame::StyledPanel);
    lbl_back_up->setMinimumWidth(320);
    backUp->addWidget(chk_back_up, 0, 0);
    backUp->addWidget(cmd_back_up, 0, 1);
    backUp->addWidget(new QLabel(QStringLiteral("Cartella di destinazione")), 1, 0, 1, 2);
    backUp->addWidget(lbl_back_up, 2, 0, 1, 2);
    general->addWidget(Frame5);

    frame_postazione = nominato(new QGroupBox(QStringLiteral(" Postazione ")), QStringLiteral("frame_postazione"));
    auto* station = new QGridLayout(frame_postazione);
    Option1 = {nominato(new QRadioButton(QStringLiteral("Server")), QStringLiteral("Option1_0")),
               nominato(new QRadioButton(QStringLiteral("Client")), QStringLiteral("Option1_1"))};
    lbl_server
        = nominato(new QLabel(QStringLiteral("Percorso di rete per il Server [F2]")), QStringLiteral("lbl_server"));
    txt_server = nominato(new QLineEdit, QStringLiteral("txt_server"));
    lbl_server->setBuddy(txt_server);
    txt_server->installEventFilter(this);
    Frame6 = nominato(new QFrame, QStringLiteral("Frame6"));
    auto* network = new QHBoxLayout(Frame6);
    cmd_kill = button(QStringLiteral("cmd_kill"), QStringLiteral("Sblocca archivio"));
    chk_rete = nominato(new QCheckBox(QStringLiteral("Utilizzo software in rete locale")), QStringLiteral("chk_rete"));
    network->addWidget(cmd_kill);
    network->addWidget(chk_rete);
    network->addStretch();
    auto* roles = new QHBoxLayout;
    roles->addWidget(Option1[0]);
    roles->addWidget(Option1[1]);
    roles->addStretch();
    station->addLayout(roles, 0, 0, 1, 2);
    station->addWidget(lbl_server, 1, 0, 1, 2);
    station->addWidget(txt_server, 2, 0, 1, 2);
    station->addWidget(Frame6, 3, 0, 1, 2);
    general->addWidget(frame_postazione);

    Command4 = button(QStringLiteral("Command4"), QStringLiteral("Termina"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command4);
    general->addLayout(buttons);

    for (int i = 0; i < 2; ++i) {
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option1_Click(i);
        });
    }
    connect(cmd_back_up, &QPushButton::clicked, this, &frm_mod_pass::cmd_back_up_Click);
    connect(cmd_kill, &QPushButton::clicked, this, &frm_mod_pass::cmd_kill_Click);
    connect(Command4, &QPushButton::clicked, this, &frm_mod_pass::Command4_Click);
}

void frm_mod_pass::buildPassword()
{
    Frame4 = nominato(new QFrame, QStringLiteral("Frame4"));
    Frame4->setFrameShape(QFrame::StyledPanel);
    auto* band = new QHBoxLayout(Frame4);
    auto* title = new QLabel(QStringLiteral("MODIFICA PASSWORD"));
    title->setAlignment(Qt::AlignCenter);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    band->addWidget(title);

    Frame3 = nominato(new QFrame, QStringLiteral("Frame3"));
    auto* grid = new QGridLayout(Frame3);
    auto passwordBox = [](const QString& name) {
        auto* box = nominato(new QLineEdit, name);
        box->setEchoMode(QLineEdit::Password);
        return box;
    };
    Text4 = passwordBox(QStringLiteral("Text4"));
    Text2 = passwordBox(QStringLiteral("Text2"));
    Text3 = passwordBox(QStringLiteral("Text3"));
    int row = 0;
    for (const auto& [caption, box] : {std::pair<const char*, QLineEdit*>("Vecchia password", Text4),
                                       std::pair<const char*, QLineEdit*>("Nuova password", Text2),
                                       std::pair<const char*, QLineEdit*>("Conferma password", Text3)}) {
        auto* label = new QLabel(QString::fromUtf8(caption));
        label->setBuddy(box); // a screen reader announces the box by its caption
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row++, 1);
    }
    Command1 = button(QStringLiteral("Command1"), QStringLiteral("Registra"));
    Command2 = button(QStringLiteral("Command2"), QStringLiteral("Termina"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    grid->addLayout(buttons, 3, 0, 1, 2);

    Frame4->hide();
    Frame3->hide();
    connect(Command1, &QPushButton::clicked, this, &frm_mod_pass::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frm_mod_pass::Command2_Click);
}

void frm_mod_pass::buildOffices()
{
    Frame1 = nominato(new QFrame, QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(Frame1);
    List1 = nominato(new QListWidget, QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->installEventFilter(this);
    const QString percorso = QStringLiteral("Percorso di rete per A.O.O.");
    lbl_percorso = nominato(new ElidedLabel(percorso), QStringLiteral("lbl_percorso"));
    // It shows the office's folder: "Sfoglia" (or F2 in the box) chooses it. It is announced by its
    // label, or by the label's caption while no office is shown.
    txt_percorso = nominato(new ReadOnlyBox(percorso), QStringLiteral("txt_percorso"));
    lbl_percorso->setBuddy(txt_percorso);
    txt_percorso->installEventFilter(this);
    pic_sfoglia = button(QStringLiteral("pic_sfoglia"), QStringLiteral(" Sfoglia"));
    cmd_add_uffici = button(QStringLiteral("cmd_add_uffici"), QStringLiteral("Aggiungi voce"));
    cmd_del_uff = button(QStringLiteral("cmd_del_uff"), QStringLiteral("Rimuovi voce"));
    cmd_corr_uff = button(QStringLiteral("cmd_corr_uff"), QStringLiteral("Correggi voce"));
    Command3 = button(QStringLiteral("Command3"), QStringLiteral("Termina e Salva"));

    frm_corr = nominato(new QFrame, QStringLiteral("frm_corr"));
    // The name being corrected takes the whole row beside its label; the buttons go below.
    auto* corr = new QGridLayout(frm_corr);
    lbl_corr = nominato(new QLabel(QStringLiteral("Correzione voce :")), QStringLiteral("lbl_corr"));
    txt_corr = nominato(new QLineEdit, QStringLiteral("txt_corr"));
    lbl_corr->setBuddy(txt_corr);
    txt_corr->installEventFilter(this);
    cmd_corr = {button(QStringLiteral("cmd_corr_0"), QStringLiteral("Salva")),
                button(QStringLiteral("cmd_corr_1"), QStringLiteral("Annulla"))};
    auto* corrButtons = new QHBoxLayout;
    corrButtons->addStretch();
    corrButtons->addWidget(cmd_corr[0]);
    corrButtons->addWidget(cmd_corr[1]);
    corr->addWidget(lbl_corr, 0, 0);
    corr->addWidget(txt_corr, 0, 1);
    corr->addLayout(corrButtons, 1, 0, 1, 2);
    corr->setColumnStretch(1, 1);

    auto* side = new QVBoxLayout;
    side->addWidget(cmd_add_uffici);
    side->addWidget(cmd_del_uff);
    side->addWidget(cmd_corr_uff);
    side->addStretch();
    side->addWidget(Command3);
    auto* folder = new QHBoxLayout;
    folder->addWidget(txt_percorso, 1);
    folder->addWidget(pic_sfoglia);

    grid->addWidget(List1, 0, 0);
    grid->addLayout(side, 0, 1);
    grid->addWidget(lbl_percorso, 1, 0, 1, 2);
    grid->addLayout(folder, 2, 0, 1, 2);
    grid->addWidget(frm_corr, 3, 0, 1, 2);

    Frame1->hide();
    frm_corr->hide();
    lbl_corr->hide();
    txt_corr->hide();

    connect(List1, &QListWidget::itemSelectionChanged, this, &frm_mod_pass::List1_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { List1_DblClick(); });
    connect(cmd_add_uffici, &QPushButton::clicked, this, &frm_mod_pass::cmd_add_uffici_Click);
    connect(cmd_del_uff, &QPushButton::clicked, this, &frm_mod_pass::cmd_del_uff_Click);
    connect(cmd_corr_uff, &QPushButton::clicked, this, &frm_mod_pass::cmd_corr_uff_Click);
    connect(cmd_corr[0], &QPushButton::clicked, this, [this] { cmd_corr_Click(0); });
    connect(cmd_corr[1], &QPushButton::clicked, this, [this] { cmd_corr_Click(1); });
    connect(pic_sfoglia, &QPushButton::clicked, this, &frm_mod_pass::pic_sfoglia_Click);
    connect(Command3, &QPushButton::clicked, this, &frm_mod_pass::Command3_Click);
}

bool frm_mod_pass::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (watched == txt_server)
            return txt_server_KeyDown(key->key(), key->modifiers());
        if (watched == txt_percorso)
            return txt_percorso_KeyDown(key->key(), key->modifiers());
        if (watched == List1)
            return List1_KeyDown(key->key(), key->modifiers());
        if (watched == txt_corr)
            return txt_corr_KeyPress(key->key());
        break;
    }
    case QEvent::FocusIn:
        if (watched == List1)
            List1_GotFocus();
        break;
    case QEvent::FocusOut:
        if (watched == List1)
            List1_LostFocus();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void frm_mod_pass::keyPressEvent(QKeyEvent* event)
{
    // The dialog has no cancel: Escape closes nothing, so that what the office list holds unstored
    // (a folder chosen, a correction) is not dropped unasked.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---------------------------------------------------------------------------------------------
// General panel, loading and closing

void frm_mod_pass::Form_Load()
{
    mostra_generale();
    TabStrip1->setCurrentIndex(0);
    // Selecting a role runs its handler, so the server path and p_postazione follow.
    if (m_state.p_postazione == QLatin1String("Server"))
        Option1[0]->setChecked(true);
    else
        Option1[1]->setChecked(true);
    chk_rete->setChecked(valore_spunta(m_state.p_quad_rete));
    txt_server->setText(m_state.p_path_postazione);
    txt_server->setCursorPosition(0);
    chk_back_up->setChecked(valore_spunta(m_state.p_chk_back_up));
    lbl_back_up->setText(m_state.p_path_back_up);
}

void frm_mod_pass::mostra_generale()
{
    Frame1->hide();
    Frame3->hide();
    Frame4->hide();
    Frame2->show();
}

void frm_mod_pass::TabStrip1_Click()
{
    const QString caption = TabStrip1->tabText(TabStrip1->currentIndex());
    if (caption == QLatin1String("Password")) {
        Frame1->hide();
        Frame2->hide();
        Frame4->show();
        Frame3->show();
    } else if (caption == QLatin1String("Elenco A.O.O.")) {
        if (m_state.p_postazione != QLatin1String("Server")) {
            msgBox(QStringLiteral("Non autorizzato alla gestione delle tabelle !\n\n"), MsgIcon::Information);
            TabStrip1->setCurrentIndex(0);
            return;
        }
        List1->setEnabled(true);
        lbl_corr->hide();
        txt_corr->hide();
        Frame2->hide();
        cmd_add_uffici->setEnabled(true);
        cmd_del_uff->setEnabled(true);
        cmd_corr_uff->setEnabled(true);
        frm_corr->hide();
        Frame3->hide();
        Frame4->hide();
        Frame1->show();
        visualizza_txt_percorso();
    } else if (caption == QLatin1String("Generale")) {
        mostra_generale();
    }
}

void frm_mod_pass::Option1_Click(int Index)
{
    const bool client = Index == 1;
    lbl_server->setEnabled(client);
    txt_server->setEnabled(client);
    m_state.p_postazione = client ? QStringLiteral("Client") : QStringLiteral("Server");
}

bool frm_mod_pass::txt_server_KeyDown(int KeyCode, Qt::KeyboardModifiers)
{
    return archivio_con_f2(txt_server, KeyCode);
}

bool frm_mod_pass::archivio_con_f2(QLineEdit* box, int KeyCode)
{
    if (KeyCode != Qt::Key_F2)
        return false;
    const QString folder = scegli_archivio();
    if (!folder.isEmpty()) {
        box->setText(folder);
        box->setCursorPosition(0);
    }
    return true;
}

QString frm_mod_pass::scegli_archivio()
{
    const QString file
        = MessageService::instance().openFileName(QStringLiteral("Archivio"), programFolder(),
                                                  QStringLiteral("Archivio (Arch_quadernolo.mdb arch_quadernolo.mdb)"));
    return cartella_archivio(file);
}

QString frm_mod_pass::sfoglia_cartella(const QString& start)
{
    return MessageService::instance().existingFolder(QStringLiteral("Cartella di destinazione"), start);
}

void frm_mod_pass::cmd_back_up_Click()
{
    const QString before = lbl_back_up->text();
    const QString chosen = sfoglia_cartella(normalizza_percorso(before));
    lbl_back_up->setText(chosen.isEmpty() ? before : chosen);
}

void frm_mod_pass::cmd_kill_Click()
{
    QString folder;
    if (m_state.p_sub_use) {
        // With historical archives only their folders are offered.
        scegli_archivio_storico(this, m_state);
        if (m_state.p_path_cartella.isEmpty())
            return;
        folder = m_state.p_path_cartella;
    } else {
        folder = programFolder();
    }
    QString error;
    if (!rimuovi_blocco(folder, &error))
        warn(error);
}

void frm_mod_pass::Command4_Click()
{
    unload();
}

void frm_mod_pass::unload()
{
    done(QDialog::Accepted);
}

void frm_mod_pass::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void frm_mod_pass::Form_Unload()
{
    // Runs once, however the dialog closes.
    if (m_unloaded)
        return;
    m_unloaded = true;
    ImpostazioniGenerali v;
    v.postazione = Option1[0]->isChecked() ? QStringLiteral("Server") : QStringLiteral("Client");
    v.pathPostazione = txt_server->text();
    v.rete = chk_rete->isChecked();
    v.backUp = chk_back_up->isChecked();
    v.pathBackUp = lbl_back_up->text();
    const QString errore = salva_impostazioni_generali(m_state, v);
    if (!errore.isEmpty())
        msgBox(QStringLiteral("ATTENZIONE !\n\n") + errore, MsgIcon::Exclamation);
}

// ---------------------------------------------------------------------------------------------
// Password panel

void frm_mod_pass::Command1_Click()
{
    const QString refusal = verifica_cambio_password(m_state, Text4->text(), Text2->text(), Text3->text());
    if (!refusal.isEmpty()) {
        msgBox(refusal, MsgIcon::Information);
        return;
    }
    PasswordChangeResult r;
    {
        std::optional<WaitCursor> wait(std::in_place);
        // An archive whose key the session does not know is asked for as its opening asks for it;
        // the hourglass gives way while the clerk types.
        const auto chiedi = [this, &wait](const QString&, QString* password) {
            wait.reset();
            const bool dato = chiedi_password(this, password);
            wait.emplace();
            return dato;
        };
        r = cambia_password_archivi(m_state, Text2->text(), chiedi);
    }
    if (r.ok())
        msgBox(QStringLiteral("Modifica password effettuata !"), MsgIcon::Information);
    else
        msgBox(descrivi_errore_password(r), MsgIcon::Information);
    unload();
}

void frm_mod_pass::Command2_Click()
{
    unload();
}

// ---------------------------------------------------------------------------------------------
// Office list panel

int frm_mod_pass::listIndex() const
{
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    return selected.isEmpty() ? -1 : List1->row(selected.first());
}

int frm_mod_pass::slotOf(int row) const
{
    QListWidgetItem* item = List1->item(row);
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

void frm_mod_pass::selectRow(int row)
{
    if (row < 0) {
        List1->clearSelection();
        List1->setCurrentRow(-1);
    } else {
        List1->setCurrentRow(row);
    }
}

void frm_mod_pass::visualizza_txt_percorso()
{
    const QStringList names = dividi_elenco(m_state.p_eln_uffici);
    const QStringList folders = dividi_elenco(m_state.p_path_eln_uffici);
    {
        const QSignalBlocker block(List1);
        List1->clear();
        percorsi_uffici.assign(static_cast<size_t>(names.size()), QString());
        for (int i = 0; i < names.size(); ++i) {
            auto* item = new QListWidgetItem(names.at(i));
            item->setData(Qt::UserRole, i);
            List1->addItem(item);
            percorsi_uffici[static_cast<size_t>(i)] = folders.value(i);
        }
        if (!names.isEmpty())
            List1->setCurrentRow(0);
    }
    mostra_percorso(names.isEmpty() ? -1 : 0);
}

void frm_mod_pass::mostra_percorso(int index)
{
    const int slot = slotOf(index);
    if (index < 0 || slot < 0) {
        lbl_percorso->clear();
        txt_percorso->clear();
        return;
    }
    lbl_percorso->setText(kEtichettaPercorso + List1->item(index)->text());
    txt_percorso->setText(slot < static_cast<int>(percorsi_uffici.size()) ? percorsi_uffici[slot] : QString());
    txt_percorso->setCursorPosition(0);
}

void frm_mod_pass::salva_elenco_uffici()
{
    QStringList names;
    QStringList folders;
    for (int row = 0; row < List1->count(); ++row) {
        names << List1->item(row)->text();
        const int slot = slotOf(row);
        folders << (slot >= 0 && slot < static_cast<int>(percorsi_uffici.size()) ? percorsi_uffici[slot] : QString());
    }
    const QString errore = quad::salva_elenco_uffici(m_state, names, folders);
    if (!errore.isEmpty())
        msgBox(QStringLiteral("ATTENZIONE !\n\n") + errore, MsgIcon::Exclamation);
}

void frm_mod_pass::List1_Click()
{
    mostra_percorso(listIndex());
}

void frm_mod_pass::List1_GotFocus()
{
    mostra_percorso(listIndex());
}

void frm_mod_pass::List1_LostFocus()
{
    txt_percorso->clear();
}

void frm_mod_pass::List1_DblClick()
{
    if (listIndex() >= 0)
        avvia_correzione_uffici();
}

bool frm_mod_pass::List1_KeyDown(int KeyCode, Qt::KeyboardModifiers)
{
    if (KeyCode != Qt::Key_Delete)
        return false;
    const int row = listIndex();
    if (row < 0)
        return true;
    if (!askYesNo(QStringLiteral("Elimino la voce [") + List1->item(row)->text() + QStringLiteral("] dall' elenco ?")))
        return true;
    {
        const QSignalBlocker block(List1);
        delete List1->takeItem(row);
        selectRow(-1);
    }
    salva_elenco_uffici();
    mostra_percorso(-1);
    return true;
}

void frm_mod_pass::cmd_add_uffici_Click()
{
    QString name;
    if (!MessageService::instance().inputText(QStringLiteral("Inserire nuovo ufficio"), QStringLiteral("Nuovo ufficio"),
                                              QString(), &name)
        || name.isEmpty())
        return;
    const QString refusal = aggiungi_ufficio(m_state, name);
    if (!refusal.isEmpty()) {
        msgBox(refusal, MsgIcon::Information);
        return;
    }
    // A folder chosen but not yet saved stays with its office across the refill.
    std::vector<QString> chosen;
    for (int row = 0; row < List1->count(); ++row) {
        const int slot = slotOf(row);
        chosen.push_back(slot >= 0 && slot < static_cast<int>(percorsi_uffici.size()) ? percorsi_uffici[slot]
                                                                                      : QString());
    }
    visualizza_txt_percorso();
    for (size_t row = 0; row < chosen.size() && row < percorsi_uffici.size(); ++row)
        percorsi_uffici[row] = chosen[row];
    mostra_percorso(listIndex());
}

void frm_mod_pass::cmd_del_uff_Click()
{
    const int row = listIndex();
    if (row < 0) {
        msgBox(QStringLiteral("Selezionare la voce da eliminare !"), MsgIcon::Information);
        return;
    }
    if (!askYesNo(QStringLiteral("Elimino la voce [") + List1->item(row)->text() + QStringLiteral("] dall' elenco ?")))
        return;
    {
        const QSignalBlocker block(List1);
        delete List1->takeItem(row);
    }
    salva_elenco_uffici();
    visualizza_txt_percorso();
}

void frm_mod_pass::cmd_corr_uff_Click()
{
    if (listIndex() < 0) {
        msgBox(QStringLiteral("Selezionare la voce da correggere !"), MsgIcon::Information);
        return;
    }
    avvia_correzione_uffici();
}

void frm_mod_pass::avvia_correzione_uffici()
{
    cmd_add_uffici->setEnabled(false);
    cmd_del_uff->setEnabled(false);
    cmd_corr_uff->setEnabled(false);
    List1->setEnabled(false);
    frm_corr->show();
    lbl_corr->show();
    txt_corr->show();
    txt_corr->setText(List1->item(listIndex())->text());
    txt_corr->setCursorPosition(0);
    txt_corr->setFocus();
}

void frm_mod_pass::termina_correzione()
{
    List1->setEnabled(true);
    cmd_add_uffici->setEnabled(true);
    cmd_del_uff->setEnabled(true);
    cmd_corr_uff->setEnabled(true);
    lbl_corr->hide();
    txt_corr->hide();
    frm_corr->hide();
}

void frm_mod_pass::cmd_corr_Click(int Index)
{
    if (Index == 0) {
        const int row = listIndex();
        if (row >= 0) {
            const QString refusal = verifica_nome_ufficio(txt_corr->text());
            if (!refusal.isEmpty()) {
                // The correction stays open so the name can be put right or dropped.
                msgBox(refusal, MsgIcon::Information);
                txt_corr->setFocus();
                return;
            }
            List1->item(row)->setText(txt_corr->text());
            salva_elenco_uffici();
            mostra_percorso(row);
        }
    }
    termina_correzione();
}

bool frm_mod_pass::txt_corr_KeyPress(int KeyAscii)
{
    // Escape gives the correction up, as "Annulla" does.
    if (KeyAscii == Qt::Key_Escape) {
        cmd_corr_Click(1);
        return true;
    }
    if (KeyAscii != Qt::Key_Return && KeyAscii != Qt::Key_Enter)
        return false;
    cmd_corr_Click(0);
    return true;
}

void frm_mod_pass::pic_sfoglia_Click()
{
    const int row = listIndex();
    const int slot = slotOf(row);
    const QString folder = scegli_archivio();
    if (row < 0 || slot < 0 || slot >= static_cast<int>(percorsi_uffici.size()))
        return;
    // A cancel, or a file that is not the archive, keeps the office's folder.
    if (!folder.isEmpty()) {
        const QString refusal = verifica_percorso_ufficio(folder);
        if (refusal.isEmpty())
            percorsi_uffici[slot] = folder;
        else
            msgBox(refusal, MsgIcon::Information);
    }
    mostra_percorso(row);
}

bool frm_mod_pass::txt_percorso_KeyDown(int KeyCode, Qt::KeyboardModifiers)
{
    // The box shows the office's folder: F2 chooses it as "Sfoglia" does.
    if (KeyCode != Qt::Key_F2)
        return false;
    pic_sfoglia_Click();
    return true;
}

void frm_mod_pass::Command3_Click()
{
    salva_elenco_uffici();
    unload();
}

} // namespace quad
