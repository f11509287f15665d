#include "main_window.h"

#include "control_factory.h"
#include "data_control.h"
#include "field_binding.h"
#include "message_service.h"
#include "toolbar_icons.h"

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
    m_fonti = fonti_scheda(*this);
    m_sessione = std::make_unique<EntrySession>(*m_fonti);

    creaControlli();
    creaBarre();
    creaMaschera();
    creaPannelli();
    collegaSegnali();
    collega_regole_maschera();
    AXDbAutoComplete1 = crea_autocomplete();
    collega_rubrica();
    collega_pannello_stampa();

    setMinimumSize(kMinSize, kMinSize);
    // Design client area 8880 x 8535 twips, widened when the tool bars' buttons or the mask
    // need more: the mask shows whole at the first size.
    const int barre = Toolbar1->sizeHint().width() + Toolbar2->sizeHint().width();
    resize(std::max({tw(8880), barre, Frm_mask->width()}), tw(8535));
    m_centrale->installEventFilter(this);
}

Quadernolo::~Quadernolo()
{
    // The controls outlive this part of the window: a box that loses the focus as the window
    // goes, or a data control that reports a change, must no longer reach its handlers, and the
    // mask's event filter must not read the control lists freed after this body.
    delete findChild<QObject*>(QStringLiteral("regole_maschera"), Qt::FindDirectChildrenOnly);
    for (QObject* control : std::initializer_list<QObject*> {Adodc1, ado_mittenti, Ado_nomi})
        control->disconnect(this);
    Frm_mask->setEvents(nullptr);
    // The boxes' autocomplete lets them go before they die.
    delete m_completamentoMaschera;
    m_completamentoMaschera = nullptr;
    binder->disconnect(this);
}

