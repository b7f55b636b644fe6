#pragma once
// A suite folder that was moved or renamed: its KV000.INI, and the user's copy
// of it, still name the old folder. Taking the folder again rewrites them.

#include <QByteArray>
#include <QString>

namespace qvrhost {

// Reads `folder`/KV000.INI and, when its SysPath names another folder, sets
// SysPath to `folder` (absolute, with its trailing '/') and DBPath likewise
// when the database lies in that folder (at the same place relative to the
// suite folder as before); the file is written whole. `bytes` gets the text
// the file now holds. Returns the error text, empty on success.
QString reubicaIniSuite(const QString& folder, QByteArray* bytes);

// The moved suite in `folder` becomes the one `userIni` names again: the
// suite's own KV000.INI as reubicaIniSuite leaves it, then SysPath, DBPath
// and DBName of `userIni` set to the suite's (its other keys, SysUser among
// them, stay); a `userIni` that cannot be read is replaced by a copy of the
// suite's. Each file is written whole. Returns the error text, empty on success.
QString adoptaSuiteMovida(const QString& folder, const QString& userIni);

// Writes `bytes` to `path` whole or not at all, making its folder when missing.
QString escribeCompleto(const QString& path, const QByteArray& bytes);

} // namespace qvrhost
