#pragma once
// What 0834IMP tells the user. The logic only describes a message; the
// program shows it in a box when there is a display and always writes it to
// stderr.

#include "MensajeUsuario.h"

#include <QString>

using MensajeResumen = MensajeUsuario;

// A report step that failed and was skipped: "0834IMP: what" on stderr. No
// box: the run goes on with its next step.
void avisaPasoFallido(const QString& que);

namespace mensajes0834imp {
inline const QString kTituloAplicacion = QStringLiteral("Telvarion");
inline const QString kYaEnEjecucion = QStringLiteral("La aplicación ya se encuentra en Ejecución");
inline const QString kTituloErrorImprimir = QStringLiteral("Error al Imprimir");
inline const QString kArchivoNoExiste = QStringLiteral("Archivo Físico del Reporte no Existe");
inline const QString kTituloImpresion = QStringLiteral("Impresión");
inline const QString kSinImpresora = QStringLiteral("No existe una impresora seleccionada.Verifique.");
inline const QString kTituloErrorEjecucion = QStringLiteral("Error de Ejecución");

// "Error Técnico : (76) Path not found"
QString errorTecnico(int numero, const QString& descripcion);
// "Error 76", a line break, the description.
QString errorEjecucion(int numero, const QString& descripcion);
// The refusal of an argument field that cannot stand in a file name.
QString argumentoNoValido(const QString& campo);
} // namespace mensajes0834imp
