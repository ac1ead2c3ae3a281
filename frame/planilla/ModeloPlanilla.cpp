#include "frame/planilla/ModeloPlanilla.h"

#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "db/platform/Conexion.h"
#include "platform/lib/Lib_Teclado.h"
#include "platform/Fallo.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "platform/sesion/Sesion.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSentenciasGuardadas = 100;
constexpr std::size_t kAnclasMax = 100000;

QString Corchetes(const QString& nombre) {
    return QLatin1Char('[') + QString(nombre).replace(QLatin1Char(']'), QLatin1String("]]")) + QLatin1Char(']');
}

// "dbo.[V_MA_ARTICULOS]" -> "V_MA_ARTICULOS"
QString NombreSolo(const QString& tabla) {
    QString n = Texto::Trim(tabla);
    if (n.endsWith(QLatin1Char(']'))) {
        const int abre = n.lastIndexOf(QLatin1Char('['));
        if (abre >= 0) return n.mid(abre + 1, n.size() - abre - 2);
    }
    const int punto = n.lastIndexOf(QLatin1Char('.'));
    return punto >= 0 ? n.mid(punto + 1) : n;
}

bool EsTexto(int t) {
    return t == ado::adChar || t == ado::adVarChar || t == ado::adWChar || t == ado::adVarWChar ||
           t == ado::adLongVarChar || t == ado::adLongVarWChar || t == ado::adBSTR || t == ado::adGUID;
}
bool EsEntero(int t) {
    return t == ado::adSmallInt || t == ado::adInteger || t == ado::adTinyInt || t == ado::adUnsignedTinyInt ||
           t == ado::adBigInt;
}
bool EsDecimal(int t) {
    return t == ado::adNumeric || t == ado::adDecimal || t == ado::adCurrency || t == ado::adDouble ||
           t == ado::adSingle;
}
bool EsFecha(int t) {
    return t == ado::adDate || t == ado::adDBDate || t == ado::adDBTimeStamp || t == ado::adDBTime;
}
bool EsBinario(int t) {
    return t == ado::adBinary || t == ado::adVarBinary || t == ado::adLongVarBinary;
}

QString Decimal(double v, int minimo) {
    QString t = Texto::NumeroATexto(v);
    if (minimo > 0) {
        const int punto = t.indexOf(QLatin1Char('.'));
        const int tiene = punto < 0 ? 0 : static_cast<int>(t.size()) - punto - 1;
        if (tiene < minimo) t = QString::number(v, 'f', minimo);
    }
    return t.replace(QLatin1Char('.'), LibTeclado().SeparadorDecimal());
}

}  // namespace

ModeloPlanilla::ModeloPlanilla() = default;
ModeloPlanilla::~ModeloPlanilla() = default;

// ---- opening ------------------------------------------------------------------

bool ModeloPlanilla::Abre(const QString& Tabla, const QString& Conexion, const QString& Titulo) {
    propia_.reset();
    cn_ = nullptr;
    columnas_.clear();
    claves_.clear();
    pendientes_.clear();
    nueva_.reset();
    sentencias_.clear();
    Invalida();
    total_ = 0;
    paginasLeidas_ = 0;
    tabla_ = Tabla;
    titulo_ = Titulo;
    nombreTabla_ = NombreSolo(Tabla);
    try {
        DB_Dll& db = gDB();
        if (db.gCnn && db.gCnn->State() == ado::adStateOpen &&
            Texto::Iguales(Texto::Trim(Conexion), Texto::Trim(db.gConnString))) {
            cn_ = db.gCnn.get();
        } else {
            propia_ = std::make_shared<::Conexion>();
            propia_->SetCommandTimeout(gTimeOut);
            cn_ = propia_.get();
            propia_->Open(Conexion);
        }
        RecordsetPtr rs = Ejecuta(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(Corchetes(nombreTabla_)), {});
        QStringList nombres;
        for (int i = 0; i < rs->FieldCount(); ++i) {
            const Campo f = rs->Fields(i);
            ColumnaPlanilla c;
            c.Nombre = f.Name();
            c.Tipo = f.Type();
            c.Tamano = f.DefinedSize();
            const long a = f.Attributes();
            c.Clave = (a & ado::adFldKeyColumn) != 0;
            c.AdmiteNulos = (a & ado::adFldIsNullable) != 0;
            c.Editable = (a & ado::adFldUpdatable) != 0 && !EsBinario(c.Tipo);
            nombres << Corchetes(c.Nombre);
            columnas_.push_back(c);
        }
        lista_ = nombres.join(QStringLiteral(", "));
        LeeClaves();
        total_ = Cuenta({}, {});
    } catch (...) {
        const QString texto = cn_ ? TextoFallo() : FalloActual().Descripcion();
        cn_ = nullptr;
        propia_.reset();
        columnas_.clear();
        claves_.clear();
        Avisa(texto);
        return false;
    }
    return true;
}

