// The recoding run (FrmEMRecodifica::ProcesoPrincipal) over a mixed list of
// pairs (copies, merges, in-place, articles with size variants) on a demo
// database, against the floor: the statements of the same plans, translated
// beforehand, prepared and run directly on SQLite with one transaction per
// code, on an identical copy of the database, in the same run.
//
//   bench_recoding [--articulos N] [--movimientos M] [--vueltas V] [--codigos K,K2,...] [--solo-previa]
//
// The ratio is measured over V runs of 1,000 pairs, each followed by its
// floor (total and median of the runs); flatness over whole runs of each
// size, with the median time of a code at the start and at the end of the run.
// Last, runs through the main window (a real window on the offscreen
// platform, repainting between codes) alternate with runs of the window-less
// model that the batch tool drives, and their ratio is reported.
// The per-table preview of 1,000 pairs alternates with the run of the same
// pairs (its baseline: the preview must take less); --solo-previa measures
// only that.
// The goals (the alternated runs and a single run of each size at most
// 1.10 of their floor, so flat from the smallest size to the largest) are
// printed with "met" or "NOT MET"; the exit status is 1 when one is missed.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "bench/Medicion.h"
#include "db/DB_Dll.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/Conexion.h"
#include "db/platform/Recordset.h"
#include "db/platform/embebido/BaseEmbebida.h"
#include "db/platform/embebido/FuncionesEmbebidas.h"
#include "db/platform/embebido/TraductorTsql.h"
#include "platform/Aplicacion.h"
#include "platform/OperadorGuionado.h"
#include "platform/Texto.h"
#include "platform/sesion/Sesion.h"
#include "recoding/FrmEMRecodifica.h"
#include "recoding/Planes.h"
#include "recoding/Testigo.h"
#include "recoding/VistaPreviaTablas.h"
#include "recoding/ui/FrmEMRecodificaVentana.h"

namespace {

using namespace Medicion;

// The scripted answers, with the window system's events processed where the
// run yields, as the desktop program does.
struct OperadorConEventos : OperadorGuionado {
    void ProcesaEventos() override { QCoreApplication::processEvents(); }
};

struct Registro : VistaRecodifica {
    std::vector<ResultadoCodigo> codigos;
    std::vector<Reloj::time_point> momentos;
    void Recodificado(const ResultadoCodigo& r) override {
        codigos.push_back(r);
        momentos.push_back(Reloj::now());
    }
};


// The columns the engine fills for an INSERT without a column list.
QStringList Columnas(sqlite3* db, const QString& tabla) {
    QStringList r;
    sqlite3_stmt* st = nullptr;
    const QByteArray q = ("PRAGMA table_info(" + tabla + ")").toUtf8();
    sqlite3_prepare_v2(db, q.constData(), -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        const QString c = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
        if (c.compare(QLatin1String("ID"), Qt::CaseInsensitive) != 0) r << '"' + c + '"';
    }
    sqlite3_finalize(st);
    return r;
}

// The engine's texts of one code's plan with its commit and trigger switches.
QStringList Directas(const Plan& plan, sqlite3* db, const QString& base) {
    QString lote = plan.Lote();
    if (plan.Tipo != TipoPlan::Estadisticas)
        lote += QStringLiteral("\r\n COMMIT TRANSACTION\r\n ALTER TABLE V_MA_ARTICULOS ENABLE TRIGGER ALL \r\n"
                               " ALTER TABLE V_MV_STOCK ENABLE TRIGGER ALL ");
    std::vector<Sentencia> ss;
    ErrorTraduccion e;
    if (!TraduceLote(lote, base, ss, e)) Termina("no se traduce: " + lote);
    static QStringList articulos;
    if (articulos.isEmpty()) articulos = Columnas(db, QStringLiteral("V_MA_ARTICULOS"));
    QStringList r;
    for (const Sentencia& s : ss) {
        switch (s.tipo) {
            case Sentencia::IniciaTran: r << QStringLiteral("BEGIN"); break;
            case Sentencia::ConfirmaTran: r << QStringLiteral("COMMIT"); break;
            case Sentencia::Disparadores:
                r << (s.activar ? QStringLiteral("DELETE FROM main.__kv_disparadores WHERE tabla = '%1'").arg(s.tabla.toUpper())
                                : QStringLiteral("INSERT OR IGNORE INTO main.__kv_disparadores VALUES ('%1', '*')")
                                      .arg(s.tabla.toUpper()));
                break;
            case Sentencia::Sql:
                if (s.sql.trimmed().isEmpty()) break;
                r << (s.insertSinColumnas ? s.insertAntes + " (" + articulos.join(", ") + ") " + s.insertDespues : s.sql);
                break;
            default:
                break;
        }
    }
    return r;
}

void Ejecuta(sqlite3* db, const QStringList& sentencias) {
    for (const QString& s : sentencias) {
        const QByteArray b = s.toUtf8();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v3(db, b.constData(), b.size(), 0, &st, nullptr) != SQLITE_OK) {
            Termina(s + " -> " + QString::fromUtf8(sqlite3_errmsg(db)));
        }
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) Termina(s + " -> " + QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_finalize(st);
    }
}

