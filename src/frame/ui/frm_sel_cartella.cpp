#include "frm_sel_cartella.h"

#include <QListWidget>
#include <QPushButton>

namespace quad {

frm_sel_cartella::frm_sel_cartella(const QStringList& p_sub_dir, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_sel_cartella"));
    setWindowTitle(QStringLiteral(" Selezione archivio"));
    setModal(true);
    setFixedSize(300, 240);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(10, 10, 180, 220);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(200, 10, 90, 28);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Annulla"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(200, 44, 90, 28);

    List1->addItems(p_sub_dir);
    if (List1->count() > 0)
        List1->setCurrentRow(0);
    m_scelta = false;

    connect(OKButton, &QPushButton::clicked, this, &frm_sel_cartella::OKButton_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &frm_sel_cartella::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frm_sel_cartella::CancelButton_Click);
}

void frm_sel_cartella::OKButton_Click()
{
    QListWidgetItem* item = List1->currentItem();
    // An empty list has nothing to open.
    m_cartella = item ? QStringLiteral("SUB_") + item->text() : QString();
    m_scelta = true;
    accept();
}

void frm_sel_cartella::CancelButton_Click()
{
    m_cartella.clear();
    m_scelta = true;
    reject();
}

void frm_sel_cartella::done(int result)
{
    // Closed with the window's button (or Esc): nothing chosen.
    if (!m_scelta)
        m_cartella.clear();
    QDialog::done(result);
}

} // namespace quad
