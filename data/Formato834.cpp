#include "Formato834.h"

namespace formato834 {

namespace {

QString agrupar(std::int64_t entero)
{
    const bool negativo = entero < 0;
    const QString digitos = QString::number(negativo ? -entero : entero);
    QString s;
    s.reserve(digitos.size() + digitos.size() / 3 + 1);
    for (qsizetype i = 0; i < digitos.size(); ++i) {
        if (i > 0 && (digitos.size() - i) % 3 == 0)
            s += u',';
        s += digitos[i];
    }
    return negativo ? u'-' + s : s;
}

} // namespace

Dinero leer(const QString& texto)
{
    QString t = texto.trimmed();
    if (t.isEmpty())
        return Dinero();
    bool negativo = false;
    if (t.size() >= 2 && t.front() == u'(' && t.back() == u')') {
        negativo = true;
        t = t.mid(1, t.size() - 2).trimmed();
    }
    t.remove(u',');
    const std::optional<Dinero> m = Dinero::analiza(t);
    if (!m)
        return Dinero();
    const Dinero entero = m->redondeado();
    return negativo ? -entero : entero;
}

bool vacio(const QString& texto)
{
    return texto.trimmed().isEmpty();
}

QString miles(Dinero valor)
{
    return agrupar(valor.enteroRedondeado());
}

QString plano(Dinero valor)
{
    return QString::number(valor.enteroRedondeado());
}

QString milesNegativoEntreParentesis(Dinero valor)
{
    const std::int64_t entero = valor.enteroRedondeado();
    if (entero < 0)
        return u'(' + agrupar(-entero) + u')';
    return agrupar(entero);
}

QString entreParentesis(Dinero valor)
{
    const std::int64_t entero = valor.enteroRedondeado();
    return u'(' + agrupar(entero < 0 ? -entero : entero) + u')';
}

QString textoFactor(Dinero factor)
{
    QString s = factor.toString(4);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    return s.isEmpty() || s == QStringLiteral("-") ? QStringLiteral("0") : s;
}

Dinero leerFactor(const QString& texto)
{
    return Dinero::analiza(texto.trimmed()).value_or(Dinero());
}

} // namespace formato834
