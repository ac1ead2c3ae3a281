#include "db/platform/embebido/ControladorEmbebido.h"

#include "db/platform/Ado.h"
#include "db/platform/embebido/BaseEmbebida.h"
#include "db/platform/embebido/CacheTraduccion.h"
#include "db/platform/embebido/CatalogoEmbebido.h"
#include "db/platform/embebido/FuncionesEmbebidas.h"
#include "db/platform/embebido/InyeccionFallasInterna.h"
#include "db/platform/embebido/TraductorTsql.h"
#include "platform/Espera.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <sqlite3.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <cerrno>
#include <cstring>
#include <unistd.h>

#include <algorithm>

namespace {

const QString kFuente = QStringLiteral("Microsoft OLE DB Provider for SQL Server");

QString Utf8(const char* p) { return p ? QString::fromUtf8(p) : QString(); }

// How a failed statement affects the rest of the batch (XACT_ABORT off).
enum class Efecto { Sigue, Corta, CortaYDeshace, Perdida };

struct Columna {
    QString nombre, declarado;
    bool noNula = false;
};

struct InfoTabla {
    bool existe = false;
    QString nombre;
    std::vector<Columna> columnas;
    QString identidad;
    std::vector<Restriccion> restricciones;
    QStringList clave;  // lower case
};

struct Preparada {
    sqlite3_stmt* st = nullptr;
    bool propia = true;  // false: one of the connection's kept statements
    std::vector<QByteArray> valores;  // for its parameters, from ?1 on
    ~Preparada() {
        if (propia) sqlite3_finalize(st);
    }
};

QString EstadoSql(int nativo) {
    switch (nativo) {
        case 2627: case 2601: case 547: case 515: return QStringLiteral("23000");
        case 8152: return QStringLiteral("22001");
        case 208: return QStringLiteral("42S02");
        case 207: return QStringLiteral("42S22");
        case 2714: return QStringLiteral("42S01");
        case 245: case 241: return QStringLiteral("22018");
        case 8114: return QStringLiteral("22018");
        case 3902: case 3903: case 628: return QStringLiteral("25000");
        case 3621: return QStringLiteral("01000");
        case 11: return QStringLiteral("08S01");
        default: return QStringLiteral("42000");
    }
}

Efecto EfectoDe(int nativo) {
    switch (nativo) {
        case 208: case 207: case 195: case 209: case 102: case 213: case 137: case 40000: case 174: case 155:
            return Efecto::Corta;
        case 245: case 241: case 8114: case 1105: return Efecto::CortaYDeshace;
        case 11: return Efecto::Perdida;
        default: return Efecto::Sigue;
    }
}

}  // namespace

ErrorProveedor EntradaSqlServer(int32_t nativo, const QString& descripcion, const QString& sqlState) {
    ErrorProveedor e;
    e.NativeError = nativo;
    e.Description = descripcion;
    e.SQLState = sqlState.isEmpty() ? EstadoSql(nativo) : sqlState;
    e.Number = NumeroAdoPara(nativo, e.SQLState);
    e.Source = kFuente;
    return e;
}

struct ControladorEmbebido::Impl {
    sqlite3* db = nullptr;
    QString base, ruta;
    dev_t dispositivo = 0;
    ino_t nodo = 0;
    mode_t modo = 0;
    bool rota = false;
    EstadoSesion estado;
    CacheTraduccion traducciones;
    bool sinCuenta = false, xactAbort = false;
    QSet<QString> identityInsert;
    QStringList puntos;  // savepoints of SAVE TRAN
    QHash<QString, InfoTabla> tablas;
    QElapsedTimer reloj;
    qint64 limiteMs = 0;
    int esperaBloqueo = 0;  // seconds the engine waits for another connection's lock
    qint64 esperaMs = 30000;   // the same, as the busy handler reads it
    QElapsedTimer esperando;   // this busy episode
    QElapsedTimer ultimoAviso;
    bool avisada = false;      // the listener was told of a wait in this request
    int paginasMax = 0;
    // Prepared statements of bound forms, by their engine text, kept for
    // the next batches of the same shape. Dropped when the connection
    // closes, and before the next batch once this connection has changed
    // the schema (the engine re-prepares them itself for other changes).
    QHash<QString, sqlite3_stmt*> guardadas;
    bool guardadasViejas = false;
    // Changes whenever the engine's connection closes: a statement prepared
    // on it before may not run.
    quint64 generacion = 0;
    static constexpr int kGuardadasMax = 512;

    void LiberaGuardadas() {
        for (sqlite3_stmt* st : std::as_const(guardadas)) sqlite3_finalize(st);
        guardadas.clear();
        guardadasViejas = false;
    }

    ~Impl() { Cierra(); }

    // ---- connection ----

    void Cierra() {
        rota = false;
        esperaBloqueo = 0;
        if (!db) return;
        LiberaGuardadas();
        ++generacion;
        sqlite3_close_v2(db);
        db = nullptr;
        estado.nivelTransaccion = 0;
        puntos.clear();
        tablas.clear();
        rota = false;
    }

