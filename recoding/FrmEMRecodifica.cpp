#include "recoding/FrmEMRecodifica.h"

#include <QDir>
#include <QFileInfo>

#include "db/DB_Dll.h"
#include "display/Dll_Display.h"
#include "app/Arranque.h"
#include "frame/Configuracion.h"
#include "platform/lib/Lib_Teclado.h"
#include "platform/lib/Lib_Dialogo.h"
#include "platform/lib/Lib_Util.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/ModConsultas.h"
#include "recoding/Deshacer.h"
#include "recoding/InformeVistaPrevia.h"
#include "recoding/Resguardos.h"
#include "recoding/RevisionLista.h"
#include "recoding/VistaPreviaTablas.h"

FrmEMRecodifica::FrmEMRecodifica() = default;
FrmEMRecodifica::~FrmEMRecodifica() = default;

void FrmEMRecodifica::Form_Load() {
    QString cadena;
    IniciaAplicacion(false, QString(), cadena, 3);
    if (Vista) Vista->AplicaApariencia();
    InicializaGrid2();
    CompletaDeshacerInterrumpidos();
}

void FrmEMRecodifica::CompletaDeshacerInterrumpidos() {
    QStringList fallos;
    const QStringList listas = CompletaListasInterrumpidas(CarpetaAplicacion(), &fallos);
    if (!listas.isEmpty())
        ElOperador().Mensaje(QStringLiteral("Una corrida anterior terminó sin escribir su lista para deshacer; quedó "
                                            "completa en:") +
                                 ArchivoTexto::CRLF + listas.join(ArchivoTexto::CRLF),
                             vbOKOnly + vbInformation, QStringLiteral("Aviso al operador"));
    if (!fallos.isEmpty())
        ElOperador().Mensaje(QStringLiteral("No se pudo completar la lista para deshacer de una corrida anterior:") +
                                 ArchivoTexto::CRLF + fallos.join(ArchivoTexto::CRLF),
                             vbOKOnly + vbExclamation, QStringLiteral("Aviso al operador"));
}

void FrmEMRecodifica::Form_Unload() { FinalizaAplicacion(); }

void FrmEMRecodifica::UtilKor1_Click(const QString& clave) {
    QString k = clave;
    Guardia g(LibUtil().DialogoDe(QStringLiteral("UtilKor1_click")));
    g.Silencia(NumeroFallo::ArgumentoInvalido);
    g.Paso([&] {
        if (Texto::Iguales(k, QStringLiteral("CANCELAR")) && Texto::Trim(MSFlexGrid1.TextMatrix(1, 0)).isEmpty())
            k = QStringLiteral("CERRAR");
    });
    k = k.toUpper();
    if (k == QLatin1String("NUEVO")) {
        g.Paso([&] { InicializaGrid2(); });
    } else if (k == QLatin1String("GRABAR")) {
        bool seguir = false;
        if (!g.Paso([&] { seguir = RevisaAntesDeGrabar(); }) || !seguir) return;
        // Rows put back after a stop keep the prefix load they came from.
        const bool porPrefijo = CargaPorPrefijo;
        if (!g.Paso([&] { ProcesoPrincipal(); })) return;
        // A run that did not start leaves the list as it was.
        if (!resumen_.noIniciada.isEmpty()) {
            LblCodigo = TextoResumen(resumen_, LblCodigo);
            LblCodigoDetalle = DetalleResumen(resumen_);
            if (Vista) Vista->Actualiza();
            return;
        }
        g.Ejecuta({[&] { InicializaGrid2(); },
                   [&] { ReponePendientes(); },
                   [&] { inicializa(); },
                   [&] { CargaPorPrefijo = porPrefijo && !resumen_.pendientes.isEmpty(); },
                   [&] {
                       LblCodigo = TextoResumen(resumen_, LblCodigo);
                       LblCodigoDetalle = DetalleResumen(resumen_);
                   },
                   [&] {
                       if (Vista) Vista->Actualiza();
                   }});
    } else if (k == QLatin1String("VISTAPREVIA")) {
        g.Paso([&] {
            if (!Vista) return;
            ReactivaDisparadores();
            // Long lists: the sign shows the row and its cancel button stops the preview.
            Dll_Display& cartel = ElCartel();
            struct Cierra {
                Dll_Display& c;
                ~Cierra() { c.CartelCerrar(); }
            } cierra{cartel};
            cartel.CartelInicio(QStringLiteral("Vista previa"), true);
            bool cancelado = false;
            const VistaPreviaTablas vista = CalculaVistaPrevia(*this, [&](int fila, int ultima) {
                cartel.CartelMostrar(cancelado, QStringLiteral("Vista previa de la recodificación"),
                                     QStringLiteral("Fila %1 de %2").arg(fila).arg(ultima), QString());
                return !cancelado;
            });
            if (vista.interrumpida) return;
            const InformeVistaPrevia informe(vista, RevisaLista(*this));
            cartel.CartelCerrar();
            Vista->MuestraVistaPrevia(informe);
        });
    } else if (k == QLatin1String("PLANILLA")) {
        g.Paso([&] {
            if (Vista)
                Vista->MuestraPlanilla(QStringLiteral("V_MA_ARTICULOS"), gDB().gConnString,
                                       QStringLiteral("Maestro de Articulos"));
        });
    } else if (k == QLatin1String("CONSULTAR")) {
        g.Paso([&] { CmdConsultar(); });
    } else if (k == QLatin1String("CERRAR")) {
        g.Paso([&] {
            if (Vista) Vista->Cierra();
            else Form_Unload();
        });
    } else if (k == QLatin1String("CANCELAR")) {
        g.Paso([&] {
            if (ElOperador().Mensaje(QStringLiteral("¿Realmente desea abandonar la carga de datos?"),
                                     vbYesNo + vbQuestion + vbDefaultButton2,
                                     QStringLiteral("Aviso al Operador")) == vbYes)
                InicializaGrid2();
        });
    }
}