// The primary key from the schema, in key order; else the columns the
// record set marks as key (a driver without the keys rowset).
void ModeloPlanilla::LeeClaves() {
    std::vector<int> claves;
    try {
        RecordsetPtr rs = cn_->OpenSchema(ado::adSchemaPrimaryKeys, {QVariant(), QVariant(), nombreTabla_});
        std::vector<std::pair<int, int>> orden;
        for (; !rs->Eof(); rs->MoveNext()) {
            const QString nombre = rs->Value(QStringLiteral("COLUMN_NAME")).toString();
            for (int i = 0; i < static_cast<int>(columnas_.size()); ++i)
                if (Texto::Iguales(columnas_[static_cast<std::size_t>(i)].Nombre, nombre))
                    orden.emplace_back(rs->Value(QStringLiteral("ORDINAL")).toInt(), i);
        }
        std::sort(orden.begin(), orden.end());
        for (const auto& [ordinal, i] : orden) claves.push_back(i);
    } catch (const Fallo&) {
        claves.clear();
    }
    if (claves.empty())
        for (int i = 0; i < static_cast<int>(columnas_.size()); ++i)
            if (columnas_[static_cast<std::size_t>(i)].Clave) claves.push_back(i);
    for (ColumnaPlanilla& c : columnas_) c.Clave = false;
    for (int i : claves) {
        columnas_[static_cast<std::size_t>(i)].Clave = true;
        columnas_[static_cast<std::size_t>(i)].AdmiteNulos = false;
    }
    claves_ = std::move(claves);
}

// ---- reading --------------------------------------------------------------------

RecordsetPtr ModeloPlanilla::Ejecuta(const QString& sql, const QVariantList& params, long* afectadas) {
    sentencias_ << sql;
    if (sentencias_.size() > kSentenciasGuardadas) sentencias_.removeFirst();
    return cn_->EjecutaConParametros(sql, params, afectadas);
}

QString ModeloPlanilla::Orden(bool descendente) const {
    QStringList partes;
    for (int k : claves_)
        partes << Corchetes(columnas_[k].Nombre) + (descendente ? QStringLiteral(" DESC") : QString());
    return partes.join(QStringLiteral(", "));
}

// The rows whose key compares with `clave` by `op` (">", "<", ">=", "<="),
// for a key of one or several columns.
QString ModeloPlanilla::Comparacion(const QString& op, QVariantList& params, const QVariantList& clave) const {
    const int n = static_cast<int>(claves_.size());
    if (n == 1) {
        params << clave[0];
        return Corchetes(columnas_[claves_[0]].Nombre) + QLatin1Char(' ') + op + QStringLiteral(" ?");
    }
    const QString estricto = op.left(1);
    QStringList alternativas;
    for (int i = 0; i < n; ++i) {
        QStringList partes;
        for (int j = 0; j < i; ++j) {
            partes << Corchetes(columnas_[claves_[j]].Nombre) + QStringLiteral(" = ?");
            params << clave[j];
        }
        partes << Corchetes(columnas_[claves_[i]].Nombre) + QLatin1Char(' ') + (i == n - 1 ? op : estricto) +
                      QStringLiteral(" ?");
        params << clave[i];
        alternativas << QLatin1Char('(') + partes.join(QStringLiteral(" AND ")) + QLatin1Char(')');
    }
    return QLatin1Char('(') + alternativas.join(QStringLiteral(" OR ")) + QLatin1Char(')');
}

