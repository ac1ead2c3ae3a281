#include "db/platform/odbc/ControladorOdbc.h"

#include <sql.h>
#include <sqlext.h>

#include <QDateTime>
#include <algorithm>
#include <cstring>

#include "db/platform/Ado.h"
#include "db/platform/odbc/CadenaOdbc.h"
#include "db/platform/odbc/DiagnosticoOdbc.h"
#include "platform/Espera.h"
#include "platform/Texto.h"

#include <QElapsedTimer>

#include <chrono>
#include <future>

namespace {

using Lista = std::vector<ErrorProveedor>;

const QString kSinProveedor = QStringLiteral("Provider cannot be found. It may not be properly installed.");

bool Exito(SQLRETURN rc) {
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

// Every diagnostic record of the handle, appended to `destino` except the
// connection chatter and the states in `descarta`.
void LeeDiagnosticos(SQLSMALLINT tipo, SQLHANDLE h, Lista& destino,
                     std::initializer_list<const char*> descarta = {}) {
    if (!h) return;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLCHAR estado[6] = {};
        SQLINTEGER nativo = 0;
        std::vector<SQLCHAR> mensaje(1024);
        SQLSMALLINT largo = 0;
        SQLRETURN rc = SQLGetDiagRec(tipo, h, i, estado, &nativo, mensaje.data(),
                                     static_cast<SQLSMALLINT>(mensaje.size()), &largo);
        if (!Exito(rc)) break;
        if (largo >= static_cast<SQLSMALLINT>(mensaje.size())) {
            mensaje.resize(static_cast<std::size_t>(largo) + 1);
            rc = SQLGetDiagRec(tipo, h, i, estado, &nativo, mensaje.data(),
                               static_cast<SQLSMALLINT>(mensaje.size()), &largo);
            if (!Exito(rc)) break;
        }
        const QString s = QString::fromLatin1(reinterpret_cast<const char*>(estado));
        if (DiagnosticoOdbc::EsInformativo(s, nativo)) continue;
        bool fuera = false;
        for (const char* d : descarta) fuera = fuera || s == QLatin1String(d);
        if (fuera) continue;
        const int n = std::min<int>(largo, static_cast<int>(mensaje.size()) - 1);
        destino.push_back(DiagnosticoOdbc::Entrada(
            s, nativo, QString::fromUtf8(reinterpret_cast<const char*>(mensaje.data()), std::max(n, 0))));
    }
}

QByteArray Utf8(const QString& s) {
    return s.toUtf8();
}
SQLCHAR* Ptr(QByteArray& b) {
    return reinterpret_cast<SQLCHAR*>(b.data());
}

bool EnlacePerdido(const Lista& l, std::size_t desde = 0) {
    for (std::size_t i = desde; i < l.size(); ++i)
        if (l[i].NativeError == 11 && DiagnosticoOdbc::EsFallaDeEnlace(l[i].SQLState)) return true;
    return false;
}

const ErrorProveedor* PrimerError(const Lista& l, std::size_t desde = 0) {
    for (std::size_t i = desde; i < l.size(); ++i)
        if (!DiagnosticoOdbc::EsAviso(l[i].SQLState)) return &l[i];
    return nullptr;
}

// Raises the failure of a call whose diagnostics are in `l` from `desde`.
[[noreturn]] void FallaCon(const Lista& l, std::size_t desde, const QString& porOmision) {
    if (EnlacePerdido(l, desde)) {
        const ErrorProveedor* e = PrimerError(l, desde);
        throw Fallo(ado::E_FAIL_PROVEEDOR, e ? e->Description : porOmision);
    }
    if (const ErrorProveedor* e = PrimerError(l, desde)) throw Fallo(e->Number, e->Description, e->Source);
    throw Fallo(ado::E_FAIL_PROVEEDOR, porOmision);
}

// ---- Column types and values ----------------------------------------------

int TipoAdo(SQLSMALLINT t, const QString& nombreTipo) {
    if (Texto::Contiene(nombreTipo, QLatin1String("money"))) return ado::adCurrency;
    switch (t) {
        case SQL_CHAR:
            return ado::adChar;
        case SQL_VARCHAR:
            return ado::adVarChar;
        case SQL_LONGVARCHAR:
            return ado::adLongVarChar;
        case SQL_WCHAR:
            return ado::adWChar;
        case SQL_WVARCHAR:
            return ado::adVarWChar;
        case SQL_WLONGVARCHAR:
            return ado::adLongVarWChar;
        case SQL_INTEGER:
            return ado::adInteger;
        case SQL_SMALLINT:
            return ado::adSmallInt;
        case SQL_TINYINT:
            return ado::adUnsignedTinyInt;
        case SQL_BIGINT:
            return ado::adBigInt;
        case SQL_BIT:
            return ado::adBoolean;
        case SQL_NUMERIC:
        case SQL_DECIMAL:
            return ado::adNumeric;
        case SQL_DOUBLE:
        case SQL_FLOAT:
            return ado::adDouble;
        case SQL_REAL:
            return ado::adSingle;
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP:
            return ado::adDBTimeStamp;
        case SQL_TYPE_DATE:
        case SQL_DATE:
            return ado::adDBDate;
        case SQL_TYPE_TIME:
        case SQL_TIME:
            return ado::adDBTime;
        case SQL_BINARY:
            return ado::adBinary;
        case SQL_VARBINARY:
            return ado::adVarBinary;
        case SQL_LONGVARBINARY:
            return ado::adLongVarBinary;
        case SQL_GUID:
            return ado::adGUID;
        default:
            return ado::adVarChar;
    }
}

// Characters for texts, bytes for binaries, the type's size otherwise.
long TamanoAdo(int tipo, SQLULEN tamColumna) {
    switch (tipo) {
        case ado::adInteger:
        case ado::adSingle:
            return 4;
        case ado::adSmallInt:
        case ado::adBoolean:
            return 2;
        case ado::adUnsignedTinyInt:
            return 1;
        case ado::adBigInt:
        case ado::adDouble:
        case ado::adCurrency:
            return 8;
        case ado::adDBTimeStamp:
            return 16;
        case ado::adDBDate:
            return 6;
        case ado::adDBTime:
            return 6;
        case ado::adNumeric:
            return 19;
        case ado::adGUID:
            return 16;
        default:
            return static_cast<long>(std::min<SQLULEN>(tamColumna, 2147483647));
    }
}

QString TextoAtributo(SQLHSTMT st, SQLUSMALLINT col, SQLUSMALLINT campo) {
    char buf[512] = {};
    SQLSMALLINT largo = 0;
    if (!Exito(SQLColAttribute(st, col, campo, buf, sizeof buf, &largo, nullptr))) return {};
    return QString::fromUtf8(buf, std::clamp<int>(largo, 0, static_cast<int>(sizeof buf) - 1));
}

SQLLEN NumeroAtributo(SQLHSTMT st, SQLUSMALLINT col, SQLUSMALLINT campo) {
    SQLLEN n = 0;
    if (!Exito(SQLColAttribute(st, col, campo, nullptr, 0, nullptr, &n))) return 0;
    return n;
}

struct Columna {
    ColumnaResultado ado;
    SQLSMALLINT tipoSql = 0;
};

std::vector<Columna> DescribeColumnas(SQLHSTMT st, SQLSMALLINT n) {
    std::vector<Columna> cols;
    for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(n); ++i) {
        SQLCHAR nombre[512] = {};
        SQLSMALLINT largo = 0, tipo = 0, decimales = 0, nulos = SQL_NULLABLE_UNKNOWN;
        SQLULEN tam = 0;
        SQLDescribeCol(st, i, nombre, sizeof nombre, &largo, &tipo, &tam, &decimales, &nulos);
        Columna c;
        c.tipoSql = tipo;
        c.ado.nombre = QString::fromUtf8(reinterpret_cast<const char*>(nombre),
                                         std::clamp<int>(largo, 0, static_cast<int>(sizeof nombre) - 1));
        c.ado.tipo = TipoAdo(tipo, TextoAtributo(st, i, SQL_DESC_TYPE_NAME));
        c.ado.tamano = TamanoAdo(c.ado.tipo, tam);
        c.ado.precision = static_cast<int>(tipo == SQL_NUMERIC || tipo == SQL_DECIMAL ? tam : 0);
        c.ado.escala = decimales;
        c.ado.admiteNulos = nulos != SQL_NO_NULLS;
        c.ado.tablaBase = TextoAtributo(st, i, SQL_DESC_BASE_TABLE_NAME);
        if (c.ado.tablaBase.isEmpty()) c.ado.tablaBase = TextoAtributo(st, i, SQL_DESC_TABLE_NAME);
        c.ado.columnaBase = TextoAtributo(st, i, SQL_DESC_BASE_COLUMN_NAME);
        if (c.ado.columnaBase.isEmpty()) c.ado.columnaBase = c.ado.nombre;
        c.ado.autoincremento = NumeroAtributo(st, i, SQL_DESC_AUTO_UNIQUE_VALUE) == SQL_TRUE;
        cols.push_back(std::move(c));
    }
    return cols;
}

