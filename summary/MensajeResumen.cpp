#include "MensajeResumen.h"

#include <cstdio>

void escribeEnStderr(const MensajeResumen& mensaje)
{
    const QByteArray linea = (mensaje.titulo + QStringLiteral(": ") + mensaje.texto + u'\n').toUtf8();
    std::fwrite(linea.constData(), 1, static_cast<size_t>(linea.size()), stderr);
    std::fflush(stderr);
}

void avisaPasoFallido(const QString& que)
{
    const QByteArray linea = (QStringLiteral("0834IMP: ") + que + u'\n').toUtf8();
    std::fwrite(linea.constData(), 1, static_cast<size_t>(linea.size()), stderr);
    std::fflush(stderr);
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