QString ModeloPlanilla::PorClave(QVariantList& params, const QVariantList& clave) const {
    QStringList partes;
    for (std::size_t i = 0; i < claves_.size(); ++i) {
        partes << Corchetes(columnas_[claves_[i]].Nombre) + QStringLiteral(" = ?");
        params << clave[static_cast<int>(i)];
    }
    return partes.join(QStringLiteral(" AND "));
}

long ModeloPlanilla::Cuenta(const QString& donde, const QVariantList& params) {
    QString sql = QStringLiteral("SELECT COUNT(*) FROM %1").arg(Corchetes(nombreTabla_));
    if (!donde.isEmpty()) sql += QStringLiteral(" WHERE ") + donde;
    RecordsetPtr rs = Ejecuta(sql, params);
    return rs->Eof() ? 0 : static_cast<long>(rs->Fields(0).Value().toLongLong());
}

long ModeloPlanilla::Posicion(const QVariantList& clave) {
    QVariantList params;
    const QString donde = Comparacion(QStringLiteral("<"), params, clave);
    return Cuenta(donde, params);
}

std::vector<QVariantList> ModeloPlanilla::LeeFilas(const QString& donde, const QVariantList& params, int cuantas,
                                                   bool descendente) {
    QString sql = QStringLiteral("SELECT ");
    if (cuantas > 0) sql += QStringLiteral("TOP %1 ").arg(cuantas);
    sql += lista_ + QStringLiteral(" FROM ") + Corchetes(nombreTabla_);
    if (!donde.isEmpty()) sql += QStringLiteral(" WHERE ") + donde;
    if (!claves_.empty()) sql += QStringLiteral(" ORDER BY ") + Orden(descendente);
    RecordsetPtr rs = Ejecuta(sql, params);
    std::vector<QVariantList> filas;
    filas.reserve(static_cast<std::size_t>(std::max(0L, rs->RecordCount())));
    const int n = rs->FieldCount();
    for (; !rs->Eof(); rs->MoveNext()) {
        QVariantList f;
        f.reserve(n);
        for (int i = 0; i < n; ++i) f << rs->Fields(i).Value();
        filas.push_back(std::move(f));
    }
    if (descendente) std::reverse(filas.begin(), filas.end());
    return filas;
}

QVariantList ModeloPlanilla::ClaveDe(const QVariantList& fila) const {
    QVariantList clave;
    for (int k : claves_) clave << fila.value(k);
    return clave;
}

QString ModeloPlanilla::Llave(const QVariantList& clave) {
    QStringList partes;
    for (const QVariant& v : clave) partes << (v.isNull() ? QStringLiteral("\x01") : v.toString());
    return partes.join(QChar(0x1F));
}

void ModeloPlanilla::Recuerda(long fila, const QVariantList& clave) {
    if (anclas_.size() >= kAnclasMax) anclas_.clear();
    anclas_[fila] = clave;
}

void ModeloPlanilla::Invalida() {
    paginas_.clear();
    anclas_.clear();
}

