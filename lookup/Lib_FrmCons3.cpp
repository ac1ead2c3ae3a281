#include "lookup/Lib_FrmCons3.h"

#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "db/platform/Recordset.h"
#include "frame/Apariencia.h"
#include "frame/Configuracion.h"
#include "platform/lib/Lib_Util.h"
#include "platform/lib/TratamientoErrores.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "lookup/ModConsultas.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

using namespace Texto;

namespace {

constexpr int kTeclaBackspace = 8;
constexpr int kTeclaEnter = 13;
constexpr int kTeclaEspacio = 32;
constexpr int kTeclaInsert = 45;
constexpr int kTeclaDelete = 46;
constexpr int kTeclaF1 = 112;
constexpr int kTeclaF12 = 123;

const QString kEncabezadoCantidad = QStringLiteral("**Cantidad**");

QString Comillas(const QString& s) { return QString(s).replace(QLatin1Char('\''), QStringLiteral("''")); }

// Text compare as the list sorts; numbers and dates by value.
int Compara(const QVariant& a, const QVariant& b, const QString& ta, const QString& tb) {
    auto numerico = [](const QVariant& v) {
        switch (v.typeId()) {
        case QMetaType::Int: case QMetaType::LongLong: case QMetaType::Double: case QMetaType::UInt:
        case QMetaType::ULongLong: case QMetaType::Float: case QMetaType::Short: case QMetaType::Long:
            return true;
        default: return false;
        }
    };
    if (numerico(a) && numerico(b)) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const bool fa = a.typeId() == QMetaType::QDateTime || a.typeId() == QMetaType::QDate;
    const bool fb = b.typeId() == QMetaType::QDateTime || b.typeId() == QMetaType::QDate;
    if (fa && fb) {
        const QDateTime x = a.toDateTime(), y = b.toDateTime();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return QString::compare(ta, tb, Qt::CaseInsensitive);
}

QString FormatoCantidad(double v, int decimales) { return QString::number(v, 'f', decimales); }

}  // namespace

Lib_FrmCons3::Lib_FrmCons3() { cajas_.emplace_back(); }

void Lib_FrmCons3::MuestraModal() {
    oculta_ = false;
    if (!Carga()) return;
    if (Presentador) Presentador(*this);
    Cierra();
}

bool Lib_FrmCons3::Carga() {
    articulos_ = Contiene(sql, QStringLiteral("articulos"));
    Valores.clear();
    Cantidades.clear();
    filas_.clear();
    actual_ = -1;
    busqueda_ = {};
    if (Trim(sql).isEmpty()) {
        // The pickers: one column headed Caption, the options as rows.
        columnas_.clear();
        Columna c;
        c.Nombre = c.Encabezado = Caption;
        c.Letras = std::max<int>(static_cast<int>(Caption.size()), 10);
        c.AnchoTwips = AnchoInicial(c);
        columnas_.push_back(c);
        cajas_.assign(1, QString());
        for (const Opcion& o : Opciones) {
            Fila f;
            f.Valores << o.texto;
            f.Textos << o.texto;
            f.Marcada = CheckBoxes && o.marcada;
            filas_.push_back(std::move(f));
        }
        if (OrdenarPorLwv) OrdenaFilas(0, false);
        return true;
    }
    sql += QLatin1Char(' ');
    const int desde = InStr(sql, QStringLiteral("from"));
    tabla_.clear();
    if (desde > 0) {
        const QString resto = LTrim(Mid(sql, desde + 4));
        const int blanco = resto.indexOf(QLatin1Char(' '));
        tabla_ = Trim(blanco < 0 ? resto : resto.left(blanco));
    }
    if (!hayInicial_) {
        inicial_ = sql;
        hayInicial_ = true;
    }

    RecordsetPtr rs;
    DB_Dll& sesion = UsarUDBC ? SesionAlternativa() : gDB();
    Guardia g(TratamientoGlobalDe(QStringLiteral("Form_Load")));
    const bool ok = g.Ejecuta({
        [&] {
            QString s = sql;
            sesion.AbrirRecordset(s, rs, nullptr, 0, 1, -1, true);
        },
        [&] {
            if (rs && rs->State() != 0) {
                Encolumnar(*rs);
                Leer(*rs);
            }
        },
    });
    if (rs && rs->State() != 0) sesion.CierraRecordset(rs);
    if (!ok) return false;
    ordenColumna_ = -1;
    if (OrdenarPorLwv && !columnas_.empty()) OrdenaFilas(0, false);
    if (!Trim(FiltroInicial).isEmpty()) CambiaCaja(0, FiltroInicial);
    AplicaAnchosGuardados();
    return true;
}

void Lib_FrmCons3::Encolumnar(Recordset& rs) {
    columnas_.clear();
    const bool articulos = Contiene(sql, QStringLiteral("V_MA_ARTICULOS")) || Contiene(sql, QStringLiteral("STK_MA_ARTICULOS"));
    const int n = rs.FieldCount();
    cajas_.resize(static_cast<std::size_t>(std::max(n, 1)));
    for (int g = 0; g < n; ++g) {
        const Campo campo = rs.Fields(g);
        int w = static_cast<int>(campo.DefinedSize());
        if (campo.Type() == 6 || campo.Type() == 131) w = 12;
        w = std::min(w, 60);
        Columna c;
        c.Nombre = c.Encabezado = campo.Name();
        c.TipoCampo = campo.Type();
        if (articulos) {
            for (int k = 1; k <= 8; ++k)
                if (Iguales(c.Nombre, QStringLiteral("PRECIO%1").arg(k)))
                    c.Encabezado = Cfg(QStringLiteral("NOM_PCLASE%1").arg(k));
        } else if (ValoresDefault == QStringLiteral("@10")) {
            w += 10;
        }
        c.Letras = w;
        c.AnchoTwips = AnchoInicial(c);
        columnas_.push_back(c);
    }
    if (UsaCantidades) {
        Columna c;
        c.Nombre = c.Encabezado = kEncabezadoCantidad;
        c.Tipo = Column::Cantidad;
        c.Letras = 10;
        c.AnchoTwips = AnchoInicial(c);
        columnas_.push_back(c);
    }
}

double Lib_FrmCons3::AnchoInicial(const Columna& c) const {
    // A picker's one column is as wide as its engine asked.
    double w = Trim(sql).isEmpty() && AnchoTwips > 0 ? AnchoTwips : c.Letras * TwipsPorLetra;
    if (AnchoEncabezado) w = std::max(w, AnchoEncabezado(c.Encabezado));
    return w;
}

void Lib_FrmCons3::MedidasVentana(double twipsPorLetra, std::function<double(const QString&)> anchoEncabezado) {
    TwipsPorLetra = twipsPorLetra;
    AnchoEncabezado = std::move(anchoEncabezado);
    for (Columna& c : columnas_)
        if (!c.Guardada) c.AnchoTwips = AnchoInicial(c);
}

Lib_FrmCons3::Disposicion Lib_FrmCons3::CalcularAncho(double AnchoPantalla) const {
    Disposicion d;
    double total = 0;
    for (const Columna& c : columnas_) total += c.AnchoTwips;
    d.AnchoLista = total + 360;
    d.AnchoPanel = std::round(total) + 360;
    d.AnchoBarra = total;
    d.MaximoBarra = d.AnchoPanel > 32700 ? 32700 : (d.AnchoPanel + 480) * 0.6;
    d.AnchoVentana = d.AnchoLista + 360 >= AnchoPantalla ? AnchoPantalla - 480 : d.AnchoLista + 280;
    return d;
}

void Lib_FrmCons3::Leer(Recordset& rs) {
    if (rs.Bof() && rs.Eof()) return;
    const Lib_Util& u = LibUtil();
    const int n = rs.FieldCount();
    const int devuelto = IndiceColumna(CampoDevuelto);
    const int cantidad = ColumnaCantidad();
    const bool stock = articulos_ && Iguales(MuestraStock, QStringLiteral("SI"));
    const int pp = stock ? IndiceColumna(QStringLiteral("PUNTOPEDIDO")) : 0;
    const int st = stock ? IndiceColumna(QStringLiteral("Stock")) : 0;
    filas_.reserve(static_cast<std::size_t>(std::max<long>(rs.RecordCount(), 0)));
    for (; !rs.Eof(); rs.MoveNext()) {
        Fila f;
        f.Valores.reserve(n + 1);
        f.Textos.reserve(n + 1);
        for (int i = 0; i < n; ++i) {
            const QVariant v = rs.Fields(i).Value();
            f.Valores << v;
            if (columnas_[static_cast<std::size_t>(i)].TipoCampo == ado::adBoolean && !v.isNull())
                f.Textos << (v.toBool() ? QStringLiteral("Sí") : QStringLiteral("No"));
            else
                f.Textos << u.AlineaTexto(v);   // trimmed; a null value gives empty
        }
        if (cantidad >= 0) {
            f.Valores << 0.0;
            f.Textos << QString();
        }
        if (CheckBoxes && devuelto > 0) {
            const QString v = Trim(f.Textos[devuelto - 1]);
            f.Marcada = !v.isEmpty() && Contiene(ValoresDefault, v);
        }
        if (stock) {
            const double vpp = pp > 0 ? u.ValorNumerico(u.ValorCampo(f.Valores[pp - 1]).toString()) : 0;
            const double vst = st > 0 ? u.ValorNumerico(u.ValorCampo(f.Valores[st - 1]).toString()) : 0;
            QVariant color;
            if (vpp == 0 && vst > 0) color = StkNivel1;
            else if (vpp > 0 && vst > vpp) color = StkNivel2;
            else if (vpp > 0 && vst < vpp) color = StkNivel3;
            else color = StkNivel4;
            if (color.isValid() && !Trim(color.toString()).isEmpty()) f.Color = color;
        }
        filas_.push_back(std::move(f));
    }
}

void Lib_FrmCons3::AplicaAnchosGuardados() {
    QString clave = tabla_;
    if (Iguales(clave, QStringLiteral("Stk_ma_articulos"))) clave = QStringLiteral("VT_MA_ARTICULOS");
    if (clave.isEmpty()) return;
    const QString anchos = LeeAnchosConsulta(clave);
    if (anchos.isEmpty()) return;
    const QStringList partes = anchos.split(QLatin1Char('|'));
    const Lib_Util& u = LibUtil();
    for (std::size_t i = 0; i < columnas_.size() && i < static_cast<std::size_t>(partes.size()); ++i) {
        if (Trim(partes[static_cast<int>(i)]).isEmpty()) continue;
        columnas_[i].AnchoTwips = u.ValorNumerico(partes[static_cast<int>(i)]);
        columnas_[i].Guardada = true;
    }
}

QString Lib_FrmCons3::TextoAnchos() const {
    QString r;
    for (const Columna& c : columnas_) r += NumeroATexto(c.AnchoTwips) + QLatin1Char('|');
    return r;
}

void Lib_FrmCons3::CambiaAncho(int columna, double twips) {
    if (columna >= 0 && columna < static_cast<int>(columnas_.size())) columnas_[static_cast<std::size_t>(columna)].AnchoTwips = twips;
}

void Lib_FrmCons3::SeleccionaFila(int fila) {
    actual_ = (fila >= 0 && fila < static_cast<int>(filas_.size())) ? fila : -1;
}

void Lib_FrmCons3::MarcaFila(int fila, bool marcada) {
    if (fila >= 0 && fila < static_cast<int>(filas_.size())) filas_[static_cast<std::size_t>(fila)].Marcada = marcada;
}

QString Lib_FrmCons3::Texto(int fila, int columna) const {
    const Fila& f = filas_[static_cast<std::size_t>(fila)];
    return columna < f.Textos.size() ? f.Textos[columna] : QString();
}

int Lib_FrmCons3::IndiceColumna(const QString& Columna) const {
    const QString buscada = Trim(Columna);
    for (std::size_t i = 0; i < columnas_.size(); ++i)
        if (Iguales(Trim(columnas_[i].Encabezado), buscada)) return static_cast<int>(i) + 1;
    return 0;
}

QString Lib_FrmCons3::ValorEnColumna(int fila, int columna1) const {
    if (columna1 <= 0) return {};
    return Trim(Texto(fila, columna1 - 1));
}

QVariant Lib_FrmCons3::ValorDevueltoEn(int fila, int columna1) const {
    if (columna1 > 0 && columnas_[static_cast<std::size_t>(columna1 - 1)].TipoCampo == ado::adBoolean)
        return filas_[static_cast<std::size_t>(fila)].Valores.value(columna1 - 1);
    return ValorEnColumna(fila, columna1);
}

int Lib_FrmCons3::ColumnaCantidad() const {
    for (std::size_t i = 0; i < columnas_.size(); ++i)
        if (columnas_[i].Tipo == Column::Cantidad) return static_cast<int>(i);
    return -1;
}

// ---- search ------------------------------------------------------------------

void Lib_FrmCons3::CambiaCaja(int caja, const QString& texto) {
    if (caja < 0) return;
    if (caja >= CantidadCajas()) cajas_.resize(static_cast<std::size_t>(caja) + 1);
    cajas_[static_cast<std::size_t>(caja)] = texto;
    cajaActiva_ = caja;
    const QString clave = Trim(texto);
    // A text that extends the previous one of the same box can only match
    // from the previous match on (and nowhere when that found nothing).
    int desde = 0;
    const bool sigue = busqueda_.valida && busqueda_.caja == caja && clave.startsWith(busqueda_.clave, Qt::CaseInsensitive);
    if (sigue && busqueda_.fila < 0) return;
    if (sigue) desde = busqueda_.fila;
    const int i = Busqueda(clave, caja, desde);
    busqueda_ = {true, caja, clave, i};
    if (i >= 0) actual_ = i;
}

int Lib_FrmCons3::Busqueda(const QString& Clave, int QueValor) const { return Busqueda(Clave, QueValor, 0); }

int Lib_FrmCons3::Busqueda(const QString& Clave, int QueValor, int desde) const {
    const QString clave = Trim(Clave);
    const int n = static_cast<int>(filas_.size());
    for (int i = std::max(desde, 0); i < n; ++i) {
        const QStringList& t = filas_[static_cast<std::size_t>(i)].Textos;
        if (QueValor >= t.size()) continue;
        // Cell texts are trimmed when loaded.
        if (t[QueValor].startsWith(clave, Qt::CaseInsensitive)) return i;
    }
    return -1;
}

bool Lib_FrmCons3::RefinaEnServidor(int caja) {
    if (caja < 0 || caja >= static_cast<int>(columnas_.size()) || columnas_[static_cast<std::size_t>(caja)].Tipo != Column::Campo)
        return false;
    QString base = sql, cola;
    if (Contiene(sql, QStringLiteral("order"))) {
        const int p = InStr(sql, QStringLiteral("order by"));
        if (p > 0) {
            cola = Mid(sql, p);
            base = Left(sql, p - 1);
        }
    }
    if (Contiene(sql, QStringLiteral("group by"))) {
        const int p = InStr(sql, QStringLiteral("group by"));
        const QString c = Mid(sql, p);
        if (!Trim(c).isEmpty()) {
            cola = c;
            base = Left(sql, p - 1);
        }
    }
    QString prefijo;
    if (Contiene(base, QStringLiteral("stk_ma_articulos."))) prefijo = QStringLiteral("stk_ma_articulos.");
    else if (Contiene(base, QStringLiteral("v_ma_articulos."))) prefijo = QStringLiteral("v_ma_articulos.");
    const QString union_ = Contiene(sql, QStringLiteral("where")) ? QStringLiteral(" and ") : QStringLiteral(" where ");
    const QString campo = columnas_[static_cast<std::size_t>(caja)].Nombre;
    QString texto = cajas_[static_cast<std::size_t>(caja)];
    QString nueva;
    if (CfgUsaConsultaLIKE) {
        nueva = base + union_ + prefijo + campo + QStringLiteral(" like '%") +
                Comillas(Reemplaza(texto, QStringLiteral(" "), QStringLiteral("%"))) + QStringLiteral("%' ") + cola;
    } else {
        texto = Reemplaza(texto, QStringLiteral("*"), QStringLiteral("%"));
        nueva = base + union_ + prefijo + campo + QStringLiteral(" like '") + Comillas(texto) + QStringLiteral("%' ") + cola;
    }
    cajas_[static_cast<std::size_t>(caja)].clear();
    sql = nueva;
    const bool ok = Carga();
    if (AlRecargar) AlRecargar();
    return ok;
}

// ---- sorting -----------------------------------------------------------------

void Lib_FrmCons3::OrdenaFilas(int columna, bool descendente) {
    const int seleccion = actual_;
    const Fila* elegida = seleccion >= 0 ? &filas_[static_cast<std::size_t>(seleccion)] : nullptr;
    std::vector<std::size_t> idx(filas_.size());
    for (std::size_t i = 0; i < idx.size(); ++i) idx[i] = i;
    std::stable_sort(idx.begin(), idx.end(), [&](std::size_t a, std::size_t b) {
        const Fila& x = filas_[a];
        const Fila& y = filas_[b];
        const int c = Compara(x.Valores.value(columna), y.Valores.value(columna), x.Textos.value(columna),
                              y.Textos.value(columna));
        return descendente ? c > 0 : c < 0;
    });
    std::vector<Fila> nuevas;
    nuevas.reserve(filas_.size());
    int nuevaSel = -1;
    for (std::size_t i = 0; i < idx.size(); ++i) {
        if (elegida && idx[i] == static_cast<std::size_t>(seleccion)) nuevaSel = static_cast<int>(i);
        nuevas.push_back(std::move(filas_[idx[i]]));
    }
    filas_ = std::move(nuevas);
    actual_ = nuevaSel;
    busqueda_ = {};
    ordenColumna_ = columna;
    ordenDesc_ = descendente;
}

void Lib_FrmCons3::OrdenaPorColumna(int columna) {
    if (columna < 0 || columna >= static_cast<int>(columnas_.size())) return;
    const bool desc = ordenColumna_ == columna ? !ordenDesc_ : false;
    OrdenaFilas(columna, desc);
    const QString encabezado = columnas_[static_cast<std::size_t>(columna)].Encabezado;
    if (Contiene(encabezado, QStringLiteral("fecha")) || Contiene(encabezado, QStringLiteral("VENCIMIENTO")))
        OrdenarPorFecha(encabezado);
}

void Lib_FrmCons3::OrdenarPorFecha(const QString& Cual) {
    if (!Contiene(sql, QStringLiteral("order"))) {
        OrdenarPorLwv = false;
        const QString antes = sql;
        sql += QStringLiteral(" order by ") + Cual;
        if (Iguales(Trim(Cual), QStringLiteral("fechahorafinromaneo"))) sql += QStringLiteral(" desc ");
        Carga();
        sql = antes;
    } else {
        Carga();
    }
    if (AlRecargar) AlRecargar();
}

// ---- keys --------------------------------------------------------------------

void Lib_FrmCons3::CambiaCantidad(int fila, double cantidad, int decimales) {
    const int c = ColumnaCantidad();
    if (c < 0 || fila < 0 || fila >= static_cast<int>(filas_.size())) return;
    Fila& f = filas_[static_cast<std::size_t>(fila)];
    f.Valores[c] = cantidad;
    f.Textos[c] = FormatoCantidad(cantidad, decimales);
}

Lib_FrmCons3::Accion Lib_FrmCons3::TeclaLista(int codigo, bool shift, const QString& texto) {
    if (codigo == kTeclaEnter) return Accion::Aceptar;
    const int c = ColumnaCantidad();
    if (UsaCantidades && c >= 0 && actual_ >= 0 && (codigo == kTeclaInsert || codigo == kTeclaDelete)) {
        Fila& f = filas_[static_cast<std::size_t>(actual_)];
        const double actual = f.Valores[c].toDouble();
        if (codigo == kTeclaInsert && shift) {
            const auto r = ElOperador().Entrada(QStringLiteral("Ingrese la Cantidad del Articulo..."),
                                                QStringLiteral("Carga de Datos"), NumeroATexto(actual));
            if (!r) return Accion::Nada;
            const double v = LibUtil().ValorNumerico(*r);
            if (v == 0) {
                f.Valores[c] = 0.0;
                f.Textos[c] = QStringLiteral("0.######");
            } else {
                CambiaCantidad(actual_, v, 2);
            }
            f.Marcada = true;
        } else if (codigo == kTeclaInsert) {
            CambiaCantidad(actual_, actual + 1, 1);
            f.Marcada = true;
        } else {
            const double v = actual - 1;
            if (v > 0) {
                CambiaCantidad(actual_, v, 1);
            } else {
                f.Marcada = false;
                CambiaCantidad(actual_, 0, 2);
            }
        }
        return Accion::Nada;
    }
    if (codigo == kTeclaEspacio && CheckBoxes) return Accion::Nada;  // the list toggles the check
    const bool escribe = (codigo >= 47 && codigo <= 93) || (codigo >= 97 && codigo < kTeclaF1) ||
                         (codigo > kTeclaF12 && codigo <= 125) || codigo == kTeclaBackspace || codigo == kTeclaEspacio;
    if (!escribe) return Accion::Nada;
    QString caja = TextoCaja(cajaActiva_);
    if (codigo == kTeclaBackspace) caja.chop(1);
    else caja += texto.isEmpty() ? QString(QChar(codigo)) : texto;
    CambiaCaja(cajaActiva_, caja);
    return Accion::FocoBusqueda;
}

void Lib_FrmCons3::InformaFaltante() {
    if (!articulos_ || actual_ < 0) return;
    const QString codigo = ValorEnColumna(actual_, IndiceColumna(QStringLiteral("idarticulo")));
    const QString descripcion = ValorEnColumna(actual_, IndiceColumna(QStringLiteral("Descripcion")));
    const int r = ElOperador().Mensaje(QStringLiteral("Desea informar el articulo ") + codigo + QLatin1Char(' ') +
                                           descripcion + QStringLiteral("\r\ncomo un faltante de stock?"),
                                       vbQuestion + vbYesNo, QStringLiteral("Atención!"));
    if (r != vbYes) return;
    const Lib_Util& u = LibUtil();
    gDB().EjecutaConsultaSQL(
        QStringLiteral("INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) values('") +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd HH:mm:ss")) + QStringLiteral("','") +
        Comillas(u.AlineaTexto(codigo, 25)) + QStringLiteral("','") + Comillas(Trim(descripcion)) +
        QStringLiteral("','") + Comillas(gDB().gUsuario) + QStringLiteral("')"));
}

// ---- buttons -----------------------------------------------------------------

void Lib_FrmCons3::CmdAceptar() {
    Guardia g(TratamientoGlobalDe(QStringLiteral("CmdAceptar_Click")));
    g.Paso([&] {
        if (CheckBoxes) {
            if (Trim(CampoDevuelto).isEmpty() && !columnas_.empty()) CampoDevuelto = columnas_[0].Encabezado;
            // Quantities stay in the rows' quantity column.
            const int k = IndiceColumna(CampoDevuelto);
            for (int i = 0; i < static_cast<int>(filas_.size()); ++i)
                if (filas_[static_cast<std::size_t>(i)].Marcada) Valores << ValorDevueltoEn(i, k);
            return;
        }
        if (actual_ < 0) return;
        QVariant ultimo = QString();
        for (const QString& nombre : CmpsDevueltos) {
            ultimo = ValorDevueltoEn(actual_, IndiceColumna(nombre));
            Valores << ultimo;
        }
        ValorDevuelto = Trim(CampoDevuelto).isEmpty() ? ultimo : ValorDevueltoEn(actual_, IndiceColumna(CampoDevuelto));
    });
    oculta_ = true;
}

void Lib_FrmCons3::CmdCancelar() {
    DescartaEleccion();
    oculta_ = true;
}

void Lib_FrmCons3::CmdNueva() {
    if (hayInicial_) sql = inicial_;
    Carga();
    cajaActiva_ = 0;
    if (AlRecargar) AlRecargar();
}

void Lib_FrmCons3::CmdTodos() {
    for (Fila& f : filas_) f.Marcada = !f.Marcada;
}

void Lib_FrmCons3::CmdNuevo() {
    const QString t = tabla_;
    QString programa = QStringLiteral("SHELL:V_TA_TABLAS");
    QString argumento = t;
    if (Iguales(t, QStringLiteral("VT_CLIENTES"))) {
        programa = QStringLiteral("SHELL:V_MA_CLIENTES");
        argumento = QStringLiteral("1");
    } else if (Iguales(t, QStringLiteral("VT_PROVEEDORES"))) {
        programa = QStringLiteral("SHELL:V_MA_CLIENTES");
        argumento = QStringLiteral("0");
    } else if (Iguales(t, QStringLiteral("V_TA_Tecnicos")) || Iguales(t, QStringLiteral("V_TA_VENDEDORES"))) {
        programa = QStringLiteral("SHELL:") + (Iguales(t, QStringLiteral("V_TA_Tecnicos")) ? QStringLiteral("V_TA_Tecnicos")
                                                                                          : QStringLiteral("V_TA_VENDEDORES"));
        argumento.clear();
    } else if (Iguales(t, QStringLiteral("V_MA_ARTICULOS")) || Iguales(t, QStringLiteral("VT_MA_ARTICULOS"))) {
        programa = QStringLiteral("SHELL:V_MA_ARTICULOS");
        argumento.clear();
    }
    int32_t resultado = 0;
    MenuExes(programa, argumento, resultado);
}

DB_Dll& Lib_FrmCons3::SesionAlternativa() {
    // A second session on the main one's database, created on first use.
    static std::unique_ptr<DB_Dll> s;
    if (!s) s = std::make_unique<DB_Dll>();
    if (s->Cnn().State() == 0) {
        const DB_Dll& principal = gDB();
        s->gProveedor = principal.gProveedor;
        s->gServidor = principal.gServidor;
        s->gDBName = principal.gDBName;
        s->gUsuario = principal.gUsuario;
        s->gUserPassWord = principal.gUserPassWord;
        s->OpenServerADODB(false, 3, principal.gConnString, false, false);
    }
    return *s;
}

void Lib_FrmCons3::Cierra() {
    UsarUDBC = false;
    if (GrabarCfg && !Trim(sql).isEmpty() && !tabla_.isEmpty() && !columnas_.empty()) {
        try {
            GrabaAnchosConsulta(tabla_, TextoAnchos());
        } catch (...) {
            (void)FalloActual();
            ElOperador().Mensaje(QStringLiteral("No se pudo grabar el archivo de anchos CONSULTASLEN.KVX"), vbCritical,
                                 QStringLiteral("Aviso al Operador"));
        }
    }
    filas_.clear();
    actual_ = -1;
    busqueda_ = {};
}
