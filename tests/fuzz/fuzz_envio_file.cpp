// Alt834's data file: whatever the bytes, either rows or one error with a line.
#include "ArchivoEnvio.h"
#include "FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ArchivoEnvio f = analizaTextoEnvio(bytesDe(data, size), QStringLiteral("env834.txt"));
    if (f.error && (f.error->line < 1 || f.rows.size() >= f.error->line))
        std::abort();
    return 0;
}
