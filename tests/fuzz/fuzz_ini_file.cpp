// KV000.INI's bytes: every key the programs read, then a SystemDB write and
// the value read back from what was written.
#include "FuzzInput.h"
#include "IniFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = bytesOf(data, size);
    const QString section = QStringLiteral("Options");
    for (const char* key : {"SysPath", "SysVersion", "DBPath", "DBName", "SysMenu", "SysUser"})
        (void)IniFile::valueIn(bytes, section, QLatin1String(key));
    const QString value = QStringLiteral("/suite/KV000.MDW");
    const QByteArray written = IniFile::withValue(bytes, section, QStringLiteral("SystemDB"), value);
    // A write changes one line: the value is there to read afterwards.
    if (IniFile::valueIn(written, section, QStringLiteral("SystemDB")) != value)
        std::abort();
    return 0;
}