std::optional<QVariantList> ModeloPlanilla::ClaveEn(long fila) {
    if (fila < 0 || fila >= total_) return std::nullopt;
    if (auto it = anclas_.find(fila); it != anclas_.end()) return it->second;
    if (auto it = paginas_.find(fila / kFilasPorPagina); it != paginas_.end()) {
        const std::size_t i = static_cast<std::size_t>(fila % kFilasPorPagina);
        if (i < it->second.filas.size()) return ClaveDe(it->second.filas[i]);
    }
    // The nearest known key below (or the start) and above (or the end).
    long abajo = -1, arriba = total_;
    auto sig = anclas_.upper_bound(fila);
    if (sig != anclas_.end()) arriba = sig->first;
    if (sig != anclas_.begin()) abajo = std::prev(sig)->first;
    QStringList claves;
    for (int k : claves_) claves << Corchetes(columnas_[k].Nombre);
    QVariantList params;
    QString interior;
    bool haciaAdelante = fila - abajo <= arriba - fila;
    if (haciaAdelante) {
        interior = QStringLiteral("SELECT TOP %1 %2 FROM %3").arg(fila - abajo).arg(claves.join(QStringLiteral(", ")),
                                                                                   Corchetes(nombreTabla_));
        if (abajo >= 0) interior += QStringLiteral(" WHERE ") + Comparacion(QStringLiteral(">"), params, anclas_[abajo]);
        interior += QStringLiteral(" ORDER BY ") + Orden(false);
    } else {
        interior = QStringLiteral("SELECT TOP %1 %2 FROM %3").arg(arriba - fila).arg(claves.join(QStringLiteral(", ")),
                                                                                   Corchetes(nombreTabla_));
        if (arriba < total_)
            interior += QStringLiteral(" WHERE ") + Comparacion(QStringLiteral("<"), params, anclas_[arriba]);
        interior += QStringLiteral(" ORDER BY ") + Orden(true);
    }
    RecordsetPtr rs = Ejecuta(QStringLiteral("SELECT TOP 1 %1 FROM (%2) AS x ORDER BY %3")
                                  .arg(claves.join(QStringLiteral(", ")), interior, Orden(haciaAdelante)),
                              params);
    if (rs->Eof()) return std::nullopt;
    QVariantList clave;
    for (int i = 0; i < rs->FieldCount(); ++i) clave << rs->Fields(i).Value();
    Recuerda(fila, clave);
    return clave;
}

ModeloPlanilla::Pagina& ModeloPlanilla::LeePagina(long p) {
    if (auto it = paginas_.find(p); it != paginas_.end()) {
        it->second.uso = ++reloj_;
        return it->second;
    }
    Pagina pagina;
    pagina.uso = ++reloj_;
    const long desde = p * kFilasPorPagina;
    const int n = static_cast<int>(std::min<long>(kFilasPorPagina, total_ - desde));
    try {
        if (claves_.empty()) {
            // Without a key there is no order to page by: the rows are read
            // once and kept.
            std::vector<QVariantList> todas = LeeFilas({}, {}, 0, false);
            ++paginasLeidas_;
            total_ = static_cast<long>(todas.size());
            for (long i = 0; i < total_; i += kFilasPorPagina) {
                Pagina& q = paginas_[i / kFilasPorPagina];
                q.filas.assign(todas.begin() + i, todas.begin() + std::min<long>(i + kFilasPorPagina, total_));
            }
            Pagina& r = paginas_[p];
            r.uso = ++reloj_;
            return r;
        }
        if (n > 0) {
            QVariantList params;
            std::optional<QVariantList> antes;
            if (desde == 0) {
                pagina.filas = LeeFilas({}, {}, n, false);
            } else if (desde + n == total_) {
                pagina.filas = LeeFilas({}, {}, n, true);
            } else if (auto a = anclas_.find(desde + n); a != anclas_.end() && !anclas_.count(desde - 1)) {
                // Scrolling up: the rows before the next page's first.
                pagina.filas = LeeFilas(Comparacion(QStringLiteral("<"), params, a->second), params, n, true);
            } else if ((antes = ClaveEn(desde - 1))) {
                pagina.filas = LeeFilas(Comparacion(QStringLiteral(">"), params, *antes), params, n, false);
            }
            ++paginasLeidas_;
            if (!pagina.filas.empty()) {
                Recuerda(desde, ClaveDe(pagina.filas.front()));
                Recuerda(desde + static_cast<long>(pagina.filas.size()) - 1, ClaveDe(pagina.filas.back()));
            }
        }
    } catch (...) {
        errorLectura_ = TextoFallo();
        pagina.filas.clear();
    }
    while (paginas_.size() >= static_cast<std::size_t>(kPaginasEnMemoria)) {
        auto vieja = std::min_element(paginas_.begin(), paginas_.end(),
                                      [](const auto& a, const auto& b) { return a.second.uso < b.second.uso; });
        paginas_.erase(vieja);
    }
    return paginas_[p] = std::move(pagina);
}

