#include "Progreso.h"

namespace {
constexpr int kAncho = 30;          // characters of the bar itself
constexpr qint64 kIntervaloMs = 100;
}

Progreso::Progreso(QTextStream& errores, qsizetype total, bool activo)
    : errores_(errores), total_(total), activo_(activo && total > 0)
{
    reloj_.start();
}

void Progreso::avanzar()
{
    ++hechas_;
    if (!activo_)
        return;
    const qint64 ahora = reloj_.elapsed();
    if (hechas_ == total_ || ultimoDibujo_ < 0 || ahora - ultimoDibujo_ >= kIntervaloMs) {
        ultimoDibujo_ = ahora;
        dibujar();
    }
}

void Progreso::dibujar()
{
    const int llenas = int(kAncho * hechas_ / total_);
    const double segundos = qMax<qint64>(reloj_.elapsed(), 1) / 1000.0;
    errores_ << '\r' << '[' << QString(llenas, u'#') << QString(kAncho - llenas, u' ') << "] " << hechas_ << '/'
             << total_ << "  " << QString::number(hechas_ / segundos, 'f', 1) << " rows/s";
    errores_.flush();
}

void Progreso::borrar()
{
    errores_ << '\r' << QString(kAncho + 48, u' ') << '\r';
    errores_.flush();
}

void Progreso::escribir(QTextStream& salida, const QString& linea)
{
    const bool visible = activo_ && ultimoDibujo_ >= 0;
    if (visible)
        borrar();
    salida << linea << '\n';
    salida.flush();
    if (visible)
        dibujar();
}

void Progreso::terminar()
{
    if (!activo_ || ultimoDibujo_ < 0)
        return;
    borrar();
}
