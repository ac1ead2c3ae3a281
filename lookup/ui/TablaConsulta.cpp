#include "lookup/ui/TablaConsulta.h"

#include "lookup/Lib_FrmCons3.h"

#include <QColor>
#include <QFont>

QColor ColorSuite(const QVariant& v) {
    if (v.typeId() == QMetaType::QColor) return v.value<QColor>();
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (ok) return QColor(static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF), static_cast<int>((n >> 16) & 0xFF));
    return QColor(v.toString().trimmed());
}

TablaConsulta::TablaConsulta(Lib_FrmCons3& modelo, QObject* padre) : QAbstractTableModel(padre), modelo_(modelo) {}

void TablaConsulta::Recarga() {
    beginResetModel();
    endResetModel();
}

int TablaConsulta::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : static_cast<int>(modelo_.Filas().size());
}

int TablaConsulta::columnCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : static_cast<int>(modelo_.Columnas().size());
}

QVariant TablaConsulta::data(const QModelIndex& i, int rol) const {
    if (!i.isValid() || i.row() >= rowCount()) return {};
    const Lib_FrmCons3::Fila& f = modelo_.Filas()[static_cast<std::size_t>(i.row())];
    switch (rol) {
    case Qt::DisplayRole: return f.Textos.value(i.column());
    case RolValor: return f.Valores.value(i.column());
    case Qt::CheckStateRole:
        if (i.column() == 0 && modelo_.CheckBoxes) return f.Marcada ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ForegroundRole:
        if (f.Color.isValid()) return ColorSuite(f.Color);
        return {};
    case Qt::FontRole:
        if (f.Color.isValid()) {
            QFont fuente;
            fuente.setBold(true);
            return fuente;
        }
        return {};
    default: return {};
    }
}

QVariant TablaConsulta::headerData(int s, Qt::Orientation o, int rol) const {
    if (o == Qt::Horizontal && rol == Qt::DisplayRole && s >= 0 && s < columnCount())
        return modelo_.Columnas()[static_cast<std::size_t>(s)].Encabezado;
    return QAbstractTableModel::headerData(s, o, rol);
}

Qt::ItemFlags TablaConsulta::flags(const QModelIndex& i) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;   // label editing refused
    if (i.column() == 0 && modelo_.CheckBoxes) f |= Qt::ItemIsUserCheckable;
    return f;
}

bool TablaConsulta::setData(const QModelIndex& i, const QVariant& valor, int rol) {
    if (rol != Qt::CheckStateRole || i.column() != 0 || !modelo_.CheckBoxes) return false;
    modelo_.MarcaFila(i.row(), valor.toInt() == Qt::Checked);
    emit dataChanged(i, i, {Qt::CheckStateRole});
    return true;
}
