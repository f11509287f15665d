#pragma once

#include "profile_file.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace quad {

/// Value of key in section of the settings file ini_file; the default when the file, section
/// or key is missing; "" for a key present with an empty value.
QString leggi_ini(const QString& ini_file, const QString& section, const QString& key, const QString& def);
/// Writes one key, creating file and section when missing. Non-zero on success; 0 when the file
/// could not be written (it is then left as it was), with the cause in *error.
long scrivi_ini(const QString& ini_file, const QString& section, const QString& key, const QString& value,
                QString* error = nullptr);
/// Writes several keys in one replacement of the file: all of them, or on failure none.
long scrivi_ini(const QString& ini_file, const QList<ProfileValue>& values, QString* error = nullptr);
/// Splits a ";"-joined list as the settings keep it: "" gives no element, a trailing ";" gives an
/// empty last element.
QStringList dividi_elenco(const QString& text);
/// The path with a trailing separator ("/" for an empty path); unchanged when it has one.
QString aggiungi_barra(const QString& path);
/// True when path names an ordinary, visible file, or a wildcard pattern matches at least one.
/// A folder counts as missing; errors give false.
bool file_esiste(const QString& path);
/// Opens a document with the opener in place (the program the desktop associates with it, once the
/// program has put the desktop's opener in place); returns a value above 32 on success, as the
/// shell call did, and reports nothing. Without an opener nothing opens (a value of 32 or less).
long apri_documento(const QString& file, const QString& verb = QStringLiteral("open"));
/// Puts the document opener in place: the desktop's (openWithDesktop, in the window library) in
/// the program; tests record the files instead of launching programs. Null: none.
void setDocumentOpener(std::function<bool(const QString&)> opener);

} // namespace quad
