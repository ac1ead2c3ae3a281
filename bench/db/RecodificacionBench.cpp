// A recoding batch (the copy plan: two dozen statements for one code) sent
// through the embedded driver, against the same statements prepared and run
// directly on SQLite, each side on its own copy of the same database, in
// blocks that alternate, in the same run.
//
//   bench_db_embebido [--articulos N] [--codigos K] [--carpeta DIR]

#include "db/platform/embebido/BaseEmbebida.h"
#include "db/platform/embebido/ControladorEmbebido.h"
#include "db/platform/embebido/FuncionesEmbebidas.h"
#include "db/platform/embebido/TraductorTsql.h"
#include "platform/Aplicacion.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <chrono>
#include <cstdio>

namespace {

using Reloj = std::chrono::steady_clock;

const char* kTablasDependientes[] = {"AC_VENTASDIARIA", "AC_VENTASMES", "AC_COMPRASDIARIA", "AC_COMPRASMES",
                                     "V_MV_CPTEINSUMOS", "C_MV_CPTEINSUMOS", "V_MV_STOCK", "S_TA_EQUIV",
                                     "V_MA_Precios_Borrador"};

void Falla(const ResultadoLote& r, const QString& que) {
    if (r.errores.empty()) return;
    std::fprintf(stderr, "%s\n -> %d %s\n", qPrintable(que.left(300)), r.errores[0].NativeError,
                 qPrintable(r.errores[0].Description));
    std::exit(1);
}

void Crea(Controlador& c, int articulos) {
    auto ej = [&](const QString& s) { Falla(c.Ejecuta(s, 0), s); };
    ej(QStringLiteral(
        "CREATE TABLE V_MA_ARTICULOS (IdArticulo varchar(25) NOT NULL, ID int IDENTITY(1,1) NOT NULL, "
        "DESCRIPCION varchar(60) NULL, IDRUBRO varchar(4) NULL, TalleDefault varchar(3) NULL, PRECIO decimal(12,2) NULL, "
        "ALTA datetime NULL DEFAULT getdate(), CONSTRAINT PK_V_MA_ARTICULOS PRIMARY KEY (IdArticulo))"));
    for (const char* t : kTablasDependientes)
        ej(QStringLiteral("CREATE TABLE %1 (ID int IDENTITY(1,1) PRIMARY KEY, IDARTICULO varchar(25) NOT NULL, "
                          "CANTIDAD decimal(12,2) NULL, FECHA datetime NULL)\r\n"
                          "CREATE INDEX IX_%1_ART ON %1 (IDARTICULO)").arg(QLatin1String(t)));
    ej(QStringLiteral("CREATE TABLE V_MA_INSUMOS (IDARTICULO varchar(25) NOT NULL, IDARTICULOINSUMO varchar(25) NOT NULL, "
                      "CANTIDAD decimal(12,4))\r\nCREATE INDEX IX_INS_ART ON V_MA_INSUMOS (IDARTICULO)\r\n"
                      "CREATE INDEX IX_INS_INS ON V_MA_INSUMOS (IDARTICULOINSUMO)"));
    ej(QStringLiteral("CREATE TABLE V_MA_Precios (IDLISTA int NOT NULL, IDARTICULO varchar(25) NOT NULL, PRECIO money, "
                      "CONSTRAINT PK_PRECIOS PRIMARY KEY (IDLISTA, IDARTICULO))\r\n"
                      "CREATE INDEX IX_PRECIOS_ART ON V_MA_Precios (IDARTICULO)"));
    ej(QStringLiteral("CREATE TABLE BITACORA (TEXTO varchar(60))\r\n"
                      "CREATE TRIGGER TR_ART AFTER UPDATE ON V_MA_ARTICULOS FOR EACH ROW BEGIN "
                      "INSERT INTO BITACORA VALUES ('art ' + NEW.IdArticulo); END\r\n"
                      "CREATE TRIGGER TR_STOCK AFTER UPDATE ON V_MV_STOCK FOR EACH ROW BEGIN "
                      "INSERT INTO BITACORA VALUES ('stock ' + NEW.IDARTICULO); END"));
    ej(QStringLiteral("CREATE TABLE NUM (N int)"));
    for (int i = 0; i < 10; ++i) ej(QStringLiteral("INSERT INTO NUM VALUES (%1)").arg(i));
    ej(QStringLiteral("BEGIN TRANSACTION"));
    ej(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, DESCRIPCION, IDRUBRO, PRECIO) "
                      "SELECT TOP %1 'ART' + CONVERT(varchar(10), a.N*100000 + b.N*10000 + c.N*1000 + d.N*100 + e.N*10 + f.N), "
                      "'Articulo de prueba', '0001', 10 FROM NUM a, NUM b, NUM c, NUM d, NUM e, NUM f").arg(articulos));
    // a million stock movements, and statistics, prices, supplies, equivalences
    for (int i = 0; i < 10; ++i)
        ej(QStringLiteral("INSERT INTO V_MV_STOCK (IDARTICULO, CANTIDAD, FECHA) SELECT IdArticulo, %1, getdate() FROM V_MA_ARTICULOS").arg(i));
    for (const char* t : kTablasDependientes) {
        if (QLatin1String(t) == QLatin1String("V_MV_STOCK")) continue;
        ej(QStringLiteral("INSERT INTO %1 (IDARTICULO, CANTIDAD) SELECT IdArticulo, 1 FROM V_MA_ARTICULOS").arg(QLatin1String(t)));
    }
    ej(QStringLiteral("INSERT INTO V_MA_Precios SELECT N.N, A.IdArticulo, 5 FROM V_MA_ARTICULOS A, NUM N WHERE N.N < 3"));
    ej(QStringLiteral("INSERT INTO V_MA_INSUMOS SELECT IdArticulo, IdArticulo, 1 FROM V_MA_ARTICULOS"));
    ej(QStringLiteral("COMMIT TRANSACTION"));
}

