#include "MensajeUsuario.h"

#include <cstdio>

void escribeEnStderr(const QString& titulo, const QString& texto)
{
    const QByteArray linea = (titulo + QStringLiteral(": ") + texto + u'\n').toUtf8();
    std::fwrite(linea.constData(), 1, static_cast<std::size_t>(linea.size()), stderr);
    std::fflush(stderr);
}

void escribeEnStderr(const MensajeUsuario& mensaje)
{
    escribeEnStderr(mensaje.titulo, mensaje.texto);
}