    bool AbreArchivo(const QString& nombre, std::vector<ErrorProveedor>& errores, int nativoFalta) {
        if (!ExisteBaseEmbebida(nombre)) {
            if (nativoFalta == 4060)
                errores.push_back(EntradaSqlServer(
                    4060, QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed.").arg(nombre), {}));
            else
                errores.push_back(EntradaSqlServer(
                    911, QStringLiteral("Database '%1' does not exist. Make sure that the name is entered correctly.").arg(nombre), {}));
            return false;
        }
        const QString r = RutaBaseEmbebida(nombre);
        // the database's name as its file spells it, as DB_NAME() gives it
        const QString real = QFileInfo(r).completeBaseName();
        sqlite3* nuevo = nullptr;
        const QByteArray rb = r.toUtf8();
        int rc = sqlite3_open_v2(rb.constData(), &nuevo, SQLITE_OPEN_READWRITE, nullptr);
        if (rc == SQLITE_OK) rc = Configura(nuevo, real);
        if (rc != SQLITE_OK) {
            const QString m = nuevo ? Utf8(sqlite3_errmsg(nuevo)) : QString();
            sqlite3_close_v2(nuevo);
            errores.push_back(EntradaSqlServer(
                4060, QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed. (%2)").arg(nombre, m), {}));
            return false;
        }
        Cierra();
        db = nuevo;
        esperaBloqueo = 0;
        base = real;
        ruta = r;
        estado.base = real;
        struct stat st {};
        if (::stat(rb.constData(), &st) == 0) {
            dispositivo = st.st_dev;
            nodo = st.st_ino;
            modo = st.st_mode;
        }
        if (paginasMax > 0) LimitaPaginas(paginasMax);
        return true;
    }

    int Configura(sqlite3* c, const QString& nombre) {
        sqlite3_extended_result_codes(c, 1);
        sqlite3_db_config(c, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(c, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
        estado.base = nombre;
        RegistraFuncionesEmbebidas(c, &estado);
        FijaEspera(c, 30000);
        sqlite3_progress_handler(c, 2000, &Impl::Progreso, this);
        int rc = sqlite3_exec(c, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return rc;
        rc = sqlite3_exec(c, kAjustesConexionEmbebida, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return rc;
        rc = sqlite3_exec(c, kCatalogoEmbebido, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK && rc != SQLITE_READONLY) return rc;
        static const char* vistas =
            "CREATE TEMP VIEW sysobjects AS "
            " SELECT name COLLATE CI_AS AS name, rowid AS id,"
            "  (CASE type WHEN 'table' THEN 'U' WHEN 'view' THEN 'V' ELSE 'TR' END) COLLATE CI_AS AS xtype,"
            "  (CASE type WHEN 'table' THEN 'U' WHEN 'view' THEN 'V' ELSE 'TR' END) COLLATE CI_AS AS type,"
            "  1 AS uid, 0 AS parent_obj"
            " FROM main.sqlite_master WHERE type IN ('table','view','trigger')"
            "  AND name NOT GLOB '__kv_*' AND name NOT GLOB 'sqlite_*'"
            " UNION ALL SELECT nombre, -rowid, CASE tipo WHEN 'CK' THEN 'C' ELSE tipo END,"
            "  CASE tipo WHEN 'CK' THEN 'C' ELSE tipo END, 1, 0 FROM main.__kv_restricciones;"
            // sys.triggers: a row (table, '*') switches off all of the table's triggers
            "CREATE TEMP VIEW sys_triggers AS "
            " SELECT t.name COLLATE CI_AS AS name, t.rowid AS object_id,"
            "  (SELECT p.rowid FROM main.sqlite_master p WHERE p.type IN ('table','view')"
            "    AND p.name = t.tbl_name COLLATE NOCASE) AS parent_id,"
            "  EXISTS (SELECT 1 FROM main.__kv_disparadores d WHERE d.tabla = t.tbl_name"
            "    AND d.disparador IN ('*', t.name)) AS is_disabled"
            " FROM main.sqlite_master t WHERE t.type = 'trigger'"
            "  AND t.name NOT GLOB '__kv_*' AND t.name NOT GLOB 'sqlite_*';"
            "CREATE TEMP VIEW INFORMATION_SCHEMA_TABLES AS"
            " SELECT kv_db_name() COLLATE CI_AS AS TABLE_CATALOG, 'dbo' COLLATE CI_AS AS TABLE_SCHEMA,"
            "  name COLLATE CI_AS AS TABLE_NAME,"
            "  (CASE type WHEN 'table' THEN 'BASE TABLE' ELSE 'VIEW' END) COLLATE CI_AS AS TABLE_TYPE"
            " FROM main.sqlite_master WHERE type IN ('table','view')"
            "  AND name NOT GLOB '__kv_*' AND name NOT GLOB 'sqlite_*';"
            "CREATE TEMP VIEW INFORMATION_SCHEMA_COLUMNS AS"
            " SELECT kv_db_name() COLLATE CI_AS AS TABLE_CATALOG, 'dbo' COLLATE CI_AS AS TABLE_SCHEMA,"
            "  m.name COLLATE CI_AS AS TABLE_NAME, p.name COLLATE CI_AS AS COLUMN_NAME,"
            "  p.cid + 1 AS ORDINAL_POSITION, p.dflt_value AS COLUMN_DEFAULT,"
            "  (CASE WHEN p.\"notnull\" OR p.pk THEN 'NO' ELSE 'YES' END) COLLATE CI_AS AS IS_NULLABLE,"
            "  kv_tipo_nombre(p.type) COLLATE CI_AS AS DATA_TYPE, kv_tipo_largo(p.type) AS CHARACTER_MAXIMUM_LENGTH"
            " FROM main.sqlite_master m JOIN pragma_table_info(m.name) p"
            " WHERE m.type IN ('table','view') AND m.name NOT GLOB '__kv_*' AND m.name NOT GLOB 'sqlite_*';";
        sqlite3_create_function_v2(c, "kv_tipo_nombre", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &TipoNombre,
                                   nullptr, nullptr, nullptr);
        sqlite3_create_function_v2(c, "kv_tipo_largo", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &TipoLargo,
                                   nullptr, nullptr, nullptr);
        return sqlite3_exec(c, vistas, nullptr, nullptr, nullptr);
    }

    static void TipoNombre(sqlite3_context* c, int, sqlite3_value** v) {
        const QByteArray b = TipoDeclarado(Utf8(reinterpret_cast<const char*>(sqlite3_value_text(v[0])))).nombre.toUtf8();
        sqlite3_result_text(c, b.constData(), b.size(), SQLITE_TRANSIENT);
    }
    static void TipoLargo(sqlite3_context* c, int, sqlite3_value** v) {
        const TipoAdo t = TipoDeclarado(Utf8(reinterpret_cast<const char*>(sqlite3_value_text(v[0]))));
        if (t.tipo == 200 || t.tipo == 129 || t.tipo == 202 || t.tipo == 130 || t.tipo == 201 || t.tipo == 203)
            sqlite3_result_int64(c, t.tamano);
        else
            sqlite3_result_null(c);
    }

    // Another connection's lock is waited for up to `ms`, sleeping as the
    // engine's own busy timeout does; a long wait is told to the listener.
    void FijaEspera(sqlite3* c, qint64 ms) {
        esperaMs = ms;
        sqlite3_busy_handler(c, &Impl::Ocupada, this);
    }
    static int Ocupada(void* p, int veces) {
        static constexpr int kPausas[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
        auto* d = static_cast<Impl*>(p);
        if (veces == 0) d->esperando.start();
        const qint64 t = d->esperando.elapsed();
        if (t >= d->esperaMs) return 0;
        if (t >= kPrimeraEsperaMs && HayOyenteEspera() &&
            (!d->ultimoAviso.isValid() || d->ultimoAviso.elapsed() >= kIntervaloEsperaMs)) {
            d->avisada = true;
            d->ultimoAviso.start();
            AvisaEspera({QStringLiteral("Esperando un bloqueo de otro usuario"), t, d->esperaMs, false});
        }
        const qint64 pausa = veces < static_cast<int>(std::size(kPausas)) ? kPausas[veces] : 100;
        sqlite3_sleep(static_cast<int>(std::max<qint64>(1, std::min(pausa, d->esperaMs - d->esperando.elapsed()))));
        return 1;
    }
    // Tells the listener that a wait it was told of is over.
    struct FinDeEspera {
        Impl* d;
        ~FinDeEspera() {
            if (!d->avisada) return;
            d->avisada = false;
            d->ultimoAviso.invalidate();
            AvisaEspera({{}, d->esperando.elapsed(), d->esperaMs, true});
        }
    };

    static int Progreso(void* p) {
        auto* d = static_cast<Impl*>(p);
        return d->limiteMs > 0 && d->reloj.isValid() && d->reloj.elapsed() > d->limiteMs ? 1 : 0;
    }

    void LimitaPaginas(int paginas) {
        paginasMax = paginas;
        if (!db) return;
        const QByteArray q = QStringLiteral("PRAGMA max_page_count=%1").arg(paginas > 0 ? paginas : 1073741823).toUtf8();
        sqlite3_exec(db, q.constData(), nullptr, nullptr, nullptr);
    }

    // The file is still the one opened and can be read and written.
    bool ArchivoPresente() const {
        struct stat st {};
        const QByteArray r = ruta.toUtf8();
        if (::stat(r.constData(), &st) != 0) return false;
        if (st.st_dev != dispositivo || st.st_ino != nodo) return false;
        return st.st_mode == modo || ::access(r.constData(), R_OK | W_OK) == 0;
    }

    void Pierde(std::vector<ErrorProveedor>& errores, const QString& texto = {}) {
        errores.push_back(EntradaSqlServer(
            11, texto.isEmpty() ? QStringLiteral("General network error. Check your network documentation.") : texto,
            QStringLiteral("08S01")));
        if (db) {
            LiberaGuardadas();
            ++generacion;
            sqlite3_close_v2(db);
            db = nullptr;
        }
        estado.nivelTransaccion = 0;
        puntos.clear();
        tablas.clear();
        rota = true;
    }

    // ---- catalogue ----

    InfoTabla& Tabla(const QString& nombre) {
        const QString clave = nombre.toLower();
        auto it = tablas.find(clave);
        if (it != tablas.end()) return it.value();
        InfoTabla info;
        {
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db, "SELECT name FROM main.sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE",
                               -1, &st, nullptr);
            Liga(st, 1, nombre);
            if (sqlite3_step(st) == SQLITE_ROW) {
                info.existe = true;
                info.nombre = Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            }
            sqlite3_finalize(st);
        }
        if (info.existe) {
            sqlite3_stmt* st = nullptr;
            const QByteArray q = QStringLiteral("PRAGMA main.table_info(%1)").arg(CitaNombre(info.nombre)).toUtf8();
            sqlite3_prepare_v2(db, q.constData(), -1, &st, nullptr);
            while (st && sqlite3_step(st) == SQLITE_ROW)
                info.columnas.push_back({Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))),
                                         Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2))),
                                         sqlite3_column_int(st, 3) != 0});
            sqlite3_finalize(st);
            sqlite3_prepare_v2(db, "SELECT columna FROM main.__kv_identidad WHERE tabla = ?1", -1, &st, nullptr);
            Liga(st, 1, info.nombre);
            if (st && sqlite3_step(st) == SQLITE_ROW) info.identidad = Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            sqlite3_finalize(st);
            sqlite3_prepare_v2(db, "SELECT nombre, tipo, columnas FROM main.__kv_restricciones WHERE tabla = ?1", -1, &st,
                               nullptr);
            Liga(st, 1, info.nombre);
            while (st && sqlite3_step(st) == SQLITE_ROW) {
                Restriccion r{Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))),
                              Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))),
                              Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2))).split(QLatin1Char(','), Qt::SkipEmptyParts)};
                if (r.tipo == QLatin1String("PK")) info.clave = r.columnas;
                info.restricciones.push_back(r);
            }
            sqlite3_finalize(st);
        }
        return tablas.insert(clave, info).value();
    }

    // name and type of an object ("table", "view", "trigger", "index"), CI
    QString Objeto(const QString& nombre, QString* tipo = nullptr) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT name, type FROM main.sqlite_master WHERE name = ?1 COLLATE NOCASE", -1, &st, nullptr);
        Liga(st, 1, nombre);
        QString r;
        if (sqlite3_step(st) == SQLITE_ROW) {
            r = Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            if (tipo) *tipo = Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
        }
        sqlite3_finalize(st);
        return r;
    }

    static void Liga(sqlite3_stmt* st, int i, const QString& s) {
        const QByteArray b = s.toUtf8();
        sqlite3_bind_text(st, i, b.constData(), b.size(), SQLITE_TRANSIENT);
    }

    static void LigaValor(sqlite3_stmt* st, int i, const QVariant& v) {
        if (!v.isValid() || v.isNull()) { sqlite3_bind_null(st, i); return; }
        switch (v.typeId()) {
            case QMetaType::Bool: sqlite3_bind_int(st, i, v.toBool() ? 1 : 0); break;
            case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
            case QMetaType::Long: case QMetaType::Short: case QMetaType::UShort: case QMetaType::Char: case QMetaType::UChar:
                sqlite3_bind_int64(st, i, v.toLongLong()); break;
            case QMetaType::Double: case QMetaType::Float: sqlite3_bind_double(st, i, v.toDouble()); break;
            case QMetaType::QDateTime: Liga(st, i, TextoFecha(v.toDateTime())); break;
            case QMetaType::QDate: Liga(st, i, TextoFecha(QDateTime(v.toDate(), QTime(0, 0)))); break;
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                sqlite3_bind_blob(st, i, b.constData(), b.size(), SQLITE_TRANSIENT);
                break;
            }
            default: Liga(st, i, v.toString());
        }
    }

    int Exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
    int Exec(const QString& sql) { return Exec(sql.toUtf8().constData()); }
    QString Mensaje() const { return Utf8(sqlite3_errmsg(db)); }

    // ---- errors ----

    // Maps the engine's failure to SQL Server's entries; returns its effect.
    Efecto Error(int rc, const QString& msg, const Sentencia& s, std::vector<ErrorProveedor>& errores) {
        const int primario = rc & 0xFF;
        auto agrega = [&](int nativo, const QString& texto, bool terminada = false) {
            errores.push_back(EntradaSqlServer(nativo, texto, {}));
            if (terminada) errores.push_back(EntradaSqlServer(3621, QStringLiteral("The statement has been terminated."), {}));
            estado.ultimoError = nativo;
            return EfectoDe(nativo);
        };
        const QString verbo = s.verbo.isEmpty() ? QStringLiteral("INSERT") : s.verbo;
        if (primario == SQLITE_CONSTRAINT) {
            const int dos = msg.indexOf(QLatin1String(": "));
            const QString detalle = dos >= 0 ? msg.mid(dos + 2) : QString();
            if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) return Duplicado(detalle, s, errores);
            if (rc == SQLITE_CONSTRAINT_NOTNULL) {
                const int p = detalle.lastIndexOf(QLatin1Char('.'));
                return agrega(515, Nulos(detalle.left(p), detalle.mid(p + 1), verbo), true);
            }
            if (rc == SQLITE_CONSTRAINT_CHECK) {
                if (detalle.startsWith(QLatin1String("kv_largo_")))
                    return agrega(8152, QStringLiteral("String or binary data would be truncated."), true);
                if (detalle.startsWith(QLatin1String("kv_nn_")))
                    return agrega(515, Nulos(s.tabla, detalle.mid(6), verbo), true);
                return agrega(547, QStringLiteral("The %1 statement conflicted with the CHECK constraint \"%2\". The conflict "
                                                  "occurred in database \"%3\", table \"dbo.%4\".")
                                       .arg(verbo, detalle, base, s.tabla), true);
            }
            if (rc == SQLITE_CONSTRAINT_FOREIGNKEY)
                return agrega(547, QStringLiteral("The %1 statement conflicted with the FOREIGN KEY constraint. The conflict "
                                                  "occurred in database \"%2\", table \"dbo.%3\".")
                                       .arg(verbo, base, s.tabla), true);
            if (rc == SQLITE_CONSTRAINT_TRIGGER || rc == SQLITE_CONSTRAINT)
                return agrega(50000, msg);
            return agrega(547, msg, true);
        }
        if (primario == SQLITE_FULL)
            return agrega(1105, QStringLiteral("Could not allocate space for object 'dbo.%1' in database '%2' because the "
                                               "'PRIMARY' filegroup is full.").arg(s.tabla.isEmpty() ? QStringLiteral("?") : s.tabla, base));
        if (primario == SQLITE_READONLY)
            return agrega(3906, QStringLiteral("Failed to update database \"%1\" because the database is read-only.").arg(base));
        if (primario == SQLITE_IOERR || primario == SQLITE_CORRUPT || primario == SQLITE_NOTADB ||
            primario == SQLITE_CANTOPEN) {
            Pierde(errores);
            return Efecto::Perdida;
        }
        if (primario == SQLITE_BUSY || primario == SQLITE_LOCKED)
            return agrega(1222, QStringLiteral("Lock request time out period exceeded."));
        if (primario == SQLITE_INTERRUPT) {
            errores.push_back(EntradaSqlServer(0, QStringLiteral("Query timeout expired"), QStringLiteral("HYT00")));
            return Efecto::Corta;
        }
        int nativo = 0;
        QString texto;
        if (LeeErrorFuncion(msg, nativo, texto)) return agrega(nativo, texto, nativo == 537 || nativo == 536);
        return TraduceMensaje(msg, errores);
    }

    // Messages of the engine's compiler.
    Efecto TraduceMensaje(const QString& msg, std::vector<ErrorProveedor>& errores) {
        auto agrega = [&](int nativo, const QString& texto) {
            errores.push_back(EntradaSqlServer(nativo, texto, {}));
            estado.ultimoError = nativo;
            return EfectoDe(nativo);
        };
        auto tras = [&](const char* prefijo) { return msg.mid(static_cast<int>(qstrlen(prefijo))); };
        auto ultimo = [](const QString& n) { return n.mid(n.lastIndexOf(QLatin1Char('.')) + 1); };
        if (msg.startsWith(QLatin1String("no such table: "))) {
            QString n = tras("no such table: ");
            if (n.startsWith(QLatin1String("main."))) n = n.mid(5);
            return agrega(208, QStringLiteral("Invalid object name '%1'.").arg(n));
        }
        if (msg.startsWith(QLatin1String("no such column: ")))
            return agrega(207, QStringLiteral("Invalid column name '%1'.").arg(ultimo(tras("no such column: "))));
        if (msg.contains(QLatin1String(" has no column named ")))
            return agrega(207, QStringLiteral("Invalid column name '%1'.").arg(msg.mid(msg.indexOf(QLatin1String(" named ")) + 7)));
        if (msg.startsWith(QLatin1String("no such function: ")))
            return agrega(195, QStringLiteral("'%1' is not a recognized built-in function name.").arg(tras("no such function: ")));
        if (msg.startsWith(QLatin1String("wrong number of arguments to function "))) {
            QString f = tras("wrong number of arguments to function ");
            f.remove(QStringLiteral("()"));
            if (f.startsWith(QLatin1String("kv_"))) f = f.mid(3);
            return agrega(174, QStringLiteral("The %1 function requires a different number of arguments.").arg(f.toLower()));
        }
        if (msg.startsWith(QLatin1String("ambiguous column name: ")))
            return agrega(209, QStringLiteral("Ambiguous column name '%1'.").arg(ultimo(tras("ambiguous column name: "))));
        if (msg.startsWith(QLatin1String("near \""))) {
            const int fin = msg.indexOf(QLatin1Char('"'), 6);
            return agrega(102, QStringLiteral("Incorrect syntax near '%1'.").arg(msg.mid(6, fin - 6)));
        }
        if (msg.contains(QLatin1String("incomplete input")) || msg.contains(QLatin1String("unrecognized token")))
            return agrega(102, QStringLiteral("Incorrect syntax near the end of the statement."));
        if (msg.contains(QLatin1String(" already exists"))) {
            QString n = msg.section(QLatin1Char(' '), 1, 1);
            return agrega(2714, QStringLiteral("There is already an object named '%1' in the database.").arg(n));
        }
        if (msg.contains(QLatin1String("values were supplied")) || msg.contains(QLatin1String("columns but")) ||
            msg.contains(QLatin1String("expected ")))
            return agrega(213, QStringLiteral("Column name or number of supplied values does not match table definition."));
        return agrega(0, msg);
    }

    QString Nulos(const QString& tabla, const QString& columna, const QString& verbo) const {
        return QStringLiteral("Cannot insert the value NULL into column '%1', table '%2.dbo.%3'; column does not allow "
                              "nulls. %4 fails.")
            .arg(columna, base, tabla, verbo == QLatin1String("UPDATE") ? QStringLiteral("UPDATE") : QStringLiteral("INSERT"));
    }

    Efecto Duplicado(const QString& detalle, const Sentencia& s, std::vector<ErrorProveedor>& errores) {
        // "T.a, T.b" or "index 'name'"
        QString tabla = s.tabla;
        QStringList cols;
        QString indice;
        if (detalle.startsWith(QLatin1String("index '"))) {
            indice = detalle.mid(7, detalle.size() - 8);
        } else {
            for (const QString& p : detalle.split(QStringLiteral(", "))) {
                const int punto = p.indexOf(QLatin1Char('.'));
                tabla = p.left(punto);
                cols << p.mid(punto + 1).toLower();
            }
        }
        InfoTabla& info = Tabla(tabla);
        const QString tn = info.existe ? info.nombre : tabla;
        QString clase, nombre;
        for (const Restriccion& r : info.restricciones) {
            if ((r.tipo == QLatin1String("PK") || r.tipo == QLatin1String("UQ")) && !cols.isEmpty() &&
                QSet<QString>(r.columnas.begin(), r.columnas.end()) == QSet<QString>(cols.begin(), cols.end())) {
                clase = r.tipo;
                nombre = r.nombre;
                if (clase == QLatin1String("PK")) break;
            }
        }
        if (nombre.isEmpty() && indice.isEmpty()) {
            // a unique index: find it by its columns
            sqlite3_stmt* st = nullptr;
            const QByteArray q = QStringLiteral("SELECT l.name FROM pragma_index_list(%1) l WHERE l.\"unique\" AND l.origin = 'c' "
                                                "AND (SELECT group_concat(lower(name), ',') FROM (SELECT name FROM pragma_index_info(l.name) ORDER BY name)) = ?1")
                                     .arg(CitaCadena(tn)).toUtf8();
            if (sqlite3_prepare_v2(db, q.constData(), -1, &st, nullptr) == SQLITE_OK) {
                QStringList orden = cols;
                orden.sort();
                Liga(st, 1, orden.join(QLatin1Char(',')));
                if (sqlite3_step(st) == SQLITE_ROW) indice = Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            }
            sqlite3_finalize(st);
        }
        if (indice.startsWith(tn + QLatin1Char('.'), Qt::CaseInsensitive)) indice = indice.mid(tn.size() + 1);
        const QString valor = ValorClave(s, info, cols);
        const QString cola = valor.isNull() ? QString() : QStringLiteral(" The duplicate key value is (%1).").arg(valor);
        QString texto;
        int nativo = 2627;
        if (!nombre.isEmpty()) {
            texto = QStringLiteral("Violation of %1 constraint '%2'. Cannot insert duplicate key in object 'dbo.%3'.%4")
                        .arg(clase == QLatin1String("PK") ? QStringLiteral("PRIMARY KEY") : QStringLiteral("UNIQUE KEY"),
                             nombre, tn, cola);
        } else {
            nativo = 2601;
            texto = QStringLiteral("Cannot insert duplicate key row in object 'dbo.%1' with unique index '%2'.%3")
                        .arg(tn, indice.isEmpty() ? cols.join(QLatin1Char('_')) : indice, cola);
        }
        errores.push_back(EntradaSqlServer(nativo, texto, {}));
        errores.push_back(EntradaSqlServer(3621, QStringLiteral("The statement has been terminated."), {}));
        estado.ultimoError = nativo;
        return Efecto::Sigue;
    }

    // The key value the statement wrote, when it wrote it as literals.
    QString ValorClave(const Sentencia& s, const InfoTabla& info, const QStringList& cols) {
        std::vector<Token> t;
        ErrorLexico e;
        if (cols.isEmpty() || !Tokeniza(s.original, t, e)) return {};
        QHash<QString, QString> valores;
        auto literal = [&](std::size_t k) -> QString {
            if (k >= t.size()) return {};
            if (t[k].tipo == Token::Cadena || t[k].tipo == Token::Numero) return t[k].texto;
            return {};
        };
        if (s.verbo == QLatin1String("UPDATE")) {
            for (std::size_t k = 0; k + 2 < t.size(); ++k)
                if (t[k].EsNombre() && t[k + 1].EsSimbolo('=') && cols.contains(t[k].texto.toLower()) &&
                    !valores.contains(t[k].texto.toLower()) && !literal(k + 2).isNull())
                    valores.insert(t[k].texto.toLower(), literal(k + 2));
                else if (t[k].Es("WHERE")) break;
        } else if (s.verbo == QLatin1String("INSERT")) {
            QStringList destino = s.insertColumnas;
            if (destino.isEmpty())
                for (const Columna& c : info.columnas)
                    if (c.nombre.compare(info.identidad, Qt::CaseInsensitive) != 0) destino << c.nombre.toLower();
            std::size_t k = 0;
            while (k < t.size() && !t[k].Es("VALUES") && !t[k].Es("SELECT")) k = t[k].EsSimbolo('(') ? t[k].pareja + 1 : k + 1;
            if (k >= t.size()) return {};
            if (t[k].Es("VALUES")) ++k;
            if (k < t.size() && t[k].EsSimbolo('(') && t[k - 1].Es("VALUES")) ++k;
            else if (t[k].Es("SELECT")) ++k;
            int pos = 0;
            while (k < t.size() && pos < destino.size()) {
                const std::size_t ini = k;
                while (k < t.size() && !t[k].EsSimbolo(',') && !t[k].EsSimbolo(')') && !t[k].Es("FROM"))
                    k = t[k].EsSimbolo('(') ? t[k].pareja + 1 : k + 1;
                if (k == ini + 1 && !literal(ini).isNull()) valores.insert(destino[pos], literal(ini));
                ++pos;
                if (k >= t.size() || !t[k].EsSimbolo(',')) break;
                ++k;
            }
        }
        QStringList partes;
        for (const QString& c : cols) {
            if (!valores.contains(c)) return {};
            partes << valores.value(c);
        }
        return partes.join(QStringLiteral(", "));
    }

    // ---- statements ----

    struct Lote {
        ResultadoLote& r;
        const QVariantList* parametros;
    };

    // Prepares an engine statement; `rc` and the message on failure.
    sqlite3_stmt* Prepara(const QString& sql, int& rc, QString& msg) {
        sqlite3_stmt* st = nullptr;
        const QByteArray b = sql.toUtf8();
        rc = sqlite3_prepare_v3(db, b.constData(), b.size(), 0, &st, nullptr);
        if (rc != SQLITE_OK) {
            msg = Mensaje();
            sqlite3_finalize(st);
            return nullptr;
        }
        return st;
    }

    QString TextoMotor(const Sentencia& s) { return TextoMotor(s, s.sql, s.insertAntes, s.insertDespues); }
    // The same, for the statement's texts in another form (bound).
    QString TextoMotor(const Sentencia& s, const QString& sql, const QString& antes, const QString& despues) {
        if (!s.insertSinColumnas) return sql;
        InfoTabla& info = Tabla(s.tabla);
        if (!info.existe || info.identidad.isEmpty()) return sql;
        QStringList cols;
        for (const Columna& c : info.columnas)
            if (c.nombre.compare(info.identidad, Qt::CaseInsensitive) != 0) cols << CitaNombre(c.nombre);
        return antes + QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + QStringLiteral(") ") + despues;
    }

    // The kept statement of a bound form with this batch's values; nothing
    // when the engine does not take the form (the text then goes as it is,
    // and reports what it has to).
    std::unique_ptr<Preparada> Ligada(const Sentencia& s, const SentenciaLigada& l, const QStringList& valores) {
        const QString texto = TextoMotor(s, l.sql, l.insertAntes, l.insertDespues);
        sqlite3_stmt* st = guardadas.value(texto);
        if (!st) {
            int rc;
            QString msg;
            st = Prepara(texto, rc, msg);
            if (!st) return nullptr;
            if (sqlite3_bind_parameter_count(st) != static_cast<int>(l.literales.size())) {
                sqlite3_finalize(st);
                return nullptr;
            }
            guardadas.insert(texto, st);
        }
        auto p = std::make_unique<Preparada>();
        p->st = st;
        p->propia = false;
        p->valores.reserve(l.literales.size());
        for (int k : l.literales) p->valores.push_back(valores[k].toUtf8());
        return p;
    }

    void Adjunta(const Sentencia& s) {
        for (const QString& otra : s.basesAdjuntas) {
            if (!sqlite3_get_autocommit(db)) continue;
            const QByteArray n = otra.toUtf8();
            if (sqlite3_db_filename(db, n.constData())) continue;
            if (!ExisteBaseEmbebida(otra)) continue;
            const QString q = QStringLiteral("ATTACH DATABASE %1 AS %2").arg(CitaCadena(RutaBaseEmbebida(otra)), CitaNombre(otra));
            Exec(q);
        }
    }

    // Runs a prepared engine statement, collecting rows or the count;
    // `ligados` are the values of a bound form's parameters.
    Efecto Corre(sqlite3_stmt* st, const Sentencia& s, Lote& lote, const std::vector<QByteArray>* ligados = nullptr) {
        if (lote.parametros) {
            const int n = sqlite3_bind_parameter_count(st);
            for (int i = 0; i < n && i < lote.parametros->size(); ++i) LigaValor(st, i + 1, lote.parametros->at(i));
        }
        if (ligados)
            for (std::size_t i = 0; i < ligados->size(); ++i)
                sqlite3_bind_text(st, static_cast<int>(i + 1), (*ligados)[i].constData(), static_cast<int>((*ligados)[i].size()),
                                  SQLITE_STATIC);
        const int columnas = sqlite3_column_count(st);
        ResultadoSentencia rs;
        std::vector<TipoAdo> tipos;
        if (columnas > 0) {
            rs.conFilas = true;
            Columnas(st, rs, tipos);
        }
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            if (columnas == 0) continue;
            Fila f(columnas);
            for (int i = 0; i < columnas; ++i) f[i] = Valor(st, i, tipos[static_cast<std::size_t>(i)]);
            rs.filas.push_back(std::move(f));
        }
        if (rc != SQLITE_DONE) {
            const QString msg = Mensaje();
            const int ext = sqlite3_extended_errcode(db);
            sqlite3_reset(st);
            return Error(ext, msg, s, lote.r.errores);
        }
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        estado.ultimoError = 0;
        if (columnas > 0) {
            estado.filasUltima = static_cast<long long>(rs.filas.size());
            // expression columns take their type from the values
            for (int i = 0; i < columnas; ++i) {
                ColumnaResultado& c = rs.columnas[static_cast<std::size_t>(i)];
                if (c.tipo != 0) continue;
                int tipo = ado::adVarChar;
                long tam = 1;
                for (const Fila& f : rs.filas) {
                    const QVariant& v = f[i];
                    if (v.isNull()) continue;
                    if (v.typeId() == QMetaType::LongLong) {
                        tipo = std::llabs(v.toLongLong()) > 2147483647LL ? ado::adBigInt : ado::adInteger;
                        tam = tipo == ado::adBigInt ? 8 : 4;
                    } else if (v.typeId() == QMetaType::Double) {
                        tipo = ado::adDouble;
                        tam = 8;
                    } else {
                        tam = std::max<long>(tam, static_cast<long>(v.toString().size()));
                    }
                }
                c.tipo = tipo;
                c.tamano = tam;
                if (tipo == ado::adInteger)
                    for (Fila& f : rs.filas)
                        if (!f[i].isNull()) f[i] = QVariant(f[i].toInt());
            }
            lote.r.resultados.push_back(std::move(rs));
        } else {
            const long long n = sqlite3_changes64(db);
            estado.filasUltima = n;
            const bool dml = s.verbo == QLatin1String("INSERT") || s.verbo == QLatin1String("UPDATE") ||
                             s.verbo == QLatin1String("DELETE") || s.tipo == Sentencia::SelectInto;
            if (dml && !sinCuenta) {
                rs.afectadas = static_cast<long>(n);
                lote.r.resultados.push_back(std::move(rs));
            }
        }
        return Efecto::Sigue;
    }

    void Columnas(sqlite3_stmt* st, ResultadoSentencia& rs, std::vector<TipoAdo>& tipos) {
        const int n = sqlite3_column_count(st);
        for (int i = 0; i < n; ++i) {
            ColumnaResultado c;
            c.nombre = Utf8(sqlite3_column_name(st, i));
            const char* origen = sqlite3_column_origin_name(st, i);
            const char* tabla = sqlite3_column_table_name(st, i);
            if (!origen && (c.nombre.contains(QLatin1Char('(')) || c.nombre.contains(QLatin1Char('\'')) ||
                            c.nombre.contains(QLatin1Char(' ')) || c.nombre.startsWith(QLatin1Char('?'))))
                c.nombre.clear();  // an unnamed expression, as SQL Server names it
            const TipoAdo t = TipoDeclarado(Utf8(sqlite3_column_decltype(st, i)));
            tipos.push_back(t);
            c.tipo = t.tipo;
            c.tamano = t.tamano;
            c.precision = t.precision;
            c.escala = t.escala;
            if (origen && tabla) {
                c.tablaBase = Utf8(tabla);
                c.columnaBase = Utf8(origen);
                const char* esquema = sqlite3_column_database_name(st, i);
                if (esquema && qstrcmp(esquema, "main") == 0 && !c.tablaBase.startsWith(QLatin1String("sqlite_"))) {
                    InfoTabla& info = Tabla(c.tablaBase);
                    c.clave = info.clave.contains(c.columnaBase.toLower());
                    c.autoincremento = !info.identidad.isEmpty() && info.identidad.compare(c.columnaBase, Qt::CaseInsensitive) == 0;
                    if (c.autoincremento) { c.tipo = ado::adInteger; c.tamano = 4; c.precision = 10; }
                    for (const Columna& col : info.columnas)
                        if (col.nombre.compare(c.columnaBase, Qt::CaseInsensitive) == 0) c.admiteNulos = !col.noNula && !c.clave;
                }
            }
            rs.columnas.push_back(c);
        }
    }

    static QVariant Valor(sqlite3_stmt* st, int i, const TipoAdo& t) {
        const int tipo = sqlite3_column_type(st, i);
        if (tipo == SQLITE_NULL) return {};
        switch (t.tipo) {
            case ado::adInteger: case ado::adSmallInt: case ado::adUnsignedTinyInt:
                if (tipo == SQLITE_INTEGER || tipo == SQLITE_FLOAT) return QVariant(sqlite3_column_int(st, i));
                break;
            case ado::adBigInt:
                if (tipo == SQLITE_INTEGER || tipo == SQLITE_FLOAT) return QVariant(static_cast<qlonglong>(sqlite3_column_int64(st, i)));
                break;
            case ado::adBoolean:
                if (tipo == SQLITE_INTEGER || tipo == SQLITE_FLOAT) return QVariant(sqlite3_column_int64(st, i) != 0);
                break;
            case ado::adNumeric: case ado::adDouble: case ado::adSingle: case ado::adCurrency:
                if (tipo == SQLITE_INTEGER || tipo == SQLITE_FLOAT) return QVariant(sqlite3_column_double(st, i));
                break;
            case ado::adDBTimeStamp: case ado::adDBDate: {
                const QDateTime d = LeeFechaSql(Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i))));
                if (d.isValid()) return t.tipo == ado::adDBDate ? QVariant(d.date()) : QVariant(d);
                break;
            }
            case ado::adChar: case ado::adWChar: {
                // char(n) is padded with blanks, as SQL Server stores it
                QString s = Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
                if (s.size() < t.tamano) s = s.leftJustified(static_cast<int>(t.tamano), QLatin1Char(' '));
                return s;
            }
            default: break;
        }
        switch (tipo) {
            case SQLITE_INTEGER: return QVariant(static_cast<qlonglong>(sqlite3_column_int64(st, i)));
            case SQLITE_FLOAT: return QVariant(sqlite3_column_double(st, i));
            case SQLITE_BLOB:
                return QByteArray(static_cast<const char*>(sqlite3_column_blob(st, i)), sqlite3_column_bytes(st, i));
            default:
                return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i));
        }
    }

    Efecto Falla(Lote& lote, int nativo, const QString& texto) {
        lote.r.errores.push_back(EntradaSqlServer(nativo, texto, {}));
        estado.ultimoError = nativo;
        return EfectoDe(nativo);
    }

    void Deshace() {
        if (!sqlite3_get_autocommit(db)) Exec("ROLLBACK");
        estado.nivelTransaccion = 0;
        puntos.clear();
        tablas.clear();
        guardadasViejas = true;  // it may have undone DDL
    }

    // After a failed statement: the engine ended the open transaction by
    // itself (disk full, an interrupted write, a trigger's RAISE(ROLLBACK)).
    // The rest of the batch must not run outside it.
    bool TerminadaPorMotor() const { return db && estado.nivelTransaccion > 0 && sqlite3_get_autocommit(db); }

    // Runs one statement of the batch; `p` is its prepared form, if any.
    Efecto Sentencia1(const Sentencia& s, const Preparada* p, Lote& lote) {
        sqlite3_stmt* st = p ? p->st : nullptr;
        // a transaction the engine ended by itself (disk full) is over
        if (estado.nivelTransaccion > 0 && sqlite3_get_autocommit(db)) {
            estado.nivelTransaccion = 0;
            puntos.clear();
        }
        switch (s.tipo) {
            case Sentencia::Sql:
            case Sentencia::SelectInto: {
                Adjunta(s);
                Preparada propia;
                if (!st) {
                    if (s.tipo == Sentencia::SelectInto && !Objeto(s.nombre).isEmpty())
                        return Falla(lote, 2714, QStringLiteral("There is already an object named '%1' in the database.").arg(s.nombre));
                    int rc;
                    QString msg;
                    propia.st = Prepara(TextoMotor(s), rc, msg);
                    if (!propia.st) return Error(rc, msg, s, lote.r.errores);
                    st = propia.st;
                }
                const Efecto e = Corre(st, s, lote, p && !p->valores.empty() ? &p->valores : nullptr);
                if (s.tipo == Sentencia::SelectInto || s.verbo == QLatin1String("ALTER")) {
                    tablas.clear();
                    guardadasViejas = true;
                }
                return e;
            }
            case Sentencia::Nada: return Efecto::Sigue;
            case Sentencia::IniciaTran: {
                if (estado.nivelTransaccion == 0) {
                    const int rc = Exec("BEGIN IMMEDIATE");
                    if (rc != SQLITE_OK) return Error(sqlite3_extended_errcode(db), Mensaje(), s, lote.r.errores);
                }
                ++estado.nivelTransaccion;
                return Efecto::Sigue;
            }
            case Sentencia::ConfirmaTran: {
                if (estado.nivelTransaccion == 0)
                    return Falla(lote, 3902, QStringLiteral("The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION."));
                if (estado.nivelTransaccion > 1) {
                    --estado.nivelTransaccion;
                    return Efecto::Sigue;
                }
                const int rc = Exec("COMMIT");
                if (rc != SQLITE_OK) {
                    const Efecto e = Error(sqlite3_extended_errcode(db), Mensaje(), s, lote.r.errores);
                    if (e != Efecto::Perdida) Deshace();
                    return e;
                }
                estado.nivelTransaccion = 0;
                puntos.clear();
                return Efecto::Sigue;
            }
            case Sentencia::DeshaceTran: {
                if (!s.nombre.isEmpty() && puntos.contains(s.nombre, Qt::CaseInsensitive) && estado.nivelTransaccion > 0) {
                    Exec(QStringLiteral("ROLLBACK TO ") + CitaNombre(s.nombre));
                    tablas.clear();
                    return Efecto::Sigue;
                }
                if (estado.nivelTransaccion == 0)
                    return Falla(lote, 3903, QStringLiteral("The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION."));
                Deshace();
                return Efecto::Sigue;
            }
            case Sentencia::GuardaTran:
                if (estado.nivelTransaccion == 0)
                    return Falla(lote, 628, QStringLiteral("Cannot issue SAVE TRANSACTION when there is no active transaction."));
                Exec(QStringLiteral("SAVEPOINT ") + CitaNombre(s.nombre));
                puntos << s.nombre;
                return Efecto::Sigue;
            case Sentencia::NoCount: sinCuenta = s.activar; return Efecto::Sigue;
            case Sentencia::XactAbort: xactAbort = s.activar; return Efecto::Sigue;
            case Sentencia::IdentityInsert:
                if (s.activar) identityInsert.insert(s.tabla.toLower());
                else identityInsert.remove(s.tabla.toLower());
                return Efecto::Sigue;
            case Sentencia::Disparadores: return Disparadores(s, lote);
            case Sentencia::CreaTabla: return CreaTabla(s, lote);
            case Sentencia::CreaObjeto: return CreaObjeto(s, lote);
            case Sentencia::AgregaColumna: return AgregaColumna(s, lote);
            case Sentencia::Borra: return Borra(s, lote);
            case Sentencia::Si: {
                int rc;
                QString msg;
                Preparada c;
                c.st = Prepara(s.condicion, rc, msg);
                if (!c.st) return Error(rc, msg, s, lote.r.errores);
                rc = sqlite3_step(c.st);
                if (rc != SQLITE_ROW) return Error(sqlite3_extended_errcode(db), Mensaje(), s, lote.r.errores);
                const bool cierto = sqlite3_column_int(c.st, 0) != 0;
                sqlite3_reset(c.st);
                const std::vector<Sentencia>& rama = cierto ? s.cuerpo : s.sino;
                return rama.empty() ? Efecto::Sigue : Sentencia1(rama.front(), nullptr, lote);
            }
            case Sentencia::Bloque:
                for (const Sentencia& h : s.cuerpo) {
                    const std::size_t antes = lote.r.errores.size();
                    const Efecto e = Sentencia1(h, nullptr, lote);
                    if (e != Efecto::Sigue) return e;
                    if (!db) return Efecto::Perdida;
                    if (lote.r.errores.size() > antes && TerminadaPorMotor()) return Efecto::CortaYDeshace;
                }
                return Efecto::Sigue;
            case Sentencia::Usa: {
                if (s.nombre.compare(base, Qt::CaseInsensitive) == 0) return Efecto::Sigue;
                if (estado.nivelTransaccion > 0)
                    return Falla(lote, 3902, QStringLiteral("USE is not possible inside a transaction on the embedded engine."));
                std::vector<ErrorProveedor> e;
                if (!AbreArchivo(s.nombre, e, 911)) {
                    for (auto& x : e) lote.r.errores.push_back(x);
                    return Efecto::Corta;
                }
                return Efecto::Sigue;
            }
            case Sentencia::NoAdmitida:
                return Falla(lote, 2812, QStringLiteral("Could not find stored procedure '%1'.").arg(s.nombre));
        }
        return Efecto::Sigue;
    }

    // DDL runs with its catalogue rows as one unit.
    template <typename F>
    Efecto Unidad(const Sentencia& s, Lote& lote, F cuerpo) {
        tablas.clear();
        guardadasViejas = true;
        Exec("SAVEPOINT kv_ddl");
        int rc = SQLITE_OK;
        QString msg;
        const bool ok = cuerpo(rc, msg);
        if (!ok) {
            const int ext = sqlite3_extended_errcode(db);
            Exec("ROLLBACK TO kv_ddl");
            Exec("RELEASE kv_ddl");
            tablas.clear();
            if (rc == SQLITE_OK) return Efecto::Sigue;  // reported by the body
            return Error(ext ? ext : rc, msg, s, lote.r.errores);
        }
        Exec("RELEASE kv_ddl");
        tablas.clear();
        return Efecto::Sigue;
    }

    bool Corre(const QString& sql, int& rc, QString& msg) {
        rc = Exec(sql);
        if (rc != SQLITE_OK) {
            msg = Mensaje();
            return false;
        }
        return true;
    }

    Efecto CreaTabla(const Sentencia& s, Lote& lote) {
        if (!Objeto(s.nombre).isEmpty())
            return Falla(lote, 2714, QStringLiteral("There is already an object named '%1' in the database.").arg(s.nombre));
        return Unidad(s, lote, [&](int& rc, QString& msg) {
            if (!Corre(s.sql, rc, msg)) return false;
            for (const Restriccion& r : s.restricciones)
                if (!Corre(QStringLiteral("INSERT INTO main.__kv_restricciones VALUES (%1, %2, %3, %4)")
                               .arg(CitaCadena(r.nombre), CitaCadena(s.nombre), CitaCadena(r.tipo),
                                    CitaCadena(r.columnas.join(QLatin1Char(',')))), rc, msg))
                    return false;
            if (!s.identidad.isEmpty()) {
                if (!Corre(QStringLiteral("INSERT INTO main.__kv_identidad VALUES (%1, %2)")
                               .arg(CitaCadena(s.nombre), CitaCadena(s.identidad)), rc, msg))
                    return false;
                if (s.semilla != 1 &&
                    !Corre(QStringLiteral("INSERT INTO main.sqlite_sequence (name, seq) VALUES (%1, %2)")
                               .arg(CitaCadena(s.nombre)).arg(s.semilla - 1), rc, msg))
                    return false;
            }
            return true;
        });
    }

    Efecto CreaObjeto(const Sentencia& s, Lote& lote) {
        if (s.clase == QLatin1String("VIEW") || s.clase == QLatin1String("TRIGGER")) {
            if (!Objeto(s.nombre).isEmpty())
                return Falla(lote, 2714, QStringLiteral("There is already an object named '%1' in the database.").arg(s.nombre));
        }
        if (s.clase == QLatin1String("INDEX") || s.clase == QLatin1String("TRIGGER") || s.clase == QLatin1String("COLUMN")) {
            QString tipo;
            if (Objeto(s.tabla, &tipo).isEmpty() || (s.clase != QLatin1String("TRIGGER") && tipo != QLatin1String("table")))
                return Falla(lote, s.clase == QLatin1String("INDEX") ? 1088 : 4902,
                             QStringLiteral("Cannot find the object \"%1\" because it does not exist or you do not have permissions.")
                                 .arg(s.tabla));
        }
        if (s.clase == QLatin1String("INDEX") && !Objeto(NombreIndiceMotor(s.tabla, s.nombre)).isEmpty())
            return Falla(lote, 1913, QStringLiteral("The operation failed because an index or statistics with name '%1' already "
                                                    "exists on table '%2'.").arg(s.nombre, s.tabla));
        return Unidad(s, lote, [&](int& rc, QString& msg) {
            if (!Corre(s.sql, rc, msg)) return false;
            if (s.clase != QLatin1String("VIEW")) return true;
            // SQL Server compiles a view when it is created: a missing object is 208 then.
            Preparada p;
            p.st = Prepara(QStringLiteral("SELECT * FROM %1").arg(CitaNombre(s.nombre)), rc, msg);
            return p.st != nullptr;
        });
    }

    Efecto AgregaColumna(const Sentencia& s, Lote& lote) {
        InfoTabla info = Tabla(s.tabla);
        if (!info.existe)
            return Falla(lote, 4902, QStringLiteral("Cannot find the object \"%1\" because it does not exist or you do not have "
                                                    "permissions.").arg(s.tabla));
        for (const ColumnaNueva& c : s.columnasNuevas)
            for (const Columna& e : info.columnas)
                if (e.nombre.compare(c.nombre, Qt::CaseInsensitive) == 0)
                    return Falla(lote, 2705, QStringLiteral("Column names in each table must be unique. Column name '%1' in "
                                                            "table '%2' is specified more than once.").arg(c.nombre, info.nombre));
        bool vacia = true;
        {
            Preparada p;
            int rc;
            QString msg;
            p.st = Prepara(QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(CitaNombre(info.nombre)), rc, msg);
            if (p.st && sqlite3_step(p.st) == SQLITE_ROW) vacia = sqlite3_column_int(p.st, 0) == 0;
        }
        for (const ColumnaNueva& c : s.columnasNuevas)
            if (c.noNula && !c.conDefecto && !vacia)
                return Falla(lote, 4901, QStringLiteral("ALTER TABLE only allows columns to be added that can contain nulls, or "
                                                        "have a DEFAULT definition specified, or the column being added is an "
                                                        "identity or timestamp column, or alternatively if none of the previous "
                                                        "conditions are satisfied the table must be empty to allow addition of "
                                                        "this column. Column '%1' cannot be added to non-empty table '%2' because "
                                                        "it does not satisfy these conditions.").arg(c.nombre, info.nombre));
        return Unidad(s, lote, [&](int& rc, QString& msg) {
            for (const ColumnaNueva& c : s.columnasNuevas) {
                QString def = c.definicion;
                if (c.noNula && !c.conDefecto) {
                    // the engine wants a default for NOT NULL: the rule becomes a check
                    def.replace(QStringLiteral(" NOT NULL"), QString());
                    def += QStringLiteral(" CONSTRAINT %1 CHECK (%2 IS NOT NULL)")
                               .arg(CitaNombre(QStringLiteral("kv_nn_") + c.nombre), CitaNombre(c.nombre));
                }
                if (!Corre(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(CitaNombre(info.nombre), def), rc, msg)) return false;
                // existing rows get NULL in a nullable column, whatever its default
                if (!c.noNula && c.conDefecto && !vacia &&
                    !Corre(QStringLiteral("UPDATE %1 SET %2 = NULL").arg(CitaNombre(info.nombre), CitaNombre(c.nombre)), rc, msg))
                    return false;
            }
            return true;
        });
    }

    Efecto Borra(const Sentencia& s, Lote& lote) {
        static const QHash<QString, QString> tipos = {{"TABLE", "table"}, {"VIEW", "view"}, {"TRIGGER", "trigger"},
                                                      {"INDEX", "index"}, {"PROCEDURE", "procedure"}};
        const QString buscado = tipos.value(s.clase);
        const QString etiqueta = s.clase.toLower();
        const QString nombreMotor = s.clase == QLatin1String("INDEX") ? NombreIndiceMotor(s.tabla, s.nombre) : s.nombre;
        QString tipo;
        const QString real = Objeto(nombreMotor, &tipo);
        if (real.isEmpty() || tipo != buscado) {
            if (s.siExiste) return Efecto::Sigue;
            const QString visible = s.clase == QLatin1String("INDEX") ? s.tabla + QLatin1Char('.') + s.nombre : s.nombre;
            return Falla(lote, 3701, QStringLiteral("Cannot drop the %1 '%2', because it does not exist or you do not have "
                                                    "permission.").arg(etiqueta, visible));
        }
        return Unidad(s, lote, [&](int& rc, QString& msg) {
            if (!Corre(QStringLiteral("DROP %1 %2").arg(s.clase, CitaNombre(real)), rc, msg)) return false;
            if (s.clase == QLatin1String("TABLE"))
                for (const char* t : {"__kv_restricciones", "__kv_identidad", "__kv_disparadores"})
                    if (!Corre(QStringLiteral("DELETE FROM main.%1 WHERE tabla = %2").arg(QLatin1String(t), CitaCadena(real)), rc, msg))
                        return false;
            if (s.clase == QLatin1String("TRIGGER") &&
                !Corre(QStringLiteral("DELETE FROM main.__kv_disparadores WHERE disparador = %1").arg(CitaCadena(real)), rc, msg))
                return false;
            return true;
        });
    }

    Efecto Disparadores(const Sentencia& s, Lote& lote) {
        InfoTabla& info = Tabla(s.tabla);
        if (!info.existe)
            return Falla(lote, 4902, QStringLiteral("Cannot find the object \"%1\" because it does not exist or you do not have "
                                                    "permissions.").arg(s.tabla));
        QString sql;
        if (!s.activar)
            sql = QStringLiteral("INSERT OR IGNORE INTO main.__kv_disparadores VALUES (%1, %2)")
                      .arg(CitaCadena(info.nombre), CitaCadena(s.nombre));
        else if (s.nombre == QLatin1String("*"))
            sql = QStringLiteral("DELETE FROM main.__kv_disparadores WHERE tabla = %1").arg(CitaCadena(info.nombre));
        else
            sql = QStringLiteral("DELETE FROM main.__kv_disparadores WHERE tabla = %1 AND disparador = %2")
                      .arg(CitaCadena(info.nombre), CitaCadena(s.nombre));
        int rc;
        QString msg;
        Preparada p;
        p.st = Prepara(sql, rc, msg);
        if (!p.st) return Error(rc, msg, s, lote.r.errores);
        rc = sqlite3_step(p.st);
        if (rc != SQLITE_DONE) return Error(sqlite3_extended_errcode(db), Mensaje(), s, lote.r.errores);
        return Efecto::Sigue;
    }

    // ---- the batch ----

    void Comprueba(ResultadoLote& r) {
        if (!db) {
            r.fallaCompleta = true;
            r.numeroFallo = ado::adErrInvalidConnection;
            return;
        }
    }

    ResultadoLote Lote1(const QString& texto, const QVariantList* parametros, int tiempoEspera) {
        const FinDeEspera fin{this};
        ResultadoLote r;
        InyeccionFallas::Falla f;
        if (InyeccionFallas::TomaEjecucion(f, texto)) {
            r.errores.push_back(EntradaSqlServer(f.nativo, f.descripcion, f.sqlState));
            if (f.nativo == 11) {
                if (db) Pierde(r.errores), r.errores.pop_back();
                rota = true;
                r.conexionPerdida = true;
            }
            r.fallaCompleta = true;
            r.numeroFallo = r.errores.front().Number;
            return r;
        }
        if (rota || (db && !ArchivoPresente())) {
            if (!rota) Pierde(r.errores);
            else r.errores.push_back(EntradaSqlServer(11, QStringLiteral("General network error. Check your network documentation."), {}));
            r.conexionPerdida = true;
            r.fallaCompleta = true;
            r.numeroFallo = r.errores.front().Number;
            return r;
        }
        Comprueba(r);
        if (r.fallaCompleta) return r;

        if (guardadasViejas || guardadas.size() > kGuardadasMax) LiberaGuardadas();
        std::vector<Sentencia> sentencias;
        ErrorTraduccion et;
        LigadurasLote ligaduras;
        auto fallaEntera = [&]() {
            r.fallaCompleta = true;
            r.numeroFallo = r.errores.front().Number;
            return r;
        };
        // A batch with parameters of its own numbers them itself: no bound forms.
        if (!traducciones.Traduce(texto, base, sentencias, et, parametros ? nullptr : &ligaduras)) {
            r.errores.push_back(EntradaSqlServer(et.nativo, et.texto, {}));
            estado.ultimoError = et.nativo;
            return fallaEntera();
        }
        limiteMs = tiempoEspera > 0 ? static_cast<qint64>(tiempoEspera) * 1000 : 0;
        // A lock held by another connection is waited for within the command's time, as on the server.
        if (db && tiempoEspera > 0 && tiempoEspera != esperaBloqueo) {
            FijaEspera(db, tiempoEspera * 1000);
            esperaBloqueo = tiempoEspera;
        }
        reloj.start();

        // Compilation: every statement the engine can prepare now is
        // prepared; a syntax error stops the batch before anything runs.
        std::vector<std::unique_ptr<Preparada>> preparadas(sentencias.size());
        bool ddlAntes = false;
        for (std::size_t i = 0; i < sentencias.size(); ++i) {
            const Sentencia& s = sentencias[i];
            if (s.tipo != Sentencia::Sql) {
                ddlAntes |= s.tipo != Sentencia::Nada && s.tipo != Sentencia::NoCount && s.tipo != Sentencia::IniciaTran &&
                            s.tipo != Sentencia::ConfirmaTran && s.tipo != Sentencia::DeshaceTran &&
                            s.tipo != Sentencia::Disparadores;
                continue;
            }
            if (!s.basesAdjuntas.isEmpty()) continue;
            if (i < ligaduras.sentencias.size() && ligaduras.sentencias[i].valida) {
                preparadas[i] = Ligada(s, ligaduras.sentencias[i], ligaduras.valores);
                if (preparadas[i]) continue;
            }
            int rc;
            QString msg;
            sqlite3_stmt* st = Prepara(TextoMotor(s), rc, msg);
            if (!st) {
                std::vector<ErrorProveedor> e;
                const int primario = rc & 0xFF;
                if (primario != SQLITE_ERROR) continue;  // decided when it runs
                Error(rc, msg, s, e);
                const int nativo = e.empty() ? 0 : e.front().NativeError;
                if (nativo == 208 || (nativo == 207 && ddlAntes) || ddlAntes) continue;  // names resolved at run time
                for (auto& x : e) r.errores.push_back(x);
                return fallaEntera();
            }
            preparadas[i] = std::make_unique<Preparada>();
            preparadas[i]->st = st;
        }

        Lote lote{r, parametros};
        for (std::size_t i = 0; i < sentencias.size(); ++i) {
            const std::size_t antes = r.errores.size();
            const Efecto e = Sentencia1(sentencias[i], preparadas[i].get(), lote);
            if (i == 0 && r.errores.size() > antes) {
                r.fallaCompleta = true;
                r.numeroFallo = r.errores[antes].Number;
            }
            if (e == Efecto::Perdida || !db) {
                r.conexionPerdida = true;
                r.fallaCompleta = true;
                r.numeroFallo = r.errores.empty() ? ado::E_FAIL_PROVEEDOR : r.errores.back().Number;
                break;
            }
            if (e == Efecto::CortaYDeshace || (xactAbort && r.errores.size() > antes) ||
                (r.errores.size() > antes && TerminadaPorMotor())) {
                Deshace();
                break;
            }
            if (e == Efecto::Corta) break;
        }
        preparadas.clear();
        limiteMs = 0;
        return r;
    }

    // ---- statements prepared for many runs ----

    struct Preparacion {
        Sentencia s;
        sqlite3_stmt* st = nullptr;
        quint64 generacion = 0;
    };

    // One plain statement of the engine, translated and prepared; false
    // when the text is something else (the caller runs it as a batch), or
    // with `errores` when it does not compile.
    bool Prepara(const QString& texto, Preparacion& p, std::vector<ErrorProveedor>& errores) {
        if (rota || !db) {
            errores.push_back(EntradaSqlServer(11, QStringLiteral("General network error. Check your network documentation."), {}));
            return false;
        }
        std::vector<Sentencia> sentencias;
        ErrorTraduccion et;
        if (!TraduceLote(texto, base, sentencias, et)) {
            errores.push_back(EntradaSqlServer(et.nativo, et.texto, {}));
            return false;
        }
        if (sentencias.size() != 1 || sentencias.front().tipo != Sentencia::Sql ||
            !sentencias.front().basesAdjuntas.isEmpty())
            return false;
        p.s = std::move(sentencias.front());
        const QByteArray b = TextoMotor(p.s).toUtf8();
        const int rc = sqlite3_prepare_v3(db, b.constData(), b.size(), SQLITE_PREPARE_PERSISTENT, &p.st, nullptr);
        if (rc != SQLITE_OK) {
            Error(rc, Mensaje(), p.s, errores);
            sqlite3_finalize(p.st);
            p.st = nullptr;
            return false;
        }
        p.generacion = generacion;
        return true;
    }

    // A run of a prepared statement, with the batch's rules for its failure.
    ResultadoLote Corre(const Preparacion& p, const QVariantList& parametros, int tiempoEspera) {
        const FinDeEspera fin{this};
        ResultadoLote r;
        if (rota || !db || p.generacion != generacion) {
            r.errores.push_back(EntradaSqlServer(11, QStringLiteral("General network error. Check your network documentation."), {}));
            r.conexionPerdida = true;
            r.fallaCompleta = true;
            r.numeroFallo = r.errores.front().Number;
            return r;
        }
        limiteMs = tiempoEspera > 0 ? static_cast<qint64>(tiempoEspera) * 1000 : 0;
        if (tiempoEspera > 0 && tiempoEspera != esperaBloqueo) {
            FijaEspera(db, tiempoEspera * 1000);
            esperaBloqueo = tiempoEspera;
        }
        reloj.start();
        if (estado.nivelTransaccion > 0 && sqlite3_get_autocommit(db)) {
            estado.nivelTransaccion = 0;
            puntos.clear();
        }
        Lote lote{r, &parametros};
        const Efecto e = Corre(p.st, p.s, lote);
        limiteMs = 0;
        if (!r.errores.empty()) {
            r.fallaCompleta = true;
            r.numeroFallo = r.errores.front().Number;
        }
        if (e == Efecto::Perdida || !db) {
            r.conexionPerdida = true;
            r.fallaCompleta = true;
            if (!r.numeroFallo) r.numeroFallo = ado::E_FAIL_PROVEEDOR;
        } else if (e == Efecto::CortaYDeshace || (!r.errores.empty() && (xactAbort || TerminadaPorMotor()))) {
            Deshace();
        }
        return r;
    }
};

