// Spool markup as the preview and the printer read it, then paged both ways.
#include "FuzzInput.h"
#include "SpoolReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const SpoolDocument doc = readSpool(bytesOf(data, size));
    (void)doc.colorValue();
    const int last = doc.lastPage();
    // Pages are numbered by the file: only a sane range is paged, as the dialog allows.
    if (last < 1000) {
        (void)previewSurfaces(doc);
        (void)printSheets(doc, SpoolPageRange{1, last + 1});
    }
    return 0;
}
