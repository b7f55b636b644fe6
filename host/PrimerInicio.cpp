#include "PrimerInicio.h"

#include "MensajeUsuario.h"
#include "MensajesSinVentana.h"
#include "MotorSql.h"
#include "Sesion.h"
#include "Suite.h"
#include "CarpetaSuite.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace qvrhost {
namespace {

const QString kTitle = QStringLiteral("Qvarion");

// A path as a paragraph of its own that is never broken: the box widens
// instead of cutting a folder's name in two.
QString parrafoRuta(const QString& path)
{
    return QStringLiteral("<p style=\"white-space:pre\">%1</p>").arg(QDir::toNativeSeparators(path).toHtmlEscaped());
}

QString parrafo(const QString& text)
{
    return QStringLiteral("<p>%1</p>").arg(text.toHtmlEscaped());
}

// Qt's own folder dialog: a desktop's dialog would speak the desktop's
// language. The labels Qt's Spanish texts leave in English are set here.
QString ejecutaDialogoCarpeta(const QString& title, const QString& folder, const QString& selected)
{
    QFileDialog dialog(nullptr, title, folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Buscar en:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Carpeta:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Mostrar:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("&Elegir"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
    if (!selected.isEmpty())
        dialog.selectFile(selected);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir(dialog.selectedFiles().first()).absolutePath();
}

// The folder dialog only returns folders that exist: the default one is made
// beforehand and taken away again when it was not chosen and is still empty.
QString pideCarpeta()
{
    const QString proposed = carpetaSuitePredeterminada();
    const bool made = !QFileInfo::exists(proposed) && QDir().mkpath(proposed);
    const QString chosen =
        ejecutaDialogoCarpeta(QStringLiteral("Carpeta de la suite QVR"), QFileInfo(proposed).absolutePath(), proposed);
    if (made && chosen != QDir(proposed).absolutePath())
        QDir().rmdir(proposed);
    return chosen;
}

// Where to start looking for a moved suite: the nearest folder that is still
// there above the old one.
QString existenteMasCercano(QString path)
{
    while (!path.isEmpty() && !QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(QDir::cleanPath(path)).path();
        if (parent == path)
            break;
        path = parent;
    }
    return QFileInfo(path).isDir() ? path : QDir::homePath();
}

// What can mend a failed open: the suite's folder or its database file is
// not where the settings say. A server, a lock or a permission cannot be
// mended by choosing a folder.
bool carpetaArreglable(const Configuracion& settings, const FalloApertura& failure)
{
    return failure.number == kErrFileNotFound && !esDireccionServidor(settings.dbFile);
}

enum class Arreglo { Ubicar, Crear, Desistir };

Arreglo preguntaArreglo(const QString& iniPath, const Configuracion& settings)
{
    const QString missing = !settings.sysPath.isEmpty() && !QFileInfo(settings.sysPath).isDir()
                                ? settings.sysPath
                                : settings.dbFile;
    QMessageBox box(QMessageBox::Question, kTitle, QString(), QMessageBox::Cancel);
    box.setTextFormat(Qt::RichText);
    box.setText(parrafo(QStringLiteral("No se encuentra la suite QVR que indica")) + parrafoRuta(iniPath) +
                (missing.isEmpty() ? QString() : parrafoRuta(missing)) +
                parrafo(QStringLiteral("Si la carpeta de la suite se movió o se le cambió el nombre, búsquela "
                                         "para seguir usándola; si no, puede crear una suite nueva.")));
    QPushButton* locate = box.addButton(QStringLiteral("&Buscar la carpeta..."), QMessageBox::AcceptRole);
    locate->setObjectName(QStringLiteral("cmdBuscarSuite"));
    QPushButton* create = box.addButton(QStringLiteral("&Crear una suite nueva"), QMessageBox::AcceptRole);
    create->setObjectName(QStringLiteral("cmdCrearSuite"));
    box.setDefaultButton(locate);
    box.exec();
    if (box.clickedButton() == locate)
        return Arreglo::Ubicar;
    if (box.clickedButton() == create)
        return Arreglo::Crear;
    return Arreglo::Desistir;
}

// Asks until the user has taken a suite folder (true) or gives up (false).
bool mend(const QString& iniPath, const Configuracion& settings)
{
    for (;;) {
        const Arreglo choice = preguntaArreglo(iniPath, settings);
        if (choice == Arreglo::Desistir)
            return false;
        const QString folder =
            choice == Arreglo::Ubicar
                ? ejecutaDialogoCarpeta(QStringLiteral("Buscar la carpeta de la suite QVR"),
                                  existenteMasCercano(settings.sysPath), QString())
                : pideCarpeta();
        if (folder.isEmpty())
            continue;
        const QString error = choice == Arreglo::Ubicar ? adoptaSuiteMovida(folder, iniPath) : haceSuiteUsuario(folder, iniPath);
        if (error.isEmpty())
            return true;
        QMessageBox::critical(nullptr, kTitle, error);
    }
}

} // namespace

QString carpetaSuitePredeterminada()
{
    return QDir::homePath() + QStringLiteral("/QVR");
}

bool eligeSuiteUsuario(const QString& userIni, bool confirm)
{
    if (confirm) {
        QMessageBox question(QMessageBox::Question, kTitle, QString(), QMessageBox::Yes | QMessageBox::No);
        question.setDefaultButton(QMessageBox::Yes);
        question.setTextFormat(Qt::RichText);
        question.setText(parrafo(QStringLiteral("No hay ninguna suite QVR para este usuario:")) +
                         parrafoRuta(userIni) +
                         parrafo(QStringLiteral("¿Desea crear una ahora? Se propone la carpeta")) +
                         parrafoRuta(carpetaSuitePredeterminada()));
        if (question.exec() != QMessageBox::Yes)
            return false;
    }
    const QString folder = pideCarpeta();
    if (folder.isEmpty())
        return false;
    const QString error = haceSuiteUsuario(folder, userIni);
    if (!error.isEmpty()) {
        QMessageBox::critical(nullptr, kTitle, error);
        return false;
    }
    return true;
}

std::optional<ConfiguracionIntegrador> abreSuiteUsuario(const QString& iniPath, const QString& connection)
{
    OpcionesApertura options;
    options.connectionName = connection;
    options.writeSystemDb = false;   // the host's settings are the suite's own
    for (;;) {
        const ConfiguracionIntegrador settings = ConfiguracionIntegrador::lee(iniPath);
        const std::optional<FalloApertura> failure = abreBaseDatos(settings.suite, iniPath, options);
        if (!failure)
            return settings;
        // Started from a terminal the reason shows there too; a desktop
        // launcher shows nobody the standard error.
        const MensajeUsuario message{MensajeUsuario::Icono::Ninguno, kTituloErrorConexion,
                                     mensajeFalloApertura(*failure)};
        escribeEnStderr(message);
        MensajesSinVentana::muestraCaja(message);
        if (!carpetaArreglable(settings.suite, *failure) || !mend(iniPath, settings.suite))
            return std::nullopt;
    }
}

} // namespace qvrhost