// Character and binary data in chunks, whatever its length.
QVariant LeeLargo(SQLHSTMT st, SQLUSMALLINT col, bool binario, Lista& errores) {
    QByteArray acumulado;
    char buf[8192];
    const SQLSMALLINT tipoC = binario ? SQL_C_BINARY : SQL_C_CHAR;
    const SQLLEN cabe = binario ? static_cast<SQLLEN>(sizeof buf) : static_cast<SQLLEN>(sizeof buf) - 1;
    for (;;) {
        SQLLEN ind = 0;
        const SQLRETURN rc = SQLGetData(st, col, tipoC, buf, sizeof buf, &ind);
        if (rc == SQL_NO_DATA) break;
        if (!Exito(rc)) {
            LeeDiagnosticos(SQL_HANDLE_STMT, st, errores);
            return QVariant();
        }
        if (ind == SQL_NULL_DATA) return QVariant();
        const bool mas = rc == SQL_SUCCESS_WITH_INFO && (ind == SQL_NO_TOTAL || ind > cabe);
        if (rc == SQL_SUCCESS_WITH_INFO) LeeDiagnosticos(SQL_HANDLE_STMT, st, errores, {"01004"});
        acumulado.append(buf, static_cast<int>(mas ? cabe : std::min(ind, cabe)));
        if (!mas) break;
    }
    if (binario) return acumulado;
    return QString::fromUtf8(acumulado);
}

template <typename T>
bool LeeFijo(SQLHSTMT st, SQLUSMALLINT col, SQLSMALLINT tipoC, T& v, Lista& errores) {
    SQLLEN ind = 0;
    const SQLRETURN rc = SQLGetData(st, col, tipoC, &v, sizeof v, &ind);
    if (rc != SQL_SUCCESS) LeeDiagnosticos(SQL_HANDLE_STMT, st, errores);
    return Exito(rc) && ind != SQL_NULL_DATA;
}

