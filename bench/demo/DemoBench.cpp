// Building the demo databases, measured as an operator meets it: quenvar-demo
// run as a child process into an empty folder, its wall time (fork to exit)
// and its peak resident memory (ru_maxrss) against the goals, and the rows it
// reports against the sizes asked for.
//
//   bench_demo [--articulos N] [--vueltas V] [--segundos S] [--megas M] [--programa RUTA]
//
// Defaults: 100000 articles (1,000,000 stock movements), 1 run, goals 20 s
// and 400 MB. With several runs the slowest time and the largest peak are
// judged. Exit status 1 when a goal is missed or the rows are not the ones asked for.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "bench/Medicion.h"
#include "platform/Aplicacion.h"

extern char** environ;

namespace {

using namespace Medicion;

struct Medida {
    double segundos = 0;
    double megas = 0;
    QByteArray salida;
};

// One child run; ends the benchmark when it cannot start or does not succeed.
Medida Corre(const QString& programa, const QStringList& argumentos, const QString& salida) {
    QList<QByteArray> bytes{programa.toLocal8Bit()};
    for (const QString& a : argumentos) bytes << a.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& b : bytes) argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t acciones;
    posix_spawn_file_actions_init(&acciones);
    const QByteArray archivo = salida.toLocal8Bit();
    posix_spawn_file_actions_addopen(&acciones, 1, archivo.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const auto t0 = Reloj::now();
    const int rc = posix_spawn(&pid, argv[0], &acciones, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&acciones);
    if (rc != 0) Termina(QStringLiteral("no se pudo iniciar %1").arg(programa));
    int estado = 0;
    rusage uso{};
    if (wait4(pid, &estado, 0, &uso) != pid) Termina(QStringLiteral("no se pudo esperar a %1").arg(programa));
    Medida m;
    m.segundos = Segundos(t0, Reloj::now());
    m.megas = uso.ru_maxrss / 1024.0;  // kilobytes on Linux
    QFile f(salida);
    if (f.open(QIODevice::ReadOnly)) m.salida = f.readAll();
    if (!WIFEXITED(estado) || WEXITSTATUS(estado) != 0)
        Termina(QStringLiteral("%1 terminó mal (%2):\n%3").arg(programa).arg(estado).arg(QString::fromLocal8Bit(m.salida)));
    return m;
}

// The rows quenvar-demo reports for a table ("TABLE\tN" lines); -1 when absent.
long Filas(const QByteArray& salida, const QByteArray& tabla) {
    for (const QByteArray& linea : salida.split('\n')) {
        const QList<QByteArray> partes = linea.trimmed().split('\t');
        if (partes.size() == 2 && partes[0] == tabla) return partes[1].toLong();
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<Opcion> opciones = {{"articulos", 1, "N  artículos de la demo (100000)"},
                                          {"vueltas", 1, "N  vueltas (1)"},
                                          {"segundos", 1, "S  meta de tiempo (20)"},
                                          {"megas", 1, "M  meta de memoria en MB (400)"},
                                          {"programa", 1, "RUTA  el quenvar-demo medido"}};
    if (const auto r = AtiendeAyuda(argc, argv, QStringLiteral("bench_demo [opciones]"), opciones)) return *r;
    QCoreApplication app(argc, argv);
    const OpcionesLeidas op = LeeOpciones(argc, argv, opciones);
    if (!op.error.isEmpty()) Termina(op.error);
    const long articulos = op.Valor("articulos", 0, "100000").toLong();
    const int vueltas = std::max(1, op.Valor("vueltas", 0, "1").toInt());
    const double metaSegundos = op.Valor("segundos", 0, "20").toDouble();
    const double metaMegas = op.Valor("megas", 0, "400").toDouble();
    const QString programa =
        op.Valor("programa", 0, QDir(QCoreApplication::applicationDirPath()).filePath("quenvar-demo"));
    if (!QFile::exists(programa)) Termina(QStringLiteral("no está %1").arg(programa));

    std::printf("quenvar-demo --articulos %ld: %d vuelta(s)\n", articulos, vueltas);
    double peorSegundos = 0, peorMegas = 0;
    bool filasBien = true;
    for (int v = 1; v <= vueltas; ++v) {
        QTemporaryDir carpeta;
        const Medida m = Corre(programa,
                               {"--carpeta", carpeta.path(), "--articulos", QString::number(articulos)},
                               QDir(carpeta.path()).filePath("salida.txt"));
        const long maestro = Filas(m.salida, "V_MA_ARTICULOS"), movimientos = Filas(m.salida, "V_MV_STOCK");
        filasBien = filasBien && maestro == articulos && movimientos == 10 * articulos;
        std::printf("  vuelta %d: %6.1f s %8.1f MB   %ld artículos, %ld movimientos\n", v, m.segundos, m.megas,
                    maestro, movimientos);
        std::fflush(stdout);
        peorSegundos = std::max(peorSegundos, m.segundos);
        peorMegas = std::max(peorMegas, m.megas);
    }
    const bool tiempoBien = peorSegundos < metaSegundos, memoriaBien = peorMegas < metaMegas;
    std::printf("tiempo  %8.1f s   meta < %.0f s    %s\n", peorSegundos, metaSegundos, tiempoBien ? "OK" : "NO");
    std::printf("memoria %8.1f MB  meta < %.0f MB  %s\n", peorMegas, metaMegas, memoriaBien ? "OK" : "NO");
    if (!filasBien) std::printf("filas: no son las pedidas\n");
    return tiempoBien && memoriaBien && filasBien ? 0 : 1;
}
