#pragma once
// Statements with bound values sent together: on the server the whole batch
// costs one round trip (the client's pipeline), where the driver's prepared
// statements cost three each (prepare, execute, deallocate). On SQLite they
// run one after another, each statement prepared once per connection and
// kept for the next batch (LoteSqlite.cpp). The values travel apart from the
// text on both engines; "?" marks each one, in order.
//
// A batch stops at the first statement that fails: its error is kept and the
// statements after it do not run (inside a transaction the caller rolls back).

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

class LoteSql {
public:
    // What one statement gave back: the columns and rows of a SELECT (Null
    // values as null QVariants; whole numbers as int, the rest as text), or
    // the rows a write touched.
    struct Resultado {
        QStringList columnas;
        QList<QVariantList> filas;
        int afectadas = 0;
    };

    // Adds a statement; returns its position in the batch.
    int agregar(const QString& sql, const QVariantList& valores = {});
    bool vacio() const { return sentencias_.isEmpty(); }

    // Runs the batch on `db`; false with error() set when a statement failed.
    // The batch is emptied either way; the results stay until the next run.
    bool ejecutar(QSqlDatabase db);
    const Resultado& resultado(int posicion) const { return resultados_.at(posicion); }
    QSqlError error() const { return error_; }

    // Several batches sent as one, in the order given (one round trip on the
    // server): each keeps the positions agregar gave it and gets its own
    // results. The run stops at the first statement that fails; its error
    // goes to that statement's batch and to every batch after it, whose
    // results are missing. Batches answered whole before it keep no error.
    static bool ejecutarJuntos(QSqlDatabase db, const QList<LoteSql*>& lotes);

    // One statement alone: its result, or nothing with *error set.
    static std::optional<Resultado> una(QSqlDatabase db, const QString& sql, const QVariantList& valores = {},
                                        QSqlError* error = nullptr);

    // A value the drivers bind as Null: no value, or a null text, bytes or date.
    static bool esNulo(const QVariant& v);

private:
    struct Sentencia {
        QString sql;
        QVariantList valores;
    };
    bool ejecutarSqlite(QSqlDatabase db);
    bool ejecutarServidor(QSqlDatabase db);

    QList<Sentencia> sentencias_;
    QList<Resultado> resultados_;
    QSqlError error_;
};
