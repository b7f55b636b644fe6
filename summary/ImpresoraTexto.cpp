#include "ImpresoraTexto.h"

#include "ConsultasParam.h"
#include "FormatoSpool.h"
#include "EscritorSpool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

const QString kPaginaNueva = QString(QChar(15));

// Run-time error numbers the suite's messages carry, with their texts.
constexpr int kErrArchivoAcceso = 75;
constexpr int kErrRutaNoEncontrada = 76;
const QString kTextoArchivoAcceso = QStringLiteral("Path/File access error");
const QString kTextoRutaNoEncontrada = QStringLiteral("Path not found");

// Only blanks count, as the suite trims.
bool enBlanco(QStringView linea)
{
    for (QChar c : linea)
        if (c != u' ')
            return false;
    return true;
}

// The value of an opening tag: from its end up to the closing tag (or to the
// end of the line when there is none).
QStringView valorEtiqueta(QStringView resto, QStringView cierre)
{
    const qsizetype fin = resto.indexOf(cierre);
    return fin < 0 ? resto : resto.left(fin);
}

// The lines of a file written with CR LF; a lone LF also ends a line.
QStringList lineasDe(const QByteArray& bytes)
{
    QStringList lineas = FormatoSpool::decodifica(bytes).split(u'\n');
    if (!lineas.isEmpty() && lineas.last().isEmpty())
        lineas.removeLast();
    for (QString& l : lineas)
        if (l.endsWith(u'\r'))
            l.chop(1);
    return lineas;
}

} // namespace

void ImpresoraTexto::imprime(EscritorSpool& salida, QStringView linea)
{
    if (estado_.nuevaPagina) {
        salida.ImprimeLinea(kPaginaNueva);
        estado_.nuevaPagina = false;
    }
    if (enBlanco(linea))
        salida.ImprimeLinea(u" ");
    else
        salida.ImprimeLinea(linea);
}

void ImpresoraTexto::aplicaEtiqueta(QStringView linea)
{
    const qsizetype inicio = linea.indexOf(u"<!");
    if (inicio < 0)
        return;
    const qsizetype cierre = linea.indexOf(u"!>", inicio + 2);
    const qsizetype finEtiqueta = cierre < 0 ? linea.size() : cierre + 2;
    const QStringView etiqueta = linea.mid(inicio, finEtiqueta - inicio);
    const QStringView resto = linea.mid(finEtiqueta);

    if (etiqueta == u"<!font!>") {
        estado_.fuente = valorEtiqueta(resto, u"<!/font!>").toString();
    } else if (etiqueta == u"<!fontsize!>") {
        const int tamano = numeroInicial(valorEtiqueta(resto, u"<!/fontsize!>").toString());
        if (tamano > 0)
            estado_.tamano = tamano;
    } else if (etiqueta == u"<!bold!>" || etiqueta == u"<!/bold!>") {
        estado_.negrita = etiqueta == u"<!bold!>";
    } else if (etiqueta == u"<!underline!>" || etiqueta == u"<!/underline!>") {
        estado_.subrayado = etiqueta == u"<!underline!>";
    } else if (etiqueta == u"<!italic!>" || etiqueta == u"<!/italic!>") {
        estado_.cursiva = etiqueta == u"<!italic!>";
    } else if (etiqueta == u"<!np!>") {
        estado_.nuevaPagina = true;
    }
}

QString ImpresoraTexto::archivoTexto(const QString& carpeta, const QString& nombre)
{
    const qsizetype punto = nombre.indexOf(u'.');
    return carpeta + u'/' + (punto < 0 ? nombre : nombre.left(punto)) + QStringLiteral(".txt");
}

ImpresoraTexto::Conversion ImpresoraTexto::convierte(const QString& carpeta, const QString& nombre,
                                                     const QString& destino, const SalidaMensajes& mensajes)
{
    using namespace mensajes0834imp;
    estado_ = Estado{};
    Conversion resultado;

    if (destino == QLatin1String("PRINTER")) {
        // This program prints only to files: no printer is ever selected.
        mensajes({MensajeResumen::Icono::Critico, kTituloImpresion, kSinImpresora});
        return resultado;
    }

    // The input is checked before the output is opened, so a missing report
    // never empties the text of an earlier run.
    const QString entrada = carpeta + u'/' + nombre;
    if (!QFileInfo(entrada).isFile()) {
        mensajes({MensajeResumen::Icono::Critico, kTituloErrorImprimir, kArchivoNoExiste});
        return resultado;
    }
    QFile archivoEntrada(entrada);
    if (!archivoEntrada.open(QIODevice::ReadOnly)) {
        mensajes({MensajeResumen::Icono::Critico, kTituloImpresion,
                  errorTecnico(kErrArchivoAcceso, kTextoArchivoAcceso)});
        return resultado;
    }
    const QStringList lineas = lineasDe(archivoEntrada.readAll());
    archivoEntrada.close();

    resultado.salida = archivoTexto(carpeta, nombre);
    EscritorSpool salida;
    if (!salida.open(resultado.salida)) {
        const bool sinCarpeta = !QFileInfo(resultado.salida).absoluteDir().exists();
        mensajes({MensajeResumen::Icono::Critico, kTituloImpresion,
                  sinCarpeta ? errorTecnico(kErrRutaNoEncontrada, kTextoRutaNoEncontrada)
                             : errorTecnico(kErrArchivoAcceso, salida.error())});
        return resultado;
    }
    for (const QString& linea : lineas) {
        if (linea.contains(u"<!"))
            aplicaEtiqueta(linea);
        else
            imprime(salida, linea);
    }
    if (!salida.close()) {
        mensajes({MensajeResumen::Icono::Critico, kTituloImpresion, errorTecnico(kErrArchivoAcceso, salida.error())});
        return resultado;
    }
    resultado.exito = true;
    return resultado;
}