namespace {

class PreparadaEmbebida : public PreparadaControlador {
public:
    explicit PreparadaEmbebida(ControladorEmbebido::Impl& d) : d_(d) {}
    ~PreparadaEmbebida() override { sqlite3_finalize(p_.st); }
    ResultadoLote Ejecuta(const QVariantList& parametros, int tiempoEspera) override {
        return d_.Corre(p_, parametros, tiempoEspera);
    }
    ControladorEmbebido::Impl::Preparacion& Preparacion() { return p_; }

private:
    ControladorEmbebido::Impl& d_;
    ControladorEmbebido::Impl::Preparacion p_;
};

}  // namespace

ControladorEmbebido::ControladorEmbebido() : d_(std::make_unique<Impl>()) {}
ControladorEmbebido::~ControladorEmbebido() { SueltaBloqueos(); }

void ControladorEmbebido::Abre(const ParametrosConexion& p, std::vector<ErrorProveedor>& errores) {
    InyeccionFallas::Falla f;
    if (InyeccionFallas::TomaApertura(f)) {
        errores.push_back(EntradaSqlServer(f.nativo, f.descripcion, f.sqlState));
        throw Fallo(errores.back().Number, f.descripcion, kFuente);
    }
    d_->Cierra();
    if (!d_->AbreArchivo(p.baseDatos.trimmed(), errores, 4060))
        throw Fallo(errores.back().Number, errores.back().Description, kFuente);
    if (p.tiempoEspera > 0) d_->FijaEspera(d_->db, p.tiempoEspera * 1000);
}