QVariant LeeValor(SQLHSTMT st, SQLUSMALLINT col, const Columna& c, Lista& errores) {
    switch (c.tipoSql) {
        case SQL_INTEGER:
        case SQL_SMALLINT:
        case SQL_TINYINT: {
            SQLINTEGER v = 0;
            return LeeFijo(st, col, SQL_C_SLONG, v, errores) ? QVariant(static_cast<int>(v)) : QVariant();
        }
        case SQL_BIGINT: {
            SQLBIGINT v = 0;
            return LeeFijo(st, col, SQL_C_SBIGINT, v, errores) ? QVariant(static_cast<qlonglong>(v))
                                                               : QVariant();
        }
        case SQL_BIT: {
            unsigned char v = 0;
            return LeeFijo(st, col, SQL_C_BIT, v, errores) ? QVariant(v != 0) : QVariant();
        }
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE: {
            double v = 0;
            return LeeFijo(st, col, SQL_C_DOUBLE, v, errores) ? QVariant(v) : QVariant();
        }
        case SQL_NUMERIC:
        case SQL_DECIMAL: {
            // Read as text: whole numbers that fit stay exact.
            const QVariant t = LeeLargo(st, col, false, errores);
            if (t.isNull()) return t;
            const QString s = t.toString().trimmed();
            bool ok = false;
            if (c.ado.escala == 0) {
                const qlonglong n = s.toLongLong(&ok);
                if (ok) return n;
            }
            const double d = s.toDouble(&ok);
            return ok ? QVariant(d) : t;
        }
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP: {
            SQL_TIMESTAMP_STRUCT v{};
            if (!LeeFijo(st, col, SQL_C_TYPE_TIMESTAMP, v, errores)) return QVariant();
            return QDateTime(QDate(v.year, v.month, v.day),
                             QTime(v.hour, v.minute, v.second, static_cast<int>(v.fraction / 1000000)));
        }
        case SQL_TYPE_DATE:
        case SQL_DATE: {
            SQL_DATE_STRUCT v{};
            if (!LeeFijo(st, col, SQL_C_TYPE_DATE, v, errores)) return QVariant();
            return QDate(v.year, v.month, v.day);
        }
        case SQL_TYPE_TIME:
        case SQL_TIME: {
            SQL_TIME_STRUCT v{};
            if (!LeeFijo(st, col, SQL_C_TYPE_TIME, v, errores)) return QVariant();
            return QTime(v.hour, v.minute, v.second);
        }
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY:
            return LeeLargo(st, col, true, errores);
        default:
            return LeeLargo(st, col, false, errores);
    }
}

// ---- Parameters -----------------------------------------------------------

struct Parametro {
    SQLSMALLINT tipoC = SQL_C_CHAR;
    SQLSMALLINT tipoSql = SQL_VARCHAR;
    SQLULEN tam = 1;
    SQLSMALLINT decimales = 0;
    QByteArray datos;
    SQLLEN ind = 0;
    SQLINTEGER entero = 0;
    SQLBIGINT largo = 0;
    double real = 0;
    unsigned char bit = 0;
    SQL_TIMESTAMP_STRUCT momento{};
    SQLPOINTER Dato() {
        switch (tipoC) {
            case SQL_C_SLONG:
                return &entero;
            case SQL_C_SBIGINT:
                return &largo;
            case SQL_C_DOUBLE:
                return &real;
            case SQL_C_BIT:
                return &bit;
            case SQL_C_TYPE_TIMESTAMP:
                return &momento;
            default:
                return datos.data();
        }
    }
};

void Prepara(Parametro& p, const QVariant& v) {
    if (v.isNull() || !v.isValid()) {
        p.ind = SQL_NULL_DATA;
        return;
    }
    switch (v.typeId()) {
        case QMetaType::Bool:
            p.tipoC = SQL_C_BIT;
            p.tipoSql = SQL_BIT;
            p.bit = v.toBool() ? 1 : 0;
            p.ind = 0;
            return;
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::UChar:
        case QMetaType::SChar:
            p.tipoC = SQL_C_SLONG;
            p.tipoSql = SQL_INTEGER;
            p.tam = 10;
            p.entero = v.toInt();
            p.ind = 0;
            return;
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::ULong:
            p.tipoC = SQL_C_SBIGINT;
            p.tipoSql = SQL_BIGINT;
            p.tam = 19;
            p.largo = v.toLongLong();
            p.ind = 0;
            return;
        case QMetaType::Double:
        case QMetaType::Float:
            p.tipoC = SQL_C_DOUBLE;
            p.tipoSql = SQL_DOUBLE;
            p.tam = 15;
            p.real = v.toDouble();
            p.ind = 0;
            return;
        case QMetaType::QDateTime:
        case QMetaType::QDate: {
            const QDateTime m =
                v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime();
            p.tipoC = SQL_C_TYPE_TIMESTAMP;
            p.tipoSql = SQL_TYPE_TIMESTAMP;
            p.tam = 23;
            p.decimales = 3;
            p.momento.year = static_cast<SQLSMALLINT>(m.date().year());
            p.momento.month = static_cast<SQLUSMALLINT>(m.date().month());
            p.momento.day = static_cast<SQLUSMALLINT>(m.date().day());
            p.momento.hour = static_cast<SQLUSMALLINT>(m.time().hour());
            p.momento.minute = static_cast<SQLUSMALLINT>(m.time().minute());
            p.momento.second = static_cast<SQLUSMALLINT>(m.time().second());
            p.momento.fraction = static_cast<SQLUINTEGER>(m.time().msec()) * 1000000u;
            p.ind = 0;
            return;
        }
        case QMetaType::QByteArray:
            p.datos = v.toByteArray();
            p.tipoC = SQL_C_BINARY;
            p.tipoSql = p.datos.size() > 8000 ? SQL_LONGVARBINARY : SQL_VARBINARY;
            break;
        default:
            p.datos = v.toString().toUtf8();
            p.tipoSql = p.datos.size() > 8000 ? SQL_LONGVARCHAR : SQL_VARCHAR;
            break;
    }
    p.ind = p.datos.size();
    p.tam = static_cast<SQLULEN>(std::max<qsizetype>(p.datos.size(), 1));
}

