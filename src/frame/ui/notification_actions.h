#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QTimer;

namespace quad {

class RegisterWidget;
class StatusArea;
struct WorkingState;

/// The notification between offices and the transfer file, over the open register: the timed look
/// for received notifications (Timer1, 65535 ms; Timer2 beside it, 1000 ms, has no action) and
/// their import, the forward of the entry shown to its competent office, the transfer file's
/// writer and reader, with their progress in the status line.
class NotificationActions : public QObject
{
    Q_OBJECT
public:
    /// importa imports one received notification file (importa_notifica's own work, or what
    /// stands in for it); stato the status line; popup_aperti tells whether a pop-up of the window
    /// is open; parent the window.
    NotificationActions(WorkingState& stato, RegisterWidget& finestraRegistro, StatusArea& stato_finestra,
                        std::function<bool(const QString& path, QString* perche)> importa,
                        std::function<bool()> popup_aperti, QObject* parent);

    /// The timers run while the register is open.
    void avvia();
    void ferma();

    /// The timed look for received notifications: each is offered to the clerk and imported. It
    /// passes its turn while the clerk is asked something (a box, a dialog, a file choice or a
    /// pop-up is open): an import moves the register beneath it.
    void Timer1_Timer();
    /// picOpenWWW(1): on a "Server" station, forwards the undelivered rows of the competent
    /// office of the entry on screen, then saves the entry and moves to the last row.
    void inoltra_ufficio_competente();
    /// modo 1: the notification file of ufficio's rows; modo 0: the transfer file of the rows
    /// selected in the grid (ufficio only shows in the question); other values do nothing.
    void esporta_notifica(int modo, const QString& ufficio);
    /// Imports a received notification file: true when it went in (or another station took it
    /// meanwhile), false with the reason in *perche when it did not.
    bool importa_notifica(const QString& path, QString* perche);
    /// Reads a transfer file (named relative to the program folder) into the archive; true when
    /// it went in.
    bool importa_file_trasferimento(const QString& nome);

private:
    /// A box, a dialog, a file choice or a pop-up of the program is open.
    bool clerk_asked() const;
    /// The writer's progress in lbl_msg.
    void mostra_messaggio_stato(int modo, int n);

    WorkingState& state;
    RegisterWidget& m_finestraRegistro;
    StatusArea& m_stato;
    std::function<bool(const QString&, QString*)> m_importa;
    std::function<bool()> m_popupAperti;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    /// A look, an import or an export is under way: a tick does nothing meanwhile.
    bool m_inCorso = false;
    /// Notification files already told as unreadable.
    QStringList m_illeggibili;
};

} // namespace quad
