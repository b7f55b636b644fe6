// 0834IMP's one argument: cut by columns, checked, and every derived text.
#include "ArgumentoResumen.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ArgumentoResumen arg = ArgumentoResumen::cortar(textoDe(data, size));
    (void)arg.campoNoValido();
    (void)arg.tipoDocNumero();
    (void)arg.numeroDocRecortado();
    (void)arg.periodoConsulta();
    (void)arg.periodoImpreso();
    (void)arg.nombreBase();
    return 0;
}