// ---- Running a request ----------------------------------------------------

// The current result of the statement: a row set or a count.
void LeeResultado(SQLHSTMT st, LoteOdbc& lote) {
    SQLSMALLINT n = 0;
    SQLRETURN rc = SQLNumResultCols(st, &n);
    LeeDiagnosticos(SQL_HANDLE_STMT, st, lote.Errores());
    if (!Exito(rc)) return;
    ResultadoSentencia res;
    if (n > 0) {
        res.conFilas = true;
        const std::vector<Columna> cols = DescribeColumnas(st, n);
        for (const Columna& c : cols) res.columnas.push_back(c.ado);
        bool limpio = true;
        for (;;) {
            rc = SQLFetch(st);
            LeeDiagnosticos(SQL_HANDLE_STMT, st, lote.Errores());
            if (rc == SQL_NO_DATA) break;
            if (!Exito(rc)) {
                limpio = false;
                break;
            }
            Fila f(static_cast<int>(cols.size()));
            for (std::size_t i = 0; i < cols.size(); ++i)
                f[static_cast<int>(i)] =
                    LeeValor(st, static_cast<SQLUSMALLINT>(i + 1), cols[i], lote.Errores());
            res.filas.push_back(std::move(f));
        }
        // A row set that failed before its first row is the statement's failure.
        if (res.filas.empty() && !limpio) lote.Pesa();
        const bool cuenta = !res.filas.empty() || limpio;
        lote.Agrega(std::move(res), cuenta);
    } else {
        SQLLEN filas = -1;
        rc = SQLRowCount(st, &filas);
        LeeDiagnosticos(SQL_HANDLE_STMT, st, lote.Errores());
        res.afectadas = Exito(rc) ? static_cast<long>(filas) : -1;
        const bool cuenta = res.afectadas >= 0;
        lote.Agrega(std::move(res), cuenta);
    }
}

class Sentencia {
  public:
    explicit Sentencia(SQLHSTMT h) : h_(h) {}
    ~Sentencia() {
        if (h_) SQLFreeHandle(SQL_HANDLE_STMT, h_);
    }
    SQLHSTMT h_;
};

// Metadata arguments are patterns: "_" and "%" in a name are escaped.
QByteArray Patron(SQLHDBC dbc, const QString& nombre) {
    char esc[8] = {};
    SQLSMALLINT largo = 0;
    SQLGetInfo(dbc, SQL_SEARCH_PATTERN_ESCAPE, esc, sizeof esc, &largo);
    const QString e = QString::fromLatin1(esc);
    QString p = nombre;
    if (!e.isEmpty()) {
        p.replace(e, e + e);
        p.replace(QLatin1String("_"), e + QLatin1String("_"));
        p.replace(QLatin1String("%"), e + QLatin1String("%"));
    }
    return p.toUtf8();
}

QString Restriccion(const QVariantList& r, int i) {
    return i < r.size() && !r[i].isNull() ? Texto::Trim(r[i].toString()) : QString();
}

bool Cumple(const QVariant& valor, const QString& restriccion, bool vacioCumple = false) {
    if (restriccion.isEmpty()) return true;
    const QString v = Texto::Trim(valor.toString());
    if (v.isEmpty() && vacioCumple) return true;
    return Texto::Iguales(v, restriccion);
}

ColumnaResultado ColumnaEsquema(const char* nombre, int tipo, long tamano) {
    ColumnaResultado c;
    c.nombre = QString::fromLatin1(nombre);
    c.tipo = tipo;
    c.tamano = tamano;
    return c;
}

}  // namespace

// ---- The driver -----------------------------------------------------------

ControladorOdbc::ControladorOdbc(QString cadenaOdbc, bool sqlServer)
    : cadena_(std::move(cadenaOdbc)), sqlServer_(sqlServer) {}

ControladorOdbc::~ControladorOdbc() {
    Cierra();
}

void ControladorOdbc::Libera() {
    if (dbc_) SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    if (env_) SQLFreeHandle(SQL_HANDLE_ENV, env_);
    dbc_ = env_ = nullptr;
    nivel_ = 0;
    claves_.clear();
}

void ControladorOdbc::Abre(const ParametrosConexion& p, std::vector<ErrorProveedor>& errores) {
    if (dbc_)
        throw Fallo(ado::adErrObjectOpen,
                    QStringLiteral("Operation is not allowed when the object is open."));
    const std::size_t desde = errores.size();
    SQLHENV env = nullptr;
    if (!Exito(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        throw Fallo(ado::adErrProviderNotFound, kSinProveedor);
    env_ = env;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLHDBC dbc = nullptr;
    if (!Exito(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc))) {
        LeeDiagnosticos(SQL_HANDLE_ENV, env, errores);
        Libera();
        throw Fallo(ado::adErrProviderNotFound, kSinProveedor);
    }
    dbc_ = dbc;
    if (p.tiempoEspera > 0) {
        SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT,
                          reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(p.tiempoEspera)), 0);
        LeeDiagnosticos(SQL_HANDLE_DBC, dbc, errores, {"01S02", "HYC00", "HY092", "S1C00"});
    }
    QByteArray cadena = Utf8(cadena_);
    SQLCHAR salida[2048];
    SQLSMALLINT largo = 0;
    const SQLRETURN rc = SQLDriverConnect(dbc, nullptr, Ptr(cadena), SQL_NTS, salida, sizeof salida, &largo,
                                          SQL_DRIVER_NOPROMPT);
    LeeDiagnosticos(SQL_HANDLE_DBC, dbc, errores);
    if (Exito(rc)) return;
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    dbc_ = nullptr;
    Libera();
    // The driver manager could not find or load the driver: an IM state, or
    // (unixODBC, for a library that is not there) only its own warning.
    const bool sinErrores = PrimerError(errores, desde) == nullptr;
    for (std::size_t i = desde; i < errores.size(); ++i)
        if (errores[i].SQLState.startsWith(QLatin1String("IM")) ||
            (sinErrores && errores[i].Source.contains(QLatin1String("Driver Manager"))))
            throw Fallo(ado::adErrProviderNotFound,
                        kSinProveedor + QLatin1Char(' ') + errores[i].Description);
    FallaCon(errores, desde, QStringLiteral("No se pudo abrir la conexión ODBC."));
}