void ControladorEmbebido::Cierra() {
    SueltaBloqueos();
    d_->Cierra();
}

namespace {

// Empties the lock file (its holder's text) and closes it, freeing the lock.
void LiberaBloqueo(int fd) {
    if (::ftruncate(fd, 0) != 0) {
        // Freed all the same.
    }
    ::close(fd);
}

QString ArchivoBloqueo(const QString& rutaBase, const QString& recurso) {
    QString nombre = recurso.toLower();
    for (QChar& ch : nombre)
        if (!ch.isLetterOrNumber() && ch != QLatin1Char('-') && ch != QLatin1Char('.')) ch = QLatin1Char('_');
    return rutaBase + QLatin1Char('.') + nombre + QStringLiteral(".bloqueo");
}

}  // namespace

bool ControladorEmbebido::TomaBloqueo(const QString& recurso, const QString& titular, QString& actual,
                                      std::vector<ErrorProveedor>& errores) {
    if (!d_->db) {
        errores.push_back(EntradaSqlServer(11, QStringLiteral("General network error. Check your network documentation."), {}));
        return false;
    }
    const QString clave = recurso.toLower();
    if (bloqueos_.count(clave)) return true;
    const QByteArray ruta = ArchivoBloqueo(d_->ruta, recurso).toUtf8();
    const int fd = ::open(ruta.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        errores.push_back(EntradaSqlServer(
            1204, QStringLiteral("The lock file %1 cannot be opened: %2").arg(QString::fromUtf8(ruta), QString::fromLocal8Bit(std::strerror(errno))), {}));
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        QByteArray texto(4096, '\0');
        const ssize_t n = ::pread(fd, texto.data(), texto.size(), 0);
        actual = n > 0 ? QString::fromUtf8(texto.left(static_cast<int>(n))).trimmed() : QString();
        ::close(fd);
        return false;
    }
    const QByteArray t = titular.toUtf8();
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, t.constData(), t.size(), 0) != t.size()) {
        // The lock holds without its holder's text.
    }
    bloqueos_[clave] = fd;
    return true;
}

