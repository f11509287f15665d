#include "window_parts.h"

#include "control_factory.h"
#include "toolbar_icons.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace quad {

using namespace controls;

StartFrame::StartFrame(QWidget* parent)
    : QGroupBox(parent)
{
    setObjectName(QStringLiteral("Frame1"));
    setGeometry(0, 0, tw(6475), tw(3445));
    Img_logo = etichetta(this, QStringLiteral("Img_logo"), QString(), QRect(tw(240), tw(360), tw(3000), tw(2800)));
    Img_logo->setScaledContents(true);
    Command1 = bottone(this, "Command1", QStringLiteral("         ARCHIVIO                    "),
                       QRect(tw(3480), tw(1080), tw(2760), tw(1200)), QStringLiteral("Accedi all' archivio"));
    Command1->setStyleSheet(QStringLiteral("QPushButton { background-color: white; }"));
    connect(Command1, &QPushButton::clicked, this, &StartFrame::archivio_richiesto);
    Picture5 = nominato(new QWidget(this), QStringLiteral("Picture5"));
    Picture5->setGeometry(tw(3480), tw(2400), tw(2760), tw(900));
    cmd_entrata = bottone(Picture5, "cmd_entrata", QString(), QRect(0, 0, tw(600), tw(600)));
    cmd_uscita = bottone(Picture5, "cmd_uscita", QString(), QRect(tw(1400), 0, tw(600), tw(600)));
    Label1 = etichetta(Picture5, QStringLiteral("Label1"), QStringLiteral("Entrata"),
                       QRect(tw(640), tw(180), tw(700), tw(300)));
    Label2 = etichetta(Picture5, QStringLiteral("Label2"), QStringLiteral("Uscita"),
                       QRect(tw(2040), tw(180), tw(700), tw(300)));
    Picture5->hide();
}

void StartFrame::mostra_logo(const QPixmap& logo)
{
    Img_logo->setPixmap(logo);
}

void StartFrame::alza_archivio()
{
    Command1->raise();
}

StartMenu::StartMenu(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("frm_menu"));
    setFrameShape(QFrame::StyledPanel);
    setGeometry(0, 0, tw(8880), tw(855));
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
    QFont menuFont = font();
    menuFont.setPointSizeF(8);
    for (const Voce& v : voci) {
        auto* b = new QToolButton(this);
        b->setText(QString::fromUtf8(v.caption));
        b->setObjectName(indicizzato("cmd_menu", v.index));
        b->setToolTip(QString::fromUtf8(v.tip));
        b->setGeometry(tw(v.left), tw(120), tw(v.width), tw(615));
        b->setIcon(disegna_icona(QLatin1String(icone[v.index])));
        b->setIconSize(QSize(18, 18));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setFont(menuFont);
        const int index = v.index;
        connect(b, &QToolButton::clicked, this, [this, index] { emit clicked(index); });
        cmd_menu[size_t(v.index)] = b;
    }
    cmd_menu[3]->hide();
}

void StartMenu::dispose(int width)
{
    setGeometry(0, y(), width, height());
    cmd_menu[4]->move(this->width() - cmd_menu[4]->width() - tw(20), cmd_menu[4]->y());
    cmd_menu[5]->move(cmd_menu[4]->x() - cmd_menu[5]->width(), cmd_menu[5]->y());
}

ToolStrip::ToolStrip(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pic_tool_orizz"));
    setAutoFillBackground(true);
    for (const QString& key : imageListKeys())
        ImageList1Keys << key;
    ImageList1.assign(1, QIcon());
    for (const QString& key : ImageList1Keys)
        ImageList1.push_back(disegna_icona(key));
    ImageList1Keys.prepend(QString());
    for (const char* key : {"img_print", "img_mask", "img_grid", "img_stru"})
        ImageList2.push_back(disegna_icona(QLatin1String(key)));
    ImageCombo1 = nominato(new QComboBox(parent), QStringLiteral("ImageCombo1"));
    for (size_t i = 1; i < ImageList1.size(); ++i)
        ImageCombo1->addItem(ImageList1[i], ImageList1Keys[int(i)]);
    ImageCombo1->hide();

    Toolbar1 = nominato(new QToolBar(this), QStringLiteral("Toolbar1"));
    Toolbar2 = nominato(new QToolBar(this), QStringLiteral("Toolbar2"));
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
        QAction* a = Toolbar1->addAction(ImageList1[size_t(t.image)], QString::fromUtf8(t.caption));
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
    setGeometry(0, 0, tw(8880), h);
    Toolbar2->setGeometry(width() - Toolbar2->sizeHint().width(), 0, Toolbar2->sizeHint().width(), h);
    Toolbar1->setGeometry(0, 0, width() - Toolbar2->width(), h);
    hide();
    connect(Toolbar1, &QToolBar::actionTriggered, this, &ToolStrip::Toolbar1_ButtonClick);
    connect(Toolbar2, &QToolBar::actionTriggered, this, &ToolStrip::Toolbar2_ButtonClick);
    for (QToolBar* bar : {Toolbar1, Toolbar2})
        bar->installEventFilter(this);
}

