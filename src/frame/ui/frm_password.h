#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quad {

/// The login dialog: the password typed is the archives' key. OK (or Enter in the box) accepts
/// it, and password() hands it to the caller; closing the window rejects the dialog.
class frm_password : public QDialog
{
    Q_OBJECT
public:
    /// richiesta: what the label above the box asks ("" for the login's own request).
    explicit frm_password(QWidget* parent, const QString& richiesta = QString());

    /// The password typed when OK was pressed ("" before).
    QString password() const { return m_password; }

    void OKButton_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* Label1 = nullptr;
    QLineEdit* txt_password = nullptr;
    QPushButton* OKButton = nullptr;

    QString m_password;
};

/// Shows the login dialog once over parent, asking richiesta when given; true, with the
/// password typed, on OK.
bool chiedi_password(QWidget* parent, QString* password, const QString& richiesta = QString());

} // namespace quad