void ControladorEmbebido::SueltaBloqueo(const QString& recurso, std::vector<ErrorProveedor>&) {
    const auto it = bloqueos_.find(recurso.toLower());
    if (it == bloqueos_.end()) return;
    LiberaBloqueo(it->second);
    bloqueos_.erase(it);
}

void ControladorEmbebido::SueltaBloqueos() {
    for (const auto& [recurso, fd] : bloqueos_) LiberaBloqueo(fd);
    bloqueos_.clear();
}

bool ControladorEmbebido::Abierta() const { return d_->db != nullptr || d_->rota; }

ResultadoLote ControladorEmbebido::Ejecuta(const QString& texto, int tiempoEspera) {
    return d_->Lote1(texto, nullptr, tiempoEspera);
}

ResultadoLote ControladorEmbebido::EjecutaConParametros(const QString& sql, const QVariantList& parametros,
                                                        int tiempoEspera) {
    return d_->Lote1(sql, &parametros, tiempoEspera);
}

std::unique_ptr<PreparadaControlador> ControladorEmbebido::PreparaSentencia(const QString& sql,
                                                                  std::vector<ErrorProveedor>& errores) {
    auto p = std::make_unique<PreparadaEmbebida>(*d_);
    if (d_->Prepara(sql, p->Preparacion(), errores)) return p;
    if (!errores.empty()) return nullptr;
    return Controlador::PreparaSentencia(sql, errores);
}

