#include "recoding/ui/FrmVistaPreviaVentana.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "platform/qt/OperadorQt.h"
#include "frame/ui/AparienciaVentana.h"

namespace {

// A read-only sortable table over a model it owns; numbers kept as numbers.
QTableView* Tabla(QWidget* padre, const QString& nombre, const QStringList& columnas,
                  const QVector<QVariantList>& filas) {
    auto* modelo = new QStandardItemModel(static_cast<int>(filas.size()), static_cast<int>(columnas.size()), padre);
    modelo->setHorizontalHeaderLabels(columnas);
    for (int i = 0; i < filas.size(); ++i)
        for (int j = 0; j < filas[i].size(); ++j) {
            auto* item = new QStandardItem;
            item->setData(filas[i][j], Qt::DisplayRole);
            item->setEditable(false);
            if (filas[i][j].typeId() != QMetaType::QString) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            modelo->setItem(i, j, item);
        }
    auto* orden = new QSortFilterProxyModel(padre);
    orden->setSourceModel(modelo);
    orden->setSortCaseSensitivity(Qt::CaseInsensitive);
    auto* t = new QTableView(padre);
    t->setObjectName(nombre);
    t->setModel(orden);
    t->setSortingEnabled(true);
    t->sortByColumn(-1, Qt::AscendingOrder);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setAlternatingRowColors(true);
    t->verticalHeader()->setVisible(false);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    t->horizontalHeader()->setStretchLastSection(true);
    t->resizeColumnsToContents();
    return t;
}

}  // namespace

FrmVistaPreviaVentana::FrmVistaPreviaVentana(InformeVistaPrevia informe, QWidget* padre)
    : QWidget(padre, Qt::Window), informe_(std::move(informe)) {
    setObjectName(QStringLiteral("FrmVistaPrevia"));
    setWindowTitle(QStringLiteral("Vista previa de la recodificación"));
    setAttribute(Qt::WA_DeleteOnClose);
    AsignaIcono(*this);
    // A report window: Escape closes it, as a dialog's does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    auto* caja = new QVBoxLayout(this);
    auto* resumen = new QLabel(informe_.Resumen(), this);
    resumen->setObjectName(QStringLiteral("LblResumen"));
    resumen->setWordWrap(true);
    caja->addWidget(resumen);

    QVector<QVariantList> filas;
    for (int i = 0; i < informe_.Filas(); ++i) {
        QVariantList f;
        for (int j = 0; j < InformeVistaPrevia::Columnas().size(); ++j) f << informe_.Valor(i, j);
        filas << f;
    }
    QVector<QVariantList> totales;
    for (const ConteoTabla& t : informe_.Totales())
        totales << QVariantList{t.tabla, t.columna, NombreEfecto(t.efecto), t.filas};
    QVector<QVariantList> hallazgos;
    for (const QStringList& h : FilasRevision(informe_.Revision())) {
        QVariantList f;
        for (const QString& c : h) f << c;
        hallazgos << f;
    }

    pestanas_ = new QTabWidget(this);
    codigos_ = Tabla(this, QStringLiteral("TablaCodigos"), InformeVistaPrevia::Columnas(), filas);
    totales_ = Tabla(this, QStringLiteral("TablaTotales"), InformeVistaPrevia::ColumnasTotales(), totales);
    revision_ = Tabla(this, QStringLiteral("TablaRevision"), ColumnasRevision(), hallazgos);
    UltimaColumnaEnvuelve(*revision_);
    pestanas_->addTab(codigos_, QStringLiteral("Por código"));
    pestanas_->addTab(totales_, QStringLiteral("Totales"));
    pestanas_->addTab(revision_, QStringLiteral("Revisión de la lista (%1)").arg(hallazgos.size()));
    caja->addWidget(pestanas_, 1);
    connect(pestanas_, &QTabWidget::currentChanged, revision_, [this] { revision_->resizeRowsToContents(); });

    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    exportar_ = new QPushButton(QStringLiteral("&Exportar CSV..."), this);
    exportar_->setObjectName(QStringLiteral("CmdExportar"));
    auto* cerrar = new QPushButton(QStringLiteral("C&errar"), this);
    cerrar->setObjectName(QStringLiteral("CmdCerrar"));
    botones->addWidget(exportar_);
    botones->addWidget(cerrar);
    caja->addLayout(botones);
    connect(exportar_, &QPushButton::clicked, this, [this] { informe_.Exporta(); });
    connect(cerrar, &QPushButton::clicked, this, &QWidget::close);
    resize(820, 480);
}
