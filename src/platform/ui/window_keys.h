#pragma once

class QApplication;

namespace quad {

/// The keys as every window of the program takes them, set once for the whole application:
/// - a message box or dialog takes none of the repeats of a key that was held down before it
///   opened: a Return held on a button that asks a question does not answer it unseen. A new press
///   counts, and so do its repeats;
/// - Return (or Enter) on the focused button of a dialog presses that button, as Space does,
///   whatever the dialog's default button; a key held down presses it once. Return in a text box
///   keeps what the dialog makes of it.
void installWindowKeys(QApplication& app);

} // namespace quad
