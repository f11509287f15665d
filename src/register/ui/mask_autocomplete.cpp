#include "mask_autocomplete.h"

#include "ax_db_autocomplete.h"
#include "data_control.h"
#include "entry_helpers.h"
#include "entry_mask.h"
#include "field_binding.h"

#include "entry_session.h"
#include "recordset.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace quad {

namespace {

/// Boxes whose keys never reach the control: the always-locked ones, the name box (it has the
/// address-book look-up instead) and the two office boxes (their pick list takes the keys).
bool senzaTasti(int index)
{
    return index == EntryMask::Progressivo || index == EntryMask::Anno || index == EntryMask::Nominativo
        || index == EntryMask::Ufficio_competente || index == EntryMask::Ufficio_conoscenza
        || (index >= EntryMask::Data_consegna && index <= EntryMask::Ora_restituzione);
}

/// Boxes whose changes are not handed to the control: the name box, the office boxes and the
/// link box (it shows the linked file instead).
bool senzaRicerca(int index)
{
    return index == EntryMask::Nominativo || index == EntryMask::Ufficio_competente
        || index == EntryMask::Ufficio_conoscenza || index == EntryMask::Collegamento;
}

bool tastoDiScorrimento(int key)
{
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
}

} // namespace

MaskAutocomplete::MaskAutocomplete(MaskAutocompleteHost& host, const std::vector<QLineEdit*>& caselle,
                                   AXDbAutoComplete& completamento, DataControl& registro, DataControl& rubrica,
                                   DataControl& mittenti, FieldBinder& binder, QWidget& pannelloNomi,
                                   const EntrySession& sessione, QObject* parent)
    : QObject(parent)
    , m_host(host)
    , m_caselle(caselle)
    , m_completamento(completamento)
    , Adodc1(registro)
    , Ado_nomi(rubrica)
    , ado_mittenti(mittenti)
    , m_binder(binder)
    , m_pannelloNomi(pannelloNomi)
    , m_session(sessione)
{
    setObjectName(QStringLiteral("mask_autocomplete"));
    for (int i = 0; i < int(m_caselle.size()); ++i) {
        QLineEdit* box = m_caselle[i];
        if (!box)
            continue;
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [this, i] { testoDigitato(i); });
    }
    connect(&m_completamento, &AXDbAutoComplete::townPicked, this, &MaskAutocomplete::comuneScelto);
    connect(&Adodc1, &DataControl::recordsetChanged, this, [this] {
        if (!Adodc1.Recordset())
            registroChiuso();
    });
}

MaskAutocomplete::~MaskAutocomplete()
{
    for (QLineEdit* box : m_caselle) {
        if (box)
            box->removeEventFilter(this);
    }
}

int MaskAutocomplete::indexOf(QObject* box) const
{
    for (int i = 0; i < int(m_caselle.size()); ++i) {
        if (m_caselle[i] && m_caselle[i] == box)
            return i;
    }
    return -1;
}

bool MaskAutocomplete::eventFilter(QObject* watched, QEvent* event)
{
    // Only these two are handled: a box that loses the focus as the window goes must not reach
    // a window already half gone.
    if (event->type() != QEvent::FocusIn && event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const int index = indexOf(watched);
    if (index < 0)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn: {
        // Coming back from another window or a message box is not a new box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            casellaAttiva(index);
        break;
    }
    case QEvent::KeyPress:
        if (tasto(index, static_cast<QKeyEvent*>(event)))
            return true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void MaskAutocomplete::casellaAttiva(int index)
{
    if (m_host.conta_schede() < 1 || m_host.p_uscita())
        return;
    AXDbAutoComplete* ac = &m_completamento;
    ac->setListBoxVisible(false);
    m_pannelloNomi.hide();

    // The town box searches the towns of the settings database; every other box the register's
    // table, which has no column of the other correspondent boxes: they propose nothing.
    // A database that does not open proposes nothing: the box is typed as any other.
    const DbResult collegato
        = ac->setConnectionString((index == EntryMask::Citta ? Ado_nomi : Adodc1).ConnectionString());
    if (!collegato.ok()) {
        ac->setTextObject(nullptr);
        return;
    }
    ac->setTableName(index == EntryMask::Citta ? QStringLiteral("Comuni") : QStringLiteral("Entrata"));
    ac->setSearchMode(1);
    // The name box keeps the box, field and type of the box before it: its own proposals come
    // from the address book.
    if (index == EntryMask::Nominativo)
        return;
    QLineEdit* box = m_caselle[index];
    const QString campo = m_binder.dataField(box);
    long tipo = 0;
    const std::shared_ptr<Recordset> rs = Adodc1.Recordset();
    if (rs && rs->isOpen() && !campo.isEmpty()) {
        const int i = rs->fieldIndex(campo);
        if (i >= 0)
            tipo = rs->field(i).type;
    }
    ac->setTextObject(box);
    ac->setFieldName(campo);
    ac->setDataType(tipo);
}

bool MaskAutocomplete::tasto(int index, QKeyEvent* event)
{
    QLineEdit* box = m_caselle[index];
    AXDbAutoComplete* ac = &m_completamento;
    if (box->isReadOnly() || senzaTasti(index) || m_host.conta_schede() < 1 || ac->TextObject() != box)
        return false;
    const bool lista = ac->isListVisible();
    // The document-type box keeps its Down arrow for its own list while no proposal is shown.
    if ((index != EntryMask::Tipo_documento || lista) && ac->Text_KeyDown(event))
        return true;
    // While the list shows, the arrows and the page keys move its selection, not the register.
    if (lista && tastoDiScorrimento(event->key()))
        return true;
    return !event->text().isEmpty() && ac->Text_KeyPress(event);
}

void MaskAutocomplete::testoDigitato(int index)
{
    const EntrySession& s = m_session;
    if (m_host.p_uscita() || s.p_stop())
        return;
    QLineEdit* box = m_caselle[index];
    if (index == EntryMask::Nominativo) {
        if (s.p_new_ins() && !box->text().trimmed().isEmpty() && !m_host.p_modifica())
            m_host.cerca_in_elenco(box->text());
        return;
    }
    AXDbAutoComplete* ac = &m_completamento;
    if (senzaRicerca(index) || ac->p_cliccato || ac->TextObject() != box)
        return;
    ac->Text_Change();
}

void MaskAutocomplete::comuneScelto(const QString& citta, const QString& prov, const QString& stato, const QString& cap)
{
    // The correction dialog serves its own town box.
    if (m_host.p_frm_nomi())
        return;
    const std::shared_ptr<Recordset> rs = ado_mittenti.Recordset();
    if (!rs || !rs->isOpen() || rs->bof() || rs->eof())
        return;
    QList<QPair<QString, QString>> valori;
    if (stato != QLatin1String("EE"))
        valori = {{QStringLiteral("Cap"), cap}, {QStringLiteral("Prov"), prov}, {QStringLiteral("Stato"), stato}};
    else
        valori = {
            {QStringLiteral("Prov"), QString()}, {QStringLiteral("Stato"), stato}, {QStringLiteral("Cap"), QString()}};
    valori.append({QStringLiteral("Citta"), citta});
    for (const auto& [campo, valore] : valori) {
        if (!schede::mostra_errore_ado(rs->setValue(campo, valore)))
            return;
    }
}

void MaskAutocomplete::registroChiuso()
{
    AXDbAutoComplete* ac = &m_completamento;
    ac->setListBoxVisible(false);
    ac->setTextObject(nullptr);
    (void)ac->setConnectionString(QString()); // no connection: nothing can fail
    m_pannelloNomi.hide();
}

} // namespace quad
