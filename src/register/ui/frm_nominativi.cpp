#include "frm_nominativi.h"

#include "ax_db_autocomplete.h"
#include "date_text.h"
#include "identifier_checks.h"
#include "message_service.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quad {

namespace {

struct BoxDef
{
    int index;
    const char* caption;
    const char* field;
};

// Boxes in tab order, with the address-book column each one shows.
const BoxDef kBoxes[] = {
    {8, "Nominativo", "Nominativo"},
    {9, "P.iva/CF", "P_iva_CF"},
    {10, "Nato il", "Data_nascita"},
    {11, "Indirizzo", "Indirizzo"},
    {12, "N.", "Civico"},
    {13, "Città", "Citta"},
    {14, "Prov", "Prov"},
    {15, "Stato", "Stato"},
    {0, "Cap", "Cap"},
};

constexpr int kNome = 8;
constexpr int kPivaCf = 9;
constexpr int kNatoIl = 10;
constexpr int kIndirizzo = 11;
constexpr int kCivico = 12;
constexpr int kCitta = 13;
constexpr int kProv = 14;
constexpr int kStato = 15;
constexpr int kCap = 0;

} // namespace

frm_nominativi::frm_nominativi(AddressBook* book, const AddressRecord& record, QWidget* parent)
    : QDialog(parent)
    , m_book(book)
    , m_record(record)
{
    setObjectName(QStringLiteral("frm_nominativi"));
    setWindowTitle(QStringLiteral("Quadernolo : CORREZIONE ANAGRAFICA"));
    setModal(true);

    txt_mask1.assign(16, nullptr);
    lbl_mask1.assign(16, nullptr);

    Frame5 = new QFrame(this);
    Frame5->setObjectName(QStringLiteral("Frame5"));
    Frame5->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(Frame5);
    int slot = 0;
    for (const BoxDef& def : kBoxes) {
        auto* label = new QLabel(QString::fromUtf8(def.caption), Frame5);
        label->setObjectName(QStringLiteral("lbl_mask1_%1").arg(def.index));
        auto* box = new QLineEdit(Frame5);
        box->setObjectName(QStringLiteral("txt_mask1_%1").arg(def.index));
        label->setBuddy(box);
        lbl_mask1[def.index] = label;
        txt_mask1[def.index] = box;
        // The name and the street take a whole line; the other boxes go two to a line.
        if (def.index == kNome || def.index == kIndirizzo) {
            if (slot % 2)
                ++slot;
            grid->addWidget(label, slot / 2, 0);
            grid->addWidget(box, slot / 2, 1, 1, 3);
            slot += 2;
        } else {
            grid->addWidget(label, slot / 2, (slot % 2) * 2);
            grid->addWidget(box, slot / 2, (slot % 2) * 2 + 1);
            ++slot;
        }
        box->installEventFilter(this);
    }

    Command1.assign(2, nullptr);
    const char* captions[] = {"Salva ed esci", "Annulla"};
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i = 0; i < 2; ++i) {
        auto* button = new QPushButton(QString::fromUtf8(captions[i]), this);
        button->setObjectName(QStringLiteral("Command1_%1").arg(i));
        // Enter belongs to the boxes (it picks a town from the list), never to a button.
        button->setAutoDefault(false);
        button->setDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        Command1[i] = button;
        buttons->addWidget(button);
    }
    buttons->addStretch();

    AXDbAutoComplete1 = new AXDbAutoComplete(this);
    AXDbAutoComplete1->setObjectName(QStringLiteral("AXDbAutoComplete1"));
    connect(AXDbAutoComplete1, &AXDbAutoComplete::townPicked, this,
            [this](const QString&, const QString& prov, const QString& stato, const QString& cap) {
                txt_mask1[kProv]->setText(prov);
                txt_mask1[kStato]->setText(stato);
                txt_mask1[kCap]->setText(cap);
            });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame5);
    layout->addLayout(buttons);
    layout->addWidget(AXDbAutoComplete1, 0, Qt::AlignLeft);

    Form_Load();
}

void frm_nominativi::Form_Load()
{
    for (const BoxDef& def : kBoxes) {
        const QVariant v = m_record.value(QString::fromLatin1(def.field));
        QString text;
        if (def.index == kNatoIl) {
            const QDate d = dataDaValore(v);
            text = d.isValid() ? showDate(d) : v.toString();
        } else {
            text = v.toString();
        }
        txt_mask1[def.index]->setText(text);
        txt_mask1[def.index]->setCursorPosition(0);
    }
    // Edits are tracked from here on: anything written into a box, by the clerk or by a town
    // pick, is a pending change of the record.
    for (const BoxDef& def : kBoxes)
        connect(txt_mask1[def.index], &QLineEdit::textChanged, this, &frm_nominativi::segnaModificato);
    connect(txt_mask1[kCitta], &QLineEdit::textChanged, this, [this] { txt_mask1_Change(kCitta); });

    if (m_book && m_book->connection()) {
        const QFileInfo file(m_book->connection()->path());
        // Without its towns the dialog's town box is typed as any other.
        if (!AXDbAutoComplete1
                 ->setConnectionString(ConnectionString::build(file.absolutePath(), file.fileName(), QString()))
                 .ok())
            AXDbAutoComplete1->setTextObject(nullptr);
    }
    AXDbAutoComplete1->setTableName(QStringLiteral("Comuni"));
}

