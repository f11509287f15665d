#include "frmquickfind1.h"

#include "message_service.h"
#include "quick_find.h"
#include "recordset.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quad {

frmquickfind1::frmquickfind1(std::shared_ptr<Recordset> recordset, const QString& campo, QWidget* parent)
    : QDialog(parent)
    , m_rs(std::move(recordset))
    , m_campo(campo)
{
    setObjectName(QStringLiteral("frmquickfind1"));
    setWindowTitle(QStringLiteral("Quadernolo - Ricerca nominativo"));
    setModal(true);

    lbl_form = new QLabel(QStringLiteral("Label1"), this);
    lbl_form->setObjectName(QStringLiteral("lbl_form"));
    lbl_form->hide();
    txtQuickFind = new QLineEdit(this);
    txtQuickFind->setObjectName(QStringLiteral("txtQuickFind"));
    chk_parte = new QCheckBox(QStringLiteral("Parte del campo"), this);
    chk_parte->setObjectName(QStringLiteral("chk_parte"));
    chk_modo = new QCheckBox(QStringLiteral("Campo intero"), this);
    chk_modo->setObjectName(QStringLiteral("chk_modo"));
    cmdOK = new QPushButton(QStringLiteral("Cerca"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmd_esci = new QPushButton(QStringLiteral("Esci"), this);
    cmd_esci->setObjectName(QStringLiteral("cmd_esci"));
    cmd_esci->setAutoDefault(false);

    connect(cmdOK, &QPushButton::clicked, this, &frmquickfind1::cmdOK_Click);
    connect(cmd_esci, &QPushButton::clicked, this, &QDialog::reject);

    auto* checks = new QHBoxLayout;
    checks->addWidget(chk_parte);
    checks->addWidget(chk_modo);
    checks->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmd_esci);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbl_form);
    layout->addWidget(txtQuickFind);
    layout->addLayout(checks);
    layout->addLayout(buttons);
    setMinimumWidth(360);
}

void frmquickfind1::prepara(const QString& text, const QString& chiamante)
{
    setWindowTitle(QStringLiteral("Campo : ") + m_campo);
    // No caption stands by the box: a screen reader announces it by the field it searches.
    txtQuickFind->setAccessibleName(windowTitle());
    lbl_form->setText(QStringLiteral("Quadernolo"));
    txtQuickFind->setText(text);
    txtQuickFind->setCursorPosition(text.size());
    m_chiamante = chiamante;
}

void frmquickfind1::cmdOK_Click()
{
    QString typed = txtQuickFind->text();
    typed.replace(QLatin1Char('*'), QLatin1Char('%'));
    if (typed != txtQuickFind->text())
        txtQuickFind->setText(typed);
    if (lbl_form->text() != QLatin1String("Quadernolo"))
        return;
    const int index = m_rs ? m_rs->fieldIndex(m_campo) : -1;
    const int type = index >= 0 ? m_rs->field(index).type : 0;
    cerca_successivo(valore_ricerca(typed, chk_parte->isChecked(), type));
}

void frmquickfind1::cerca_successivo(const QString& value)
{
    const int index = m_rs && m_rs->isOpen() ? m_rs->fieldIndex(m_campo) : -1;
    if (index < 0) {
        warn(QStringLiteral("ATTENZIONE !\n\nCampo non ricercabile."));
        emit ricerca_eseguita();
        return;
    }
    const QuickFindCriterion criterion = crea_criterio(m_campo, m_rs->field(index).type, value);
    if (!criterion.ok()) {
        warn(criterion.error);
        emit ricerca_eseguita();
        return;
    }

    // The next match after the current row, then once more from the first row.
    DbResult error;
    bool found = m_rs->find(criterion.text, 1, SearchDirection::Forward, kBookmarkCurrent, &error);
    if (!error.ok()) {
        warn(QStringLiteral("ATTENZIONE !\n\nRicerca non eseguita.\n\n") + error.message);
        emit ricerca_eseguita();
        return;
    }
    if (!found && m_rs->recordCount() > 0)
        found = m_rs->find(criterion.text, 0, SearchDirection::Forward, kBookmarkFirst, &error);
    if (!found) {
        msgBox(QStringLiteral("Non trovato !"));
        if (m_rs->recordCount() > 0)
            m_rs->moveFirst();
    }
    emit ricerca_eseguita();
}

bool apri_ricerca_rapida(QWidget* parent, std::shared_ptr<Recordset> recordset, const QString& campo,
                         const QString& text, const QString& chiamante, const std::function<void()>& onSearch)
{
    if (!recordset || !recordset->isOpen() || recordset->recordCount() < 1)
        return false;
    if (campo.trimmed().isEmpty() || recordset->fieldIndex(campo) < 0)
        return false;
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (!c.isPrint())
            return false;
    }

    frmquickfind1 dialog(recordset, campo, parent);
    dialog.prepara(text, chiamante);
    if (onSearch)
        QObject::connect(&dialog, &frmquickfind1::ricerca_eseguita, &dialog, onSearch);
    dialog.exec();
    return true;
}

} // namespace quad
