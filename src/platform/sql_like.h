#pragma once

#include <QString>
#include <QStringView>

struct sqlite3;

namespace quad {

/// Matches text against a LIKE pattern without regard to case (simple Unicode case folding),
/// keeping accents apart ("è" is not "e"). '%' matches any run of characters, '_' any one
/// character; a character after the escape character (when escape is not null) is literal.
bool sqlLikeMatch(QStringView pattern, QStringView text, QChar escape = QChar());

/// Replaces SQL's LIKE on a connection with sqlLikeMatch, in its two- and three-argument forms.
void registerSqlLike(sqlite3* db);

/// Escapes '%', '_' and the escape character '\' of text typed by the user so that it matches
/// itself in a LIKE pattern written with "ESCAPE '\'".
QString escapeLikeText(const QString& text);

/// The text as an SQL or criteria literal: between single quotes, an inner quote doubled.
/// The one routine that every criteria and look-up text is built with.
QString quoteText(const QString& text);

/// A table's or column's name as an SQL identifier: between double quotes, an inner one doubled.
QString quoteName(const QString& name);

} // namespace quad