int ControladorEmbebido::IniciaTransaccion(std::vector<ErrorProveedor>& errores) {
    ResultadoLote r = d_->Lote1(QStringLiteral("BEGIN TRANSACTION"), nullptr, 0);
    errores.insert(errores.end(), r.errores.begin(), r.errores.end());
    return d_->estado.nivelTransaccion;
}

void ControladorEmbebido::ConfirmaTransaccion(std::vector<ErrorProveedor>& errores) {
    ResultadoLote r = d_->Lote1(QStringLiteral("COMMIT TRANSACTION"), nullptr, 0);
    errores.insert(errores.end(), r.errores.begin(), r.errores.end());
}

void ControladorEmbebido::DeshaceTransaccion(std::vector<ErrorProveedor>& errores) {
    ResultadoLote r = d_->Lote1(QStringLiteral("ROLLBACK TRANSACTION"), nullptr, 0);
    errores.insert(errores.end(), r.errores.begin(), r.errores.end());
}

void ControladorEmbebido::CambiaBase(const QString& base, std::vector<ErrorProveedor>& errores) {
    if (!d_->db) {
        errores.push_back(EntradaSqlServer(11, QStringLiteral("General network error. Check your network documentation."), {}));
        return;
    }
    if (base.trimmed().compare(d_->base, Qt::CaseInsensitive) == 0) return;
    if (d_->estado.nivelTransaccion > 0) {
        errores.push_back(EntradaSqlServer(0, QStringLiteral("The database cannot be changed inside a transaction on the embedded engine."), {}));
        return;
    }
    d_->AbreArchivo(base.trimmed(), errores, 911);
}

