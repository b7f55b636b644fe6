#pragma once
// The progress bar of the batch commands on standard error: rows done out of
// the total and rows per second, redrawn in place at most ten times a second.
// Off when standard error is not a terminal, so logs and pipes get nothing.

#include <QElapsedTimer>
#include <QString>
#include <QTextStream>

class Progreso {
public:
    Progreso(QTextStream& errores, qsizetype total, bool activo);
    // One more row done.
    void avanzar();
    // A result line on `salida`, whole and at once: the bar is cleared first
    // and drawn again below the line, so it never lands inside one.
    void escribir(QTextStream& salida, const QString& linea);
    // Clears the bar so that what follows starts on a clean line.
    void terminar();

private:
    void dibujar();
    void borrar();

    QTextStream& errores_;
    qsizetype total_;
    qsizetype hechas_ = 0;
    bool activo_;
    QElapsedTimer reloj_;
    qint64 ultimoDibujo_ = -1;
};
