#include "frm_password.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace quad {

frm_password::frm_password(QWidget* parent, const QString& richiesta)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_password"));
    setWindowTitle(QStringLiteral("Quadernolo - Inserimento password"));
    setModal(true);
    // A request of its own runs over three lines: the box and the button go down by two.
    const int sotto = richiesta.isEmpty() ? 0 : 40;
    setFixedSize(330, 110 + sotto);

    Label1 = new QLabel(richiesta.isEmpty() ? QStringLiteral("Inserire la password di accesso ") : richiesta, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setGeometry(12, 10, 306, 20 + sotto);
    txt_password = new QLineEdit(this);
    txt_password->setObjectName(QStringLiteral("txt_password"));
    txt_password->setEchoMode(QLineEdit::Password);
    Label1->setBuddy(txt_password); // a screen reader announces the box by the request above it
    txt_password->setGeometry(12, 36 + sotto, 306, 24);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(238, 72 + sotto, 80, 28);
    OKButton->setDefault(true);

    connect(OKButton, &QPushButton::clicked, this, &frm_password::OKButton_Click);
    // Enter in the box does what the button does.
    connect(txt_password, &QLineEdit::returnPressed, this, &frm_password::OKButton_Click);
}

void frm_password::OKButton_Click()
{
    m_password = txt_password->text();
    accept();
}

void frm_password::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QTimer::singleShot(0, txt_password, [this] { txt_password->setFocus(); });
}

bool chiedi_password(QWidget* parent, QString* password, const QString& richiesta)
{
    frm_password dialog(parent, richiesta);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *password = dialog.password();
    return true;
}

} // namespace quad
