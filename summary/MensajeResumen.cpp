#include "MensajeResumen.h"

void avisaPasoFallido(const QString& que)
{
    escribeEnStderr(QStringLiteral("0834IMP"), que);
}

namespace mensajes0834imp {

QString errorTecnico(int numero, const QString& descripcion)
{
    return QStringLiteral("Error Técnico : (%1) %2").arg(numero).arg(descripcion);
}

QString errorEjecucion(int numero, const QString& descripcion)
{
    return QStringLiteral("Error %1\n%2").arg(numero).arg(descripcion);
}

QString argumentoNoValido(const QString& campo)
{
    return QStringLiteral("El argumento no es válido: el %1 contiene caracteres no permitidos. "
                          "Sólo se aceptan letras, dígitos y blancos.")
        .arg(campo);
}

} // namespace mensajes0834imp
