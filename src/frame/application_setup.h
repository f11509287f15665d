#pragma once

class QCoreApplication;

namespace quad {

/// Makes Qt read the Italian locale from the environment, whatever the environment says: the
/// system locale (what Qt's own dialogs use for dates and sizes) is then Italian. Call it before
/// the application object is made. The C library keeps the environment's own locale when the
/// Italian one is not installed.
void prepareItalianEnvironment();

/// Sets up the application object: the program's name, Italian as the default locale, and Qt's
/// own texts in Italian ("Sì", "Annulla") when their translation is installed.
void setUpApplication(QCoreApplication& app);

} // namespace quad
