#pragma once
// Reading the JSON object a subcommand gets on stdin, with messages for the
// user instead of exceptions.

#include "Declaracion834.h"
#include "Dinero.h"

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

class QIODevice;

namespace entrada {

// A declaration is a few kilobytes: more input than this is refused unread.
inline constexpr qint64 kEntradaMaxima = 16 << 20;

// The whole input as one JSON object; on failure *error says why.
std::optional<QJsonObject> leerObjeto(QIODevice& dispositivo, QString* error);

// An optional text member: absent gives `porDefecto`; present but not a
// string, or not valid text (a lone UTF-16 surrogate, a control character
// U+0000 to U+001F or U+007F), sets *error naming the member.
QString texto(const QJsonObject& objeto, const QString& clave, const QString& porDefecto, QString* error);

// True when s is made of ASCII digits only (the empty text included).
bool soloDigitos(const QString& s);

// Bad input (arguments, JSON, a member or a box the form would not take) ends
// with status 2; a database that cannot be read ends with the general 1.
inline constexpr int kEntradaMala = 2;

// Messages stay on one line whatever the input held.
QString unaLinea(QString mensaje);

// A subcommand's failure: "f0834 NAME: message" on one line of stderr; the
// call gives back the exit status, bad input unless told otherwise.
class Fallo {
public:
    Fallo(QTextStream& errores, const char* subcomando) : errores_(errores), subcomando_(subcomando) {}
    int operator()(const QString& mensaje, int codigo = kEntradaMala) const
    {
        errores_ << "f0834 " << subcomando_ << ": " << unaLinea(mensaje) << '\n';
        return codigo;
    }

private:
    QTextStream& errores_;
    const char* subcomando_;
};

// The boxes of a declaration as compute reads them.
struct Pedido {
    QString ejercicio;
    QString ajuste;              // "" = the option is not clicked ("Si" stays selected)
    Dinero uit;
    QString factorIpm;
    QMap<int, QString> casillas;
    std::optional<Detalle105> deducciones;
};

// Reads the members of compute (plus `otrasClaves`, which the caller reads
// itself); any other member is refused. UIT and factor come from the input
// only without --ini.
std::optional<Pedido> leerPedido(const QJsonObject& o, bool conIni, const QStringList& otrasClaves, QString* error);

// What a box would take from the keyboard; empty when the text is fine.
QString revisarCasilla(int numero, const QString& valor);

// Types the boxes into the model as a user at the window would: box-list
// order, each box focused, typed key by key and left; the deductions
// assistant hands back its total when the order reaches box 105. Returns
// the boxes that were locked or disabled when their turn came.
QList<int> teclearDeclaracion(const Pedido& p, Declaracion834& d);

} // namespace entrada