bool ToolStrip::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == Toolbar1 || watched == Toolbar2) && event->type() == QEvent::MouseButtonPress)
        emit clic_sulle_barre();
    return QWidget::eventFilter(watched, event);
}

QIcon ToolStrip::immagine(int index) const
{
    return index >= 0 && size_t(index) < ImageList1.size() ? ImageList1[size_t(index)] : QIcon();
}

int ToolStrip::larghezza_barre() const
{
    return Toolbar1->sizeHint().width() + Toolbar2->sizeHint().width();
}

void ToolStrip::mostra_barre(bool mostra)
{
    Toolbar1->setVisible(mostra);
    Toolbar2->setVisible(mostra);
}

void ToolStrip::abilita_barre(bool abilitate)
{
    toolbarButton(QStringLiteral("tb_add_tree"))->setEnabled(abilitate);
    Toolbar1->setEnabled(abilitate);
    Toolbar2->setEnabled(abilitate);
}

void ToolStrip::mostra_vista(bool maschera)
{
    QAction* modo = Toolbar1_Buttons(1);
    modo->setToolTip(maschera ? QStringLiteral("Visualizza modalità griglia")
                              : QStringLiteral("Visualizza modalità maschera"));
    modo->setIcon(ImageList1[maschera ? 2 : 1]);
    toolbarButton(QStringLiteral("tb_add_tree"))->setVisible(maschera);
}

QAction* ToolStrip::Toolbar1_Buttons(int index) const
{
    const QList<QAction*> actions = Toolbar1->actions();
    return index >= 1 && index <= actions.size() ? actions.at(index - 1) : nullptr;
}

QAction* ToolStrip::Toolbar2_Buttons(int index) const
{
    const QList<QAction*> actions = Toolbar2->actions();
    return index >= 1 && index <= actions.size() ? actions.at(index - 1) : nullptr;
}

QAction* ToolStrip::toolbarButton(const QString& key) const
{
    for (QToolBar* bar : {Toolbar1, Toolbar2}) {
        for (QAction* a : bar->actions()) {
            if (a->objectName() == key)
                return a;
        }
    }
    return nullptr;
}

void ToolStrip::dispose(int width)
{
    setGeometry(0, 0, width, height());
    const int larg2 = Toolbar2->width();
    Toolbar2->move(this->width() - larg2, Toolbar2->y());
    if (this->width() - larg2 >= 0)
        Toolbar1->resize(this->width() - larg2, Toolbar1->height());
}

void ToolStrip::mostra_filtro(bool premuto)
{
    QAction* filtro = toolbarButton(QStringLiteral("tb_filtro_off"));
    filtro->setChecked(premuto);
    filtro->setText(premuto ? QStringLiteral("Filtro off") : QStringLiteral("Filtro on"));
    filtro->setToolTip(premuto ? QStringLiteral("Disattiva filtro") : QStringLiteral("Imposta filtro"));
}

PopupButtons::PopupButtons(const QString& objectName, const char* buttonName, const QStringList& captions, int width,
                           int height, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(objectName);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    resize(width, height * int(captions.size()));
    for (int i = 0; i < captions.size(); ++i) {
        // Return on the focused button presses it, as Space does.
        QPushButton* b = preme_con_invio(bottone(this, "", captions[i], QRect(0, i * height, width, height)));
        b->setObjectName(indicizzato(buttonName, i));
        connect(b, &QPushButton::clicked, this, [this, i] { emit clicked(i); });
        buttons.push_back(b);
    }
    hide();
}

