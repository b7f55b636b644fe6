#include "ArgumentoResumen.h"

#include "ConsultasParam.h"

#include <utility>

namespace {

bool caracterPermitido(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u' ';
}

bool campoSeguro(const QString& campo)
{
    for (QChar c : campo)
        if (!caracterPermitido(c))
            return false;
    return true;
}

bool esMensual(const QString& periodo)
{
    return mid(periodo, 5, 2) != QLatin1String("00");
}

} // namespace

ArgumentoResumen ArgumentoResumen::cortar(const QString& argumento)
{
    ArgumentoResumen a;
    a.tipoDoc = mid(argumento, 1, 2);
    a.numeroDoc = mid(argumento, 3, 15);
    a.formulario = mid(argumento, 18, 4);
    a.periodo = mid(argumento, 22, 6);
    a.campoEnvio = mid(argumento, 28, 1);
    a.codigoEnvio = mid(argumento, 29, 8);
    return a;
}

int ArgumentoResumen::tipoDocNumero() const
{
    return numeroInicial(tipoDoc);
}

QString ArgumentoResumen::periodoConsulta() const
{
    return esMensual(periodo) ? periodo : periodo.left(4);
}

QString ArgumentoResumen::periodoImpreso() const
{
    return esMensual(periodo) ? mid(periodo, 5, 2) + u'/' + periodo.left(4) : periodo.left(4);
}

QString ArgumentoResumen::campoNoValido() const
{
    const std::pair<const char*, const QString*> campos[] = {
        {"tipo de documento", &tipoDoc}, {"número de documento", &numeroDoc}, {"formulario", &formulario},
        {"periodo", &periodo},           {"campo de envío", &campoEnvio},   {"código de envío", &codigoEnvio},
    };
    for (const auto& [nombre, valor] : campos)
        if (!campoSeguro(*valor))
            return QString::fromUtf8(nombre);
    return {};
}
