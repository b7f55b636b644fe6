#pragma once
// A long run of small write transactions on one connection, such as a batch
// import storing each row in its own transaction. On SQLite with its
// write-ahead log the commits stop waiting for the disk one by one
// (synchronous NORMAL): a crash of the program loses no commit and none is
// ever half there, and terminar() waits for the disk once for all of them.
// Other engines and journal modes are left as they are.

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