void ControladorOdbc::Cierra() {
    if (!dbc_) {
        Libera();
        return;
    }
    if (nivel_ > 0) SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
    SQLDisconnect(dbc_);
    Libera();
}

namespace {

// Runs a request on a thread of its own while the calling thread tells the
// wait's listener how long it has waited; directly when nobody listens.
// Only the request's thread uses the connection meanwhile.
template <class F>
auto Esperando(F&& f, int tiempoEspera) -> decltype(f()) {
    if (!HayOyenteEspera()) return f();
    auto resultado = std::async(std::launch::async, std::forward<F>(f));
    QElapsedTimer reloj;
    reloj.start();
    const qint64 limite = tiempoEspera > 0 ? qint64(tiempoEspera) * 1000 : 0;
    bool avisada = false;
    while (resultado.wait_for(std::chrono::milliseconds(avisada ? kIntervaloEsperaMs : kPrimeraEsperaMs)) !=
           std::future_status::ready) {
        avisada = true;
        AvisaEspera({QStringLiteral("Esperando la respuesta del servidor"), reloj.elapsed(), limite, false});
    }
    if (avisada) AvisaEspera({{}, reloj.elapsed(), limite, true});
    return resultado.get();
}

}  // namespace

ResultadoLote ControladorOdbc::Ejecuta(const QString& texto, int tiempoEspera) {
    return Esperando([&] { return Corre(texto, nullptr, tiempoEspera); }, tiempoEspera);
}

ResultadoLote ControladorOdbc::EjecutaConParametros(const QString& sql, const QVariantList& parametros,
                                                    int tiempoEspera) {
    return Esperando([&] { return Corre(sql, &parametros, tiempoEspera); }, tiempoEspera);
}

ResultadoLote ControladorOdbc::Corre(const QString& sql, const QVariantList* parametros, int tiempoEspera) {
    LoteOdbc lote;
    if (!dbc_) {
        ResultadoLote r;
        r.fallaCompleta = true;
        r.numeroFallo = ado::adErrInvalidConnection;
        return r;
    }
    SQLHSTMT h = nullptr;
    SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &h);
    LeeDiagnosticos(SQL_HANDLE_DBC, dbc_, lote.Errores());
    if (!Exito(rc)) {
        if (lote.Errores().empty())
            lote.Errores().push_back(
                DiagnosticoOdbc::Entrada(QStringLiteral("08003"), 0, QStringLiteral("Connection not open")));
        lote.Pesa();
        return lote.Termina();
    }
    Sentencia st(h);
    if (tiempoEspera >= 0) {
        SQLSetStmtAttr(h, SQL_ATTR_QUERY_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(tiempoEspera)), 0);
        LeeDiagnosticos(SQL_HANDLE_STMT, h, lote.Errores(), {"01S02", "HYC00", "HY092", "S1C00"});
    }
    std::vector<Parametro> valores;
    if (parametros) {
        valores.resize(static_cast<std::size_t>(parametros->size()));
        for (int i = 0; i < parametros->size(); ++i) {
            Parametro& p = valores[static_cast<std::size_t>(i)];
            Prepara(p, (*parametros)[i]);
            rc = SQLBindParameter(h, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, p.tipoC, p.tipoSql,
                                  p.tam, p.decimales, p.Dato(), static_cast<SQLLEN>(p.datos.size()), &p.ind);
            LeeDiagnosticos(SQL_HANDLE_STMT, h, lote.Errores());
            if (!Exito(rc)) {
                lote.Pesa();
                return lote.Termina();
            }
        }
    }
    QByteArray texto = Utf8(sql);
    rc = SQLExecDirect(h, Ptr(texto), static_cast<SQLINTEGER>(texto.size()));
    LeeDiagnosticos(SQL_HANDLE_STMT, h, lote.Errores());
    // Every result, also after a failed one; the diagnostics say what failed.
    if (rc == SQL_NO_DATA) {
        // A searched UPDATE or DELETE that touched no row.
        ResultadoSentencia cero;
        cero.afectadas = 0;
        lote.Agrega(std::move(cero), true);
    }
    int atascado = 0;
    for (;;) {
        if (Exito(rc)) LeeResultado(h, lote);
        lote.Pesa();
        if (lote.Perdida() || rc == SQL_INVALID_HANDLE) break;
        const std::size_t antes = lote.Errores().size();
        rc = SQLMoreResults(h);
        LeeDiagnosticos(SQL_HANDLE_STMT, h, lote.Errores());
        if (rc == SQL_NO_DATA) break;
        // A driver that keeps failing without saying anything new is done.
        atascado = (rc == SQL_ERROR && lote.Errores().size() == antes) ? atascado + 1 : 0;
        if (atascado >= 2) break;
    }
    SQLFreeHandle(SQL_HANDLE_STMT, h);
    st.h_ = nullptr;
    ResultadoLote r = lote.Termina();
    if (!r.conexionPerdida) MarcaClaves(r);
    return r;
}

