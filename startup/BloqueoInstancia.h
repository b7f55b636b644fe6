#pragma once
// The previous-instance test: one lock file per program and user in the
// user's runtime folder. The lock goes with the process, so a copy that
// crashed leaves no lock behind that refuses the next start.

#include <QLockFile>
#include <QString>

#include <memory>

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
    std::unique_ptr<QLockFile> lock_;
};
