// quenvar-consulta: a lookup of the suite's masters from a script. It starts
// as the program does (connection, login, settings), shows the list window,
// or the tree window with --arbol, over TABLE and prints the chosen key.
//
//   quenvar-consulta [--carpeta DIR] [--arbol] [--campo COLUMN] TABLE "COMMAND LINE"
//
// Without --campo it prints the table's first column (its key).
// Exit status: 0 a row was chosen, 1 nothing was chosen, 2 bad arguments;
// start-up's own statuses when it ends the process.

#include <QApplication>

#include <cstdio>

#include "access/DialogoAccesoVentana.h"
#include "display/Lbf_CtrlDisplayVentana.h"
#include "app/Arranque.h"
#include "platform/Aplicacion.h"
#include "platform/qt/OperadorQt.h"
#include "platform/qt/Traducciones.h"
#include "platform/sesion/Sesion.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/ui/VentanasConsulta.h"

int main(int argc, char** argv) {
    const std::vector<Opcion> opciones = {{"arbol", 0, "  el árbol en lugar de la lista"},
                                          {"campo", 1, "COLUMNA  la columna devuelta"}};
    const QString uso = QStringLiteral("quenvar-consulta [--carpeta DIR] [opciones] TABLA \"LINEA DE COMANDOS\"");
    if (const auto r = AtiendeAyuda(argc, argv, uso, opciones)) return *r;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenvar"));
    CargaTraduccionesQt();
    const OpcionesLeidas o = LeeOpciones(argc, argv, opciones);
    if (!o.error.isEmpty() || o.posicionales.size() < 2) {
        std::fprintf(stderr, "%s\n%s", qPrintable(o.error),
                     qPrintable(AyudaOpciones(uso, opciones)));
        return 2;
    }
    gLineaComandosProceso = o.posicionales.mid(1).join(QLatin1Char(' '));
    OperadorQt operador;
    EstableceOperador(&operador);
    UsaDialogoAccesoVentana();
    InstalaVentanaDisplay();
    UsaVentanasConsulta();

    QString cadena;
    IniciaAplicacion(false, QString(), cadena, 3);
    Lib_ClsCons3& motor = ElMotorConsultas();
    // Without --campo, the table's first column: the key of the suite's masters.
    QString devuelto = o.Valor(QStringLiteral("campo"));
    if (devuelto.isEmpty()) devuelto = CamposDeTablaSesion(o.posicionales[0]).value(0);
    motor.CampoDevuelto = devuelto;
    QString campo, filtro;
    motor.ConsultaSearch(o.posicionales[0], nullptr, QString(), campo, filtro, QString(), o.Tiene("arbol"), QString());
    const QString elegido = motor.ValorDevuelto.toString();
    FinalizaAplicacion();
    EstableceOperador(nullptr);
    if (elegido.isEmpty()) return 1;
    std::printf("%s\n", qPrintable(elegido));
    return 0;
}