const QVariantList* ModeloPlanilla::FilaLeida(long fila) {
    if (!Abierta() || fila < 0 || fila >= total_) return nullptr;
    const Pagina& p = LeePagina(fila / kFilasPorPagina);
    const std::size_t i = static_cast<std::size_t>(fila % kFilasPorPagina);
    return i < p.filas.size() ? &p.filas[i] : nullptr;
}

QVariant ModeloPlanilla::Valor(long fila, int columna) {
    const QVariantList* f = FilaLeida(fila);
    return f ? f->value(columna) : QVariant();
}

QString ModeloPlanilla::Texto(long fila, int columna) {
    if (columna < 0 || columna >= static_cast<int>(columnas_.size())) return {};
    if (EsFilaNueva(fila)) {
        auto it = nueva_->find(columna);
        return it == nueva_->end() ? QString() : it->second;
    }
    const QVariantList* f = FilaLeida(fila);
    if (!f) return {};
    if (!pendientes_.empty()) {
        auto it = pendientes_.find(Llave(ClaveDe(*f)));
        if (it != pendientes_.end()) {
            auto c = it->second.find(columna);
            if (c != it->second.end()) return c->second;
        }
    }
    return TextoDe(f->value(columna), columnas_[columna]);
}

bool ModeloPlanilla::Pendiente(long fila, int columna) {
    if (EsFilaNueva(fila)) return nueva_->count(columna) > 0;
    if (pendientes_.empty()) return false;
    const QVariantList* f = FilaLeida(fila);
    if (!f) return false;
    auto it = pendientes_.find(Llave(ClaveDe(*f)));
    return it != pendientes_.end() && it->second.count(columna) > 0;
}

long ModeloPlanilla::CeldasPendientes() const {
    long n = nueva_ ? static_cast<long>(nueva_->size()) : 0;
    for (const auto& [llave, celdas] : pendientes_) n += static_cast<long>(celdas.size());
    return n;
}

std::optional<QString> ModeloPlanilla::TomaErrorLectura() {
    std::optional<QString> e;
    e.swap(errorLectura_);
    return e;
}

void ModeloPlanilla::Refresca() {
    if (!Abierta()) return;
    if (AntesDeCambiar) AntesDeCambiar();
    Invalida();
    try {
        total_ = Cuenta({}, {});
    } catch (...) {
        const QString texto = TextoFallo();
        if (DespuesDeCambiar) DespuesDeCambiar();
        Avisa(texto);
        return;
    }
    if (DespuesDeCambiar) DespuesDeCambiar();
}

// ---- values -----------------------------------------------------------------------

QString ModeloPlanilla::TextoDe(const QVariant& v, const ColumnaPlanilla& c) const {
    if (!v.isValid() || v.isNull()) return {};
    if (c.Tipo == ado::adBoolean) return v.toBool() ? QStringLiteral("Sí") : QStringLiteral("No");
    if (EsBinario(c.Tipo)) return QStringLiteral("(binario)");
    if (EsEntero(c.Tipo)) return QString::number(v.toLongLong());
    if (EsDecimal(c.Tipo)) return Decimal(v.toDouble(), c.Tipo == ado::adCurrency ? 2 : 0);
    if (EsFecha(c.Tipo)) {
        const QDateTime d = v.toDateTime();
        if (!d.isValid()) return v.toString();
        return Texto::FormatoFecha(d, d.time() == QTime(0, 0) ? QStringLiteral("dd/mm/yyyy")
                                                               : QStringLiteral("dd/mm/yyyy hh:nn:ss"));
    }
    return v.toString();
}