QString ControladorEmbebido::BaseActual() const { return d_->base; }
int ControladorEmbebido::NivelTransaccion() const { return d_->estado.nivelTransaccion; }
void ControladorEmbebido::LimitaPaginas(int paginas) { d_->LimitaPaginas(paginas); }

ResultadoSentencia ControladorEmbebido::Esquema(int codigo, const QVariantList& restricciones,
                                                std::vector<ErrorProveedor>& errores) {
    ResultadoSentencia rs;
    rs.conFilas = true;
    auto columna = [&](const char* n, int tipo, long tam) {
        ColumnaResultado c;
        c.nombre = QLatin1String(n);
        c.tipo = tipo;
        c.tamano = tam;
        rs.columnas.push_back(c);
    };
    auto restriccion = [&](int i) { return restricciones.value(i).isNull() ? QString() : restricciones.value(i).toString().trimmed(); };
    if (!d_->db) {
        errores.push_back(EntradaSqlServer(11, QStringLiteral("General network error. Check your network documentation."), {}));
        return rs;
    }
    const QString catalogo = restriccion(0), esquema = restriccion(1), tabla = restriccion(2);
    const bool otraBase = !catalogo.isEmpty() && catalogo.compare(d_->base, Qt::CaseInsensitive) != 0;
    const bool otroEsquema = !esquema.isEmpty() && esquema.compare(QLatin1String("dbo"), Qt::CaseInsensitive) != 0;
    struct Objeto { QString nombre, tipo; };
    std::vector<Objeto> objetos;
    {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(d_->db,
                           "SELECT name, type FROM main.sqlite_master WHERE type IN ('table','view') AND name NOT GLOB "
                           "'__kv_*' AND name NOT GLOB 'sqlite_*' ORDER BY name COLLATE NOCASE",
                           -1, &st, nullptr);
        while (st && sqlite3_step(st) == SQLITE_ROW)
            objetos.push_back({Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))),
                               Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)))});
        sqlite3_finalize(st);
    }
    if (codigo == ado::adSchemaTables) {
        columna("TABLE_CATALOG", ado::adVarWChar, 128);
        columna("TABLE_SCHEMA", ado::adVarWChar, 128);
        columna("TABLE_NAME", ado::adVarWChar, 128);
        columna("TABLE_TYPE", ado::adVarWChar, 32);
        columna("TABLE_GUID", ado::adGUID, 16);
        columna("DESCRIPTION", ado::adVarWChar, 255);
        columna("TABLE_PROPID", ado::adInteger, 4);
        columna("DATE_CREATED", ado::adDBTimeStamp, 16);
        columna("DATE_MODIFIED", ado::adDBTimeStamp, 16);
        const QString tipoPedido = restriccion(3);
        std::vector<Fila> filas;
        auto agrega = [&](const QString& esq, const QString& n, const QString& tipo) {
            if (otraBase) return;
            if (!esquema.isEmpty() && esquema.compare(esq, Qt::CaseInsensitive) != 0) return;
            if (!tabla.isEmpty() && tabla.compare(n, Qt::CaseInsensitive) != 0) return;
            if (!tipoPedido.isEmpty() && tipoPedido.compare(tipo, Qt::CaseInsensitive) != 0) return;
            filas.push_back(Fila{d_->base, esq, n, tipo, QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
        };
        for (const auto& o : objetos)
            agrega(QStringLiteral("dbo"), o.nombre, o.tipo == QLatin1String("view") ? QStringLiteral("VIEW") : QStringLiteral("TABLE"));
        agrega(QStringLiteral("dbo"), QStringLiteral("sysobjects"), QStringLiteral("SYSTEM TABLE"));
        agrega(QStringLiteral("INFORMATION_SCHEMA"), QStringLiteral("COLUMNS"), QStringLiteral("VIEW"));
        agrega(QStringLiteral("INFORMATION_SCHEMA"), QStringLiteral("TABLES"), QStringLiteral("VIEW"));
        std::stable_sort(filas.begin(), filas.end(), [](const Fila& a, const Fila& b) {
            return a[3].toString() < b[3].toString();
        });
        rs.filas = std::move(filas);
        return rs;
    }
    if (codigo == ado::adSchemaColumns) {
        columna("TABLE_CATALOG", ado::adVarWChar, 128);
        columna("TABLE_SCHEMA", ado::adVarWChar, 128);
        columna("TABLE_NAME", ado::adVarWChar, 128);
        columna("COLUMN_NAME", ado::adVarWChar, 128);
        columna("COLUMN_GUID", ado::adGUID, 16);
        columna("COLUMN_PROPID", ado::adInteger, 4);
        columna("ORDINAL_POSITION", ado::adInteger, 4);
        columna("COLUMN_HASDEFAULT", ado::adBoolean, 2);
        columna("COLUMN_DEFAULT", ado::adVarWChar, 255);
        columna("COLUMN_FLAGS", ado::adInteger, 4);
        columna("IS_NULLABLE", ado::adBoolean, 2);
        columna("DATA_TYPE", 18, 2);  // adUnsignedSmallInt
        columna("TYPE_GUID", ado::adGUID, 16);
        columna("CHARACTER_MAXIMUM_LENGTH", ado::adInteger, 4);
        columna("CHARACTER_OCTET_LENGTH", ado::adInteger, 4);
        columna("NUMERIC_PRECISION", ado::adInteger, 4);
        columna("NUMERIC_SCALE", ado::adSmallInt, 2);
        columna("DATETIME_PRECISION", ado::adInteger, 4);
        const QString columnaPedida = restriccion(3);
        if (otraBase || otroEsquema) return rs;
        for (const auto& o : objetos) {
            if (!tabla.isEmpty() && tabla.compare(o.nombre, Qt::CaseInsensitive) != 0) continue;
            InfoTabla info;
            if (o.tipo == QLatin1String("table")) info = d_->Tabla(o.nombre);
            sqlite3_stmt* st = nullptr;
            const QByteArray q = QStringLiteral("PRAGMA main.table_info(%1)").arg(CitaNombre(o.nombre)).toUtf8();
            sqlite3_prepare_v2(d_->db, q.constData(), -1, &st, nullptr);
            while (st && sqlite3_step(st) == SQLITE_ROW) {
                const QString nombre = Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
                if (!columnaPedida.isEmpty() && columnaPedida.compare(nombre, Qt::CaseInsensitive) != 0) continue;
                TipoAdo t = TipoDeclarado(Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2))));
                const bool identidad = !info.identidad.isEmpty() && info.identidad.compare(nombre, Qt::CaseInsensitive) == 0;
                if (t.tipo == 0) t = TipoDeclarado(QStringLiteral("varchar(255)"));
                const bool esTexto = t.tipo == ado::adVarChar || t.tipo == ado::adChar || t.tipo == ado::adVarWChar ||
                                     t.tipo == ado::adWChar || t.tipo == ado::adLongVarChar || t.tipo == ado::adLongVarWChar;
                const bool nulos = !(sqlite3_column_int(st, 3) != 0 || identidad || info.clave.contains(nombre.toLower()));
                const QVariant defecto = sqlite3_column_type(st, 4) == SQLITE_NULL
                                             ? QVariant() : QVariant(Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 4))));
                // OLE DB's schema rowset reports the base type of texts (DBTYPE_STR/WSTR)
                int tipoEsquema = t.tipo;
                Fila f{d_->base, QStringLiteral("dbo"), o.nombre, nombre, QVariant(), QVariant(),
                       sqlite3_column_int(st, 0) + 1, !defecto.isNull(), defecto,
                       QVariant(nulos ? 0x60 : 0x10), nulos, tipoEsquema, QVariant(),
                       esTexto ? QVariant(static_cast<int>(t.tamano)) : QVariant(),
                       esTexto ? QVariant(static_cast<int>(t.tipo == ado::adVarWChar || t.tipo == ado::adWChar ? 2 * t.tamano : t.tamano)) : QVariant(),
                       t.precision ? QVariant(t.precision) : QVariant(),
                       t.tipo == ado::adNumeric ? QVariant(t.escala) : QVariant(),
                       t.tipo == ado::adDBTimeStamp ? QVariant(3) : QVariant()};
                rs.filas.push_back(std::move(f));
            }
            sqlite3_finalize(st);
        }
        return rs;
    }
    if (codigo == ado::adSchemaPrimaryKeys) {
        columna("TABLE_CATALOG", ado::adVarWChar, 128);
        columna("TABLE_SCHEMA", ado::adVarWChar, 128);
        columna("TABLE_NAME", ado::adVarWChar, 128);
        columna("COLUMN_NAME", ado::adVarWChar, 128);
        columna("COLUMN_GUID", ado::adGUID, 16);
        columna("COLUMN_PROPID", ado::adInteger, 4);
        columna("ORDINAL", ado::adInteger, 4);
        columna("PK_NAME", ado::adVarWChar, 128);
        if (otraBase || otroEsquema) return rs;
        for (const auto& o : objetos) {
            if (o.tipo != QLatin1String("table")) continue;
            if (!tabla.isEmpty() && tabla.compare(o.nombre, Qt::CaseInsensitive) != 0) continue;
            const InfoTabla& info = d_->Tabla(o.nombre);
            for (const Restriccion& r : info.restricciones) {
                if (r.tipo != QLatin1String("PK")) continue;
                for (int i = 0; i < r.columnas.size(); ++i) {
                    QString nombre = r.columnas[i];
                    for (const Columna& c : info.columnas)
                        if (c.nombre.compare(nombre, Qt::CaseInsensitive) == 0) nombre = c.nombre;
                    rs.filas.push_back(Fila{d_->base, QStringLiteral("dbo"), o.nombre, nombre, QVariant(), QVariant(),
                                            i + 1, r.nombre});
                }
            }
        }
        return rs;
    }
    errores.push_back(EntradaSqlServer(0, QStringLiteral("Object or provider is not capable of performing requested operation."), {}));
    errores.back().Number = ado::adErrFeatureNotAvailable;
    return rs;
}

std::shared_ptr<Controlador> CreaControladorEmbebido(const ParametrosConexion& p, QString& motivo) {
    motivo.clear();
    return std::make_shared<ControladorEmbebido>();
}
