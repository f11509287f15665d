#pragma once

class QApplication;

namespace quad {

/// Runs the program in app, made and set up by the caller: the main window with its login, then the
/// event loop. Returns the exit code: 0 when the login failed and the program ended there.
int esegui_programma(QApplication& app);

} // namespace quad
