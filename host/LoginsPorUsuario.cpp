#include "LoginsPorUsuario.h"

#include "LoginServidor.h"
#include "MotorSql.h"
#include "Suite.h"
#include "TransaccionSql.h"

#include <QSqlError>
#include <QSqlQuery>

#include <functional>

namespace qvrhost {
namespace {

// The tables that hold taxpayers' data, each row tied to a taxpayer by
// (Tip_doc_d, Doc_id_d); CONT is the taxpayer itself.
const QStringList kDeclarationTables{"CAB", "DET", "HCAB", "HDET"};

// CLAVES.Usuario holds at most 20 characters.
constexpr int kMaxUserName = 20;

// A role name as an identifier: quoted, so case and every character count.
QString quoted(QString name)
{
    return u'"' + name.replace(u'"', QLatin1String("\"\"")) + u'"';
}

// The suite's rule, written once. Policy expressions are bound to the tables
// when created, so no object of the user's own (a temporary CLAVES) can
// stand in for the real ones later.
const QString kUnrestricted =
    QStringLiteral("EXISTS (SELECT 1 FROM CLAVES k WHERE k.Usuario = CURRENT_USER AND k.Tipo = '0')");

QString contribuyentePropio(const QString& table)
{
    // 0834IMP stamps SPOOL with the number as its argument carries it, blank-padded to 15.
    return QStringLiteral("EXISTS (SELECT 1 FROM CONT c WHERE c.Tip_doc_d = %1.Tip_doc_d"
                          " AND rtrim(c.Doc_id_d) = rtrim(%1.Doc_id_d) AND c.Usuario = CURRENT_USER)")
        .arg(table);
}

QString rule(const QString& ownRows) { return QStringLiteral("(%1 OR %2)").arg(kUnrestricted, ownRows); }

QStringList sentenciasPoliticas(const QString& group)
{
    QStringList s;
    // Reference tables: read by every program, written by the administrator (and Alt834 run by them).
    s << QStringLiteral("GRANT SELECT ON CLAVES, PARAM, ERROR, Reportes, envio_t TO %1").arg(group);
    s << QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON CONT, %1 TO %2")
             .arg(kDeclarationTables.join(QStringLiteral(", ")), group);
    s << QStringLiteral("ALTER TABLE CONT ENABLE ROW LEVEL SECURITY");
    const QString ownCont = rule(QStringLiteral("Usuario = CURRENT_USER"));
    s << QStringLiteral("CREATE POLICY qvr_usuario ON CONT TO %1 USING %2 WITH CHECK %2").arg(group, ownCont);
    for (const QString& table : kDeclarationTables) {
        s << QStringLiteral("ALTER TABLE %1 ENABLE ROW LEVEL SECURITY").arg(table);
        s << QStringLiteral("CREATE POLICY qvr_usuario ON %1 TO %2 USING %3 WITH CHECK %3")
                 .arg(table, group, rule(contribuyentePropio(table)));
    }
    // Spool rows are numbered across all users (next Secuencia of a report,
    // next file name), so everybody reads the numbers of every row; the
    // taxpayer, user and date columns are not readable at all. A row is
    // added only for one of the user's taxpayers and under the user's name.
    s << QStringLiteral("GRANT SELECT (CodRep, Secuencia, Archivo), INSERT, DELETE ON SPOOL TO %1").arg(group);
    s << QStringLiteral("ALTER TABLE SPOOL ENABLE ROW LEVEL SECURITY");
    s << QStringLiteral("CREATE POLICY qvr_numeros ON SPOOL FOR SELECT TO %1 USING (true)").arg(group);
    s << QStringLiteral("CREATE POLICY qvr_alta ON SPOOL FOR INSERT TO %1 WITH CHECK (Usuario = CURRENT_USER AND %2)")
             .arg(group, rule(contribuyentePropio(QStringLiteral("SPOOL"))));
    s << QStringLiteral("CREATE POLICY qvr_baja ON SPOOL FOR DELETE TO %1 USING %2")
             .arg(group, rule(contribuyentePropio(QStringLiteral("SPOOL"))));
    return s;
}

bool ejecutaConsulta(QSqlQuery& q, QString* error)
{
    if (q.exec())
        return true;
    *error = q.lastError().text();
    return false;
}

// A statement without values: roles, rights and policies cannot be prepared on the server.
bool ejecutaConsulta(QSqlDatabase db, const QString& sql, QString* error)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    *error = q.lastError().text();
    return false;
}

// The first column of the first row of `sql` with one bound value; null when none.
QVariant primerValor(QSqlDatabase db, const QString& sql, const QVariantList& values, QString* error)
{
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!ejecutaConsulta(q, error))
        return {};
    return q.next() ? q.value(0) : QVariant();
}

