#pragma once
// The host's main window, captioned "Qvarion": the programs of the suite
// look for it before they start. It lists the stored and sent declarations
// of form 0834, starts Kv834 and 0834IMP, and sends a stored declaration.

#include "HostSettings.h"

#include <QMainWindow>
#include <QSqlDatabase>

class QLabel;
class QPushButton;
class QSqlQueryModel;
class QTableView;

class HostWindow : public QMainWindow {
    Q_OBJECT
public:
    HostWindow(const HostSettings& settings, QSqlDatabase db, QWidget* parent = nullptr);

    // Re-reads both lists; also done whenever the window is activated again.
    void reload();

protected:
    bool event(QEvent* e) override;

private:
    void startDeclarationProgram();
    void sendSelected();
    void startSummary();
    bool startProgram(const QString& name, const QStringList& arguments);
    void runSummary(const QString& argument);
    void showSummaryText(const QString& path);
    QString selectedValue(QTableView* view, int column) const;

    HostSettings settings_;
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
