#include "frm_correzione.h"

#include "accessible_names.h"
#include "message_service.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quad {

frm_correzione::frm_correzione(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_correzione"));
    setWindowTitle(QStringLiteral(" Quadernolo - Correzione"));
    setModal(true);

    txt_correzione = new QLineEdit(this);
    txt_correzione->setObjectName(QStringLiteral("txt_correzione"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &frm_correzione::OKButton_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txt_correzione);
    layout->addLayout(buttons);
    setMinimumWidth(480);
    // The box holds the subject, and no caption stands beside it.
    annuncia_caselle(this, {{txt_correzione, QStringLiteral("Oggetto")}});
}

void frm_correzione::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    txt_correzione->setFocus();
}

void frm_correzione::imposta_oggetto(const QString& oggetto)
{
    txt_correzione->setText(oggetto);
    txt_correzione->setCursorPosition(0);
}

void frm_correzione::OKButton_Click()
{
    // A blank subject is not a correction: the clerk is told, and goes on in the box.
    const QString text = txt_correzione->text();
    if (text.trimmed().isEmpty()) {
        warn(QStringLiteral("ATTENZIONE !\n\nL' oggetto non può essere vuoto."));
        txt_correzione->setFocus();
        return;
    }
    m_testo = text;
    accept();
}

std::optional<QString> correggi_oggetto(QWidget* parent, const QVariant& oggetto)
{
    frm_correzione dialog(parent);
    dialog.imposta_oggetto(oggetto.isNull() ? QString() : oggetto.toString());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.p_txt_corr();
}

} // namespace quad