bool existeRol(QSqlDatabase db, const QString& name, QString* error)
{
    return !primerValor(db, QStringLiteral("SELECT 1 FROM pg_catalog.pg_roles WHERE rolname = ?"), {name}, error)
                .isNull();
}

// The group of the connection's database; empty (with the reason) when the
// suite there has no per-user logins.
QString grupoDe(QSqlDatabase db, QString* error)
{
    const QString database =
        primerValor(db, QStringLiteral("SELECT current_database()"), {}, error).toString();
    if (database.isEmpty())
        return {};
    const QString group = grupoUsuariosSuite(database);
    if (!existeRol(db, group, error)) {
        if (error->isEmpty())
            *error = QStringLiteral("La suite de la base de datos %1 no tiene un usuario del servidor por usuario "
                                    "(se crea con qvrhost init --server URL --per-user-logins CARPETA).")
                         .arg(database);
        return {};
    }
    return group;
}

QString revisaNombre(const QString& name)
{
    if (name.isEmpty() || name != name.trimmed() || name.size() > kMaxUserName)
        return QStringLiteral("El nombre de usuario \"%1\" no es válido: de 1 a %2 caracteres, sin blancos al "
                              "principio ni al final.")
            .arg(name)
            .arg(kMaxUserName);
    return {};
}

} // namespace

QString grupoUsuariosSuite(const QString& database) { return database + QStringLiteral("_usuarios"); }

QString loginSesion(QSqlDatabase db)
{
    QString error;
    return primerValor(db, QStringLiteral("SELECT session_user"), {}, &error).toString();
}

QString escribeLoginsPorUsuario(QSqlDatabase db, const QString& admin)
{
    QString error;
    const QString database = primerValor(db, QStringLiteral("SELECT current_database()"), {}, &error).toString();
    if (!error.isEmpty())
        return error;
    const QString group = grupoUsuariosSuite(database);
    const bool exists = existeRol(db, group, &error);
    if (!error.isEmpty())
        return error;
    QStringList statements;
    if (!exists)
        statements << QStringLiteral("CREATE ROLE %1 NOLOGIN").arg(quoted(group));
    statements << sentenciasPoliticas(quoted(group));
    for (const QString& sql : statements) {
        if (!ejecutaConsulta(db, sql, &error))
            return error + u'\n' + sql;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO CLAVES (Usuario, Tipo) SELECT ?, '0'"
                             " WHERE NOT EXISTS (SELECT 1 FROM CLAVES WHERE Usuario = ?)"));
    q.addBindValue(admin);
    q.addBindValue(admin);
    ejecutaConsulta(q, &error);
    return error;
}

namespace {

// Runs `cambio` in one write transaction, handing it the suite users' group;
// its first error ends the transaction and nothing of it is kept.
QString enTransaccionConGrupo(QSqlDatabase db, const std::function<QString(const QString& group)>& cambio)
{
    TransaccionSql transaccion(db);
    if (!transaccion.abierta())
        return transaccion.error();
    QString error;
    const QString group = grupoDe(db, &error);
    if (group.isEmpty())
        return error;
    if (const QString fallo = cambio(group); !fallo.isEmpty())
        return fallo;
    return transaccion.confirmar() ? QString() : transaccion.error();
}

}  // namespace