// The chosen article code goes through the editor as if typed and Enter pressed.
void FrmEMRecodifica::CmdConsultar() {
    if (Texto::Trim(txtedit.Tag).isEmpty()) return;
    Grilla& g = MSFlexGrid1;
    // The tag may be left from an earlier edit: the description is no code cell.
    if (!txtedit.Visible && g.Col == Grilla::Descripcion) return;
    const QString articulos = QStringLiteral("V_MA_ARTICULOS");
    QString resultado;
    if (!Texto::Iguales(Texto::Trim(Cfg(QStringLiteral("UsaConsultaLike"))), QStringLiteral("SI"))) {
        Lib_ClsCons3& motor = ElMotorConsultas();
        motor.CampoDevuelto = QStringLiteral("IDARTICULO");
        QString campoBusqueda, where;
        motor.ConsultaSearch(articulos, nullptr, QString(), campoBusqueda, where, QString(), false, QString());
        resultado = motor.ValorDevuelto.toString();
    } else {
        QString tabla = articulos;
        QString texto = txtedit.Text;
        SubConsultaLike(tabla, texto, resultado, 0, false, QString());
    }
    txtedit.Text = Texto::Trim(resultado);
    // Over the current cell and for its column, wherever the editor was last shown.
    if (!txtedit.Visible) textpropiedades(txtedit, g.Col);
    txtedit.Left = g.Left() + g.CellLeft();
    txtedit.Top = g.Top() + g.CellTop();
    txtedit.Width = g.CellWidth();
    txtedit.Height = g.CellHeight();
    txtedit.Visible = true;
    DaFocoEditor();
    txtedit_KeyDown(vbKeyReturn, 0);
}

Lib_Dialogo& FrmEMRecodifica::Dialogo() {
    if (!dialogo_) dialogo_ = std::make_unique<Lib_Dialogo>();
    return *dialogo_;
}

QString TextoResumen(const FrmEMRecodifica::ResumenCorrida& r, const QString& actual) {
    if (!r.noIniciada.isEmpty()) return QStringLiteral("La recodificación no se inició.");
    if (r.codigos.isEmpty() && !r.detenida) return actual;
    QString t = QStringLiteral("Correctos: %1, con error: %2").arg(r.Correctos()).arg(r.Errores());
    if (r.Omitidos() > 0) t += QStringLiteral(", omitidos: %1").arg(r.Omitidos());
    t += QLatin1Char('.');
    if (r.detenida) t += QStringLiteral(" DETENIDA: %1 filas pendientes.").arg(r.pendientes.size());
    if (!r.fallosArchivos.isEmpty()) t += QStringLiteral(" Sin escribir: %1 archivos.").arg(r.fallosArchivos.size());
    return t;
}

QString DetalleResumen(const FrmEMRecodifica::ResumenCorrida& r) {
    QStringList l;
    if (!r.noIniciada.isEmpty()) l << r.noIniciada;
    if (!r.archivoDeshacer.isEmpty()) {
        QString d = QStringLiteral("Deshacer: ") + QDir::toNativeSeparators(r.archivoDeshacer);
        if (!r.noReversibles.isEmpty()) d += QStringLiteral(" (%1 no reversibles)").arg(r.noReversibles.size());
        l << d;
    }
    if (!r.archivoPendientes.isEmpty()) l << QStringLiteral("Pendientes: ") + QDir::toNativeSeparators(r.archivoPendientes);
    for (const QString& f : r.fallosArchivos) l << QStringLiteral("Sin escribir: ") + f;
    return l.join(QLatin1Char('\n'));
}

bool FrmEMRecodifica::RevisaAntesDeGrabar() {
    const RevisionLista r = RevisaLista(*this);
    if (!r.HayRechazos() && !r.HayAvisos()) return true;
    enum { Continuar, Reordenar, Volver };
    PedidoEleccion p;
    p.titulo = QStringLiteral("Revisión de la lista");
    p.texto = r.HayRechazos()
                  ? QStringLiteral("La lista no se puede recodificar así: corrija los rechazos y vuelva a grabar.")
                  : QStringLiteral("Antes de recodificar, lea lo que pasará. Las fusiones no se pueden deshacer.");
    p.columnas = ColumnasRevision();
    p.filas = FilasRevision(r);
    p.botones = {QStringLiteral("&Continuar"), QStringLiteral("&Reordenar y continuar"),
                 QStringLiteral("&Volver a la lista")};
    p.habilitados = {!r.HayRechazos(), !r.HayRechazos() && !r.ordenSeguro.isEmpty(), true};
    p.porDefecto = Volver;
    p.cancelar = Volver;
    const int eleccion = ElOperador().Eleccion(p);
    if (eleccion == Reordenar) {
        ReordenaGrilla(MSFlexGrid1, r.ordenSeguro);
        if (Vista) Vista->Actualiza();
    }
    return eleccion == Continuar || eleccion == Reordenar;
}
