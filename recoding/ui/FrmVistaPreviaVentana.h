#pragma once
// The preview report on screen: not modal, sortable tables of the counts per
// code, the totals and the list's findings, and the CSV export. Every value
// comes from the window-less InformeVistaPrevia.

#include <QWidget>

#include "recoding/InformeVistaPrevia.h"

class QLabel;
class QPushButton;
class QTableView;
class QTabWidget;

class FrmVistaPreviaVentana : public QWidget {
    Q_OBJECT
public:
    explicit FrmVistaPreviaVentana(InformeVistaPrevia informe, QWidget* padre = nullptr);

    const InformeVistaPrevia& Informe() const { return informe_; }
    QTableView* TablaCodigos() const { return codigos_; }
    QTableView* TablaTotales() const { return totales_; }
    QTableView* TablaRevision() const { return revision_; }
    QPushButton* BotonExportar() const { return exportar_; }

private:
    InformeVistaPrevia informe_;
    QTabWidget* pestanas_ = nullptr;
    QTableView* codigos_ = nullptr;
    QTableView* totales_ = nullptr;
    QTableView* revision_ = nullptr;
    QPushButton* exportar_ = nullptr;
};
