#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace quad {

/// The chooser of the historical archives, listing the names given. OK (or a double click)
/// chooses the selected one: p_path_cartella() hands back "SUB_" + its name; "Annulla" or closing
/// the window chooses nothing and hands back "".
class frm_sel_cartella : public QDialog
{
    Q_OBJECT
public:
    frm_sel_cartella(const QStringList& p_sub_dir, QWidget* parent);

    /// The folder of the archive chosen, "SUB_" + its name; "" when none was.
    QString p_path_cartella() const { return m_cartella; }

    void OKButton_Click();
    void CancelButton_Click();

protected:
    void done(int result) override;

private:
    QListWidget* List1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    QString m_cartella;
    bool m_scelta = false;
};

} // namespace quad
