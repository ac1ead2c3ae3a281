// quenvar: the desktop program. Its arguments are the suite's command line
// (one text, or several joined with blanks as a shortcut passes them),
// plus --carpeta DIR.

#include <QApplication>
#include <QTimer>

#include <cstdio>

#include "access/DialogoAccesoVentana.h"
#include "display/Lbf_CtrlDisplayVentana.h"
#include "frame/Permisos.h"
#include "frame/ui/AparienciaVentana.h"
#include "lookup/ui/VentanasConsulta.h"
#include "platform/Aplicacion.h"
#include "platform/SenalesCierre.h"
#include "platform/qt/OperadorQt.h"
#include "platform/qt/Traducciones.h"
#include "platform/sesion/Sesion.h"
#include "recoding/ui/FrmEMRecodificaVentana.h"

int main(int argc, char** argv) {
    // A close asked for while starting waits for the handler below.
    SenalesCierre::Retiene();
    const QString uso = QStringLiteral("quenvar [--carpeta DIR] \"LINEA DE COMANDOS\"");
    if (const auto r = AtiendeAyuda(argc, argv, uso, {})) return *r;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenvar"));
    CargaTraduccionesQt();
    const OpcionesLeidas o = LeeOpciones(argc, argv, {});
    if (!o.error.isEmpty()) {
        std::fprintf(stderr, "%s\n%s", qPrintable(o.error),
                     qPrintable(AyudaOpciones(uso, {})));
        return 2;
    }
    gLineaComandosProceso = o.posicionales.join(QLatin1Char(' '));

    OperadorQt operador;
    EstableceOperador(&operador);
    UsaDialogoAccesoVentana();
    InstalaVentanaDisplay();
    UsaVentanasConsulta();
    QApplication::setWindowIcon(IconoPrograma());

    FrmEMRecodificaVentana ventana;
    // A signal closes the window as its close button does. During start-up:
    // once this run's access row may be written the window closes as soon
    // as it is up (its exit time is stamped); before that nothing is lost
    // by ending at once.
    bool cerrarAlMostrar = false;
    SenalesCierre senales([&](int senal) {
        if (ventana.isVisible()) ventana.close();
        else if (IngresoRegistrado()) cerrarAlMostrar = true;
        else TerminaProceso(128 + senal);
    });
    ventana.Carga();
    ventana.show();
    if (cerrarAlMostrar) QTimer::singleShot(0, &ventana, &QWidget::close);
    const int r = app.exec();
    ventana.Descarga();
    EstableceOperador(nullptr);
    return r;
}
