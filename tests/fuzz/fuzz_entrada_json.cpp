// f0834's standard input: read as validate and save read it and, when it is
// accepted, typed into the model with the whole calculation cascade. An
// amount too large for the money type is refused (DineroDesbordado), as f0834 does.
#include "DeclaracionJson.h"
#include "EntradaJson.h"
#include "FuzzInput.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes = bytesDe(data, size);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QString error;
    const std::optional<declaracionjson::Solicitud> s = declaracionjson::leer(buffer, false, &error);
    if (!s)
        return 0;
    try {
        Declaracion834 d;
        d.aplicarEjercicio(s->pedido.ejercicio, s->pedido.uit, s->pedido.factorIpm);
        (void)entrada::teclearDeclaracion(s->pedido, d);
    } catch (const DineroDesbordado&) {
    }
    return 0;
}