void frm_nominativi::segnaModificato()
{
    m_modificato = true;
}

int frm_nominativi::indexOf(QObject* box) const
{
    for (int i = 0; i < int(txt_mask1.size()); ++i) {
        if (txt_mask1[i] && txt_mask1[i] == box)
            return i;
    }
    return -1;
}

QVariantMap frm_nominativi::valoriMaschera() const
{
    QVariantMap values;
    for (const BoxDef& def : kBoxes) {
        const QString text = txt_mask1[def.index]->text();
        if (def.index == kNatoIl) {
            const QDate d = text.trimmed().isEmpty() ? QDate() : dataDaValore(text);
            values.insert(QString::fromLatin1(def.field), d.isValid() ? QVariant(d) : QVariant());
        } else {
            values.insert(QString::fromLatin1(def.field), text);
        }
    }
    return values;
}

void frm_nominativi::Command1_Click(int Index)
{
    if (Index != 0) {
        reject();
        return;
    }
    txt_mask1_Validate(kNatoIl);
    if (m_modificato) {
        const DbResult r = m_book ? m_book->correggi(&m_record, valoriMaschera())
                                  : DbResult::failure(DbError::Other, QStringLiteral("Rubrica non disponibile."));
        if (!r.ok()) {
            // The edits stay in the boxes: the clerk may try again or cancel.
            msgBox(QString::fromUtf8(kMsgErroreNominativi) + QStringLiteral("\n\n") + r.message, MsgIcon::Exclamation);
            return;
        }
        m_salvato = true;
        m_modificato = false;
    }
    accept();
}

void frm_nominativi::reject()
{
    m_modificato = false;
    AXDbAutoComplete1->setListBoxVisible(false);
    QDialog::reject();
}

void frm_nominativi::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close the dialog: unsaved corrections are only dropped by "Annulla" or
    // the close box.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Boxes

void frm_nominativi::txt_mask1_GotFocus(int Index)
{
    if (Index != kCitta)
        return;
    AXDbAutoComplete1->setTextObject(txt_mask1[kCitta]);
    AXDbAutoComplete1->setFieldName(QStringLiteral("Citta"));
    AXDbAutoComplete1->setDataType(adVarWChar);
    AXDbAutoComplete1->setSearchMode(1);
}

void frm_nominativi::txt_mask1_Change(int Index)
{
    if (Index == kCitta && !AXDbAutoComplete1->p_cliccato)
        AXDbAutoComplete1->Text_Change();
}

bool frm_nominativi::txt_mask1_KeyDown(int Index, QKeyEvent* event)
{
    if (Index == kCitta)
        return AXDbAutoComplete1->Text_KeyDown(event);
    return false;
}

bool frm_nominativi::txt_mask1_KeyPress(int Index, QKeyEvent* event)
{
    if (Index == kCitta)
        return AXDbAutoComplete1->Text_KeyPress(event);
    if (Index != kPivaCf && Index != kProv && Index != kStato)
        return false;
    // Typed letters go in upper case; pasted text is left as it is.
    const QString typed = event->text();
    if (typed.isEmpty() || typed == typed.toUpper() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    QKeyEvent upper(QEvent::KeyPress, event->key(), event->modifiers(), typed.toUpper(), event->isAutoRepeat(),
                    event->count());
    QCoreApplication::sendEvent(txt_mask1[Index], &upper);
    return true;
}

void frm_nominativi::txt_mask1_LostFocus(int Index)
{
    if (Index == kPivaCf) {
        // The first character as typed decides: a leading blank makes it a tax code.
        const QString rifiuto = rifiuto_piva_cf(txt_mask1[kPivaCf]->text());
        if (!rifiuto.isEmpty()) {
            warn(rifiuto);
            txt_mask1[kPivaCf]->clear();
        }
        return;
    }
    if (Index == kCivico || Index == kCitta) {
        if (!txt_mask1[kIndirizzo]->text().trimmed().isEmpty() && txt_mask1[kCivico]->text().trimmed().isEmpty())
            txt_mask1[kCivico]->setText(QStringLiteral("snc"));
    }
}

void frm_nominativi::txt_mask1_Validate(int Index)
{
    if (Index != kNatoIl)
        return;
    QLineEdit* box = txt_mask1[kNatoIl];
    if (!box->text().trimmed().isEmpty() && !isDateText(box->text()))
        box->clear();
}

bool frm_nominativi::eventFilter(QObject* watched, QEvent* event)
{
    const int index = indexOf(watched);
    if (index < 0)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        txt_mask1_GotFocus(index);
        break;
    case QEvent::FocusOut: {
        // Switching to another window, or a message box over this one, is not leaving the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            txt_mask1_Validate(index);
            txt_mask1_LostFocus(index);
        }
        break;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (txt_mask1_KeyDown(index, key) || txt_mask1_KeyPress(index, key))
            return true;
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quad
