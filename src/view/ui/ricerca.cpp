#include "ricerca.h"

#include "message_service.h"
#include "recordset.h"
#include "search_caller.h"
#include "simple_find.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quad {

Ricerca::Ricerca(SearchCaller& caller, QWidget* parent)
    : QDialog(parent)
    , m_caller(caller)
{
    setObjectName(QStringLiteral("Ricerca"));
    setWindowTitle(QStringLiteral("Quadernolo - Sessione di ricerca"));
    setModal(true);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label1 = new QLabel(m_caller.nome_chiamante(), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->hide();
    Label3 = new QLabel(QStringLiteral("Campo di ricerca"), Frame1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(false);
    Combo1->installEventFilter(this);
    Label4 = new QLabel(QStringLiteral("Da ricercare"), Frame1);
    Label4->setObjectName(QStringLiteral("Label4"));
    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    // A screen reader announces each box by its caption.
    Label3->setBuddy(Combo1);
    Label4->setBuddy(Text1);
    Command1 = new QPushButton(QStringLiteral("Ricerca"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command3 = new QPushButton(QStringLiteral("Continua ricerca"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command2 = new QPushButton(QStringLiteral("Annulla"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    for (QPushButton* b : {Command1, Command3, Command2})
        b->setAutoDefault(false);

    connect(Command1, &QPushButton::clicked, this, &Ricerca::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &Ricerca::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &Ricerca::Command2_Click);

    auto* campi = new QGridLayout(Frame1);
    campi->addWidget(Label3, 0, 0);
    campi->addWidget(Combo1, 1, 0);
    campi->addWidget(Label4, 0, 1);
    campi->addWidget(Text1, 1, 1);
    auto* pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(Command1);
    pulsanti->addWidget(Command3);
    pulsanti->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(pulsanti);
    layout->addWidget(Label1);
}

void Ricerca::Form_Load()
{
    Combo1->clear();
    const std::shared_ptr<Recordset> rs = m_caller.registro();
    if (!rs || !rs->isOpen() || rs->fieldCount() < 3)
        return;
    const bool principale = Label1->text() == QLatin1String("Quadernolo");
    for (int i = 0; i < rs->fieldCount(); ++i) {
        const QString nome = rs->field(i).uniqueName;
        if (principale || nome.left(3).toUpper() != QLatin1String("SYS"))
            Combo1->addItem(nome);
    }
    Combo1->setCurrentIndex(0);
}

void Ricerca::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Text1->setFocus();
}

bool Ricerca::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Combo1) {
        if (event->type() == QEvent::FocusIn)
            Text1->clear();
        // A field is only picked from the list: typed keys are dropped, the arrows still move.
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!key->text().isEmpty() && key->text().at(0).isPrint())
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Ricerca::Command1_Click()
{
    const std::shared_ptr<Recordset> rs = m_caller.registro();
    if (!rs)
        return;
    mostra_esito_ricerca(trova_primo(*rs, Combo1->currentText(), Text1->text()), m_caller);
}

void Ricerca::Command3_Click()
{
    const std::shared_ptr<Recordset> rs = m_caller.registro();
    if (!rs)
        return;
    mostra_esito_ricerca(trova_successivo(*rs, Combo1->currentText(), Text1->text()), m_caller);
}

void Ricerca::Command2_Click()
{
    reject();
}

void mostra_esito_ricerca(const EsitoRicerca& esito, SearchCaller& caller)
{
    if (esito.tipo == EsitoRicerca::Rifiutato)
        warn(esito.messaggio());
    else if (!esito.messaggio().isEmpty())
        msgBox(esito.messaggio());
    if (esito.tipo == EsitoRicerca::Trovato || esito.tipo == EsitoRicerca::FineRicerca)
        caller.record_trovato();
}

} // namespace quad
