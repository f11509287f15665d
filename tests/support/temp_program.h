#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace quad::test {

/// A temporary copy of the program folder the build lays out (template archive and settings
/// database), made the program folder for its lifetime.
class TempProgram
{
public:
    /// withArchive: also creates the live archive from the template (password "quadernolo").
    explicit TempProgram(bool withArchive = true);
    ~TempProgram();

    QString path() const;
    QString file(const QString& name) const;
    QString archive() const { return file(QStringLiteral("Arch_quadernolo.mdb")); }
    /// Writes a settings file with the given content (CR LF line ends added).
    void writeIni(const QString& content) const;
    QString readFile(const QString& name) const;
    /// Makes a historical archive folder SUB_<name> holding a copy of the template.
    QString addHistorical(const QString& folderName) const;

private:
    QTemporaryDir m_dir;
};

/// The password the shipped template is keyed with.
inline const char* kPassword = "quadernolo";

} // namespace quad::test
