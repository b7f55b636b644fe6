#pragma once
// A long run of small write transactions on one connection, such as a batch
// import storing each row in its own transaction: the commits are made
// lighter for the run where the engine allows it (aligerarConfirmaciones),
// and terminar() waits for the disk once for all of them.

#include <QSqlDatabase>
#include <QVariant>

class EscriturasEnLote {
public:
    explicit EscriturasEnLote(QSqlDatabase db);
    ~EscriturasEnLote();
    EscriturasEnLote(const EscriturasEnLote&) = delete;
    EscriturasEnLote& operator=(const EscriturasEnLote&) = delete;

    // Every commit so far is on the disk and the connection's setting is
    // back; false when the database refused the checkpoint.
    bool terminar();

private:
    QSqlDatabase db_;
    QVariant anterior_;   // the connection's synchronous setting; null when untouched
};
