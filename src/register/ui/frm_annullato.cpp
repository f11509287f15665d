#include "frm_annullato.h"

#include "annulment.h"
#include "message_service.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quad {

frm_annullato::frm_annullato(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_annullato"));
    setWindowTitle(QString());
    setModal(true);

    Label1 = new QLabel(QStringLiteral("Inserire il motivo dell' annullamento (Obbligatorio !)"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Label1->setBuddy(Text1);

    const QStringList captions {QStringLiteral("Salva ed Esci"), QStringLiteral("Annulla")};
    // The buttons stand between two stretches, so that "Esci" alone is centred.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i = 0; i < captions.size(); ++i) {
        auto* button = new QPushButton(captions.at(i), this);
        button->setObjectName(QStringLiteral("Command1_%1").arg(i));
        // The dialog has no default button, so Return in the reason's box does nothing; on a
        // focused button it presses that button, as in every dialog.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        buttons->addWidget(button);
        Command1.push_back(button);
    }
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Text1);
    layout->addLayout(buttons);
    setMinimumWidth(420);
}

void frm_annullato::mostra_motivo(const QString& nota)
{
    m_solo_lettura = true;
    Text1->setReadOnly(true);
    Command1[0]->hide();
    Command1[1]->setText(QStringLiteral("Esci"));
    Label1->setText(QStringLiteral("Motivo dell' annullamento del quadernolo"));
    Text1->setText(nota);
}

void frm_annullato::Command1_Click(int Index)
{
    if (Index == 0 && !m_solo_lettura) {
        m_motivo = Text1->text();
        QDialog::accept();
        return;
    }
    reject();
}

void frm_annullato::reject()
{
    // The close box and Esc count as "Annulla".
    m_motivo.clear();
    QDialog::reject();
}

std::optional<QString> chiedi_motivo_annullamento(QWidget* parent)
{
    if (!askYesNo(testo_conferma_annullamento()))
        return std::nullopt;
    frm_annullato dialog(parent);
    const bool confermato = dialog.exec() == QDialog::Accepted;
    const QString motivo = dialog.p_mess_annullato();
    switch (esito_annullamento(confermato, motivo)) {
    case EsitoAnnullamento::Rinuncia:
        return std::nullopt;
    case EsitoAnnullamento::NotaMancante:
        warn(testo_nota_mancante());
        return std::nullopt;
    case EsitoAnnullamento::Annulla:
        break;
    }
    return motivo;
}

void mostra_motivo_annullamento(QWidget* parent, const QString& nota)
{
    frm_annullato dialog(parent);
    dialog.mostra_motivo(nota);
    dialog.exec();
}

} // namespace quad