void Quadernolo::creaControlli()
{
    QWidget* w = m_centrale;

    // The register views lie under everything else.
    DataGrid1 = nominato(new QTableView(w), QStringLiteral("DataGrid1"));
    // The current cell shows on its own (the quick find and the one-field filter act on its
    // column); rows are chosen for the transfer file by their headers.
    DataGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    DataGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DataGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataGrid1->setAutoFillBackground(true);
    DataGrid1->verticalHeader()->setDefaultSectionSize(tw(285));
    DataGrid1->hide();
    cmd_colonne = bottone(w, "cmd_colonne", QStringLiteral("..."), QRect(0, 0, tw(300), tw(300)),
                          QStringLiteral("Imposta le colonne da visualizzare"));
    cmd_colonne->hide();

    Pic_mask = nominato(new QWidget(w), QStringLiteral("Pic_mask"));
    Pic_mask->setGeometry(0, 0, tw(10215), tw(6495));
    Pic_mask->hide();

    // Start frame.
    Frame1 = nominato(new QGroupBox(w), QStringLiteral("Frame1"));
    Frame1->setGeometry(0, 0, tw(6475), tw(3445));
    Img_logo = etichetta(Frame1, QStringLiteral("Img_logo"), QString(), QRect(tw(240), tw(360), tw(3000), tw(2800)));
    Img_logo->setScaledContents(true);
    Command1 = bottone(Frame1, "Command1", QStringLiteral("         ARCHIVIO                    "),
                       QRect(tw(3480), tw(1080), tw(2760), tw(1200)), QStringLiteral("Accedi all' archivio"));
    Command1->setStyleSheet(QStringLiteral("QPushButton { background-color: white; }"));
    Picture5 = nominato(new QWidget(Frame1), QStringLiteral("Picture5"));
    Picture5->setGeometry(tw(3480), tw(2400), tw(2760), tw(900));
    cmd_entrata = bottone(Picture5, "cmd_entrata", QString(), QRect(0, 0, tw(600), tw(600)));
    cmd_uscita = bottone(Picture5, "cmd_uscita", QString(), QRect(tw(1400), 0, tw(600), tw(600)));
    Label1 = etichetta(Picture5, QStringLiteral("Label1"), QStringLiteral("Entrata"),
                       QRect(tw(640), tw(180), tw(700), tw(300)));
    Label2 = etichetta(Picture5, QStringLiteral("Label2"), QStringLiteral("Uscita"),
                       QRect(tw(2040), tw(180), tw(700), tw(300)));
    Picture5->hide();

    // Start-menu strip.
    frm_menu = nominato(new QFrame(w), QStringLiteral("frm_menu"));
    frm_menu->setFrameShape(QFrame::StyledPanel);
    frm_menu->setGeometry(0, 0, tw(8880), tw(855));
    cmd_menu.assign(6, nullptr);
    struct Voce
    {
        int index;
        const char* caption;
        const char* tip;
        int left, width;
    };
    const Voce voci[] = {{0, "Impostazioni", "Impostazione programma", 15, 1095},
                         {1, "Database", "Compatta gli archivi", 1090, 1095},
                         {3, "Storico", "Consulta archivi storici", 2180, 1095},
                         {4, "Esci", "Termina il programma", 4080, 735},
                         {5, "Manuale", "Manuale d' uso", 4800, 735}};
    const char* icone[] = {"img_stru", "img_info", "", "img_storico", "ing_esci", "img_question"};
    QFont menuFont = frm_menu->font();
    menuFont.setPointSizeF(8);
    for (const Voce& v : voci) {
        auto* b = new QToolButton(frm_menu);
        b->setText(QString::fromUtf8(v.caption));
        b->setObjectName(indicizzato("cmd_menu", v.index));
        b->setToolTip(QString::fromUtf8(v.tip));
        b->setGeometry(tw(v.left), tw(120), tw(v.width), tw(615));
        b->setIcon(disegna_icona(QLatin1String(icone[v.index])));
        b->setIconSize(QSize(18, 18));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setFont(menuFont);
        cmd_menu[v.index] = b;
    }
    cmd_menu[3]->hide();

    // Name of the archive in use, just above the bottom bar.
    Frame3 = nominato(new QGroupBox(w), QStringLiteral("Frame3"));
    Frame3->setFlat(true);
    Frame3->setStyleSheet(QStringLiteral("QGroupBox { border: none; }"));
    Frame3->setGeometry(0, 0, tw(6000), tw(300));
    lbl_sub_arch = etichetta(Frame3, QStringLiteral("lbl_sub_arch"), QStringLiteral("Archivio : "),
                             QRect(tw(60), 0, tw(5900), tw(300)));
    lbl_sub_arch->hide();

    frm_label = nominato(new QFrame(w), QStringLiteral("frm_label"));
    frm_label->setGeometry(tw(2400), tw(900), tw(4200), tw(400));
    lbl_storico = etichetta(frm_label, QStringLiteral("lbl_storico"), QStringLiteral("CONSULTAZIONE ARCHIVIO STORICO"),
                            QRect(0, 0, tw(4200), tw(400)));
    lbl_storico->setAlignment(Qt::AlignCenter);
    lbl_storico->hide();
    frm_label->hide();

    lbl_msg = etichetta(w, QStringLiteral("lbl_msg"), QStringLiteral("Message"),
                        QRect(tw(120), tw(7200), tw(6000), tw(300)));
    lbl_msg->hide();

    cmd_focus = bottone(w, "cmd_focus", QStringLiteral("FOCUS"), QRect(0, 0, tw(800), tw(300)));

    VScroll1 = nominato(new QScrollBar(Qt::Vertical, w), QStringLiteral("VScroll1"));
    VScroll1->setGeometry(0, 0, tw(255), tw(2000));
    VScroll1->hide();
    HScroll1 = nominato(new QScrollBar(Qt::Horizontal, w), QStringLiteral("HScroll1"));
    HScroll1->setGeometry(0, 0, tw(2000), tw(255));
    HScroll1->hide();
    cmd_scroll = bottone(w, "cmd_scroll", QString(), QRect(0, 0, tw(255), tw(255)));
    cmd_scroll->setEnabled(false);
    cmd_scroll->hide();

    // Data controls and timers.
    Adodc1 = nominato(new DataControl(w), QStringLiteral("Adodc1"));
    Adodc1->setCaption(QStringLiteral("Adodc1"));
    Adodc1->resize(tw(8880), tw(330));
    Adodc1->hide();
    Ado_nomi = nominato(new DataControl(w), QStringLiteral("Ado_nomi"));
    Ado_nomi->setCaption(QStringLiteral("Adodc2"));
    Ado_nomi->resize(tw(3000), tw(330));
    Ado_nomi->hide();
    Timer1 = nominato(new QTimer(this), QStringLiteral("Timer1"));
    Timer1->setInterval(65535);
    Timer2 = nominato(new QTimer(this), QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
}

void Quadernolo::creaBarre()
{
    for (const QString& key : imageListKeys())
        ImageList1Keys << key;
    ImageList1.assign(1, QIcon());
    for (const QString& key : ImageList1Keys)
        ImageList1.push_back(disegna_icona(key));
    ImageList1Keys.prepend(QString());
    for (const char* key : {"img_print", "img_mask", "img_grid", "img_stru"})
        ImageList2.push_back(disegna_icona(QLatin1String(key)));
    ImageCombo1 = nominato(new QComboBox(m_centrale), QStringLiteral("ImageCombo1"));
    for (size_t i = 1; i < ImageList1.size(); ++i)
        ImageCombo1->addItem(ImageList1[i], ImageList1Keys[int(i)]);
    ImageCombo1->hide();

    pic_tool_orizz = nominato(new QWidget(m_centrale), QStringLiteral("pic_tool_orizz"));
    pic_tool_orizz->setAutoFillBackground(true);
    Toolbar1 = nominato(new QToolBar(pic_tool_orizz), QStringLiteral("Toolbar1"));
    Toolbar2 = nominato(new QToolBar(pic_tool_orizz), QStringLiteral("Toolbar2"));
    for (QToolBar* bar : {Toolbar1, Toolbar2}) {
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        bar->setIconSize(QSize(20, 20));
        bar->setStyleSheet(QStringLiteral("QToolButton { padding: 0px; font-size: 8pt; }"));
        bar->setMovable(false);
        bar->setFloatable(false);
        QFont f = bar->font();
        f.setPointSizeF(8);
        bar->setFont(f);
    }
    struct Tasto
    {
        const char* key;
        const char* caption;
        const char* tip;
        int image;
    };
    const Tasto tasti1[] = {{"tb_modo", "Modalità", "Visualizza modalità maschera", 1},
                            {"tb_insert", "Nuovo", "Inserisce nuovo quadernolo", 3},
                            {"tb_trova", "Cerca", "Trova", 4},
                            {"tb_stampa", "Stampa", "Stampe", 12},
                            {"tb_notifica", "Notifica", "Notifica i quadernoli inseriti", 10},
                            {"tb_statistiche", "Statistiche", "Esegui le statistiche", 14},
                            {"tb_scanner", "Scanner", "Avvia scannerizzazione documenti", 11},
                            {"tb_fascicoli", "Fascicoli", "Gestione fascicoli", 15},
                            {"tb_add_tree", "Collega", "Inserisci la scheda in un fascicolo", 18},
                            {"tb_esci", "Esci", "Termina ed esci", 16}};
    for (const Tasto& t : tasti1) {
        QAction* a = Toolbar1->addAction(ImageList1[t.image], QString::fromUtf8(t.caption));
        a->setObjectName(QLatin1String(t.key));
        a->setToolTip(QString::fromUtf8(t.tip));
    }
    QAction* filtro = Toolbar2->addAction(ImageList1[17], QStringLiteral("Filtro on"));
    filtro->setObjectName(QStringLiteral("tb_filtro_off"));
    filtro->setToolTip(QStringLiteral("Imposta filtro"));
    filtro->setCheckable(true);
    QAction* manuale = Toolbar2->addAction(ImageList1[19], QStringLiteral("Manuale"));
    manuale->setObjectName(QStringLiteral("tb_question"));
    manuale->setToolTip(QStringLiteral("Manuale d' uso"));
    for (QToolBar* bar : {Toolbar1, Toolbar2}) {
        bar->adjustSize();
        bar->hide();
    }
    const int h = std::max(Toolbar1->sizeHint().height(), Toolbar2->sizeHint().height());
    pic_tool_orizz->setGeometry(0, 0, tw(8880), h);
    Toolbar2->setGeometry(pic_tool_orizz->width() - Toolbar2->sizeHint().width(), 0, Toolbar2->sizeHint().width(), h);
    Toolbar1->setGeometry(0, 0, pic_tool_orizz->width() - Toolbar2->width(), h);
    pic_tool_orizz->hide();
}

QAction* Quadernolo::Toolbar1_Buttons(int index) const
{
    const QList<QAction*> actions = Toolbar1->actions();
    return index >= 1 && index <= actions.size() ? actions.at(index - 1) : nullptr;
}

QAction* Quadernolo::Toolbar2_Buttons(int index) const
{
    const QList<QAction*> actions = Toolbar2->actions();
    return index >= 1 && index <= actions.size() ? actions.at(index - 1) : nullptr;
}

QAction* Quadernolo::toolbarButton(const QString& key) const
{
    for (QToolBar* bar : {Toolbar1, Toolbar2}) {
        for (QAction* a : bar->actions()) {
            if (a->objectName() == key)
                return a;
        }
    }
    return nullptr;
}

void Quadernolo::creaPannelli()
{
    QWidget* w = m_centrale;
    // Navigation strip of the mask view.
    pic_move = nominato(new QFrame(w), QStringLiteral("pic_move"));
    pic_move->setGeometry(0, 0, tw(8880), tw(450));
    pic_move->setAutoFillBackground(true);
    cmd_move.assign(4, nullptr);
    const char* tips[] = {"Vai al primo quadernolo", "Vai al quadernolo precedente", "Vai al quadernolo successivo",
                          "Vai all' ultimo quadernolo"};
    const char* frecce[] = {"|◀", "◀", "▶", "▶|"};
    for (int i = 0; i < 4; ++i) {
        cmd_move[i] = bottone(pic_move, "", QString::fromUtf8(frecce[i]), QRect(i * tw(570), 0, tw(570), tw(450)),
                              QString::fromUtf8(tips[i]));
        cmd_move[i]->setObjectName(indicizzato("cmd_move", i));
    }
    lbl_filtro = etichetta(pic_move, QStringLiteral("lbl_filtro"), QStringLiteral("........"),
                           QRect(2 * tw(570) + 8, 0, tw(4000), tw(450)));
    pic_move->hide();

    // New-entry pop-up under "Nuovo", print pop-up under "Stampa".
    Picture4 = nominato(new QFrame(w), QStringLiteral("Picture4"));
    static_cast<QFrame*>(Picture4)->setFrameShape(QFrame::Box);
    Picture4->setAutoFillBackground(true);
    Picture4->setGeometry(tw(900), pic_tool_orizz->height(), tw(1800), tw(780));
    cmd_ins.assign(2, nullptr);
    cmd_ins[0] = bottone(Picture4, "cmd_ins_0", QStringLiteral("ENTRATA"), QRect(0, 0, tw(1800), tw(390)));
    cmd_ins[1] = bottone(Picture4, "cmd_ins_1", QStringLiteral("USCITA"), QRect(0, tw(390), tw(1800), tw(390)));
    Picture4->hide();

    Picture1 = nominato(new QFrame(w), QStringLiteral("Picture1"));
    static_cast<QFrame*>(Picture1)->setFrameShape(QFrame::Box);
    Picture1->setAutoFillBackground(true);
    Picture1->setGeometry(tw(2700), pic_tool_orizz->height(), tw(2200), tw(780));
    cmd_print.assign(4, nullptr);
    const char* stampe[] = {"    Stampa Ricevuta      ", "  Stampa Elenchi       ", "Stampa Etichetta         ",
                            "Stampa Codice a barra"};
    for (int i = 0; i < 4; ++i)
        cmd_print[i] = bottone(Picture1, "", QString::fromUtf8(stampe[i]), QRect(0, i * tw(360), tw(2200), tw(360)));
    for (int i = 0; i < 4; ++i)
        cmd_print[i]->setObjectName(indicizzato("cmd_print", i));
    Picture1->hide();

    // Address-book panel.
    Pic_nomi = nominato(new QFrame(w), QStringLiteral("Pic_nomi"));
    Pic_nomi->setAutoFillBackground(true);
    Pic_nomi->setGeometry(tw(300), tw(2600), tw(8000), tw(3000));
    Picture3 = nominato(new QWidget(Pic_nomi), QStringLiteral("Picture3"));
    Picture3->setGeometry(0, 0, tw(8000), tw(420));
    cmd_mod_nomi = bottone(Picture3, "cmd_mod_nomi", QStringLiteral("Correggi"), QRect(4, 2, tw(1200), tw(360)));
    cmd_del_nomi
        = bottone(Picture3, "cmd_del_nomi", QStringLiteral("Elimina"), QRect(8 + tw(1200), 2, tw(1200), tw(360)));
    DataGridAC = nominato(new QTableView(Pic_nomi), QStringLiteral("DataGridAC"));
    DataGridAC->setGeometry(0, tw(420), tw(8000), tw(2580));
    DataGridAC->setSelectionBehavior(QAbstractItemView::SelectRows);
    DataGridAC->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Pic_nomi->hide();

    // Pick lists and the hidden field list.
    list_elenco = nominato(new QListWidget(w), QStringLiteral("list_elenco"));
    list_elenco->setGeometry(tw(2000), tw(4000), tw(3500), tw(2000));
    list_elenco->hide();
    list_view = nominato(new QListWidget(w), QStringLiteral("list_view"));
    list_view->setGeometry(tw(2000), tw(4000), tw(3500), tw(2000));
    list_view->hide();
    List1 = nominato(new QListWidget(w), QStringLiteral("List1"));
    List1->setGeometry(tw(300), tw(900), tw(3015), tw(3000));
    List1->setSelectionMode(QAbstractItemView::MultiSelection);
    List1->hide();
    Command3 = bottone(w, "Command3", QString(), QRect(0, tw(900), tw(300), tw(300)));
    Command3->hide();
    Combo1 = nominato(new QComboBox(w), QStringLiteral("Combo1"));
    Combo1->setGeometry(tw(300), tw(900), tw(3015), tw(315));
    Combo1->hide();
}

void Quadernolo::collegaSegnali()
{
    connect(Command1, &QPushButton::clicked, this, &Quadernolo::Command1_Click);
    for (int i = 0; i < int(cmd_menu.size()); ++i) {
        if (cmd_menu[i])
            connect(cmd_menu[i], &QToolButton::clicked, this, [this, i] { cmd_menu_Click(i); });
    }
    connect(Toolbar1, &QToolBar::actionTriggered, this, &Quadernolo::Toolbar1_ButtonClick);
    connect(Toolbar2, &QToolBar::actionTriggered, this, &Quadernolo::Toolbar2_ButtonClick);
    connect(Timer1, &QTimer::timeout, this, &Quadernolo::Timer1_Timer);

    connect(VScroll1, &QScrollBar::valueChanged, this, &Quadernolo::VScroll1_Change);
    connect(VScroll2, &QScrollBar::valueChanged, this, &Quadernolo::VScroll2_Change);
    connect(HScroll2, &QScrollBar::valueChanged, this, &Quadernolo::HScroll2_Change);

    connect(Adodc1, &DataControl::moveComplete, this, &Quadernolo::Adodc1_MoveComplete);
    connect(Adodc1, &DataControl::willMove, this, &Quadernolo::Adodc1_WillMove);
    connect(Adodc1, &DataControl::recordChangeComplete, this, &Quadernolo::Adodc1_RecordChangeComplete);
    connect(Adodc1, &DataControl::error, this, &Quadernolo::Adodc1_Error);
    // A refresh of the register (another window reading it again) gives it a new recordset: the
    // grid bound to it follows, with its captions and columns set up again.
    connect(Adodc1, &DataControl::recordsetChanged, this, [this] {
        if (!DataGrid1->model() || !Adodc1->Recordset())
            return;
        collega_griglia();
        imposta_intestazioni_griglia();
        carica_colonne_griglia();
    });
    connect(ado_mittenti, &DataControl::recordChangeComplete, this, &Quadernolo::ado_mittenti_RecordChangeComplete);

    connect(DataGrid1, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && Adodc1->Recordset())
            Adodc1->Recordset()->setCurrentRow(index.row());
        DataGrid1_DblClick();
    });
    // A column header makes its column current, in the current row; it selects no column.
    QObject::disconnect(DataGrid1->horizontalHeader(), SIGNAL(sectionPressed(int)), DataGrid1, nullptr);
    QObject::disconnect(DataGrid1->horizontalHeader(), SIGNAL(sectionEntered(int)), DataGrid1, nullptr);
    connect(DataGrid1->horizontalHeader(), &QHeaderView::sectionPressed, this, &Quadernolo::DataGrid1_HeadClick);
    connect(DataGrid1->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int) {
        if (!m_gridProgrammatic)
            DataGrid1_ColResize(column);
    });
    connect(cmd_colonne, &QPushButton::clicked, this, &Quadernolo::cmd_colonne_Click);
    // A typed value its field cannot hold is refused aloud; the box keeps it for the clerk to mend.
    connect(binder, &FieldBinder::valueRefused, this, [this](QWidget* box, const DbResult& refusal) {
        const QString field = binder->dataField(box);
        QString name = field;
        for (size_t i = 0; i < txt_mask1.size(); ++i) {
            const QLabel* label = i < Frm_mask->lbl_mask1.size() ? Frm_mask->lbl_mask1[i] : nullptr;
            // "del" and "Ora" name no field on their own.
            if (txt_mask1[i] == box && label && label->text().size() > 3)
                name = label->text();
        }
        QString text = QStringLiteral("ATTENZIONE !\n\nValore non valido per il campo %1.").arg(name);
        if (!refusal.message.startsWith(QStringLiteral("Valore non valido per il campo %1.").arg(field)))
            text += QStringLiteral("\n\n") + refusal.message;
        warn(text);
    });

    for (int i = 0; i < 2; ++i) {
        connect(cmd_ins[i], &QPushButton::clicked, this, [this, i] { cmd_ins_Click(i); });
    }
    for (int i = 0; i < 4; ++i) {
        connect(cmd_print[i], &QPushButton::clicked, this, [this, i] { cmd_print_Click(i); });
        connect(cmd_move[i], &QPushButton::clicked, this, [this, i] { cmd_move_Click(i); });
    }
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
