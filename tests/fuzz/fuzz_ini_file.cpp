// KV000.INI's bytes: every key the programs read, then a SystemDB write and
// the value read back from what was written.
#include "FuzzInput.h"
#include "ArchivoIni.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = bytesDe(data, size);
    const QString section = QStringLiteral("Options");
    for (const char* key : {"SysPath", "SysVersion", "DBPath", "DBName", "SysMenu", "SysUser"})
        (void)ArchivoIni::valorEn(bytes, section, QLatin1String(key));
    const QString value = QStringLiteral("/suite/KV000.MDW");
    const QByteArray written = ArchivoIni::conValorPuesto(bytes, section, QStringLiteral("SystemDB"), value);
    // A write changes one line: the value is there to read afterwards.
    if (ArchivoIni::valorEn(written, section, QStringLiteral("SystemDB")) != value)
        std::abort();
    return 0;
}