QString agregaUsuarioSuite(QSqlDatabase db, const QString& name, bool restricted)
{
    if (QString problem = revisaNombre(name); !problem.isEmpty())
        return problem;
    return enTransaccionConGrupo(db, [&](const QString& group) {
        QString error;
        const bool exists = existeRol(db, name, &error);
        if (!error.isEmpty())
            return error;
        const QString grant = exists ? QStringLiteral("GRANT %1 TO %2").arg(quoted(group), quoted(name))
                                     : QStringLiteral("CREATE ROLE %2 LOGIN IN ROLE %1").arg(quoted(group), quoted(name));
        if (!ejecutaConsulta(db, grant, &error))
            return error;
        const QString tipo = restricted ? QStringLiteral("1") : QStringLiteral("0");
        QSqlQuery q(db);
        q.prepare(QStringLiteral("UPDATE CLAVES SET Tipo = ? WHERE Usuario = ?"));
        q.addBindValue(tipo);
        q.addBindValue(name);
        if (!ejecutaConsulta(q, &error))
            return error;
        if (q.numRowsAffected() == 0) {
            q.prepare(QStringLiteral("INSERT INTO CLAVES (Usuario, Tipo) VALUES (?, ?)"));
            q.addBindValue(name);
            q.addBindValue(tipo);
            if (!ejecutaConsulta(q, &error))
                return error;
        }
        return QString();
    });
}

QString quitaUsuarioSuite(QSqlDatabase db, const QString& name)
{
    if (name == loginSesion(db))
        return QStringLiteral("El administrador no puede quitarse a sí mismo (%1).").arg(name);
    return enTransaccionConGrupo(db, [&](const QString& group) {
        QString error;
        QSqlQuery q(db);
        q.prepare(QStringLiteral("DELETE FROM CLAVES WHERE Usuario = ?"));
        q.addBindValue(name);
        if (!ejecutaConsulta(q, &error))
            return error;
        const bool hadRow = q.numRowsAffected() > 0;
        // Memberships of the role: of this suite's group, and of any role at all.
        q.prepare(QStringLiteral("SELECT count(*) FILTER (WHERE g.rolname = ?), count(*) FROM pg_catalog.pg_roles r"
                                 " JOIN pg_catalog.pg_auth_members m ON m.member = r.oid"
                                 " JOIN pg_catalog.pg_roles g ON g.oid = m.roleid WHERE r.rolname = ?"));
        q.addBindValue(group);
        q.addBindValue(name);
        if (!ejecutaConsulta(q, &error))
            return error;
        if (!q.next())
            return q.lastError().text();
        const bool member = q.value(0).toInt() > 0;
        const bool onlyThisSuite = q.value(1).toInt() == 1;
        if (!hadRow && !member)
            return QStringLiteral("No existe el usuario %1 en la suite.").arg(name);
        if (member && !ejecutaConsulta(db, QStringLiteral("REVOKE %1 FROM %2").arg(quoted(group), quoted(name)), &error))
            return error;
        if (member && onlyThisSuite && !ejecutaConsulta(db, QStringLiteral("DROP ROLE %1").arg(quoted(name)), &error))
            return error;
        return QString();
    });
}

QString abreBaseSuiteComo(const Configuracion& settings, const QString& connection)
{
    if (!esDireccionServidor(settings.dbFile))
        return abreBaseSuite(settings.dbFile, connection);
    QString problem;
    std::optional<DireccionServidor> address = leerDireccionServidor(settings.dbFile, &problem);
    if (!address)
        return problem;
    address->usuario = loginServidor(*address, settings);
    QSqlDatabase db = prepararConexionServidor(*address, connection, 5000);
    if (!db.open())
        return db.lastError().text();
    if (const std::optional<FalloApertura> refused = comprobarLoginServidor(db, settings)) {
        db.close();
        return refused->description;
    }
    return {};
}

} // namespace qvrhost
