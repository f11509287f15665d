#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace quad {

/// True when a link names a picture: its last three characters, in any case, are BMP, ICO,
/// CUR, JPG, WMF, EMF or GIF (so neither "foto.jpeg" nor "foto.png" is one).
bool collegamento_immagine(const QString& link);

/// The existing file a link names: the path as given, or else found without regard to case
/// (a relative path from the program folder); "" when there is none.
QString file_collegamento(const QString& link);

/// Refreshes the preview Image1 from the link box's text: the picture stretched to the
/// preview's size when the link is a picture that exists and can be read; an empty preview
/// for a blank link, another kind of file, a missing file or a picture that cannot be read
/// (WMF and EMF among them).
void mostra_anteprima_collegamento(const QString& link, QLabel* Image1);

/// A double click on the preview: a blank link opens nothing; a link that is not a picture
/// empties the preview; a picture link opens the viewer modally over parent. Returns true when
/// the viewer was shown.
bool apri_anteprima_collegamento(QWidget* parent, const QString& link, QLabel* Image1);

} // namespace quad
