#pragma once
// The host's main window, captioned "Qvarion": the programs of the suite
// look for it before they start. It lists the stored and sent declarations
// of form 0834, starts Kv834 and 0834IMP, and sends a stored declaration.

#include "ConfiguracionIntegrador.h"

#include <QMainWindow>
#include <QSqlDatabase>

class QLabel;
class QPushButton;
class QSqlQueryModel;
class QTableView;

class VentanaIntegrador : public QMainWindow {
    Q_OBJECT
public:
    VentanaIntegrador(const ConfiguracionIntegrador& settings, QSqlDatabase db, QWidget* parent = nullptr);

    // Re-reads both lists; also done whenever the window is activated again.
    void recarga();

protected:
    bool event(QEvent* e) override;

private:
    void iniciaProgramaDeclaracion();
    void enviaElegida();
    void iniciaResumen();
    bool iniciaPrograma(const QString& name, const QStringList& arguments);
    void ejecutaResumen(const QString& argument);
    void muestraTextoResumen(const QString& path);
    QString valorElegido(QTableView* view, int column) const;

    ConfiguracionIntegrador settings_;
    QSqlDatabase db_;
    QLabel* folderLabel_;
    QSqlQueryModel* storedModel_;
    QSqlQueryModel* sentModel_;
    QTableView* storedView_;
    QTableView* sentView_;
    QPushButton* kv834Button_;
    QPushButton* sendButton_;
    QPushButton* summaryButton_;
};
