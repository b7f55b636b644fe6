#pragma once
// The text printer of 0834IMP: renders report lines one by one and converts
// a report file into a plain ".txt" file. Lines holding "<!" are tags that
// change the printer's settings and are not printed themselves.

#include "MensajeResumen.h"

#include <QString>
#include <QStringView>

class EscritorSpool;

class ImpresoraTexto {
public:
    struct Estado {
        QString fuente = QStringLiteral("Courier New");
        int tamano = 8;
        bool negrita = false;
        bool subrayado = false;
        bool cursiva = false;
        bool nuevaPagina = false;   // a page break waits for the next printed line
    };

    const Estado& estado() const { return estado_; }

    // The line rule: a pending page break first (in a file, a line holding
    // the single character 15); then a line blank after trimming as one
    // blank, any other line unchanged.
    void imprime(EscritorSpool& salida, QStringView linea);

    // Acts on the tag that starts at the line's first "<!"; unknown tags are
    // ignored.
    void aplicaEtiqueta(QStringView linea);

    struct Conversion {
        bool exito = false;
        QString salida;   // the ".txt" written
    };

    // Converts folder + "/" + nombre into folder + "/" + (nombre up to its
    // first ".") + ".txt". Only the file destination exists here: the
    // destination "PRINTER" is answered with the no-printer message. A
    // missing input shows its message and answers failure, leaving any
    // earlier ".txt" untouched.
    Conversion convierte(const QString& carpeta, const QString& nombre, const QString& destino,
                         const SalidaMensajes& mensajes);

    // Where the conversion of nombre writes.
    static QString archivoTexto(const QString& carpeta, const QString& nombre);

private:
    Estado estado_;
};