void ControladorOdbc::MarcaClaves(ResultadoLote& r) {
    for (ResultadoSentencia& res : r.resultados)
        for (ColumnaResultado& c : res.columnas) {
            if (c.tablaBase.isEmpty()) continue;
            for (const QString& clave : ClavesDe(c.tablaBase))
                if (Texto::Iguales(clave, c.columnaBase)) c.clave = true;
        }
}

const QStringList& ControladorOdbc::ClavesDe(const QString& tabla) {
    const QString llave = tabla.toUpper();
    auto it = claves_.find(llave);
    if (it != claves_.end()) return it->second;
    QStringList claves;
    SQLHSTMT h = nullptr;
    if (Exito(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &h))) {
        Sentencia st(h);
        QByteArray nombre = Utf8(tabla);
        // A probe of the catalogue: its diagnostics are not the request's.
        LoteOdbc sonda;
        if (Exito(SQLPrimaryKeys(h, nullptr, 0, nullptr, 0, Ptr(nombre), SQL_NTS))) {
            LeeResultado(h, sonda);
            const ResultadoLote leido = sonda.Termina();
            if (!leido.resultados.empty())
                for (const Fila& f : leido.resultados.front().filas)
                    if (f.size() > 3) claves << f[3].toString();
        }
    }
    return claves_[llave] = claves;
}

// ---- Transactions ---------------------------------------------------------

int ControladorOdbc::IniciaTransaccion(std::vector<ErrorProveedor>& errores) {
    if (!dbc_)
        throw Fallo(ado::adErrInvalidConnection,
                    QStringLiteral("Operation is not allowed when the object is closed."));
    if (nivel_ == 0) {
        const std::size_t desde = errores.size();
        const SQLRETURN rc = SQLSetConnectAttr(
            dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), SQL_IS_UINTEGER);
        LeeDiagnosticos(SQL_HANDLE_DBC, dbc_, errores);
        if (!Exito(rc)) FallaCon(errores, desde, QStringLiteral("No se pudo iniciar la transacción."));
    }
    return ++nivel_;
}

void ControladorOdbc::TerminaTransaccion(bool confirma, std::vector<ErrorProveedor>& errores) {
    if (!dbc_)
        throw Fallo(ado::adErrInvalidConnection,
                    QStringLiteral("Operation is not allowed when the object is closed."));
    if (nivel_ == 0) {
        ErrorProveedor e;
        e.NativeError = confirma ? 3902 : 3903;
        e.SQLState = QStringLiteral("25000");
        e.Description =
            confirma
                ? QStringLiteral("The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.")
                : QStringLiteral("The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.");
        e.Number = NumeroAdoPara(e.NativeError, e.SQLState);
        errores.push_back(e);
        throw Fallo(e.Number, e.Description);
    }
    // A commit of an inner level only counts down; a rollback undoes it all.
    if (confirma && nivel_ > 1) {
        --nivel_;
        return;
    }
    nivel_ = 0;
    const std::size_t desde = errores.size();
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_, confirma ? SQL_COMMIT : SQL_ROLLBACK);
    LeeDiagnosticos(SQL_HANDLE_DBC, dbc_, errores);
    SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON),
                      SQL_IS_UINTEGER);
    LeeDiagnosticos(SQL_HANDLE_DBC, dbc_, errores);
    if (!Exito(rc)) FallaCon(errores, desde, QStringLiteral("No se pudo terminar la transacción."));
}

void ControladorOdbc::ConfirmaTransaccion(std::vector<ErrorProveedor>& errores) {
    TerminaTransaccion(true, errores);
}
void ControladorOdbc::DeshaceTransaccion(std::vector<ErrorProveedor>& errores) {
    TerminaTransaccion(false, errores);
}

// ---- Schema rowsets -------------------------------------------------------

