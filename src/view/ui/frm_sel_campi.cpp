#include "frm_sel_campi.h"

#include "column_mask.h"
#include "message_service.h"
#include "my_func.h"
#include "program_folder.h"
#include "recordset.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quad {

frm_sel_campi::frm_sel_campi(std::shared_ptr<Recordset> registro, const QString& p_eln_colonne, QWidget* parent)
    : QDialog(parent)
    , m_mascheraColonne(p_eln_colonne)
{
    setObjectName(QStringLiteral("frm_sel_campi"));
    setWindowTitle(QStringLiteral(" Impostazione colonne griglia"));
    setModal(true);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Annulla"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(OKButton, &QPushButton::clicked, this, &frm_sel_campi::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frm_sel_campi::CancelButton_Click);

    auto* pulsanti = new QVBoxLayout;
    pulsanti->addWidget(OKButton);
    pulsanti->addWidget(CancelButton);
    pulsanti->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(List1);
    layout->addLayout(pulsanti);
    resize(400, 300);

    Form_Load(registro.get());
}

void frm_sel_campi::Form_Load(const Recordset* registro)
{
    if (!registro || !registro->isOpen())
        return;
    // Fields past the end of a short mask are shown, as the grid shows them.
    const QString maschera = maschera_colonne(m_mascheraColonne, registro->fieldCount());
    for (int i = 0; i < registro->fieldCount(); ++i) {
        const QString nome = registro->field(i).uniqueName;
        if (campo_sistema(nome))
            continue;
        auto* voce = new QListWidgetItem(nome, List1);
        voce->setFlags(voce->flags() | Qt::ItemIsUserCheckable);
        const bool mostrata = maschera.at(i) == QLatin1Char('X');
        voce->setCheckState(mostrata ? Qt::Checked : Qt::Unchecked);
        voce->setData(Qt::UserRole, i + 1);
    }
}

void frm_sel_campi::OKButton_Click()
{
    QList<SceltaColonna> scelte;
    for (int r = 0; r < List1->count(); ++r) {
        const QListWidgetItem* voce = List1->item(r);
        scelte.append({voce->data(Qt::UserRole).toInt(), voce->checkState() == Qt::Checked});
    }
    m_mascheraColonne = applica_scelta_colonne(m_mascheraColonne, scelte);
    // The choice holds for this run even when the settings file cannot keep it.
    if (scrivi_ini(iniPath(), QStringLiteral("IMPOSTA"), QStringLiteral("Colonne_grid"), m_mascheraColonne) == 0)
        warn(
            QStringLiteral("ATTENZIONE !\n\nImpossibile salvare la scelta delle colonne nel file delle impostazioni."));
    accept();
}

void frm_sel_campi::CancelButton_Click()
{
    reject();
}

} // namespace quad