FrameScroll::FrameScroll(QWidget* area, QWidget* startFrame)
    : QObject(area)
    , m_startFrame(startFrame)
{
    VScroll1 = nominato(new QScrollBar(Qt::Vertical, area), QStringLiteral("VScroll1"));
    VScroll1->setGeometry(0, 0, tw(255), tw(2000));
    VScroll1->hide();
    HScroll1 = nominato(new QScrollBar(Qt::Horizontal, area), QStringLiteral("HScroll1"));
    HScroll1->setGeometry(0, 0, tw(2000), tw(255));
    HScroll1->hide();
    cmd_scroll = bottone(area, "cmd_scroll", QString(), QRect(0, 0, tw(255), tw(255)));
    cmd_scroll->setEnabled(false);
    cmd_scroll->hide();
    connect(VScroll1, &QScrollBar::valueChanged, this, &FrameScroll::VScroll1_Change);
}

void FrameScroll::adatta(int cw, int ch, int barra)
{
    // While the register is shown the bar has nothing of its own to scroll (the mask has its bars):
    // hidden, it and its corner leave the register's navigation strip and lists free.
    if (m_startFrame->isHidden() || ch - barra >= m_startFrame->height()) {
        VScroll1->hide();
        return;
    }
    const int h = ch - cmd_scroll->height() - barra;
    VScroll1->setGeometry(cw - VScroll1->width(), barra, VScroll1->width(), std::max(h, 0));
    if (m_startFrame->height() - ch >= 0) { // a range below zero is left as it was
        VScroll1->setRange(0, m_startFrame->height() - ch);
        VScroll1->setPageStep(std::max(1, VScroll1->maximum() / 3));
    }
    VScroll1->setValue(0);
    VScroll1->show();
    VScroll1->raise();
}

void FrameScroll::disponi_angolo(int cw, int ch)
{
    cmd_scroll->move(cw - cmd_scroll->width(), ch - cmd_scroll->height());
    cmd_scroll->setVisible(!HScroll1->isHidden() || !VScroll1->isHidden());
}

void FrameScroll::VScroll1_Change(int value)
{
    m_startFrame->move(m_startFrame->x(), -value);
    VScroll1->raise();
}

StatusArea::StatusArea(QWidget* area)
    : QObject(area)
{
    Frame3 = nominato(new QGroupBox(area), QStringLiteral("Frame3"));
    Frame3->setFlat(true);
    Frame3->setStyleSheet(QStringLiteral("QGroupBox { border: none; }"));
    Frame3->setGeometry(0, 0, tw(6000), tw(300));
    // Only a caption: a click on it belongs to what lies beneath (the register's panels and lists
    // reach under it in a low window).
    Frame3->setAttribute(Qt::WA_TransparentForMouseEvents);
    lbl_sub_arch = etichetta(Frame3, QStringLiteral("lbl_sub_arch"), QStringLiteral("Archivio : "),
                             QRect(tw(60), 0, tw(5900), tw(300)));
    lbl_sub_arch->hide();

    frm_label = nominato(new QFrame(area), QStringLiteral("frm_label"));
    frm_label->setGeometry(tw(2400), tw(900), tw(4200), tw(400));
    lbl_storico = etichetta(frm_label, QStringLiteral("lbl_storico"), QStringLiteral("CONSULTAZIONE ARCHIVIO STORICO"),
                            QRect(0, 0, tw(4200), tw(400)));
    lbl_storico->setAlignment(Qt::AlignCenter);
    lbl_storico->hide();
    frm_label->hide();

    lbl_msg = etichetta(area, QStringLiteral("lbl_msg"), QStringLiteral("Message"),
                        QRect(tw(120), tw(7200), tw(6000), tw(300)));
    lbl_msg->hide();
}

void StatusArea::mostra_archivio(const QString& testo)
{
    // A long folder keeps its start and its end in sight.
    lbl_sub_arch->setText(lbl_sub_arch->fontMetrics().elidedText(testo, Qt::ElideMiddle, lbl_sub_arch->width()));
    lbl_sub_arch->show();
}

void StatusArea::poni_archivio_sotto(QWidget* sopra)
{
    if (sopra)
        Frame3->stackUnder(sopra);
    else
        Frame3->raise();
}

void StatusArea::nascondi_archivio()
{
    lbl_sub_arch->hide();
}

void StatusArea::nascondi_storico()
{
    lbl_storico->hide();
    frm_label->hide();
}

void StatusArea::mostra_messaggio(const QString& testo, bool subito)
{
    lbl_msg->setText(testo);
    if (subito)
        lbl_msg->repaint();
}

void StatusArea::disponi(int altezza, int altezzaFondo)
{
    Frame3->move(0, altezza - altezzaFondo - Frame3->height());
}

} // namespace quad