ResultadoSentencia ControladorOdbc::Esquema(int codigo, const QVariantList& restricciones,
                                            std::vector<ErrorProveedor>& errores) {
    if (!dbc_)
        throw Fallo(ado::adErrInvalidConnection,
                    QStringLiteral("Operation is not allowed when the object is closed."));
    if (codigo != ado::adSchemaTables && codigo != ado::adSchemaColumns && codigo != ado::adSchemaPrimaryKeys)
        throw Fallo(ado::adErrFeatureNotAvailable,
                    QStringLiteral("Object or provider is not capable of performing requested operation."));
    const QString catalogo = Restriccion(restricciones, 0), esquema = Restriccion(restricciones, 1),
                  tabla = Restriccion(restricciones, 2), cuarta = Restriccion(restricciones, 3);
    if (codigo == ado::adSchemaPrimaryKeys) return ClavesPrimarias(catalogo, esquema, tabla, errores);
    const std::size_t desde = errores.size();
    SQLHSTMT h = nullptr;
    SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &h);
    LeeDiagnosticos(SQL_HANDLE_DBC, dbc_, errores);
    if (!Exito(rc)) FallaCon(errores, desde, QStringLiteral("Connection not open"));
    Sentencia st(h);
    // The catalogue is checked here: drivers without catalogues ignore it or refuse it.
    QByteArray pEsquema = Patron(dbc_, esquema), pTabla = Patron(dbc_, tabla), pCuarta = Patron(dbc_, cuarta);
    QByteArray tipos = cuarta.toUtf8();
    auto arg = [](QByteArray& b, const QString& r) { return r.isEmpty() ? nullptr : Ptr(b); };
    const SQLSMALLINT nts = SQL_NTS;
    if (codigo == ado::adSchemaTables)
        rc = SQLTables(h, nullptr, 0, arg(pEsquema, esquema), nts, arg(pTabla, tabla), nts,
                       arg(tipos, cuarta), nts);
    else
        rc = SQLColumns(h, nullptr, 0, arg(pEsquema, esquema), nts, arg(pTabla, tabla), nts,
                        arg(pCuarta, cuarta), nts);
    LeeDiagnosticos(SQL_HANDLE_STMT, h, errores);
    if (!Exito(rc)) FallaCon(errores, desde, QStringLiteral("No se pudo leer el catálogo."));
    LoteOdbc lote;
    LeeResultado(h, lote);
    ResultadoLote leido = lote.Termina();
    for (auto& e : leido.errores) errores.push_back(e);
    if (leido.resultados.empty()) FallaCon(errores, desde, QStringLiteral("No se pudo leer el catálogo."));
    const ResultadoSentencia& crudo = leido.resultados.front();
    auto valor = [](const Fila& f, int i) { return i < f.size() ? f[i] : QVariant(); };

    ResultadoSentencia r;
    r.conFilas = true;
    if (codigo == ado::adSchemaTables) {
        r.columnas = {ColumnaEsquema("TABLE_CATALOG", ado::adVarWChar, 128),
                      ColumnaEsquema("TABLE_SCHEMA", ado::adVarWChar, 128),
                      ColumnaEsquema("TABLE_NAME", ado::adVarWChar, 128),
                      ColumnaEsquema("TABLE_TYPE", ado::adVarWChar, 128)};
        for (const Fila& f : crudo.filas) {
            if (!Cumple(valor(f, 0), catalogo, true) || !Cumple(valor(f, 1), esquema) ||
                !Cumple(valor(f, 2), tabla))
                continue;
            r.filas.push_back(Fila{valor(f, 0), valor(f, 1), valor(f, 2), valor(f, 3)});
        }
        return r;
    }
    r.columnas = {ColumnaEsquema("TABLE_CATALOG", ado::adVarWChar, 128),
                  ColumnaEsquema("TABLE_SCHEMA", ado::adVarWChar, 128),
                  ColumnaEsquema("TABLE_NAME", ado::adVarWChar, 128),
                  ColumnaEsquema("COLUMN_NAME", ado::adVarWChar, 128),
                  ColumnaEsquema("ORDINAL_POSITION", ado::adInteger, 4),
                  ColumnaEsquema("DATA_TYPE", ado::adSmallInt, 2),
                  ColumnaEsquema("CHARACTER_MAXIMUM_LENGTH", ado::adInteger, 4),
                  ColumnaEsquema("IS_NULLABLE", ado::adBoolean, 2)};
    struct Orden {
        int tabla;
        int posicion;
        Fila fila;
    };
    std::vector<Orden> filas;
    QStringList tablas;  // in the order the driver listed them
    QString anterior;
    int contador = 0;
    for (const Fila& f : crudo.filas) {
        if (!Cumple(valor(f, 0), catalogo, true) || !Cumple(valor(f, 1), esquema) ||
            !Cumple(valor(f, 2), tabla) || !Cumple(valor(f, 3), cuarta))
            continue;
        const QString nombreTabla = valor(f, 2).toString();
        contador = nombreTabla == anterior ? contador + 1 : 1;
        anterior = nombreTabla;
        const QVariant ordinal = valor(f, 16);
        const int posicion = ordinal.isNull() ? contador : ordinal.toInt();
        const int tipo = TipoAdo(static_cast<SQLSMALLINT>(valor(f, 4).toInt()), valor(f, 5).toString());
        const bool texto = tipo == ado::adChar || tipo == ado::adVarChar || tipo == ado::adLongVarChar ||
                           tipo == ado::adWChar || tipo == ado::adVarWChar || tipo == ado::adLongVarWChar ||
                           tipo == ado::adBinary || tipo == ado::adVarBinary || tipo == ado::adLongVarBinary;
        const QVariant esNulable = valor(f, 17);
        const bool nulos = esNulable.isNull()
                               ? valor(f, 10).toInt() != SQL_NO_NULLS
                               : !Texto::Iguales(Texto::Trim(esNulable.toString()), QLatin1String("NO"));
        if (tablas.isEmpty() || tablas.last() != nombreTabla) tablas << nombreTabla;
        filas.push_back({static_cast<int>(tablas.size()), posicion,
                         Fila{valor(f, 0), valor(f, 1), valor(f, 2), valor(f, 3), posicion, tipo,
                              texto ? valor(f, 6) : QVariant(), nulos}});
    }
    std::stable_sort(filas.begin(), filas.end(), [](const Orden& a, const Orden& b) {
        return a.tabla != b.tabla ? a.tabla < b.tabla : a.posicion < b.posicion;
    });
    for (auto& o : filas) r.filas.push_back(std::move(o.fila));
    return r;
}

