#include "file_replace.h"

#include <QDir>
#include <QSaveFile>

namespace quad {

namespace {

std::function<bool(const QString&)>& writeFault()
{
    static std::function<bool(const QString&)> fails;
    return fails;
}

} // namespace

bool replaceFile(const QString& path, const QByteArray& bytes, QString* error)
{
    auto fail = [&](const QString& cause) {
        if (error)
            *error = QStringLiteral("Impossibile scrivere il file %1: %2").arg(QDir::toNativeSeparators(path), cause);
        return false;
    };
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return fail(out.errorString());
    qint64 toWrite = bytes.size();
    const bool full = writeFault() && writeFault()(path);
    if (full)
        toWrite /= 2;
    if (out.write(bytes.constData(), toWrite) != toWrite || full) {
        const QString cause = full ? QStringLiteral("spazio su disco insufficiente.") : out.errorString();
        out.cancelWriting();
        return fail(cause);
    }
    if (!out.commit())
        return fail(out.errorString());
    return true;
}

void setFileWriteFaultForTests(std::function<bool(const QString&)> fails)
{
    writeFault() = std::move(fails);
}

} // namespace quad
