// quenvar-demo [--carpeta DIR] [--base NAME] [--articulos N] [--semilla S]
// Builds the demo databases (in the application folder); the line before
// the last says how to open them, the last is the suite command line.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>

#include "db/esquema/GeneradorDemo.h"
#include "platform/Aplicacion.h"
#include "platform/Fallo.h"

int main(int argc, char** argv) {
    const std::vector<Opcion> opciones = {
        {QStringLiteral("base"), 1, QStringLiteral("NOMBRE  base de la empresa (DEMO)")},
        {QStringLiteral("articulos"), 1, QStringLiteral("N  filas del maestro de artículos (3000)")},
        {QStringLiteral("movimientos"), 1, QStringLiteral("N  movimientos de stock por artículo (10)")},
        {QStringLiteral("semilla"), 1, QStringLiteral("S  semilla de los datos (1)")},
    };
    const QString uso =
        QStringLiteral("quenvar-demo [--carpeta DIR] [--base NOMBRE] [--articulos N] [--movimientos N] [--semilla S]");
    if (const auto r = AtiendeAyuda(argc, argv, uso, opciones)) return *r;
    QCoreApplication app(argc, argv);
    EstableceNombrePrograma(QStringLiteral("quenvar-demo"));
    QTextStream out(stdout), err(stderr);
    const OpcionesLeidas leidas = LeeOpciones(argc, argv, opciones);
    if (!leidas.error.isEmpty() || !leidas.posicionales.isEmpty()) {
        err << (leidas.error.isEmpty() ? QStringLiteral("Argumento de más: ") + leidas.posicionales.first()
                                       : leidas.error)
            << "\n"
            << AyudaOpciones(uso, opciones);
        return 2;
    }
    OpcionesDemo o;
    o.base = leidas.Valor(QStringLiteral("base"), 0, o.base);
    bool ok = true, todo = true;
    auto entero = [&](const QString& nombre, auto defecto) {
        if (!leidas.Tiene(nombre)) return defecto;
        const auto v = leidas.Valor(nombre).toLongLong(&ok);
        if (!ok || v < 0) todo = false;
        return static_cast<decltype(defecto)>(v);
    };
    o.articulos = entero(QStringLiteral("articulos"), o.articulos);
    o.movimientosPorArticulo = entero(QStringLiteral("movimientos"), o.movimientosPorArticulo);
    o.semilla = entero(QStringLiteral("semilla"), o.semilla);
    if (!todo) {
        err << "Valor numérico no válido\n" << AyudaOpciones(uso, opciones);
        return 2;
    }
    try {
        QElapsedTimer reloj;
        reloj.start();
        const ResumenDemo r = GeneradorDemo::Genera(o);
        for (auto it = r.filas.begin(); it != r.filas.end(); ++it)
            out << it.key() << "\t" << it.value() << "\n";
        out << "Bases creadas en " << CarpetaDatos() << " en "
            << QString::number(reloj.elapsed() / 1000.0, 'f', 1) << " s\n";
        // How to open it: --carpeta only when it is not the folder the program finds by itself.
        const QString carpeta = CarpetaAplicacion();
        EstableceCarpetaAplicacion(QString());
        const bool propia = QDir(CarpetaAplicacion()) == QDir(carpeta);
        EstableceCarpetaAplicacion(carpeta);
        out << "Para abrirla: " << QDir(CarpetaPrograma()).filePath(QStringLiteral("quenvar"))
            << (propia ? QString() : QStringLiteral(" --carpeta '") + carpeta + QLatin1Char('\''))
            << " '" << r.lineaComandos << "'\n";
        out << r.lineaComandos << "\n";
    } catch (const Fallo& f) {
        err << "Error " << f.Numero() << ": " << f.Descripcion() << "\n";
        return 1;
    }
    return 0;
}
