#pragma once
// A sample suite and helpers to answer the modal windows a test opens.

#include "Suite.h"
#include "SuiteDePrueba.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QVariant>

#include <functional>
#include <gtest/gtest.h>

inline constexpr char kRucA[] = "20100123453";      // DISTRIBUIDORA ANDINA S.A.C.
inline constexpr char kRucB[] = "20501234568";      // INDUSTRIAS TEXTILES DEL SUR S.A.

// A suite with the host's sample rows (taxpayers, PARAM 004/044/404/960/975).
class SuiteDeMuestra : public SuiteDePrueba {
public:
    SuiteDeMuestra()
    {
        const QString error = qvrhost::insertaFilasMuestra(db());
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    }
    // Runs a statement with bound values.
    bool ejecuta(const QString& sql, const QVariantList& valores = {}) const
    {
        QSqlQuery q(db());
        q.prepare(sql);
        for (const QVariant& v : valores)
            q.addBindValue(v);
        const bool ok = q.exec();
        EXPECT_TRUE(ok) << sql.toStdString();
        return ok;
    }
    QVariant valor(const QString& sql, const QVariantList& valores = {}) const
    {
        QSqlQuery q(db());
        q.prepare(sql);
        for (const QVariant& v : valores)
            q.addBindValue(v);
        if (!q.exec() || !q.next())
            return {};
        return q.value(0);
    }
    void detalle(const QString& tabla, const QString& ruc, const QString& periodo, const QString& casilla,
                 const QString& valor, const QString& correl = {}) const
    {
        if (tabla == u"HDET")
            ejecuta(QStringLiteral("INSERT INTO HDET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Correl, Casilla, i_valor,"
                                   " idcasilla, estado, cNumero) VALUES (6, ?, ?, '0834', ?, ?, ?, '01', 0, '123456')"),
                    {ruc, periodo, correl, casilla, valor});
        else
            ejecuta(QStringLiteral("INSERT INTO DET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Casilla, i_valor,"
                                   " idcasilla, cNumero) VALUES (6, ?, ?, '0834', ?, ?, '01', '123456')"),
                    {ruc, periodo, casilla, valor});
    }
};

// Runs `accion` on the first modal window of type T that shows up while the
// returned token is alive (and within two seconds), from inside the event loop
// of whoever opened it. The token's value tells whether it was seen.
template <typename T>
std::shared_ptr<bool> alAbrirse(std::function<void(T*)> accion)
{
    auto visto = std::make_shared<bool>(false);
    std::weak_ptr<bool> testigo = visto;
    auto intento = std::make_shared<std::function<void(int)>>();
    *intento = [accion, testigo, intento](int quedan) {
        const auto vivo = testigo.lock();
        if (!vivo) {
            *intento = nullptr;   // the test is over: let go
            return;
        }
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()); w && w->isVisible()) {
            *vivo = true;
            accion(w);
            *intento = nullptr;
            return;
        }
        if (quedan > 0) {
            auto siguiente = *intento;
            QTimer::singleShot(10, [siguiente, quedan] { siguiente(quedan - 1); });
        }
    };
    auto primero = *intento;
    QTimer::singleShot(0, [primero] { primero(200); });
    return visto;
}

// Answers the next message box, remembering its text, title and icon.
struct MensajeVisto {
    bool visto = false;
    QString texto;
    QString titulo;
    QMessageBox::Icon icono = QMessageBox::NoIcon;
    std::shared_ptr<bool> token;
};

inline std::shared_ptr<MensajeVisto> respondeMensaje(QMessageBox::StandardButton boton = QMessageBox::Ok)
{
    auto m = std::make_shared<MensajeVisto>();
    std::weak_ptr<MensajeVisto> debil = m;
    m->token = alAbrirse<QMessageBox>([debil, boton](QMessageBox* box) {
        if (auto m = debil.lock()) {
            m->visto = true;
            m->texto = box->text();
            m->titulo = box->windowTitle();
            m->icono = box->icon();
        }
        box->done(boton);
    });
    return m;
}
