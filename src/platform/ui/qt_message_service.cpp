#include "qt_message_service.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>

namespace quad {

namespace {

/// The window that owned the last box.
QPointer<QWidget>& ultimoProprietario()
{
    static QPointer<QWidget> window;
    return window;
}

QWidget* owner()
{
    QWidget* w = QApplication::activeModalWidget();
    if (!w)
        w = QApplication::activeWindow();
    // A box shown right after another, before its window has the activation back, belongs to the
    // same window.
    if (!w && ultimoProprietario() && ultimoProprietario()->isVisible())
        w = ultimoProprietario();
    return w;
}

/// The window a box is shown over, given the activation back when the box closes: the clerk
/// goes on typing where the program puts the focus, whether or not a window manager hands the
/// activation back by itself.
class Proprietario
{
public:
    Proprietario()
        : m_window(owner())
    {
        if (m_window)
            ultimoProprietario() = m_window;
    }
    ~Proprietario()
    {
        if (m_window && m_window->isVisible())
            m_window->activateWindow();
    }
    QWidget* get() const { return m_window; }

private:
    QPointer<QWidget> m_window;
};

} // namespace

MsgAnswer QtMessageService::showMessage(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons)
{
    const Proprietario proprietario;
    QMessageBox box(proprietario.get());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::None:
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgButtons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Retry:
        return MsgAnswer::Retry;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    default:
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
}

bool QtMessageService::askText(const QString& prompt, const QString& title, const QString& initial, QString* result)
{
    bool ok = false;
    const Proprietario proprietario;
    const QString text = QInputDialog::getText(proprietario.get(), title, prompt, QLineEdit::Normal, initial, &ok);
    if (ok && result)
        *result = text;
    return ok;
}

QString QtMessageService::chooseFile(const QString& title, const QString& folder, const QString& filter)
{
    const Proprietario proprietario;
    return QFileDialog::getOpenFileName(proprietario.get(), title, folder, filter);
}

QString QtMessageService::chooseFolder(const QString& title, const QString& start)
{
    const Proprietario proprietario;
    return QFileDialog::getExistingDirectory(proprietario.get(), title, start);
}

} // namespace quad
