#include "temp_program.h"

#include "program_folder.h"
#include "test_paths.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace quad::test {

TempProgram::TempProgram(bool withArchive)
{
    const QDir source(QStringLiteral(QUAD_TEST_PROGRAM_DIR));
    for (const char* name : {"arch_base.mdb", "Quad_imposta.mdb"}) {
        const bool ok = QFile::copy(source.filePath(name), file(name));
        EXPECT_TRUE(ok) << "cannot copy " << name;
    }
    if (withArchive)
        QFile::copy(file("arch_base.mdb"), archive());
    setProgramFolder(path());
}

TempProgram::~TempProgram()
{
    setProgramFolder(QString());
}

QString TempProgram::path() const
{
    return m_dir.path();
}

QString TempProgram::file(const QString& name) const
{
    return QDir(m_dir.path()).filePath(name);
}

void TempProgram::writeIni(const QString& content) const
{
    QFile f(file("imposta.ini"));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QString text = content;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    f.write(text.toUtf8());
}

QString TempProgram::readFile(const QString& name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

QString TempProgram::addHistorical(const QString& folderName) const
{
    QDir(path()).mkdir(folderName);
    const QString target = QDir(file(folderName)).filePath("Arch_quadernolo.mdb");
    QFile::copy(file("arch_base.mdb"), target);
    return target;
}

} // namespace quad::test
