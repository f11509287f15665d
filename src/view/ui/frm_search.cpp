// The search dialog: its frame and modes, the simple find and the range panels.
#include "frm_search.h"

#include "control_factory.h"
#include "criteria_model.h"
#include "range_panels.h"
#include "ricerca.h"
#include "search_caller.h"
#include "simple_find.h"
#include "wait_cursor.h"

#include "date_text.h"
#include "mask_typing.h"
#include "message_service.h"
#include "recordset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

namespace quad {

namespace {

using controls::nominato;

void piazza(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(tw(left), tw(top), tw(width), tw(height));
}

const QString kPannelloDate = QStringLiteral(" Impostazione date ");
const QString kPannelloNumeri = QStringLiteral(" Impostazione n. quadernolo ");
const QString kPannelloAnno = QStringLiteral(" Impostazione Anno ");
const QString kPannelloTipo = QStringLiteral(" Impostazione Tipo quadernolo ");
const QString kPannelloCampo = QStringLiteral(" Criteri di ricerca singolo campo ");

} // namespace

frmSearch::frmSearch(SearchCaller& caller, QWidget* parent)
    : QDialog(parent)
    , m_caller(caller)
{
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(QStringLiteral("Ricerche"));
    setModal(true);
    creaControlli();
    creaPannello();
    creaCriteri();
    collegaSegnali();
    // Form Load: simple mode; the focus sink above the window's top edge, out of sight.
    setFixedSize(tw(8265), tw(kSearchSimpleHeight));
    cmd_focus->move(cmd_focus->x(), tw(-200) - cmd_focus->height());
    abilita_avanzate(false);
}

frmSearch::~frmSearch() = default;

void frmSearch::creaControlli()
{
    lblFields = nominato(new QLabel(QStringLiteral("Campo:"), this), QStringLiteral("lblFields"));
    piazza(lblFields, 120, 120, 2600, 240);
    cmbFields = nominato(new QComboBox(this), QStringLiteral("cmbFields"));
    piazza(cmbFields, 120, 360, 2600, 315);
    lblValue = nominato(new QLabel(QStringLiteral("Valore:"), this), QStringLiteral("lblValue"));
    piazza(lblValue, 2880, 120, 3600, 240);
    txtFieldValue = nominato(new QLineEdit(this), QStringLiteral("txtFieldValue"));
    piazza(txtFieldValue, 2880, 360, 3480, 315);
    cmdFindFirst = nominato(new QPushButton(QStringLiteral("Trova primo"), this), QStringLiteral("cmdFindFirst"));
    piazza(cmdFindFirst, 6570, 120, 1575, 375);
    cmdFindNext = nominato(new QPushButton(QStringLiteral("Trova Successivo"), this), QStringLiteral("cmdFindNext"));
    piazza(cmdFindNext, 6570, 540, 1575, 375);
    cmdClose = nominato(new QPushButton(QStringLiteral("Chiudi"), this), QStringLiteral("cmdClose"));
    piazza(cmdClose, 6570, 960, 1575, 375);
    cmd_avanzate = nominato(new QPushButton(QStringLiteral("Ricerche avanzate"), this), QStringLiteral("cmd_avanzate"));
    piazza(cmd_avanzate, 120, 840, 1800, 375);
    for (QPushButton* b : {cmdFindFirst, cmdFindNext, cmdClose, cmd_avanzate})
        b->setAutoDefault(false);
    lblFields->setBuddy(cmbFields);
    lblValue->setBuddy(txtFieldValue);
    cmdFindFirst->setEnabled(false);
    cmdFindNext->setEnabled(false);

    // Options kept for their state only: never shown.
    Label2 = nominato(new QLabel(QStringLiteral("Direzione:"), this), QStringLiteral("Label2"));
    cmbSearchDirection = nominato(new QComboBox(this), QStringLiteral("cmbSearchDirection"));
    cmbSearchDirection->addItems({QStringLiteral("Su"), QStringLiteral("Giu'"), QStringLiteral("Tutto")});
    Label1 = nominato(new QLabel(QStringLiteral("Confronta:"), this), QStringLiteral("Label1"));
    cmbSearchType = nominato(new QComboBox(this), QStringLiteral("cmbSearchType"));
    cmbSearchType->addItems(
        {QStringLiteral("Parte del campo"), QStringLiteral("Campo intero"), QStringLiteral("Inizio campo")});
    chkCaseSensitive
        = nominato(new QCheckBox(QStringLiteral("Maiuscole/minuscole"), this), QStringLiteral("chkCaseSensitive"));
    chkAdvSearch = nominato(new QCheckBox(QStringLiteral("Ricerca avanzata"), this), QStringLiteral("chkAdvSearch"));
    chkAdvSearch->setToolTip(QStringLiteral(" Attiva/Disattiva la ricerca avanzata "));
    Label3 = nominato(new QLabel(m_caller.nome_chiamante(), this), QStringLiteral("Label3"));
    Label2->setBuddy(cmbSearchDirection);
    Label1->setBuddy(cmbSearchType);
    for (QWidget* w : std::initializer_list<QWidget*> {Label2, cmbSearchDirection, Label1, cmbSearchType,
                                                       chkCaseSensitive, chkAdvSearch, Label3})
        w->hide();
    cmd_focus = nominato(new QPushButton(QStringLiteral("Focus"), this), QStringLiteral("cmd_focus"));
    piazza(cmd_focus, 4200, 840, 900, 375);
    cmd_focus->setAutoDefault(false);
    // The focus is parked on it out of sight; Tab never reaches it.
    cmd_focus->setFocusPolicy(Qt::NoFocus);

    Frame1 = nominato(new QFrame(this), QStringLiteral("Frame1"));
    piazza(Frame1, 120, 1680, 8025, 495);
    const char* pulsanti[] = {"Imposta date", "N. quaderolo", "Anno", "Tipo", "Singolo campo"};
    const char* suggerimenti[]
        = {"Dalla data ... Alla data ...", "Dal ... Al ...", "Dall' anno ... All' anno ...", "Entrata / Uscita", ""};
    for (int i = 0; i < 5; ++i) {
        auto* b = nominato(new QPushButton(QString::fromUtf8(pulsanti[i]), Frame1),
                           QStringLiteral("cmd_imp_search_%1").arg(i));
        piazza(b, 60 + i * 1590, 60, 1530, 375);
        b->setToolTip(QString::fromUtf8(suggerimenti[i]));
        b->setAutoDefault(false);
        b->setStyleSheet(QStringLiteral("background-color: #FFFFC0;"));
        cmd_imp_search.push_back(b);
    }
}

void frmSearch::creaPannello()
{
    frame_date = nominato(new QGroupBox(this), QStringLiteral("frame_date"));
    piazza(frame_date, 120, 2280, 8025, 4320);
    frame_date->hide();
    Label4 = nominato(new QLabel(frame_date), QStringLiteral("Label4"));
    piazza(Label4, 240, 480, 1500, 315);
    txt_data_1 = nominato(new QLineEdit(frame_date), QStringLiteral("txt_data_1"));
    piazza(txt_data_1, 1800, 480, 2100, 315);
    Label5 = nominato(new QLabel(frame_date), QStringLiteral("Label5"));
    piazza(Label5, 240, 960, 1500, 315);
    txt_data_2 = nominato(new QLineEdit(frame_date), QStringLiteral("txt_data_2"));
    piazza(txt_data_2, 1800, 960, 2100, 315);
    Combo1 = nominato(new QComboBox(frame_date), QStringLiteral("Combo1"));
    piazza(Combo1, 1800, 960, 2100, 315);
    Combo1->hide();
    Label4->setBuddy(txt_data_1);
    Label5->setBuddy(txt_data_2);
    txt_data_1->installEventFilter(this);
    txt_data_2->installEventFilter(this);

    pic_search = nominato(new QWidget(frame_date), QStringLiteral("pic_search"));
    piazza(pic_search, 240, 1440, 7500, 1680);
    pic_search->hide();
    Frame2 = nominato(new QGroupBox(pic_search), QStringLiteral("Frame2"));
    piazza(Frame2, 0, 0, 3000, 840);
    Option1.push_back(nominato(new QRadioButton(QStringLiteral("AND"), Frame2), QStringLiteral("Option1_0")));
    Option1.push_back(nominato(new QRadioButton(QStringLiteral("OR"), Frame2), QStringLiteral("Option1_1")));
    piazza(Option1[0], 120, 240, 1200, 315);
    piazza(Option1[1], 1440, 240, 1200, 315);
    Option1[0]->setChecked(true);
    Check1 = nominato(new QCheckBox(QStringLiteral("Parte del campo"), pic_search), QStringLiteral("Check1"));
    piazza(Check1, 3240, 240, 2400, 315);
    txt_ricerca = nominato(new QLineEdit(pic_search), QStringLiteral("txt_ricerca"));
    piazza(txt_ricerca, 0, 1080, 7400, 315);
    // No label stands by the one-field panel's text box.
    txt_ricerca->setAccessibleName(QStringLiteral("Testo da cercare"));

    // The calendar is as large as its days need (no week numbers), never smaller than designed;
    // its caption names the box it fills and is not seen.
    Frame_calendar = new CalendarPopup(frame_date, QStringLiteral("Label6"),
                                       QStringLiteral("Doppio click per selezionare la data"));
    Frame_calendar->soloGiorni(QSize(tw(3720), tw(2880)));

    cmd_data.push_back(nominato(new QPushButton(QStringLiteral("Okay"), frame_date), QStringLiteral("cmd_data_0")));
    cmd_data.push_back(nominato(new QPushButton(QStringLiteral("Annulla"), frame_date), QStringLiteral("cmd_data_1")));
    piazza(cmd_data[0], 240, 3720, 1200, 375);
    piazza(cmd_data[1], 1560, 3720, 1200, 375);
    for (QPushButton* b : cmd_data)
        b->setAutoDefault(false);
}

void frmSearch::collegaSegnali()
{
    connect(cmdFindFirst, &QPushButton::clicked, this, &frmSearch::cmdFindFirst_Click);
    connect(cmdFindNext, &QPushButton::clicked, this, &frmSearch::cmdFindNext_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmSearch::cmdClose_Click);
    connect(cmd_avanzate, &QPushButton::clicked, this, &frmSearch::cmd_avanzate_Click);
    connect(txtFieldValue, &QLineEdit::textChanged, this, &frmSearch::txtFieldValue_Change);
    connect(cmdExecAdvSearch, &QPushButton::clicked, this, &frmSearch::cmdExecAdvSearch_Click);
    for (int i = 0; i < int(cmd_imp_search.size()); ++i)
        connect(cmd_imp_search[i], &QPushButton::clicked, this, [this, i] { cmd_imp_search_Click(i); });
    for (int i = 0; i < int(cmd_data.size()); ++i)
        connect(cmd_data[i], &QPushButton::clicked, this, [this, i] { cmd_data_Click(i); });
    connect(Check1, &QCheckBox::clicked, txt_ricerca, qOverload<>(&QWidget::setFocus));
    for (QRadioButton* o : Option1)
        connect(o, &QRadioButton::clicked, txt_ricerca, qOverload<>(&QWidget::setFocus));
    connect(Frame_calendar, &CalendarPopup::datePicked, this, &frmSearch::CalendarVB1_DateDblClick);
}

void frmSearch::InitSearch()
{
    WaitCursor clessidra;
    cmbFields->clear();
    const std::shared_ptr<Recordset> rs = m_caller.registro();
    if (rs && rs->isOpen()) {
        const bool principale = Label3->text() == QLatin1String("Quadernolo");
        for (int i = 0; i < rs->fieldCount(); ++i) {
            const QString nome = rs->field(i).uniqueName;
            if (principale || nome.left(3).toUpper() != QLatin1String("SYS"))
                cmbFields->addItem(nome);
        }
    }
    if (cmbFields->count() > 0)
        cmbFields->setCurrentIndex(0);
    PrepareADVSearch();
    cmbSearchDirection->setCurrentIndex(0);
    cmbSearchType->setCurrentIndex(0);
}

bool frmSearch::modo_avanzato() const
{
    return chkAdvSearch->isChecked();
}

void frmSearch::posiziona(int altezzaTwips)
{
    setFixedSize(tw(8265), tw(altezzaTwips));
    const QTableView* griglia = m_caller.griglia();
    if (griglia)
        move(x(), std::max(0, (griglia->height() - tw(altezzaTwips)) / 2));
}

void frmSearch::cmd_avanzate_Click()
{
    cmd_focus->setFocus();
    const bool avanzato = modo_avanzato();
    if (avanzato) {
        posiziona(kSearchSimpleHeight);
        for (QWidget* w : std::initializer_list<QWidget*> {cmbFields, txtFieldValue, cmdFindFirst, cmbSearchDirection,
                                                           cmbSearchType})
            w->setEnabled(true);
        abilita_avanzate(false);
        cmdFilterSourceRecordset->setEnabled(false);
        mostra_stato(QStringLiteral("[Effettuare una ricerca]"));
    } else {
        posiziona(kSearchAdvancedHeight);
        for (QWidget* w : std::initializer_list<QWidget*> {cmbFields, txtFieldValue, cmdFindFirst, cmbSearchDirection,
                                                           cmbSearchType})
            w->setEnabled(false);
        abilita_avanzate(true);
        frAdvSearch->show();
        // A range panel left open is closed without its rows.
        frame_date->hide();
        Combo1->hide();
        txt_data_2->show();
        pic_search->hide();
    }
    chkAdvSearch->setChecked(!avanzato);
}

void frmSearch::abilita_avanzate(bool abilitati)
{
    for (QWidget* parte : std::initializer_list<QWidget*> {Frame1, frAdvSearch, frame_date})
        parte->setEnabled(abilitati);
}

void frmSearch::txtFieldValue_Change()
{
    cmdFindNext->setEnabled(false);
    if (txtFieldValue->text().isEmpty()) {
        cmdFindFirst->setEnabled(false);
        return;
    }
    cmdFindFirst->setEnabled(true);
    cmdFindNext->setEnabled(true);
    cmdFindNext->setDefault(false);
    cmdFindFirst->setDefault(true);
}

void frmSearch::cmdFindFirst_Click()
{
    cmd_focus->setFocus();
    DoSearch(true);
}

void frmSearch::cmdFindNext_Click()
{
    cmd_focus->setFocus();
    DoSearch(false);
}

void frmSearch::cmdClose_Click()
{
    cmd_focus->setFocus();
    accept();
}

void frmSearch::DoSearch(bool FirstSearch)
{
    const std::shared_ptr<Recordset> rs = m_caller.registro();
    if (!rs)
        return;
    EsitoRicerca esito;
    {
        WaitCursor clessidra;
        esito = FirstSearch ? trova_primo(*rs, cmbFields->currentText(), txtFieldValue->text())
                            : trova_successivo(*rs, cmbFields->currentText(), txtFieldValue->text());
    }
    mostra_esito_ricerca(esito, m_caller);
}

void frmSearch::setCurrentBookMark(const QVariant& value)
{
    m_currentBookMark = value;
    if (modo_avanzato())
        return;
    const bool avanti = value.toLongLong() > 0;
    cmdFindNext->setEnabled(avanti);
    cmdFindNext->setDefault(avanti);
    cmdFindFirst->setDefault(!avanti);
}

void frmSearch::cmd_imp_search_Click(int Index)
{
    cmd_focus->setFocus();
    txt_data_1->clear();
    txt_data_2->clear();
    Combo1->hide();
    txt_data_2->show();
    pic_search->hide();
    Frame_calendar->hide();
    Label4->setBuddy(txt_data_1);
    const auto etichette = [this](const QString& titolo, const QString& primo, const QString& secondo) {
        frame_date->setTitle(titolo);
        Label4->setText(primo);
        Label5->setText(secondo);
    };
    const auto lista = [this](const QStringList& voci) {
        Combo1->clear();
        Combo1->addItems(voci);
        Combo1->show();
        Combo1->setCurrentIndex(0);
        Combo1->move(txt_data_1->pos());
        Label4->setBuddy(Combo1);
        txt_data_2->hide();
    };
    switch (Index) {
    case 0:
        etichette(kPannelloDate, QStringLiteral("Dalla data"), QStringLiteral("Alla data"));
        break;
    case 1:
        etichette(kPannelloNumeri, QStringLiteral("Dal N."), QStringLiteral("Al N."));
        break;
    case 2:
        etichette(kPannelloAnno, QStringLiteral("Dall' anno"), QStringLiteral("All' anno"));
        break;
    case 3:
        etichette(kPannelloTipo, QStringLiteral("Tipo quad."), QString());
        lista({QStringLiteral("ENTRATA"), QStringLiteral("USCITA")});
        break;
    case 4:
        etichette(kPannelloCampo, QStringLiteral("Campo ricerca"), QString());
        lista(campi_pannello_singolo());
        pic_search->show();
        txt_ricerca->clear();
        Option1[0]->setChecked(true);
        Check1->setChecked(false);
        break;
    default:
        return;
    }
    ShowRangePanel();
}

void frmSearch::ShowRangePanel()
{
    frame_date->show();
    frAdvSearch->hide();
}

void frmSearch::cmd_data_Click(int Index)
{
    if (Index == 0) {
        const QString pannello = frame_date->title();
        EsitoPannello esito;
        if (pannello == kPannelloDate)
            esito = pannello_date(txt_data_1->text(), txt_data_2->text());
        else if (pannello == kPannelloNumeri)
            esito = pannello_numeri(QStringLiteral("Progressivo"), txt_data_1->text(), txt_data_2->text());
        else if (pannello == kPannelloAnno)
            esito = pannello_numeri(QStringLiteral("Anno"), txt_data_1->text(), txt_data_2->text());
        else if (pannello == kPannelloTipo)
            esito = pannello_tipo(Combo1->currentIndex());
        else if (pannello == kPannelloCampo)
            esito = pannello_campo(Option1[1]->isChecked(), Combo1->currentText(), Check1->isChecked(),
                                   txt_ricerca->text());
        // A refused input appends nothing; the panel closes after "Okay" in every case.
        if (!esito.errore.isEmpty())
            warn(esito.errore);
        else
            aggiungi_righe(esito.righe);
    }
    chiudi_pannello();
}

void frmSearch::chiudi_pannello()
{
    // "Okay" and "Annulla" go with the panel: the focus sink takes the focus they may hold, which
    // the toolkit would otherwise hand to the next button ("Chiudi").
    cmd_focus->setFocus();
    frame_date->hide();
    Frame_calendar->hide();
    frAdvSearch->show();
    txt_data_2->show();
    Combo1->hide();
    pic_search->hide();
}

void frmSearch::aggiungi_righe(const QList<RigaCriterio>& righe)
{
    p_insdate = true;
    for (const RigaCriterio& riga : righe) {
        m_rsFilter->addNew();
        const int row = m_rsFilter->currentRow();
        scrivi_cella(row, 0, riga.unione);
        scrivi_cella(row, 1, riga.campo);
        scrivi_cella(row, 2, riga.operatore);
        scrivi_cella(row, 3, riga.criterio);
    }
    p_insdate = false;
}

bool frmSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && (watched == txt_data_1 || watched == txt_data_2))
        apri_calendario(static_cast<QLineEdit*>(watched));
    // A date typed in eight characters ("03012026") is written out as the calendar writes dates.
    if (event->type() == QEvent::FocusOut && (watched == txt_data_1 || watched == txt_data_2)
        && frame_date->title() == kPannelloDate) {
        auto* box = static_cast<QLineEdit*>(watched);
        const QString data = data_otto_caratteri(box->text());
        if (data != box->text())
            box->setText(data);
    }
    if (watched == lstDropDown) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Left || key == Qt::Key_Right) {
                lstDropDown_KeyDown(key);
                return true;
            }
            // Enter and Escape act when released; pressed, they would reach the dialog's
            // default button and its close.
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)
                return true;
        } else if (event->type() == QEvent::KeyRelease) {
            lstDropDown_KeyUp(static_cast<QKeyEvent*>(event)->key());
        } else if (event->type() == QEvent::FocusOut) {
            lstDropDown->hide();
        }
    }
    if (watched == gridFilter && event->type() == QEvent::KeyRelease)
        gridFilter_KeyUp(static_cast<QKeyEvent*>(event)->key());
    if (watched == m_intestazioneRighe) {
        if (event->type() == QEvent::MouseButtonPress)
            m_righeDaIntestazione = true;
        else if (event->type() == QEvent::MouseButtonRelease)
            m_righeDaIntestazione = false;
    }
    return QDialog::eventFilter(watched, event);
}