std::optional<QVariant> ModeloPlanilla::Convierte(const QString& texto, const ColumnaPlanilla& c,
                                                  QString& motivo) const {
    if (EsTexto(c.Tipo)) {
        if (texto.isEmpty()) return c.AdmiteNulos ? QVariant() : QVariant(QStringLiteral(""));
        return QVariant(texto);
    }
    const QString t = Texto::Trim(texto);
    if (t.isEmpty() && c.Tipo != ado::adBoolean) return QVariant();
    if (EsEntero(c.Tipo)) {
        bool ok = false;
        const qlonglong n = t.toLongLong(&ok);
        if (ok) return QVariant(n);
        motivo = QStringLiteral("«%1» no es un número entero válido para la columna %2.").arg(texto, c.Nombre);
        return std::nullopt;
    }
    if (EsDecimal(c.Tipo)) {
        QString n = t;
        const QString separador = LibTeclado().SeparadorDecimal();
        if (separador != QLatin1String(".") && !n.contains(QLatin1Char('.'))) n.replace(separador, QStringLiteral("."));
        bool ok = false;
        const double d = QLocale::c().toDouble(n, &ok);
        if (ok && std::isfinite(d)) return QVariant(d);
        motivo = QStringLiteral("«%1» no es un número válido para la columna %2.").arg(texto, c.Nombre);
        return std::nullopt;
    }
    if (EsFecha(c.Tipo)) {
        const QDateTime d = Texto::LeeFecha(t);
        if (d.isValid()) return QVariant(d);
        motivo = QStringLiteral("«%1» no es una fecha válida (dd/mm/aaaa) para la columna %2.").arg(texto, c.Nombre);
        return std::nullopt;
    }
    if (c.Tipo == ado::adBoolean) {
        const QString u = Texto::UCase(t);
        static const QStringList si = {QStringLiteral("1"),  QStringLiteral("S"),    QStringLiteral("SI"),
                                       QStringLiteral("SÍ"), QStringLiteral("V"),    QStringLiteral("VERDADERO"),
                                       QStringLiteral("X"),  QStringLiteral("TRUE")};
        static const QStringList no = {QStringLiteral("0"), QStringLiteral("N"), QStringLiteral("NO"),
                                       QStringLiteral("F"), QStringLiteral("FALSO"), QStringLiteral("FALSE")};
        if (u.isEmpty()) return c.AdmiteNulos ? QVariant() : QVariant(false);
        if (si.contains(u)) return QVariant(true);
        if (no.contains(u)) return QVariant(false);
        motivo = QStringLiteral("«%1» no es un valor válido (Sí o No) para la columna %2.").arg(texto, c.Nombre);
        return std::nullopt;
    }
    motivo = QStringLiteral("La columna %1 no se puede editar en la planilla.").arg(c.Nombre);
    return std::nullopt;
}

// ---- writing ------------------------------------------------------------------------

void ModeloPlanilla::Avisa(const QString& texto) const {
    ElOperador().Mensaje(texto, vbOKOnly | vbExclamation, titulo_.isEmpty() ? tabla_ : titulo_);
}

QString ModeloPlanilla::TextoFallo() const {
    const Fallo f = FalloActual();
    if (cn_ && cn_->Errors().Count() > 0) {
        for (const ErrorProveedor& e : cn_->Errors().Todas())
            if (e.Number == f.Numero()) return cn_->Errors().Item(0).Description;
    }
    return f.Descripcion();
}

