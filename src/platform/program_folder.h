#pragma once

#include <QString>

namespace quad {

/// The program folder: the folder of the executable, without a trailing separator.
/// Tests point it at a temporary copy.
QString programFolder();
void setProgramFolder(const QString& folder);

/// The settings file of the program folder (an existing one found without regard to case).
QString iniPath();

/// Canonical names of the files the program creates.
inline const char* kArchiveFile = "Arch_quadernolo.mdb";
inline const char* kTemplateFile = "arch_base.mdb";
inline const char* kSettingsDbFile = "Quad_imposta.mdb";
inline const char* kIniFile = "imposta.ini";
inline const char* kLockFile = "emissione.txt";
inline const char* kCompactFile = "Temp.mdb";

/// The initial password of the shipped archive template.
inline const char* kTemplatePassword = "quadernolo";

/// The last register number: an archive keeps entry numbers (Progressivo, and Quadernolo of the
/// correspondents) as Long values, from 1 to kLastNumber, and the other offices' readers of
/// forwarded entries take no other.
inline constexpr qint64 kLastNumber = 2147483647;

/// Resolves a data folder as the program stores it ("" or a relative "SUB_x" resolved against the
/// program folder, an absolute path as it is) to an absolute path, finding existing folders
/// without regard to case.
QString resolveDataFolder(const QString& folder);

/// The existing file name in folder matching name without regard to case, or folder/name.
QString fileInFolder(const QString& folder, const QString& name);

} // namespace quad
