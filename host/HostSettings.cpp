#include "HostSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Windows INI rules: section and key names without regard to case, values
// trimmed, the first occurrence of a key wins.
QString iniValue(const QString& text, const QString& section, const QString& key)
{
    bool inSection = false;
    for (const QString& raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            inSection = close > 0 && line.mid(1, close - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1).trimmed();
    }
    return {};
}

} // namespace

HostSettings HostSettings::read(const QString& iniPath)
{
    HostSettings s;
    s.iniPath = iniPath;
    QFile f(iniPath);
    if (!f.open(QIODevice::ReadOnly))
        return s;
    const QString text = QString::fromUtf8(f.readAll());
    const QString section = QStringLiteral("Options");
    s.sysPath = iniValue(text, section, QStringLiteral("SysPath"));
    s.dbFile = iniValue(text, section, QStringLiteral("DBPath")) + iniValue(text, section, QStringLiteral("DBName"));
    s.sysUser = iniValue(text, section, QStringLiteral("SysUser"));
    return s;
}

QString HostSettings::defaultIniPath()
{
    QString folder = qEnvironmentVariable("QVR_WINDIR");
    if (folder.isEmpty()) {
        folder = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (folder.isEmpty())
            folder = QDir::homePath() + QStringLiteral("/.config");
    }
    return QDir(folder).filePath(QStringLiteral("KV000.INI"));
}

QString HostSettings::windowsFolder() const
{
    return QFileInfo(iniPath).absolutePath();
}