ResultadoEdicion ModeloPlanilla::Edita(long fila, int columna, const QString& texto) {
    ResultadoEdicion r{false, fila};
    if (!Abierta() || columna < 0 || columna >= static_cast<int>(columnas_.size())) return r;
    const ColumnaPlanilla& c = columnas_[columna];
    if (EsFilaNueva(fila)) {
        (*nueva_)[columna] = texto;
        for (int k : claves_)
            if (columnas_[k].Editable && Texto::Trim(nueva_->count(k) ? nueva_->at(k) : QString()).isEmpty())
                return r;  // kept until the key is typed
        return GrabaNueva();
    }
    if (SoloLectura() || !c.Editable) return r;
    const QVariantList* f = FilaLeida(fila);
    if (!f) {
        Avisa(QStringLiteral("La fila ya no está en la tabla. Actualice la planilla."));
        return r;
    }
    const QVariantList clave = ClaveDe(*f);
    const QString llave = Llave(clave);
    auto suelta = [&] {
        auto it = pendientes_.find(llave);
        if (it == pendientes_.end()) return;
        it->second.erase(columna);
        if (it->second.empty()) pendientes_.erase(it);
    };
    if (texto == TextoDe(f->value(columna), c)) {
        suelta();
        r.grabada = true;
        return r;
    }
    pendientes_[llave][columna] = texto;
    QString motivo;
    const std::optional<QVariant> valor = Convierte(texto, c, motivo);
    if (!valor) {
        Avisa(motivo);
        return r;
    }
    QVariantList params{*valor};
    const QString sql = QStringLiteral("UPDATE %1 SET %2 = ? WHERE ")
                            .arg(Corchetes(nombreTabla_), Corchetes(c.Nombre)) +
                        PorClave(params, clave);
    QVariantList nuevaClave = clave;
    if (c.Clave) nuevaClave[static_cast<int>(std::find(claves_.begin(), claves_.end(), columna) - claves_.begin())] = *valor;
    std::vector<QVariantList> leida;
    try {
        Ejecuta(sql, params);
        QVariantList pk;
        leida = LeeFilas(PorClave(pk, nuevaClave), pk, 1, false);
    } catch (...) {
        Avisa(TextoFallo());
        return r;
    }
    if (leida.empty()) {
        Avisa(QStringLiteral("La fila ya no está en la tabla: otro usuario la borró o le cambió la clave. "
                             "Actualice la planilla."));
        return r;
    }
    suelta();
    if (!c.Clave) {
        // The row stays in place: the page gets the stored row.
        auto p = paginas_.find(fila / kFilasPorPagina);
        if (p != paginas_.end() && static_cast<std::size_t>(fila % kFilasPorPagina) < p->second.filas.size())
            p->second.filas[static_cast<std::size_t>(fila % kFilasPorPagina)] = leida.front();
        r.grabada = true;
        return r;
    }
    // A new key moves the row; its pending texts go with it.
    const QVariantList guardada = ClaveDe(leida.front());
    if (auto it = pendientes_.find(llave); it != pendientes_.end()) {
        Celdas resto = std::move(it->second);
        pendientes_.erase(it);
        pendientes_[Llave(guardada)] = std::move(resto);
    }
    if (AntesDeCambiar) AntesDeCambiar();
    Invalida();
    try {
        r.fila = Posicion(guardada);
    } catch (...) {
        errorLectura_ = TextoFallo();
    }
    if (DespuesDeCambiar) DespuesDeCambiar();
    r.grabada = true;
    return r;
}

ResultadoEdicion ModeloPlanilla::GrabaNueva() {
    ResultadoEdicion r{false, total_};
    QStringList nombres, marcas;
    QVariantList params;
    for (const auto& [columna, texto] : *nueva_) {
        const ColumnaPlanilla& c = columnas_[columna];
        if (!c.Editable || texto.isEmpty()) continue;
        QString motivo;
        const std::optional<QVariant> valor = Convierte(texto, c, motivo);
        if (!valor) {
            Avisa(motivo);
            return r;
        }
        nombres << Corchetes(c.Nombre);
        marcas << QStringLiteral("?");
        params << *valor;
    }
    const QString sql = nombres.isEmpty()
                            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(Corchetes(nombreTabla_))
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(Corchetes(nombreTabla_), nombres.join(QStringLiteral(", ")),
                                       marcas.join(QStringLiteral(", ")));
    std::optional<QVariantList> clave;
    try {
        Ejecuta(sql, params);
    } catch (...) {
        Avisa(TextoFallo());
        return r;
    }
    try {
        // Where the new row landed: by its key, or the highest key when the
        // engine filled it.
        QVariantList typed;
        bool completa = true;
        for (int k : claves_) {
            if (!columnas_[k].Editable) {
                completa = false;
                break;
            }
            QString motivo;
            typed << Convierte(nueva_->at(k), columnas_[k], motivo).value_or(QVariant());
        }
        if (completa) {
            QVariantList pk;
            const auto leida = LeeFilas(PorClave(pk, typed), pk, 1, false);
            if (!leida.empty()) clave = ClaveDe(leida.front());
        } else {
            const auto ultima = LeeFilas({}, {}, 1, true);
            if (!ultima.empty()) clave = ClaveDe(ultima.front());
        }
    } catch (...) {
        errorLectura_ = TextoFallo();
    }
    if (AntesDeCambiar) AntesDeCambiar();
    nueva_.reset();
    ++total_;
    Invalida();
    try {
        r.fila = clave ? Posicion(*clave) : total_ - 1;
    } catch (...) {
        errorLectura_ = TextoFallo();
    }
    if (DespuesDeCambiar) DespuesDeCambiar();
    r.grabada = true;
    return r;
}