void frmSearch::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    if (lstDropDown->isVisible()) {
        lstDropDown->hide();
        gridFilter->setFocus();
    } else if (Frame_calendar->isVisible()) {
        // Back to the date box, which keeps what it holds.
        Frame_calendar->chiudi();
    }
}

void frmSearch::apri_calendario(QLineEdit* box)
{
    if (frame_date->title() != kPannelloDate)
        return;
    // Beside the two boxes, clear of "Okay" and "Annulla" at the panel's foot.
    const int sinistra = std::max(txt_data_1->geometry().right(), txt_data_2->geometry().right()) + tw(120);
    const int fondo = std::min(cmd_data[0]->y(), cmd_data[1]->y()) - tw(60);
    const int alto = std::min(std::max(0, txt_data_1->y() - tw(200)), fondo - Frame_calendar->height());
    Frame_calendar->move(std::min(sinistra, frame_date->width() - Frame_calendar->width()), std::max(0, alto));
    Frame_calendar->mostra(box, box == txt_data_1 ? QStringLiteral("Dalla data") : QStringLiteral("Alla data"),
                           CalendarPopup::dataIniziale(box->text()));
}

void frmSearch::CalendarVB1_DateDblClick()
{
    SetDateFromCalendar();
}

void frmSearch::SetDateFromCalendar()
{
    const QString data = showDate(Frame_calendar->data());
    if (Frame_calendar->didascalia() == QLatin1String("Dalla data")) {
        txt_data_1->setText(data);
        // The to box takes the focus and shows the calendar for its own date.
        txt_data_2->setFocus();
        apri_calendario(txt_data_2);
        return;
    }
    txt_data_2->setText(data);
    Frame_calendar->hide();
}

void apri_frm_search(SearchCaller& caller, QWidget* parent)
{
    frmSearch dialog(caller, parent);
    dialog.InitSearch();
    dialog.exec();
}

} // namespace quad