// Codes of the demo: plain ones and the bases of size variants, in code order.
void Codigos(QStringList& simples, QStringList& conTalles) {
    Recordset rs;
    rs.Open(QStringLiteral("SELECT IdArticulo FROM V_MA_ARTICULOS WHERE IdArticulo NOT LIKE ' %' "
                           "ORDER BY IdArticulo"),
            gDB().Cnn());
    QSet<QString> bases;
    QStringList todos;
    while (!rs.Eof()) {
        const QString c = Texto::Trim(rs.Fields(0).Value().toString());
        if (c.contains('|'))
            bases.insert(c.section('|', 0, 0));
        else
            todos << c;
        rs.MoveNext();
    }
    for (const QString& c : todos) (bases.contains(c) ? conTalles : simples) << c;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<Opcion> opciones = {{"articulos", 1, "N  artículos de la demo (100000)"},
                                          {"movimientos", 1, "N  movimientos por artículo (10)"},
                                          {"codigos", 1, "N,M  tamaños de las listas (1000,5000)"},
                                          {"vueltas", 1, "N  vueltas alternadas con el piso (3)"},
                                          {"solo-previa", 0, "sólo la vista previa"}};
    if (const auto r = AtiendeAyuda(argc, argv, QStringLiteral("bench_recoding [opciones]"), opciones)) return *r;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const OpcionesLeidas op = LeeOpciones(argc, argv, opciones);
    if (!op.error.isEmpty()) Termina(op.error);
    OpcionesDemo demo;
    demo.articulos = op.Valor("articulos", 0, "100000").toInt();
    demo.movimientosPorArticulo = op.Valor("movimientos", 0, "10").toInt();
    QList<int> tamanos;
    // A first short list warms both sides up and is not reported.
    tamanos << 100;
    for (const QString& t : op.Valor("codigos", 0, "1000,5000").split(',')) tamanos << t.toInt();

    QTemporaryDir a, b;
    if (!op.Tiene("carpeta")) EstableceCarpetaAplicacion(a.path());
    const QString carpeta = CarpetaAplicacion();
    auto t0 = Reloj::now();
    const ResumenDemo resumen = GeneradorDemo::Genera(demo);
    std::printf("base de %d artículos, %ld movimientos, lista en %.1f s\n", demo.articulos,
                resumen.filas.value("V_MV_STOCK"), Segundos(t0, Reloj::now()));
    const QString archivo = GeneradorDemo::ArchivoBase(demo.base);
    const QString copia = QDir(b.path()).filePath(QFileInfo(archivo).fileName());
    QFile::remove(copia);
    if (!QFile::copy(archivo, copia)) Termina("no se copia la base");

    OperadorConEventos operador;
    operador.EstableceRespondedor([](const Aviso& av) -> std::optional<OperadorGuionado::Respuesta> {
        if (av.tipo == Aviso::Tipo::Mensaje) return vbNo;
        return std::nullopt;
    });
    EstableceOperador(&operador);
    DB_Dll& sesion = gDB();
    sesion.gServidor = GeneradorDemo::kServidor;
    sesion.gDBName = sesion.gUsuario = sesion.gUserPassWord = demo.base;
    sesion.OpenServerADODB(false, 3, QString(), true, false);
    if (!sesion.gOpenFlag) Termina("no se abre la sesión");
    gUsuarioActual = resumen.usuario;

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(copia.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        Termina("no se abre la copia");
    EstadoSesion estado;
    RegistraFuncionesEmbebidas(db, &estado);
    // As the driver opens its databases.
    sqlite3_exec(db, kAjustesConexionEmbebida, nullptr, nullptr, nullptr);

    // The run's log restarted through a connection of its own, closed again.
    auto reiniciaCorrida = [&] {
        sqlite3* c = nullptr;
        sqlite3_open_v2(archivo.toUtf8().constData(), &c, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_wal_checkpoint_v2(c, nullptr, SQLITE_CHECKPOINT_RESTART, nullptr, nullptr);
        sqlite3_close(c);
    };
    QStringList simples, conTalles;
    Codigos(simples, conTalles);
    int s = 0, t = 0;
    const QString columnas = ColumnasDeCopia();

    // Fills a grid with n pairs: one in ten an article with size variants,
    // the rest copies, merges (into an article never recoded itself) and in-place.
    auto llena = [&](FrmEMRecodifica& frm, int n) {
        frm.InicializaGrid2();
        Grilla& g = frm.MSFlexGrid1;
        g.SetRows(n + 2);
        for (int i = 0; i < n; ++i) {
            QString viejo, nuevo;
            switch (i % 10) {
                case 9:
                    if (t >= conTalles.size()) Termina("faltan artículos con talles");
                    viejo = conTalles[t++];
                    nuevo = QStringLiteral("RT%1").arg(t);
                    break;
                case 4: case 5: case 6:
                    viejo = simples.value(s++);
                    nuevo = simples.value(s++);
                    break;
                case 7: case 8:
                    viejo = nuevo = simples.value(s++);
                    break;
                default:
                    viejo = simples.value(s++);
                    nuevo = QStringLiteral("RC%1").arg(s);
            }
            if (s > simples.size()) Termina("faltan artículos");
            g.SetTextMatrix(i + 1, 0, viejo);
            g.SetTextMatrix(i + 1, 1, QStringLiteral("articulo"));
            g.SetTextMatrix(i + 1, 2, nuevo);
        }
    };
    struct Medida {
        double corrida = 0, directo = 0;
        size_t codigos = 0;
        std::vector<double> razones;    // per run
        std::vector<double> porCodigo;  // the run's time of each code, in order
    };
    // One run of n pairs, then the floor over the same plans.
    auto mide = [&](int n, Medida& m) {
        FrmEMRecodifica frm;
        Registro registro;
        frm.Vista = &registro;
        llena(frm, n);
        // Outside the clock: both write-ahead logs restarted, so that the run
        // and its floor start alike and checkpoint at the same points.
        reiniciaCorrida();
        auto c0 = Reloj::now();
        frm.ProcesoPrincipal();
        auto c1 = Reloj::now();
        for (const ResultadoCodigo& r : registro.codigos)
            if (r.error) Termina("falló " + r.viejo + ": " + r.descripcion);
        // The same plans, translated before the clock starts.
        std::vector<QStringList> directas;
        OpcionesPlan opciones;
        for (const ResultadoCodigo& r : registro.codigos)
            directas.push_back(Directas(ArmaPlan(r.viejo, r.nuevo, opciones, r.tipo == TipoPlan::Fusion, columnas),
                                        db, demo.base));
        sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_RESTART, nullptr, nullptr);
        auto d0 = Reloj::now();
        for (const QStringList& d : directas) Ejecuta(db, d);
        auto d1 = Reloj::now();
        m.corrida += Segundos(c0, c1);
        m.directo += Segundos(d0, d1);
        m.codigos += registro.codigos.size();
        m.razones.push_back(Segundos(c0, c1) / Segundos(d0, d1));
        for (size_t i = 1; i < registro.momentos.size(); ++i)
            m.porCodigo.push_back(Segundos(registro.momentos[i - 1], registro.momentos[i]));
    };
    auto informa = [](const char* que, int filas, const Medida& m) {
        std::printf("%-30s %6d %8zu %12.1f %12.1f %8.3f %8.3f\n", que, filas, m.codigos, 1e6 * m.corrida / m.codigos,
                    1e6 * m.directo / m.codigos, m.corrida / m.directo, Mediana(m.razones));
        std::fflush(stdout);
    };
    // The goals, printed at the end from what was measured.
    struct Meta {
        QString que;
        double valor, tope;
    };
    std::vector<Meta> metas;
    bool todas = true;

    // The preview of n pairs, then the run of the same pairs; their kinds compared.
    struct MedidaPrevia {
        double previa = 0, corrida = 0;
        size_t codigos = 0, distintos = 0;
        qint64 filas = 0;
        std::vector<double> razones;
    };
    auto mideVistaPrevia = [&](int n, MedidaPrevia& m) {
        FrmEMRecodifica frm;
        Registro registro;
        frm.Vista = &registro;
        llena(frm, n);
        reiniciaCorrida();
        auto p0 = Reloj::now();
        const VistaPreviaTablas v = CalculaVistaPrevia(frm);
        auto p1 = Reloj::now();
        reiniciaCorrida();
        auto c0 = Reloj::now();
        frm.ProcesoPrincipal();
        auto c1 = Reloj::now();
        for (const ResultadoCodigo& r : registro.codigos)
            if (r.error) Termina("falló " + r.viejo + ": " + r.descripcion);
        if (registro.codigos.size() != static_cast<size_t>(v.codigos.size()))
            Termina("la vista previa no envía los códigos de la corrida");
        for (size_t i = 0; i < registro.codigos.size(); ++i)
            if (registro.codigos[i].tipo != v.codigos[static_cast<int>(i)].tipo) ++m.distintos;
        for (const ConteoTabla& c : v.Totales()) m.filas += c.filas;
        m.previa += Segundos(p0, p1);
        m.corrida += Segundos(c0, c1);
        m.codigos += registro.codigos.size();
        m.razones.push_back(Segundos(p0, p1) / Segundos(c0, c1));
    };
    auto vistaPrevia = [&] {
        MedidaPrevia m;
        const int vueltas = op.Valor("vueltas", 0, "3").toInt();
        for (int k = 0; k < vueltas; ++k) mideVistaPrevia(1000, m);
        std::printf("%-30s %6d %8zu %12.1f %12.1f %8.3f %8.3f   (vista previa / corrida, us por código; %lld filas, "
                    "%zu planes distintos)\n",
                    "vista previa de 1000, altern.", 1000 * vueltas, m.codigos, 1e6 * m.previa / m.codigos,
                    1e6 * m.corrida / m.codigos, m.previa / m.corrida, Mediana(m.razones),
                    static_cast<long long>(m.filas), m.distintos);
        std::fflush(stdout);
    };
    if (op.Tiene("solo-previa")) {
        MedidaPrevia calentamiento;
        mideVistaPrevia(100, calentamiento);  // warms both sides up; not reported
        std::printf("%-30s %6s %8s %12s %12s %8s %8s\n", "", "filas", "códigos", "previa us", "corrida us",
                    "razón", "mediana");
        vistaPrevia();
        sqlite3_close(db);
        LiberaSesiones();
        EstableceOperador(nullptr);
        return 0;
    }

    Medida previa;
    mide(100, previa);  // warms both sides up; not reported
    std::printf("%-30s %6s %8s %12s %12s %8s %8s\n", "", "filas", "códigos", "corrida us", "directo us", "razón",
                "mediana");
    // The ratio: runs of 1,000 pairs alternating with the floor, so that both
    // sides meet the same state of the machine; total and median of the runs.
    Medida alternada;
    const int vueltas = op.Valor("vueltas", 0, "3").toInt();
    for (int k = 0; k < vueltas; ++k) mide(1000, alternada);
    informa("corridas de 1000, alternadas", 1000 * vueltas, alternada);
    metas.push_back({"corridas de 1000 alternadas / piso", alternada.corrida / alternada.directo, 1.10});
    // Flatness: whole runs of each size.
    for (int ronda = 1; ronda < tamanos.size(); ++ronda) {
        Medida m;
        mide(tamanos[ronda], m);
        informa("una corrida", tamanos[ronda], m);
        // The median time of a code at the start and at the end of the run.
        const size_t tramo = std::min<size_t>(1000, m.porCodigo.size() / 2);
        const std::vector<double> inicio(m.porCodigo.begin(), m.porCodigo.begin() + tramo);
        const std::vector<double> fin(m.porCodigo.end() - tramo, m.porCodigo.end());
        std::printf("%-30s %6s %8zu %12.1f %12.1f (mediana de cada código, primeros y últimos)\n", "", "", tramo,
                    1e6 * Mediana(inicio), 1e6 * Mediana(fin));
        // Flat: each size within the same bound of its floor.
        metas.push_back({QStringLiteral("una corrida de %1 / piso").arg(tamanos[ronda]), m.corrida / m.directo, 1.10});
    }

    // Through the window against the window-less model, alternated.
    double ventana = 0, modelo = 0;
    int codigosVentana = 0;
    for (int k = 0; k < vueltas; ++k) {
        {
            FrmEMRecodificaVentana v;
            v.show();
            llena(v.Modelo(), 1000);
            reiniciaCorrida();
            auto c0 = Reloj::now();
            v.Modelo().ProcesoPrincipal();
            ventana += Segundos(c0, Reloj::now());
            codigosVentana += 1000;
        }
        {
            FrmEMRecodifica frm;
            Registro registro;
            frm.Vista = &registro;
            llena(frm, 1000);
            reiniciaCorrida();
            auto c0 = Reloj::now();
            frm.ProcesoPrincipal();
            modelo += Segundos(c0, Reloj::now());
        }
    }
    std::printf("%-30s %6d %8s %12.1f %12.1f %8.3f   (ventana / herramienta por lotes, us por fila)\n",
                "corridas por la ventana", codigosVentana, "", 1e6 * ventana / codigosVentana,
                1e6 * modelo / codigosVentana, ventana / modelo);
    std::printf("\nmetas\n");
    for (const Meta& m : metas) {
        const bool cumple = m.valor <= m.tope;
        todas = todas && cumple;
        std::printf("  %-44s %7.3f   goal <= %.2f %s\n", qPrintable(m.que), m.valor, m.tope, cumple ? "met" : "NOT MET");
    }
    std::printf("\n");
    std::fflush(stdout);
    std::printf("%-30s %6s %8s %12s %12s %8s %8s\n", "", "filas", "códigos", "previa us", "corrida us", "razón",
                "mediana");
    vistaPrevia();
    sqlite3_close(db);
    LiberaSesiones();
    EstableceOperador(nullptr);
    return todas ? 0 : 1;
}
