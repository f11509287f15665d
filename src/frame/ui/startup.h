#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace quad {

struct WorkingState;

/// The program's start: the settings read into the session's state, the login against the live
/// archive (three attempts; a password change cut short is finished or undone first, and the live
/// archive is made from the template when it is missing) and the historical archives collected.
class StartupLogin
{
public:
    /// finestra: the window the login dialog and the messages open over; termina ends the program.
    StartupLogin(WorkingState& stato, QWidget* finestra, std::function<void()> termina);

    /// The settings, then the login: false when it failed and the program was ended.
    bool accedi();
    /// Lists the SUB_ folders of the program folder into p_sub_use / p_sub_dir.
    void raccogli_archivi_storici();

private:
    /// Copies the template to the live archive when that is missing. False, with the cause in
    /// *why, when the copy could not be made (nothing of it is left).
    bool percorso_arch_base(QString* why);
    /// True when the live archive opens with p_password. False otherwise; when the live archive
    /// could not even be made from the template, *why says so and why (the password has no part).
    bool prova_apertura_archivio(QString* why);
    /// Shows the login dialog once; p_password changes only on OK.
    void mostra_login();

    WorkingState& state;
    QWidget* m_finestra;
    std::function<void()> m_termina;
};

} // namespace quad