// The copy plan for O -> N, as the recoding run builds it.
QStringList Plan(const QString& o, const QString& n) {
    const QString l = QStringLiteral("DESCRIPCION,IDRUBRO,TalleDefault,PRECIO,ALTA");
    QStringList p;
    p << QStringLiteral("    delete from S_TA_EQUIV  WHERE IDARTICULO = '%1'").arg(n)
      << QStringLiteral(" ALTER TABLE V_MA_ARTICULOS DISABLE TRIGGER ALL ")
      << QStringLiteral(" ALTER TABLE V_MV_STOCK DISABLE TRIGGER ALL ") << QStringLiteral(" BEGIN TRANSACTION ")
      << QStringLiteral("    INSERT INTO V_MA_ARTICULOS SELECT '%1',%2  ").arg(n, l)
      << QStringLiteral("        FROM V_MA_ARTICULOS WHERE IDARTICULO = '%1'").arg(o) << QStringLiteral(" ")
      << QStringLiteral("    UPDATE V_MA_ARTICULOS SET IDRUBRO = '0002' WHERE IDARTICULO = '%1'").arg(n);
    for (const char* t : {"AC_VENTASDIARIA", "AC_VENTASMES", "AC_COMPRASDIARIA", "AC_COMPRASMES", "V_MV_CPTEINSUMOS",
                          "C_MV_CPTEINSUMOS", "V_MV_STOCK"})
        p << QStringLiteral("    UPDATE %1 SET IDARTICULO = '%2' WHERE IDARTICULO = '%3'").arg(QLatin1String(t), n, o);
    p << QStringLiteral("    UPDATE V_MA_INSUMOS SET IDARTICULO = '%1' WHERE IDARTICULO = '%2'").arg(n, o)
      << QStringLiteral("    UPDATE V_MA_INSUMOS SET IDARTICULOINSUMO = '%1' WHERE IDARTICULOINSUMO = '%2'").arg(n, o)
      << QStringLiteral("    DELETE V_MA_Precios WHERE IDARTICULO = '%1'").arg(n)
      << QStringLiteral("    DELETE V_MA_Precios_Borrador WHERE IDARTICULO = '%1'").arg(n)
      << QStringLiteral("    UPDATE V_MA_Precios SET IDARTICULO = '%1' WHERE IDARTICULO = '%2'").arg(n, o)
      << QStringLiteral("    UPDATE V_MA_Precios_Borrador SET IDARTICULO = '%1' WHERE IDARTICULO = '%2'").arg(n, o)
      << QStringLiteral("    UPDATE S_TA_EQUIV SET IDARTICULO = '%1' WHERE IDARTICULO = '%2'").arg(n, o)
      << QStringLiteral("    DELETE S_TA_EQUIV WHERE IDARTICULO = '%1'").arg(o)
      << QStringLiteral("    DELETE V_MA_ARTICULOS WHERE IDARTICULO = '%1'").arg(o);
    return p;
}

