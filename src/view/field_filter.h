#pragma once

#include <QString>

namespace quad {

class SearchCaller;

/// Sets the one-field filter on the caller's register: the rows whose field campo matches
/// valore (a text field: begins with it; a number, a date, a yes/no: equals it). On success
/// the caller's button shows the pressed state and its total is written; the result is "".
/// Otherwise nothing changes and the result is the message to show: a value that does not fit
/// the field, a field the register lacks, or a filter the register refuses.
QString applica_filtro_campo(SearchCaller& caller, const QString& campo, const QString& valore);

/// Drops the caller's filter: pending changes of the current entry are dealt with first (false,
/// and nothing else done, when they stop it); then the register read again without the filter
/// (a read that fails drops the filter from the rows in memory), the last row current (when
/// ultimaRiga), the grid laid out again, the total written and the button released. A read that
/// met a key no longer opening the archive, with no key that does given, leaves the register as
/// it was, filter and button included (false). True when the filter was dropped.
bool rilascia_filtro(SearchCaller& caller, bool ultimaRiga = true);

/// The release without the check of pending changes, for a caller that has made it already.
bool togli_filtro(SearchCaller& caller, bool ultimaRiga);

} // namespace quad
