// Loading code pairs into the work grid on a demo database, against the
// floor in the same run:
//  - a file of pairs through FrmEMRecodifica::CmdBuscar_Click (each old and
//    new code validated as the operator's typing is) against as many
//    look-ups by the primary key made directly on SQLite, each prepared,
//    run and read whole as a plain client does;
//  - a prefix through FrmEMRecodifica::CmdPrefijo_Click against one query
//    reading the same rows directly.
//
//   bench_carga [--articulos N] [--pares P] [--prefijo X] [--vueltas V]
//
// Each side runs V times, alternating with its floor; totals and medians.

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "bench/Medicion.h"
#include "db/DB_Dll.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/embebido/BaseEmbebida.h"
#include "db/platform/embebido/FuncionesEmbebidas.h"
#include "frame/ModGlobal.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/OperadorGuionado.h"
#include "platform/sesion/Sesion.h"
#include "recoding/FrmEMRecodifica.h"

namespace {

using namespace Medicion;


const QString kPreguntaArchivo = QStringLiteral("¿Realmente desea cargar un archivo?");
const QString kPreguntaPrefijo =
    QStringLiteral("¿Realmente desea cargar un todos los articulos con el prefijo indicado?");
const QString kNuevoExiste = QStringLiteral("El Código de Articulo nuevo ya existe,¿Es esto Correcto?");

volatile long long sumidero = 0;  // keeps the reads

// Prepares, runs and reads every column of every row; returns the rows read.
int Lee(sqlite3* db, const QByteArray& sql, const QByteArray* valor) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &st, nullptr) != SQLITE_OK)
        Termina(QString::fromUtf8(sql) + " -> " + QString::fromUtf8(sqlite3_errmsg(db)));
    if (valor) sqlite3_bind_text(st, 1, valor->constData(), static_cast<int>(valor->size()), SQLITE_STATIC);
    int filas = 0, rc;
    long long suma = 0;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        ++filas;
        const int n = sqlite3_column_count(st);
        for (int c = 0; c < n; ++c) {
            switch (sqlite3_column_type(st, c)) {
                case SQLITE_INTEGER:
                    suma += sqlite3_column_int64(st, c);
                    break;
                case SQLITE_FLOAT:
                    suma += static_cast<long long>(sqlite3_column_double(st, c));
                    break;
                case SQLITE_NULL:
                    break;
                case SQLITE_BLOB:
                    suma += static_cast<const char*>(sqlite3_column_blob(st, c)) != nullptr;
                    suma += sqlite3_column_bytes(st, c);
                    break;
                default:
                    suma += *sqlite3_column_text(st, c);
                    suma += sqlite3_column_bytes(st, c);
                    break;
            }
        }
    }
    if (rc != SQLITE_DONE) Termina(QString::fromUtf8(sql) + " -> " + QString::fromUtf8(sqlite3_errmsg(db)));
    sqlite3_finalize(st);
    sumidero = sumidero + suma;
    return filas;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<Opcion> opciones = {{"articulos", 1, "N  artículos de la demo (100000)"},
                                          {"pares", 1, "N  pares de la lista (1000)"},
                                          {"prefijo", 1, "P  prefijo cargado (1)"},
                                          {"vueltas", 1, "N  vueltas de cada medida (5)"}};
    if (const auto r = AtiendeAyuda(argc, argv, QStringLiteral("bench_carga [opciones]"), opciones)) return *r;
    QCoreApplication app(argc, argv);
    const OpcionesLeidas op = LeeOpciones(argc, argv, opciones);
    if (!op.error.isEmpty()) Termina(op.error);
    OpcionesDemo demo;
    demo.articulos = op.Valor("articulos", 0, "100000").toInt();
    const int pares = op.Valor("pares", 0, "1000").toInt();
    const QString prefijo = op.Valor("prefijo", 0, "1");
    const int vueltas = std::max(1, op.Valor("vueltas", 0, "5").toInt());

    QTemporaryDir carpetaTemporal;
    if (!op.Tiene("carpeta")) EstableceCarpetaAplicacion(carpetaTemporal.path());
    auto t0 = Reloj::now();
    const ResumenDemo resumen = GeneradorDemo::Genera(demo);
    std::printf("base de %d artículos, lista en %.1f s\n", demo.articulos, Segundos(t0, Reloj::now()));

    OperadorGuionado operador;
    // The new codes that exist are accepted; any other question has its answer queued.
    operador.EstableceRespondedor([](const Aviso& av) -> std::optional<OperadorGuionado::Respuesta> {
        if (av.tipo == Aviso::Tipo::Mensaje && av.texto == kNuevoExiste) return vbYes;
        return std::nullopt;
    });
    operador.AlFaltarRespuesta([](const Aviso& av) { Termina("sin respuesta para: " + av.texto); });
    EstableceOperador(&operador);
    DB_Dll& sesion = gDB();
    sesion.gServidor = GeneradorDemo::kServidor;
    sesion.gDBName = sesion.gUsuario = sesion.gUserPassWord = demo.base;
    sesion.OpenServerADODB(false, 3, QString(), true, false);
    if (!sesion.gOpenFlag) Termina("no se abre la sesión");
    gUsuarioActual = resumen.usuario;

    // The floor's connection, opened as the driver opens its databases.
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(GeneradorDemo::ArchivoBase(demo.base).toUtf8().constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK)
        Termina("no se abre la base");
    EstadoSesion estado;
    RegistraFuncionesEmbebidas(db, &estado);
    sqlite3_exec(db, kAjustesConexionEmbebida, nullptr, nullptr, nullptr);

    // The pairs: old codes that exist (spread over the master, as written by
    // the suite, with no blanks around them), and new codes of which every
    // other one exists.
    QStringList codigos;
    {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT IdArticulo FROM V_MA_ARTICULOS ORDER BY IdArticulo", -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            const QString c = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            if (!c.startsWith(' ') && !c.endsWith(' ') && !c.contains(',')) codigos << c;
        }
        sqlite3_finalize(st);
    }
    if (codigos.size() < 2 * pares) Termina("faltan artículos");
    const int paso = static_cast<int>(codigos.size()) / (2 * pares);
    QStringList viejos, nuevos, lineas;
    for (int i = 0; i < pares; ++i) {
        viejos << codigos[2 * i * paso];
        nuevos << (i % 2 ? codigos[(2 * i + 1) * paso]
                         : QStringLiteral("NV%1").arg(i, 5, 10, QLatin1Char('0')));
        lineas << viejos.back() + QLatin1Char(',') + nuevos.back();
    }
    const QString archivo = QDir(carpetaTemporal.path()).filePath(QStringLiteral("pares.txt"));
    if (!ArchivoTexto::Escribe(archivo, lineas.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")))
        Termina("no se escribe " + archivo);
    // The floor's look-ups: one per code validated, in the same order.
    std::vector<QByteArray> buscados;
    for (int i = 0; i < pares; ++i) {
        buscados.push_back(viejos[i].toUtf8());
        buscados.push_back(nuevos[i].toUtf8());
    }
    const QByteArray porClave = "SELECT * FROM V_MA_ARTICULOS WHERE IdArticulo = ?";

    auto cargaArchivo = [&] {
        FrmEMRecodifica frm;
        operador.Limpia();
        operador.Responde(vbYes).RespondeArchivo({false, archivo});
        auto a = Reloj::now();
        frm.CmdBuscar_Click();
        const double s = Segundos(a, Reloj::now());
        // Every pair loaded, each old code found, the question asked once.
        const Grilla& g = frm.MSFlexGrid1;
        if (g.Rows() != pares + 2) Termina(QStringLiteral("%1 filas en la grilla").arg(g.Rows()));
        for (int i = 0; i < pares; ++i)
            if (g.TextMatrix(i + 1, 0) != viejos[i] || g.TextMatrix(i + 1, 1).isEmpty() ||
                g.TextMatrix(i + 1, 2) != nuevos[i])
                Termina("fila mal cargada: " + g.TextMatrix(i + 1, 0));
        if (operador.Mensajes() != QStringList({kPreguntaArchivo, kNuevoExiste}))
            Termina("preguntas: " + operador.Mensajes().join(" / "));
        return s;
    };
    auto pisoArchivo = [&] {
        auto a = Reloj::now();
        int hallados = 0;
        for (const QByteArray& b : buscados) hallados += Lee(db, porClave, &b);
        const double s = Segundos(a, Reloj::now());
        if (hallados != pares + pares / 2) Termina(QStringLiteral("%1 hallados").arg(hallados));
        return s;
    };

    // The prefix load against one query reading its rows by the key's range.
    int filasPrefijo = 0;
    auto cargaPrefijo = [&] {
        FrmEMRecodifica frm;
        frm.TxtPrefijoAnt = prefijo;
        frm.TxtPrefijoNvo = QStringLiteral("ZZ");
        operador.Limpia();
        operador.Responde(vbYes);
        auto a = Reloj::now();
        frm.CmdPrefijo_Click();
        const double s = Segundos(a, Reloj::now());
        filasPrefijo = frm.MSFlexGrid1.Rows() - 2;
        if (operador.Mensajes() != QStringList({kPreguntaPrefijo}))
            Termina("preguntas: " + operador.Mensajes().join(" / "));
        return s;
    };
    const QByteArray rango = QStringLiteral(
                                 "SELECT * FROM V_MA_ARTICULOS WHERE IdArticulo >= '%1' AND IdArticulo < "
                                 "'%1' || char(65535) ORDER BY IdArticulo LIMIT 1000")
                                 .arg(prefijo)
                                 .toUtf8();
    auto pisoPrefijo = [&] {
        auto a = Reloj::now();
        const int n = Lee(db, rango, nullptr);
        const double s = Segundos(a, Reloj::now());
        if (n != filasPrefijo)
            Termina(QStringLiteral("el prefijo lee %1 filas y la carga %2").arg(n).arg(filasPrefijo));
        return s;
    };

    // Warm-up of both sides, not reported.
    cargaArchivo();
    pisoArchivo();
    cargaPrefijo();
    pisoPrefijo();

    auto mide = [&](const char* que, int cantidad, const char* unidad, auto carga, auto piso) {
        std::vector<double> c, p, r;
        for (int k = 0; k < vueltas; ++k) {
            c.push_back(carga());
            p.push_back(piso());
            r.push_back(c.back() / p.back());
        }
        double tc = 0, tp = 0;
        for (int k = 0; k < vueltas; ++k) tc += c[k], tp += p[k];
        std::printf("%-22s %6d %-10s %10.3f %10.4f %8.1f %10.3f %10.4f %8.1f\n", que, cantidad, unidad,
                    tc / vueltas, tp / vueltas, tc / tp, Mediana(c), Mediana(p), Mediana(r));
        std::fflush(stdout);
    };
    std::printf("%d vueltas alternadas con su piso\n", vueltas);
    std::printf("%-22s %6s %-10s %10s %10s %8s %10s %10s %8s\n", "", "", "", "carga s", "piso s", "razón",
                "mediana s", "piso med", "r. med");
    mide("archivo de pares", pares, "pares", cargaArchivo, pisoArchivo);
    mide("prefijo", filasPrefijo, "filas", cargaPrefijo, pisoPrefijo);

    sqlite3_close(db);
    LiberaSesiones();
    EstableceOperador(nullptr);
    return 0;
}