void ModeloPlanilla::Descarta(long fila, int columna) {
    if (EsFilaNueva(fila)) {
        if (AntesDeCambiar) AntesDeCambiar();
        nueva_.reset();
        if (DespuesDeCambiar) DespuesDeCambiar();
        return;
    }
    if (pendientes_.empty()) return;
    const QVariantList* f = FilaLeida(fila);
    if (!f) return;
    auto it = pendientes_.find(Llave(ClaveDe(*f)));
    if (it == pendientes_.end()) return;
    it->second.erase(columna);
    if (it->second.empty()) pendientes_.erase(it);
}

long ModeloPlanilla::Agrega() {
    if (!Abierta() || SoloLectura()) return -1;
    if (!nueva_) {
        if (AntesDeCambiar) AntesDeCambiar();
        nueva_ = std::make_unique<Celdas>();
        if (DespuesDeCambiar) DespuesDeCambiar();
    }
    return total_;
}

bool ModeloPlanilla::Borra(long fila) {
    if (EsFilaNueva(fila)) {
        Descarta(fila, 0);
        return true;
    }
    if (SoloLectura()) return false;
    const QVariantList* f = FilaLeida(fila);
    if (!f) return false;
    const QVariantList clave = ClaveDe(*f);
    QStringList textos;
    for (std::size_t i = 0; i < claves_.size(); ++i)
        textos << TextoDe(clave[static_cast<int>(i)], columnas_[claves_[i]]);
    const QString pregunta =
        QStringLiteral("¿Borrar el registro «%1» de %2?").arg(textos.join(QStringLiteral(" / ")), nombreTabla_);
    if (ElOperador().Mensaje(pregunta, vbYesNo | vbQuestion | vbDefaultButton2,
                             titulo_.isEmpty() ? tabla_ : titulo_) != vbYes)
        return false;
    QVariantList params;
    try {
        Ejecuta(QStringLiteral("DELETE FROM %1 WHERE ").arg(Corchetes(nombreTabla_)) + PorClave(params, clave),
                params);
    } catch (...) {
        Avisa(TextoFallo());
        return false;
    }
    if (AntesDeCambiar) AntesDeCambiar();
    pendientes_.erase(Llave(clave));
    total_ = std::max(0L, total_ - 1);
    Invalida();
    if (DespuesDeCambiar) DespuesDeCambiar();
    return true;
}

long ModeloPlanilla::Busca(const QString& codigo) {
    const QString buscado = Texto::Trim(codigo);
    if (!Abierta() || claves_.empty() || buscado.isEmpty()) return -1;
    const ColumnaPlanilla& c = columnas_[claves_.front()];
    QVariantList params;
    QString donde;
    if (EsTexto(c.Tipo)) {
        // Codes are stored aligned ("   10027"): the trimmed code is compared.
        donde = QStringLiteral("LTRIM(RTRIM(%1)) = ?").arg(Corchetes(c.Nombre));
        params << buscado;
    } else {
        QString motivo;
        const std::optional<QVariant> valor = Convierte(buscado, c, motivo);
        if (!valor || valor->isNull()) return -1;
        donde = Corchetes(c.Nombre) + QStringLiteral(" = ?");
        params << *valor;
    }
    try {
        const std::vector<QVariantList> hallada = LeeFilas(donde, params, 1, false);
        if (hallada.empty()) return -1;
        const long n = Posicion(ClaveDe(hallada.front()));
        return n < total_ ? n : -1;
    } catch (...) {
        Avisa(TextoFallo());
        return -1;
    }
}
