#include "frm_password.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace quad {

frm_password::frm_password(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_password"));
    setWindowTitle(QStringLiteral("Quadernolo - Inserimento password"));
    setModal(true);
    setFixedSize(330, 110);

    Label1 = new QLabel(QStringLiteral("Inserire la password di accesso "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(12, 10, 306, 20);
    txt_password = new QLineEdit(this);
    txt_password->setObjectName(QStringLiteral("txt_password"));
    txt_password->setEchoMode(QLineEdit::Password);
    Label1->setBuddy(txt_password); // a screen reader announces the box by the request above it
    txt_password->setGeometry(12, 36, 306, 24);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(238, 72, 80, 28);
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

bool chiedi_password(QWidget* parent, QString* password)
{
    frm_password dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *password = dialog.password();
    return true;
}

} // namespace quad
