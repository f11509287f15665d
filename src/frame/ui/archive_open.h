#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QWidget;

namespace quad {

class Connection;
class RegisterWidget;
struct WorkingState;

/// The opening of the register from the start menu: the data folder chosen (the live archive's, or
/// a historical archive's), its archive found again when it is missing, the key that opens it, and
/// the register's window opened over it; and, while it is open, the password of the archive in
/// use asked again when the key it was opened with no longer opens it.
class ArchiveOpening : public QObject
{
    Q_OBJECT
public:
    /// finestra: the window the dialogs open over.
    ArchiveOpening(WorkingState& stato, RegisterWidget& finestraRegistro, QWidget* finestra);

    /// Chooses the data folder, checks its archive, finds its key and opens the register (nothing
    /// shown yet). False when it did not open: the folder in use is as it was (none, when the
    /// clerk chose none) and nothing is left open.
    bool apri();

private:
    /// True when the archive of p_path_cartella (the program folder when empty) exists or the
    /// clerk located it.
    bool verifica_archivio();
    bool scegli_cartella_archivio();
    /// The archive file of a data folder as stored in p_path_cartella.
    QString percorso_archivio(const QString& cartella) const;
    /// The key that opens archive: p_password, or for an archive keyed otherwise the password
    /// the clerk types for it (asked again while it does not open), with the program's connection
    /// it opened in *aperta. Only a password that opens the live archive becomes the session's.
    /// False when the clerk closed the dialog.
    bool chiave_archivio(const QString& archivio, QString* chiave, std::shared_ptr<Connection>* aperta);
    /// The password of the archive in use asked while the register is open, when the key it was
    /// opened with no longer opens it (changed at another station, as the request says): a
    /// password that does not open it is refused with a message and asked again, until one opens
    /// it, which the register reads and writes it with from now on (true); it becomes the session's
    /// p_password too when the archive was opened with that. False when the clerk closed the dialog or the archive
    /// could not be read (the clerk was told): nothing changed.
    bool chiave_archivio_in_uso();
    /// Puts back what a failed opening had started.
    void annulla_apertura(const QString& cartellaPrecedente);

    WorkingState& state;
    RegisterWidget& m_finestraRegistro;
    QWidget* m_finestra;
};

} // namespace quad
