#pragma once

#include <QObject>

class QWidget;

namespace quad {

class RegisterWidget;

/// The folders over the open register: the folder window, the filing of the entry shown into a
/// folder, and the list of the folders of the entry shown.
class FolderActions : public QObject
{
    Q_OBJECT
public:
    /// finestra: the window the folder windows open over.
    FolderActions(RegisterWidget& finestraRegistro, QWidget* finestra);

    /// The folder window (not while a new entry is typed).
    void apri_fascicoli();
    /// The filing of the entry shown into a folder.
    void apri_collega_fascicolo();
    /// The list of the current entry's folders.
    void cmd_tree_Click();

private:
    /// The archive in use read once before a folder window opens over it (a key changed at another
    /// station asked for); false, after telling why, when it cannot be read.
    bool chiave_provata();

    RegisterWidget& m_finestraRegistro;
    QWidget* m_finestra;
};

} // namespace quad