// SQLPrimaryKeys takes names, not patterns, and needs the table.
ResultadoSentencia ControladorOdbc::ClavesPrimarias(const QString& catalogo, const QString& esquema,
                                                    const QString& tabla, std::vector<ErrorProveedor>& errores) {
    ResultadoSentencia r;
    r.conFilas = true;
    r.columnas = {ColumnaEsquema("TABLE_CATALOG", ado::adVarWChar, 128),
                  ColumnaEsquema("TABLE_SCHEMA", ado::adVarWChar, 128),
                  ColumnaEsquema("TABLE_NAME", ado::adVarWChar, 128),
                  ColumnaEsquema("COLUMN_NAME", ado::adVarWChar, 128),
                  ColumnaEsquema("ORDINAL", ado::adInteger, 4),
                  ColumnaEsquema("PK_NAME", ado::adVarWChar, 128)};
    if (tabla.isEmpty()) return r;
    const std::size_t desde = errores.size();
    SQLHSTMT h = nullptr;
    SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &h);
    LeeDiagnosticos(SQL_HANDLE_DBC, dbc_, errores);
    if (!Exito(rc)) FallaCon(errores, desde, QStringLiteral("Connection not open"));
    Sentencia st(h);
    QByteArray bEsquema = Utf8(esquema), bTabla = Utf8(tabla);
    rc = SQLPrimaryKeys(h, nullptr, 0, esquema.isEmpty() ? nullptr : Ptr(bEsquema), SQL_NTS, Ptr(bTabla), SQL_NTS);
    LeeDiagnosticos(SQL_HANDLE_STMT, h, errores);
    if (!Exito(rc)) FallaCon(errores, desde, QStringLiteral("No se pudo leer el catálogo."));
    LoteOdbc lote;
    LeeResultado(h, lote);
    ResultadoLote leido = lote.Termina();
    for (auto& e : leido.errores) errores.push_back(e);
    if (leido.resultados.empty()) return r;
    auto valor = [](const Fila& f, int i) { return i < f.size() ? f[i] : QVariant(); };
    for (const Fila& f : leido.resultados.front().filas) {
        if (!Cumple(valor(f, 0), catalogo, true)) continue;
        r.filas.push_back(Fila{valor(f, 0), valor(f, 1), valor(f, 2), valor(f, 3), valor(f, 4).toInt(), valor(f, 5)});
    }
    std::stable_sort(r.filas.begin(), r.filas.end(), [](const Fila& a, const Fila& b) { return a[4].toInt() < b[4].toInt(); });
    return r;
}

void ControladorOdbc::CambiaBase(const QString& base, std::vector<ErrorProveedor>& errores) {
    if (!dbc_)
        throw Fallo(ado::adErrInvalidConnection,
                    QStringLiteral("Operation is not allowed when the object is closed."));
    const QString nombre = Texto::Trim(base);
    if (nombre.isEmpty()) return;
    // A driver without catalogues has one database: nothing to switch.
    char admite[8] = {};
    SQLSMALLINT largo = 0;
    SQLGetInfo(dbc_, SQL_CATALOG_NAME, admite, sizeof admite, &largo);
    if (admite[0] == 'N') return;
    char actual[512] = {};
    SQLINTEGER largoActual = 0;
    if (Exito(SQLGetConnectAttr(dbc_, SQL_ATTR_CURRENT_CATALOG, actual, sizeof actual, &largoActual)) &&
        Texto::Iguales(QString::fromUtf8(actual), nombre))
        return;
    const std::size_t desde = errores.size();
    QByteArray b = Utf8(nombre);
    const SQLRETURN rc =
        SQLSetConnectAttr(dbc_, SQL_ATTR_CURRENT_CATALOG, Ptr(b), static_cast<SQLINTEGER>(b.size()));
    LeeDiagnosticos(SQL_HANDLE_DBC, dbc_, errores);
    if (!Exito(rc)) FallaCon(errores, desde, QStringLiteral("No se pudo cambiar de base de datos."));
}

void ControladorOdbc::CambiaAislamiento(long nivelAdo, std::vector<ErrorProveedor>& errores) {
    if (!dbc_)
        throw Fallo(ado::adErrInvalidConnection,
                    QStringLiteral("Operation is not allowed when the object is closed."));
    SQLULEN nivel = SQL_TXN_READ_COMMITTED;
    switch (nivelAdo) {
        case ado::adXactReadUncommitted: nivel = SQL_TXN_READ_UNCOMMITTED; break;
        case ado::adXactRepeatableRead: nivel = SQL_TXN_REPEATABLE_READ; break;
        case ado::adXactSerializable: nivel = SQL_TXN_SERIALIZABLE; break;
        default: break;
    }
    // A driver that does not offer the level keeps its own: not a failure.
    SQLINTEGER admitidos = 0;
    if (Exito(SQLGetInfo(dbc_, SQL_TXN_ISOLATION_OPTION, &admitidos, sizeof admitidos, nullptr)) &&
        (admitidos & static_cast<SQLINTEGER>(nivel)) == 0)
        return;
    const std::size_t desde = errores.size();
    const SQLRETURN rc =
        SQLSetConnectAttr(dbc_, SQL_ATTR_TXN_ISOLATION, reinterpret_cast<SQLPOINTER>(nivel), SQL_IS_UINTEGER);
    LeeDiagnosticos(SQL_HANDLE_DBC, dbc_, errores);
    if (!Exito(rc)) FallaCon(errores, desde, QStringLiteral("No se pudo cambiar el nivel de aislamiento."));
}

// ---- Creation -------------------------------------------------------------

QStringList ControladoresOdbcInstalados() {
    QStringList lista;
    SQLHENV env = nullptr;
    if (!Exito(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) return lista;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLCHAR nombre[512], atributos[2048];
    SQLSMALLINT largoNombre = 0, largoAtributos = 0;
    SQLUSMALLINT direccion = SQL_FETCH_FIRST;
    while (Exito(SQLDrivers(env, direccion, nombre, sizeof nombre, &largoNombre, atributos, sizeof atributos,
                            &largoAtributos))) {
        lista << QString::fromUtf8(reinterpret_cast<const char*>(nombre));
        direccion = SQL_FETCH_NEXT;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return lista;
}

std::shared_ptr<Controlador> CreaControladorOdbc(const ParametrosConexion& p, QString& motivo) {
    const CadenaOdbc::Destino d = CadenaOdbc::Construye(p, ControladoresOdbcInstalados());
    if (d.cadena.isEmpty()) {
        motivo = d.motivo;
        return nullptr;
    }
    return std::make_shared<ControladorOdbc>(d.cadena, d.sqlServer);
}