// The same statements written for SQLite by hand.
QStringList PlanDirecto(const QString& o, const QString& n) {
    const QString l = QStringLiteral("DESCRIPCION,IDRUBRO,TalleDefault,PRECIO,ALTA");
    QStringList p;
    p << QStringLiteral("DELETE FROM S_TA_EQUIV WHERE IDARTICULO = '%1'").arg(n)
      << QStringLiteral("INSERT OR IGNORE INTO __kv_disparadores VALUES ('V_MA_ARTICULOS', '*')")
      << QStringLiteral("INSERT OR IGNORE INTO __kv_disparadores VALUES ('V_MV_STOCK', '*')")
      << QStringLiteral("BEGIN IMMEDIATE")
      << QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo,%2) SELECT '%1',%2 FROM V_MA_ARTICULOS WHERE IDARTICULO = '%3'").arg(n, l, o)
      << QStringLiteral("UPDATE V_MA_ARTICULOS SET IDRUBRO = '0002' WHERE IDARTICULO = '%1'").arg(n);
    for (const char* t : {"AC_VENTASDIARIA", "AC_VENTASMES", "AC_COMPRASDIARIA", "AC_COMPRASMES", "V_MV_CPTEINSUMOS",
                          "C_MV_CPTEINSUMOS", "V_MV_STOCK"})
        p << QStringLiteral("UPDATE %1 SET IDARTICULO = '%2' WHERE IDARTICULO = '%3'").arg(QLatin1String(t), n, o);
    p << QStringLiteral("UPDATE V_MA_INSUMOS SET IDARTICULO = '%1' WHERE IDARTICULO = '%2'").arg(n, o)
      << QStringLiteral("UPDATE V_MA_INSUMOS SET IDARTICULOINSUMO = '%1' WHERE IDARTICULOINSUMO = '%2'").arg(n, o)
      << QStringLiteral("DELETE FROM V_MA_Precios WHERE IDARTICULO = '%1'").arg(n)
      << QStringLiteral("DELETE FROM V_MA_Precios_Borrador WHERE IDARTICULO = '%1'").arg(n)
      << QStringLiteral("UPDATE V_MA_Precios SET IDARTICULO = '%1' WHERE IDARTICULO = '%2'").arg(n, o)
      << QStringLiteral("UPDATE V_MA_Precios_Borrador SET IDARTICULO = '%1' WHERE IDARTICULO = '%2'").arg(n, o)
      << QStringLiteral("UPDATE S_TA_EQUIV SET IDARTICULO = '%1' WHERE IDARTICULO = '%2'").arg(n, o)
      << QStringLiteral("DELETE FROM S_TA_EQUIV WHERE IDARTICULO = '%1'").arg(o)
      << QStringLiteral("DELETE FROM V_MA_ARTICULOS WHERE IDARTICULO = '%1'").arg(o)
      << QStringLiteral("COMMIT")
      << QStringLiteral("DELETE FROM __kv_disparadores WHERE tabla = 'V_MA_ARTICULOS'")
      << QStringLiteral("DELETE FROM __kv_disparadores WHERE tabla = 'V_MV_STOCK'");
    return p;
}

void Directo(sqlite3* db, const QStringList& plan) {
    for (const QString& s : plan) {
        const QByteArray b = s.toUtf8();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v3(db, b.constData(), b.size(), 0, &st, nullptr) != SQLITE_OK ||
            (sqlite3_step(st) != SQLITE_DONE)) {
            std::fprintf(stderr, "%s\n -> %s\n", b.constData(), sqlite3_errmsg(db));
            std::exit(1);
        }
        sqlite3_finalize(st);
    }
}

QString Codigo(int i) { return QStringLiteral("ART%1").arg(i); }

}  // namespace

