#include "EntradaJson.h"

#include <QIODevice>
#include <QJsonDocument>
#include <QJsonParseError>

namespace entrada {

std::optional<QJsonObject> leerObjeto(QIODevice& dispositivo, QString* error)
{
    const QByteArray bytes = dispositivo.readAll();
    QJsonParseError problema{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &problema);
    if (problema.error != QJsonParseError::NoError) {
        *error = QStringLiteral("the input is not valid JSON (%1 at offset %2)")
                     .arg(problema.errorString())
                     .arg(problema.offset);
        return std::nullopt;
    }
    if (!doc.isObject()) {
        *error = QStringLiteral("the input must be one JSON object");
        return std::nullopt;
    }
    return doc.object();
}

QString texto(const QJsonObject& objeto, const QString& clave, const QString& porDefecto, QString* error)
{
    const auto it = objeto.constFind(clave);
    if (it == objeto.constEnd())
        return porDefecto;
    if (!it->isString()) {
        *error = QStringLiteral("\"%1\" must be a text").arg(clave);
        return porDefecto;
    }
    return it->toString();
}

bool soloDigitos(const QString& s)
{
    for (const QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace entrada
