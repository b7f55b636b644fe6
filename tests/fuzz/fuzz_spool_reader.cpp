// Spool markup as the preview and the printer read it, then paged both ways.
#include "FuzzInput.h"
#include "LectorSpool.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const DocumentoSpool doc = leeSpool(bytesDe(data, size));
    (void)doc.valorColor();
    const int last = doc.ultimaPagina();
    // Pages are numbered by the file: only a sane range is paged, as the dialog allows.
    if (last < 1000) {
        (void)superficiesPrevia(doc);
        (void)hojasImpresion(doc, RangoPaginasSpool{1, last + 1});
    }
    return 0;
}