int main(int argc, char** argv) {
    const std::vector<Opcion> opciones = {{QStringLiteral("articulos"), 1, QStringLiteral("N  artículos de la base (100000)")},
                                          {QStringLiteral("codigos"), 1, QStringLiteral("N  códigos recodificados (2000)")}};
    if (const auto r = AtiendeAyuda(argc, argv, QStringLiteral("bench_db_embebido [opciones]"), opciones)) return *r;
    QCoreApplication app(argc, argv);
    const OpcionesLeidas op = LeeOpciones(argc, argv, opciones);
    if (!op.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(op.error));
        return 2;
    }
    const int articulos = op.Valor(QStringLiteral("articulos"), 0, QStringLiteral("100000")).toInt();
    const int codigos = std::min(op.Valor(QStringLiteral("codigos"), 0, QStringLiteral("2000")).toInt(), articulos);
    QTemporaryDir dir;
    if (!op.Tiene(QStringLiteral("carpeta"))) EstableceCarpetaAplicacion(dir.path());
    const QString nombre = QStringLiteral("BENCH");
    if (!ExisteBaseEmbebida(nombre) && !CreaBaseEmbebida(nombre)) return 1;

    ParametrosConexion p;
    p.baseDatos = nombre;
    ControladorEmbebido c;
    std::vector<ErrorProveedor> e;
    c.Abre(p, e);
    auto t0 = Reloj::now();
    if (c.Ejecuta(QStringLiteral("SELECT COUNT(*) FROM sysobjects WHERE name = 'V_MA_ARTICULOS'"), 0).resultados[0].filas[0][0].toInt() == 0)
        Crea(c, articulos);
    std::printf("base de %d artículos lista en %.1f s\n", articulos,
                std::chrono::duration<double>(Reloj::now() - t0).count());
    // The driver's side starts, as the direct one, on a connection of its own
    // opened on the finished database (not the one that built it).
    c.Cierra();
    c.Abre(p, e);
    // Codes not recoded yet (a database kept with --carpeta serves several runs).
    QStringList viejos;
    {
        const ResultadoLote r = c.Ejecuta(QStringLiteral("SELECT TOP %1 IdArticulo FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'ART%' "
                                                         "ORDER BY ID").arg(codigos), 0);
        Falla(r, QStringLiteral("códigos"));
        for (const Fila& f : r.resultados[0].filas) viejos << f[0].toString();
    }
    if (viejos.size() < codigos) {
        std::fprintf(stderr, "quedan %lld códigos sin recodificar: use otra carpeta\n", static_cast<long long>(viejos.size()));
        return 1;
    }

    // The direct side works on a copy of the database, with its own log.
    {
        sqlite3* dbDriver = nullptr;
        sqlite3_open_v2(RutaBaseEmbebida(nombre).toUtf8().constData(), &dbDriver, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_wal_checkpoint_v2(dbDriver, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
        }
    const QString copia = RutaBaseEmbebida(nombre) + QStringLiteral(".directo");
    for (const char* sufijo : {"", "-wal", "-shm"}) QFile::remove(copia + QLatin1String(sufijo));
    if (!QFile::copy(RutaBaseEmbebida(nombre), copia)) return 1;
    sqlite3* db = nullptr;
    sqlite3_open_v2(copia.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    EstadoSesion estado;
    RegistraFuncionesEmbebidas(db, &estado);
    // As the driver opens its databases.
    sqlite3_exec(db, kAjustesConexionEmbebida, nullptr, nullptr, nullptr);

    // The two sides alternate in blocks over the same articles, each on its database.
    double tDriver = 0, tDirecto = 0;
    const int bloque = 50;
    int hechos = 0;
    const long long semilla = QDateTime::currentMSecsSinceEpoch() % 100000;
    for (int i = 0; i + bloque <= codigos; i += bloque) {
        auto a = Reloj::now();
        for (int k = 0; k < bloque; ++k) {
            const int art = i + k;
            const QString o = viejos[art], n = QStringLiteral("N%1_%2").arg(semilla).arg(art);
            const QString lote = QStringLiteral("\r\n") + Plan(o, n).join(QStringLiteral("\r\n"));
            Falla(c.Ejecuta(lote, 0), lote);
            Falla(c.Ejecuta(QStringLiteral("COMMIT TRANSACTION"), 0), QStringLiteral("COMMIT"));
            Falla(c.Ejecuta(QStringLiteral("ALTER TABLE V_MA_ARTICULOS ENABLE TRIGGER ALL"), 0), QStringLiteral("ENABLE"));
            Falla(c.Ejecuta(QStringLiteral("ALTER TABLE V_MV_STOCK ENABLE TRIGGER ALL"), 0), QStringLiteral("ENABLE"));
        }
        auto b = Reloj::now();
        for (int k = 0; k < bloque; ++k) {
            const int art = i + k;
            Directo(db, PlanDirecto(viejos[art], QStringLiteral("N%1_%2").arg(semilla).arg(art)));
        }
        auto d = Reloj::now();
        tDriver += std::chrono::duration<double>(b - a).count();
        tDirecto += std::chrono::duration<double>(d - b).count();
        hechos += bloque;
    }
    sqlite3_close(db);
    // the splitting and translation alone
    auto ta = Reloj::now();
    std::vector<Sentencia> ss;
    ErrorTraduccion et;
    for (int k = 0; k < 1000; ++k)
        TraduceLote(QStringLiteral("\r\n") + Plan(Codigo(k), QStringLiteral("X%1").arg(k)).join(QStringLiteral("\r\n")), nombre, ss, et);
    std::printf("separación y traducción: %.1f us por código\n", 1e3 * std::chrono::duration<double>(Reloj::now() - ta).count());
    std::printf("códigos por lado: %d\n", hechos);
    std::printf("controlador embebido: %.1f us por código\n", 1e6 * tDriver / hechos);
    std::printf("SQLite directo:       %.1f us por código\n", 1e6 * tDirecto / hechos);
    std::printf("razón: %.3f\n", tDriver / tDirecto);
    return 0;
}
