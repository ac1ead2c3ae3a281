#include "frame/planilla/TablaPlanilla.h"

#include "db/platform/Ado.h"
#include "frame/planilla/ModeloPlanilla.h"
#include "platform/Operador.h"

#include <QColor>
#include <QTimer>

namespace {

bool EsNumero(int t) {
    switch (t) {
        case ado::adSmallInt: case ado::adInteger: case ado::adTinyInt: case ado::adUnsignedTinyInt:
        case ado::adBigInt: case ado::adNumeric: case ado::adDecimal: case ado::adCurrency:
        case ado::adDouble: case ado::adSingle:
            return true;
        default:
            return false;
    }
}

QString NombreTipo(const ColumnaPlanilla& c) {
    switch (c.Tipo) {
        case ado::adChar: case ado::adWChar: case ado::adVarChar: case ado::adVarWChar: case ado::adBSTR:
            return QStringLiteral("texto de hasta %1").arg(c.Tamano);
        case ado::adLongVarChar: case ado::adLongVarWChar: return QStringLiteral("texto largo");
        case ado::adBoolean: return QStringLiteral("sí / no");
        case ado::adCurrency: return QStringLiteral("importe");
        case ado::adDate: case ado::adDBDate: case ado::adDBTime: case ado::adDBTimeStamp:
            return QStringLiteral("fecha (dd/mm/aaaa)");
        case ado::adBinary: case ado::adVarBinary: case ado::adLongVarBinary: return QStringLiteral("binario");
        default: return EsNumero(c.Tipo) ? QStringLiteral("número") : QStringLiteral("valor");
    }
}

}  // namespace

TablaPlanilla::TablaPlanilla(ModeloPlanilla& modelo, QObject* padre) : QAbstractTableModel(padre), modelo_(modelo) {
    modelo_.AntesDeCambiar = [this] {
        if (escribiendo_)
            movidas_ = true;
        else
            beginResetModel();
    };
    modelo_.DespuesDeCambiar = [this] {
        if (!escribiendo_) endResetModel();
    };
}

TablaPlanilla::~TablaPlanilla() {
    modelo_.AntesDeCambiar = nullptr;
    modelo_.DespuesDeCambiar = nullptr;
}

const QColor& TablaPlanilla::ColorPendiente() {
    static const QColor c(255, 205, 205);
    return c;
}

const QColor& TablaPlanilla::ColorPendienteActual() {
    static const QColor c(170, 30, 30);
    return c;
}

const QColor& TablaPlanilla::ColorFilaNueva() {
    static const QColor c(255, 250, 205);
    return c;
}

int TablaPlanilla::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : static_cast<int>(modelo_.Filas());
}

int TablaPlanilla::columnCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : static_cast<int>(modelo_.Columnas().size());
}

// A page that failed is said once, after the view has painted.
void TablaPlanilla::AvisaErrorLectura() const {
    if (auto texto = modelo_.TomaErrorLectura()) {
        const QString titulo = modelo_.Titulo().isEmpty() ? modelo_.Tabla() : modelo_.Titulo();
        QTimer::singleShot(0, const_cast<TablaPlanilla*>(this), [t = *texto, titulo] {
            ElOperador().Mensaje(t, vbOKOnly | vbExclamation, titulo);
        });
    }
}

