#include "subject_correction.h"

namespace quad {

DbResult salva_oggetto(Connection& archive, qint64 numero, int campo, const QString& valore)
{
    if (campo != CampoOggetto)
        return DbResult::success();
    return archive.exec(QStringLiteral("UPDATE entrata SET Oggetto = ? WHERE Progressivo = ?"), {valore, numero});
}

} // namespace quad
