#pragma once
// The previous-instance test: one lock file per program and user in the
// user's runtime folder, held with flock(). The kernel drops the lock with
// the process, so a copy that crashed leaves no lock behind that refuses the
// next start; the file itself stays and is reused.

#include <QString>

class BloqueoInstancia {
public:
    // folder empty: QStandardPaths::RuntimeLocation.
    explicit BloqueoInstancia(const QString& program, const QString& folder = {});
    ~BloqueoInstancia();
    BloqueoInstancia(const BloqueoInstancia&) = delete;
    BloqueoInstancia& operator=(const BloqueoInstancia&) = delete;

    // True when this object now holds the lock: no other live copy holds it.
    bool tryLock();
    // After a refused tryLock: true when a running copy holds the lock, false
    // when the lock file could not be made at all (no folder, no permission).
    bool tomadoPorOtraCopia() const;
    QString fileName() const { return fileName_; }

    // What a program says when the lock file cannot be made, with its path;
    // here so that programs without the start-up's windows say it too.
    static inline const QString kTextoBloqueoFallido =
        QStringLiteral("No se puede comprobar si la Aplicación ya se encuentra en ejecución: "
                       "no se puede crear el archivo de bloqueo %1");

private:
    QString fileName_;
    int fd_ = -1;             // open while this object holds the lock
    bool tomado_ = false;     // the last tryLock found it held by another copy
};
