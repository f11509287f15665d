#pragma once

#include <QString>
#include <QStringList>

namespace quad {

/// Finds an existing entry of folder whose name equals name without regard to case.
/// An exact match wins; otherwise the first case-insensitive match in name order.
/// Returns the full path, or a null string when nothing matches.
QString findEntryNoCase(const QString& folder, const QString& name);

/// Resolves a relative path one component at a time without regard to case, starting from
/// base. Components that do not exist keep the spelling given. An absolute path is resolved
/// from the root in the same way.
QString resolveNoCase(const QString& base, const QString& relative);

/// Sub-folders of folder whose names begin with prefix (any case), in name order.
QStringList subFoldersWithPrefix(const QString& folder, const QString& prefix);

} // namespace quad
