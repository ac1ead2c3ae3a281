// The list lookup window's model over the articles of a demo database:
//
// 1. Opening the article list (the engine's default statement, TOP 1000)
//    against the floor: the same statement opened through the platform's
//    record set on the same connection, every value of every row read.
//    Runs alternate; the ratio of the medians must stay under 1.5.
// 2. The incremental search per keystroke over 10,000 loaded rows, texts
//    typed one character at a time into the first and the second box,
//    against a plain linear scan of the same cell texts. The slowest
//    keystroke must stay under 5 ms.
//
//   bench_consultas [--articulos N] [--vueltas V]

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>

#include "bench/Medicion.h"
#include "db/DB_Dll.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/Recordset.h"
#include "platform/Aplicacion.h"
#include "platform/OperadorGuionado.h"
#include "lookup/Lib_FrmCons3.h"

namespace {

using namespace Medicion;

const QString kLista = QStringLiteral(
    "SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0 ORDER BY DESCRIPCION");
const QString kDiezMil = QStringLiteral(
    "SELECT TOP 10000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0 ORDER BY DESCRIPCION");

// The floor: the rows through the record set alone.
long LeePlataforma(const QString& sql) {
    Recordset rs;
    rs.Open(sql, gDB().Cnn(), 0, 1);
    long n = 0;
    for (; !rs.Eof(); rs.MoveNext()) {
        for (int i = 0; i < rs.FieldCount(); ++i) {
            const QVariant v = rs.Fields(i).Value();
            n += v.isNull() ? 0 : 1;
        }
    }
    rs.Close();
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<Opcion> opciones = {{"articulos", 1, "N  artículos de la demo (100000)"},
                                          {"vueltas", 1, "N  vueltas de cada medida (9)"}};
    if (const auto r = AtiendeAyuda(argc, argv, QStringLiteral("bench_consultas [opciones]"), opciones)) return *r;
    QCoreApplication app(argc, argv);
    const OpcionesLeidas op = LeeOpciones(argc, argv, opciones);
    if (!op.error.isEmpty()) Termina(op.error);
    OpcionesDemo demo;
    demo.base = QStringLiteral("BENCHCONS");
    demo.articulos = op.Valor("articulos", 0, "100000").toInt();
    demo.movimientosPorArticulo = 1;
    const int vueltas = std::max(3, op.Valor("vueltas", 0, "9").toInt());

    QTemporaryDir carpeta;
    if (!op.Tiene("carpeta")) EstableceCarpetaAplicacion(carpeta.path());
    auto t0 = Reloj::now();
    GeneradorDemo::Genera(demo);
    std::printf("base de %d artículos en %.1f s\n", demo.articulos, Segundos(t0, Reloj::now()));

    OperadorGuionado operador;
    EstableceOperador(&operador);
    DB_Dll& sesion = gDB();
    sesion.gServidor = GeneradorDemo::kServidor;
    sesion.gDBName = sesion.gUsuario = sesion.gUserPassWord = demo.base;
    sesion.OpenServerADODB(false, 3, QString(), false, false);
    if (!sesion.gOpenFlag) Termina("no se abre la sesión");

    // 1. Opening the list.
    std::vector<double> plataforma, ventana;
    std::size_t filas = 0;
    for (int v = 0; v <= vueltas; ++v) {
        auto a = Reloj::now();
        LeePlataforma(kLista);
        auto b = Reloj::now();
        Lib_FrmCons3 m;
        m.sql = kLista;
        m.CampoDevuelto = QStringLiteral("IDARTICULO");
        m.GrabarCfg = false;
        if (!m.Carga()) Termina("la lista no cargó");
        auto c = Reloj::now();
        filas = m.Filas().size();
        if (v == 0) continue;   // warm-up
        plataforma.push_back(Segundos(a, b));
        ventana.push_back(Segundos(b, c));
    }
    const double mp = Mediana(plataforma), mv = Mediana(ventana);
    std::printf("lista de artículos (%zu filas): plataforma %.2f ms, ventana %.2f ms, razón %.2f (límite 1.5)\n", filas,
                mp * 1e3, mv * 1e3, mv / mp);

    // 2. Incremental search over 10,000 rows.
    Lib_FrmCons3 m;
    m.sql = kDiezMil;
    m.GrabarCfg = false;
    if (!m.Carga()) Termina("la lista de 10.000 no cargó");
    const int n = static_cast<int>(m.Filas().size());
    // Typed texts: the last row's description and code (found at the end of
    // the scan), and a text no row begins with (the whole list scanned).
    const QStringList textos[2] = {{m.Texto(n - 1, 0), QStringLiteral("ZZZZZZZZZZZZ")},
                                   {m.Texto(n - 1, 1), QStringLiteral("ZZZZZZZZ")}};
    // Times per keystroke, over the rounds: [keystroke][round].
    std::vector<std::vector<double>> porTecla, porTeclaLineal;
    std::vector<double> tecla, lineal;
    volatile int sumidero = 0;
    for (int v = 0; v < vueltas; ++v) {
        std::size_t indice = 0;
        for (int caja = 0; caja < 2; ++caja) {
            // The plain scan: the same cell texts in a list of their own.
            QStringList celdas;
            celdas.reserve(n);
            for (int i = 0; i < n; ++i) celdas << m.Texto(i, caja);
            for (const QString& texto : textos[caja]) {
                for (int k = 1; k <= texto.size(); ++k) {
                    const QString parcial = texto.left(k);
                    auto a = Reloj::now();
                    m.CambiaCaja(caja, parcial);
                    auto b = Reloj::now();
                    int hallado = -1;
                    for (int i = 0; i < n; ++i)
                        if (celdas[i].trimmed().startsWith(parcial.trimmed(), Qt::CaseInsensitive)) {
                            hallado = i;
                            break;
                        }
                    auto c = Reloj::now();
                    sumidero = sumidero + hallado;
                    tecla.push_back(Segundos(a, b));
                    lineal.push_back(Segundos(b, c));
                    if (porTecla.size() <= indice) {
                        porTecla.resize(indice + 1);
                        porTeclaLineal.resize(indice + 1);
                    }
                    porTecla[indice].push_back(Segundos(a, b));
                    porTeclaLineal[indice].push_back(Segundos(b, c));
                    ++indice;
                }
                m.CambiaCaja(caja, QString());
            }
        }
    }
    // The slowest keystroke, each keystroke taken as its median over the
    // rounds (a single sample also carries the machine's other work).
    double peor = 0, peorLineal = 0;
    for (std::size_t i = 0; i < porTecla.size(); ++i) {
        peor = std::max(peor, Mediana(porTecla[i]));
        peorLineal = std::max(peorLineal, Mediana(porTeclaLineal[i]));
    }
    std::printf("búsqueda por tecla sobre %d filas (%zu teclas distintas, %d vueltas): mediana %.3f ms, "
                "tecla más lenta %.3f ms (límite 5 ms), muestra más lenta %.3f ms; "
                "recorrido lineal: mediana %.3f ms, tecla más lenta %.3f ms, muestra más lenta %.3f ms\n",
                n, porTecla.size(), vueltas, Mediana(tecla) * 1e3, peor * 1e3,
                *std::max_element(tecla.begin(), tecla.end()) * 1e3, Mediana(lineal) * 1e3, peorLineal * 1e3,
                *std::max_element(lineal.begin(), lineal.end()) * 1e3);
    LiberaSesiones();
    const bool ok = mv / mp <= 1.5 && peor < 0.005;
    std::printf("%s\n", ok ? "dentro de los límites" : "FUERA DE LOS LÍMITES");
    return ok ? 0 : 1;
}
