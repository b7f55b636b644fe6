#include "FirstStart.h"

#include "Suite.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace qvrhost {
namespace {

const QString kTitle = QStringLiteral("Qvarion");

// The folder dialog only returns folders that exist: the default one is made
// beforehand and taken away again when it was not chosen and is still empty.
QString askFolder()
{
    const QString proposed = defaultSuiteFolder();
    const bool made = !QFileInfo::exists(proposed) && QDir().mkpath(proposed);
    QFileDialog dialog(nullptr, QStringLiteral("Carpeta de la suite QVR"), QFileInfo(proposed).absolutePath());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.selectFile(proposed);
    const QString chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                               ? QDir(dialog.selectedFiles().first()).absolutePath()
                               : QString();
    if (made && chosen != QDir(proposed).absolutePath())
        QDir().rmdir(proposed);
    return chosen;
}

} // namespace

QString defaultSuiteFolder()
{
    return QDir::homePath() + QStringLiteral("/QVR");
}

bool chooseUserSuite(const QString& userIni, bool confirm)
{
    if (confirm &&
        QMessageBox::question(nullptr, kTitle,
                              QStringLiteral("No hay ninguna suite QVR para este usuario (%1).\n"
                                             "¿Desea crear una ahora? Se propone la carpeta %2.")
                                  .arg(QDir::toNativeSeparators(userIni), QDir::toNativeSeparators(defaultSuiteFolder())),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes)
        return false;
    const QString folder = askFolder();
    if (folder.isEmpty())
        return false;
    const QString error = makeUserSuite(folder, userIni);
    if (!error.isEmpty()) {
        QMessageBox::critical(nullptr, kTitle, error);
        return false;
    }
    return true;
}

} // namespace qvrhost