QVariant TablaPlanilla::data(const QModelIndex& indice, int rol) const {
    if (!indice.isValid()) return {};
    const long fila = indice.row();
    const int columna = indice.column();
    const ColumnaPlanilla& c = modelo_.Columnas()[static_cast<std::size_t>(columna)];
    const bool esBit = c.Tipo == ado::adBoolean;
    switch (rol) {
        case Qt::DisplayRole:
        case Qt::EditRole: {
            // Bit columns show a check box; their text only while pending.
            if (esBit && !modelo_.Pendiente(fila, columna)) return rol == Qt::EditRole ? modelo_.Texto(fila, columna) : QVariant();
            const QString t = modelo_.Texto(fila, columna);
            AvisaErrorLectura();
            return t;
        }
        case Qt::CheckStateRole: {
            if (!esBit || modelo_.EsFilaNueva(fila) || modelo_.Pendiente(fila, columna)) return {};
            const QVariant v = modelo_.Valor(fila, columna);
            AvisaErrorLectura();
            return v.toBool() ? Qt::Checked : Qt::Unchecked;
        }
        case RolPendiente:
            return modelo_.Pendiente(fila, columna);
        case Qt::BackgroundRole:
            if (modelo_.Pendiente(fila, columna)) return ColorPendiente();
            if (modelo_.EsFilaNueva(fila)) return ColorFilaNueva();
            return {};
        case Qt::ForegroundRole:
            if (!c.Editable && !modelo_.Pendiente(fila, columna)) return QColor(95, 95, 95);
            return {};
        case Qt::ToolTipRole:
            if (modelo_.Pendiente(fila, columna))
                return modelo_.EsFilaNueva(fila)
                           ? QStringLiteral("Fila nueva: se graba al escribir su código. Escape la descarta.")
                           : QStringLiteral("Sin grabar: corrija el texto y pulse Enter, o Escape para descartarlo.");
            return {};
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignVCenter) |
                                       (EsNumero(c.Tipo) ? Qt::AlignRight : Qt::AlignLeft));
        default:
            return {};
    }
}

QVariant TablaPlanilla::headerData(int seccion, Qt::Orientation orientacion, int rol) const {
    if (orientacion == Qt::Vertical) {
        // The row's key, seen however far the grid is scrolled sideways.
        if (rol == Qt::ToolTipRole) return QStringLiteral("Fila %1").arg(seccion + 1);
        if (rol != Qt::DisplayRole) return {};
        if (modelo_.EsFilaNueva(seccion)) return QStringLiteral("*");
        if (modelo_.SoloLectura()) return QString::number(seccion + 1);
        QStringList partes;
        for (int k : modelo_.Claves())
            partes << modelo_.TextoDe(modelo_.Valor(seccion, k), modelo_.Columnas()[static_cast<std::size_t>(k)]);
        AvisaErrorLectura();
        return partes.join(QStringLiteral(" / "));
    }
    if (seccion < 0 || seccion >= static_cast<int>(modelo_.Columnas().size())) return {};
    const ColumnaPlanilla& c = modelo_.Columnas()[static_cast<std::size_t>(seccion)];
    if (rol == Qt::DisplayRole) return c.Nombre;
    if (rol == Qt::ToolTipRole) {
        QString t = c.Nombre + QStringLiteral(": ") + NombreTipo(c);
        if (c.Clave) t += QStringLiteral(", clave");
        if (!c.Editable) t += QStringLiteral(", no se edita");
        return t;
    }
    return {};
}

Qt::ItemFlags TablaPlanilla::flags(const QModelIndex& indice) const {
    if (!indice.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const ColumnaPlanilla& c = modelo_.Columnas()[static_cast<std::size_t>(indice.column())];
    if (modelo_.SoloLectura() || !c.Editable) return f;
    if (c.Tipo == ado::adBoolean && !modelo_.EsFilaNueva(indice.row()) && !modelo_.Pendiente(indice.row(), indice.column()))
        return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

bool TablaPlanilla::setData(const QModelIndex& indice, const QVariant& valor, int rol) {
    if (!indice.isValid()) return false;
    QString texto;
    if (rol == Qt::CheckStateRole)
        texto = valor.toInt() == Qt::Checked ? QStringLiteral("Sí") : QStringLiteral("No");
    else if (rol == Qt::EditRole)
        texto = valor.toString();
    else
        return false;
    const int fila = indice.row();
    escribiendo_ = true;
    movidas_ = false;
    const ResultadoEdicion r = modelo_.Edita(fila, indice.column(), texto);
    escribiendo_ = false;
    if (movidas_) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
        emit FilaMovida(static_cast<int>(r.fila), indice.column());
    } else {
        FilaCambiada(fila);
    }
    if (!r.grabada && modelo_.Pendiente(r.fila, indice.column()))
        emit EdicionRechazada(static_cast<int>(r.fila), indice.column());
    return r.grabada;
}

void TablaPlanilla::FilaCambiada(int fila) {
    if (fila < 0 || fila >= rowCount()) return;
    emit dataChanged(index(fila, 0), index(fila, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, fila, fila);
}
