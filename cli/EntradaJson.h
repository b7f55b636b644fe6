#pragma once
// Reading the JSON object a subcommand gets on stdin, with messages for the
// user instead of exceptions.

#include <QJsonObject>
#include <QString>
#include <optional>

class QIODevice;

namespace entrada {

// The whole input as one JSON object; on failure *error says why.
std::optional<QJsonObject> leerObjeto(QIODevice& dispositivo, QString* error);

// An optional text member: absent gives `porDefecto`; present but not a
// string sets *error.
QString texto(const QJsonObject& objeto, const QString& clave, const QString& porDefecto, QString* error);

// True when s is made of ASCII digits only (the empty text included).
bool soloDigitos(const QString& s);

} // namespace entrada
