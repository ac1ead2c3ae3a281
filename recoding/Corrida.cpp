// The recoding run: one plan per code, one transaction per code, the
// failed codes logged and rolled back, the witness at the end.

#include "recoding/Corrida.h"

#include <QDateTime>
#include <QHash>

#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "db/platform/Conexion.h"
#include "db/platform/Recordset.h"
#include "display/Dll_Display.h"
#include "platform/lib/Lib_Dialogo.h"
#include "platform/lib/Lib_Util.h"
#include "platform/lib/TratamientoErrores.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "recoding/FrmEMRecodifica.h"
#include "recoding/Deshacer.h"
#include "recoding/Planes.h"
#include "recoding/Resguardos.h"
#include "recoding/Testigo.h"
#include "recoding/TextoSql.h"

using Texto::Trim;

namespace {

const QString kRutina = QStringLiteral("ProcesoPrincipal");
const QString kHabilitaArticulos = QStringLiteral(" ALTER TABLE V_MA_ARTICULOS ENABLE TRIGGER ALL ");
const QString kHabilitaStock = QStringLiteral(" ALTER TABLE V_MV_STOCK ENABLE TRIGGER ALL ");

QString PrimerError() {
    const Errores& e = gDB().Cnn().Errors();
    return e.Count() > 0 ? e.Item(0).Description : QString();
}

// The codes a row sends, in order, once its pair is read: its size
// variants and then its own code; none for a row that is skipped.
struct Fila {
    QString O, N;
    QStringList codigos;
};

Fila LeeFila(const Grilla& g, int i) {
    Fila f;
    f.O = Trim(g.TextMatrix(i, Grilla::IdArticulo));
    f.N = Trim(g.TextMatrix(i, Grilla::ArticuloNuevo));
    return f;
}

// Fills the row's codes (reads only).
void CodigosDeFila(const Grilla& g, int i, bool talles, const CodigosConBlancos& conBlancos, Fila& f) {
    f.codigos.clear();
    if (f.O.isEmpty() || f.N.isEmpty()) return;
    const Lib_Util& u = LibUtil();
    const bool iguales = Texto::Iguales(f.O, f.N);
    f.N = u.AlineaTexto(f.N, 25);
    // Only validated rows carry a description.
    if (Trim(g.TextMatrix(i, Grilla::Descripcion)).isEmpty()) return;
    if (!iguales && talles) f.codigos = VariantesDeTalle(f.O);
    f.codigos << CodigoGuardado(u.AlineaTexto(f.O, 25), conBlancos);
    // An existing new code is merged into as stored; equal codes keep the
    // typed form, which is what the in-place plan writes.
    if (!iguales) f.N = CodigoGuardado(f.N, conBlancos);
}

OpcionesPlan Opciones(const FrmEMRecodifica& frm, bool cambiaRubro) {
    OpcionesPlan op;
    op.ChkEstadisticas = frm.ChkEstadisticas;
    op.ChkSoloMaestro = frm.ChkSoloMaestro;
    op.CargaPorPrefijo = frm.CargaPorPrefijo;
    op.TxtPrefijoNvo = frm.TxtPrefijoNvo;
    op.CambiaRubro = cambiaRubro;
    return op;
}

}  // namespace

bool UsaTalles() {
    RecordsetPtr rs;
    bool usa = false;
    try {
        gDB().AbrirRecordset(
            QStringLiteral(
                "select top 1 TalleDefault  from v_ma_articulos where TalleDefault  <> '' AND not TalleDefault  is nulL "),
            rs, ado::adOpenForwardOnly, ado::adLockReadOnly);
        usa = rs && rs->State() != ado::adStateClosed && !rs->Bof();
    } catch (const Fallo&) {
        usa = false;
    }
    if (rs) gDB().CierraRecordset(rs);
    return usa;
}

namespace {

// The column IdArticulo of every row of the query, as stored.
QStringList LeeCodigos(const QString& sql) {
    QStringList r;
    RecordsetPtr rs;
    gDB().AbrirRecordset(sql, rs, ado::adOpenForwardOnly, ado::adLockReadOnly);
    while (rs && rs->State() != ado::adStateClosed && !rs->Eof()) {
        r << LibUtil().ValorCampo(rs->Value(QStringLiteral("IdArticulo"))).toString();
        rs->MoveNext();
    }
    if (rs) gDB().CierraRecordset(rs);
    return r;
}

}  // namespace

QStringList VariantesDeTalle(const QString& codigo) {
    return LeeCodigos(QStringLiteral("select idarticulo from v_ma_articulos where ltrim(idarticulo) like '") +
                      TextoSql::PatronLike(Trim(codigo)) +
                      QStringLiteral("|%' and TalleDefault<>'' order by idarticulo"));
}

CodigosConBlancos LeeCodigosConBlancos() {
    CodigosConBlancos r;
    for (const QString& c : LeeCodigos(QStringLiteral(
             "select idarticulo from v_ma_articulos where idarticulo like ' %' order by idarticulo"))) {
        const QString clave = Trim(c).toUpper();
        if (!r.contains(clave)) r.insert(clave, c);  // in code order: the first stored form
    }
    return r;
}

QString CodigoGuardado(const QString& codigoFormateado, const CodigosConBlancos& conBlancos) {
    const auto it = conBlancos.constFind(Trim(codigoFormateado).toUpper());
    if (it == conBlancos.constEnd() || codigoFormateado.startsWith(QLatin1Char(' '))) return codigoFormateado;
    return ExisteArticulo(codigoFormateado) ? codigoFormateado : it.value();
}

int AnchoRubro() {
    RecordsetPtr rs;
    int ancho = 0;
    try {
        gDB().AbrirRecordset(QStringLiteral("select IDRUBRO from V_MA_ARTICULOS with(nolock) where 1 = 0"), rs,
                             ado::adOpenForwardOnly, ado::adLockReadOnly);
        if (rs && rs->State() != ado::adStateClosed) ancho = static_cast<int>(rs->Fields(0).DefinedSize());
    } catch (const Fallo&) {
        ancho = 0;
    }
    if (rs) gDB().CierraRecordset(rs);
    return ancho;
}

bool RubroCabe(const FrmEMRecodifica& frm) {
    if (!frm.CargaPorPrefijo) return true;
    const int ancho = AnchoRubro();
    return ancho <= 0 || LibUtil().AlineaTexto(frm.TxtPrefijoNvo, 4).size() <= ancho;
}

QString RutaLogRecodificacion() {
    const QString fecha = TextoFechaCorta(QDateTime::currentDateTime());
    return LibUtil().AgregaBarra(CarpetaAplicacion()) + QStringLiteral("ErrCod") + fecha.left(2) +
           QStringLiteral(".txt");
}

void FrmEMRecodifica::PideDetener(bool cerrando) {
    if (cerrando) cerrando_ = true;
    detener_ = true;
}

int FrmEMRecodifica::ResumenCorrida::Correctos() const {
    int n = 0;
    for (const ResultadoCodigo& r : codigos) n += r.error || r.omitido ? 0 : 1;
    return n;
}

int FrmEMRecodifica::ResumenCorrida::Errores() const {
    int n = 0;
    for (const ResultadoCodigo& r : codigos) n += r.error ? 1 : 0;
    return n;
}

int FrmEMRecodifica::ResumenCorrida::Omitidos() const {
    int n = 0;
    for (const ResultadoCodigo& r : codigos) n += r.omitido ? 1 : 0;
    return n;
}

void FrmEMRecodifica::ReponePendientes() {
    Grilla& g = MSFlexGrid1;
    if (resumen_.pendientes.isEmpty()) return;
    g.SetRows(static_cast<int>(resumen_.pendientes.size()) + 2);
    for (int i = 0; i < resumen_.pendientes.size(); ++i)
        for (int j = 0; j < resumen_.pendientes[i].size() && j < g.Cols(); ++j)
            g.SetTextMatrix(i + 1, j, resumen_.pendientes[i][j]);
    if (Vista) Vista->Actualiza();
}

namespace {

// What the opening of a code's transaction found.
struct Apertura {
    bool abierta = false;  // the transaction is open: the rest may be sent
    bool existe = true;    // the old code is still in the master
    QString rubro;         // its rubro
    QString error;         // why it did not open
};

const QString kCrLf = QStringLiteral("\r\n");
const QString kSinTransaccion = QStringLiteral("No se pudo abrir la transacción del código: no se envió nada.");

// Sends the plan's first statement (the transaction's opening) with a read
// that confirms it opened and finds the old code in the master. Nothing
// else of the plan runs unless this says so. A request that fails as a
// whole raises, for the run's error handling.
Apertura AbreCodigo(const Plan& plan, const QString& O, bool leeMaestro) {
    Apertura a;
    Conexion& cn = gDB().Cnn();
    const QString lectura =
        leeMaestro ? QStringLiteral("select @@TRANCOUNT as Nivel, count(*) as Filas, max(IDRUBRO) as Rubro "
                                    "from V_MA_ARTICULOS where IDARTICULO = '") +
                         TextoSql::Comillas(FormatoGuardado(O, 25)) + QStringLiteral("'")
                   : QStringLiteral("select @@TRANCOUNT as Nivel");
    RecordsetPtr rs = cn.Execute(plan.Sentencias[0] + kCrLf + lectura, nullptr, -1);
    if (cn.Errors().Count() > 0) a.error = PrimerError();
    if (rs && rs->State() != ado::adStateClosed && !rs->Eof()) {
        a.abierta = LibUtil().ValorCampo(rs->Value(QStringLiteral("Nivel"))).toInt() > 0;
        if (leeMaestro) {
            a.existe = LibUtil().ValorCampo(rs->Value(QStringLiteral("Filas"))).toInt() > 0;
            a.rubro = Trim(LibUtil().ValorCampo(rs->Value(QStringLiteral("Rubro"))).toString());
        }
        rs->Close();
    }
    if (!a.error.isEmpty()) a.abierta = false;
    if (!a.abierta && a.error.isEmpty()) a.error = kSinTransaccion;
    return a;
}

// Ends the open transaction without keeping anything; what the server says
// is not needed (the engine may have ended it already).
void DeshaceCodigo() {
    try {
        gDB().Cnn().Execute(QStringLiteral("ROLLBACK TRANSACTION"), nullptr, -1);
    } catch (const Fallo&) {
    }
}

// Commits, with the triggers switched back on inside the transaction, and
// confirms it: empty when it committed, else the server's reason.
QString ConfirmaCodigo(const Plan& plan) {
    Conexion& cn = gDB().Cnn();
    QString texto;
    if (plan.Tipo == TipoPlan::Estadisticas)
        texto = plan.Sentencias[static_cast<size_t>(plan.Cantidad - 1)];
    else
        texto = kHabilitaArticulos + kCrLf + kHabilitaStock + kCrLf + QStringLiteral(" COMMIT TRANSACTION");
    texto += kCrLf + QStringLiteral("select @@TRANCOUNT as Nivel");
    try {
        RecordsetPtr rs = cn.Execute(texto, nullptr, -1);
        QString error = cn.Errors().Count() > 0 ? PrimerError() : QString();
        int nivel = 1;
        if (rs && rs->State() != ado::adStateClosed && !rs->Eof()) {
            nivel = LibUtil().ValorCampo(rs->Value(QStringLiteral("Nivel"))).toInt();
            rs->Close();
        }
        if (error.isEmpty() && nivel != 0) error = QStringLiteral("La transacción del código no se confirmó.");
        return error;
    } catch (const Fallo& f) {
        return cn.Errors().Count() > 0 ? PrimerError() : f.Descripcion();
    }
}

// Disk full: the next codes would fail the same way.
bool DiscoLleno() {
    const Errores& e = gDB().Cnn().Errors();
    for (int k = 0; k < e.Count(); ++k)
        if (e.Item(k).NativeError == 1105 || e.Item(k).NativeError == 9002) return true;
    return false;
}

}  // namespace

void FrmEMRecodifica::ProcesoPrincipal() {
    Grilla& g = MSFlexGrid1;
    resumen_ = ResumenCorrida();
    struct EnCorrida {
        FrmEMRecodifica& f;
        explicit EnCorrida(FrmEMRecodifica& frm) : f(frm) {
            f.corriendo_ = true;
        }
        ~EnCorrida() {
            f.corriendo_ = false;
            f.detener_ = false;
            f.cerrando_ = false;
        }
    } enCorrida(*this);
    Dll_Display& cartel = ElCartel();
    Guardia guardia(LibUtil().DialogoDe(kRutina));
    guardia.Antes([&](const Fallo&) {
        cartel.CartelCerrar();
        return Guardia::Decision::Dialogo;
    });

    // Abandoned: the triggers back on, every failure ignored, no witness.
    auto abandona = [&] {
        Guardia sinFallos(nullptr);
        sinFallos.Antes([](const Fallo&) { return Guardia::Decision::Seguir; });
        Conexion& cn = gDB().Cnn();
        sinFallos.Ejecuta({
            [&] { DeshaceCodigo(); },
            [&] { cn.Execute(kHabilitaArticulos, nullptr, -1); },
            [&] { PrimerError(); },
            [&] { cn.Execute(kHabilitaStock, nullptr, -1); },
            [&] { PrimerError(); },
        });
    };
    // A run that cannot start says why and leaves everything as it was.
    auto noInicia = [&](const QString& motivo) {
        resumen_.noIniciada = motivo;
        ElOperador().Mensaje(motivo, vbOKOnly + vbExclamation, QStringLiteral("Aviso al operador"));
    };

    // One run per database: the lock lives as long as this routine.
    BloqueoCorrida bloqueo;
    if (!bloqueo.Toma()) return noInicia(bloqueo.Motivo());
    resumen_.disparadoresReactivados = ReactivaDisparadores();

    QString rutaLog;
    bool talles = false;
    bool cambiaRubro = true;
    CodigosConBlancos conBlancos;
    bool errores = false;
    bool cancelado = false;
    DiarioDeshacer diario;
    QString sinArchivo;
    if (!guardia.Ejecuta({
            [&] { rutaLog = RutaLogRecodificacion(); },
            [&] { talles = UsaTalles(); },
            [&] { conBlancos = LeeCodigosConBlancos(); },
            [&] {
                cambiaRubro = RubroCabe(*this);
                if (!cambiaRubro)
                    ElOperador().Mensaje(QStringLiteral("El prefijo nuevo \"") + Trim(TxtPrefijoNvo) +
                                             QStringLiteral("\" no cabe en el rubro de los artículos: se recodificarán "
                                                            "sin cambiarles el rubro."),
                                         vbOKOnly + vbExclamation, QStringLiteral("Aviso al operador"));
            },
            [&] {
                // Without its undo list a run could not be undone: it does not start.
                const QString ruta = RutaDeshacer(QDateTime::currentDateTime());
                QString error;
                if (!diario.Crea(ruta, error))
                    sinArchivo = QStringLiteral("No se puede crear la lista para deshacer la corrida (") + ruta +
                                 QStringLiteral("): ") + error +
                                 QStringLiteral(". Sin ella la recodificación no podría deshacerse: no se inicia.");
            },
            [&] {
                if (sinArchivo.isEmpty()) cartel.CartelInicio(QStringLiteral("Recodificacion de Articulos"), true);
            },
            [&] {
                if (sinArchivo.isEmpty()) GenTmp(3);
            },
            [&] {
                if (!sinArchivo.isEmpty()) return;
                QString r = rutaLog;
                GenTmp(1, QString(), QString(), r);
                if (EstadoCanalLog().numero == 0) {
                    diario.Termina();
                    sinArchivo = QStringLiteral("No se puede crear el log de errores de la corrida (") + rutaLog +
                                 QStringLiteral("). Sin él los códigos que fallen no quedarían registrados: no se "
                                                "inicia.");
                }
            },
        }))
        return abandona();
    if (!sinArchivo.isEmpty()) {
        cartel.CartelCerrar();
        return noInicia(sinArchivo);
    }

    const int ultima = g.Rows() - 1;
    Plan plan;
    QString columnas;  // the master's columns for copies, read once
    // Set when the run cannot go on (a commit that failed, a full disk, an
    // undo line that could not be written): the rows left stay pending.
    QString detiene;

    // One code: its transaction opened and confirmed, its plan, then the
    // commit (confirmed) or the rollback. True to go on with the run.
    auto pasoCodigo = [&](int i, const QString& O, const QString& N) -> bool {
        bool fallo = false;
        ResultadoCodigo res;
        res.fila = i;
        res.viejo = O;
        res.nuevo = N;
        Conexion& cn = gDB().Cnn();
        Apertura apertura;
        QString confirmacion;
        const bool estadisticas = ChkEstadisticas;
        auto registra = [&](const QString& descripcion, bool conLote) {
            errores = fallo = true;
            res.descripcion = descripcion;
            const bool fusion = plan.Tipo == TipoPlan::Fusion;
            if (plan.Tipo == TipoPlan::Estadisticas)
                GenTmp(2, O + QStringLiteral(", ") + descripcion + QStringLiteral(" ((MARCA 1))"));
            else
                GenTmp(2, O + (fusion ? QStringLiteral(" ,") : QStringLiteral(", ")) + descripcion +
                              (fusion ? QStringLiteral(" ((MARCA 2))") : QStringLiteral(" ((MARCA 3))")));
            if (conLote && plan.Tipo != TipoPlan::Estadisticas) GenTmp(2, plan.Lote());
        };
        if (!guardia.Ejecuta({
                [&] {
                    LblCodigo = QStringLiteral("Recodificando ") + Trim(N) +
                                QStringLiteral(" Espere por favor... (") + QString::number(i) +
                                QStringLiteral(" de ") + QString::number(ultima) + QStringLiteral(")");
                    if (Vista) Vista->Progreso(i, ultima);
                },
                [&] {
                    plan.Reinicia();
                    EligePlan(plan, O, N, Opciones(*this, cambiaRubro), &columnas);
                    res.tipo = plan.Tipo;
                },
            }))
            return false;
        if (plan.Cantidad == 0) return true;  // the plan could not be built: nothing sent

        if (NoFusionar && plan.Tipo == TipoPlan::Fusion) {
            registra(QStringLiteral("El código nuevo ya es otro artículo: al deshacer no se fusiona."), false);
        } else {
            // A failed opening that the operator ignores leaves the code failed, untouched.
            if (!guardia.Paso([&] {
                    apertura = Apertura();
                    apertura = AbreCodigo(plan, O, !estadisticas);
                }))
                return false;
            if (!apertura.abierta && apertura.error.isEmpty())
                apertura.error = cn.Errors().Count() > 0 ? PrimerError() : kSinTransaccion;
            if (!apertura.error.isEmpty()) {
                registra(apertura.error, false);
                DeshaceCodigo();
            } else if (!apertura.existe) {
                DeshaceCodigo();
                res.omitido = true;
                res.descripcion = QStringLiteral("ya no existe en el maestro de artículos (lo recodificó una fila "
                                                 "anterior de la lista)");
            } else {
                if (CargaPorPrefijo && cambiaRubro && plan.Tipo != TipoPlan::Estadisticas &&
                    plan.Tipo != TipoPlan::Fusion &&
                    !Texto::Iguales(apertura.rubro, Trim(LibUtil().AlineaTexto(TxtPrefijoNvo, 4))))
                    res.rubroAnterior = apertura.rubro;
                const QString cuerpo = plan.Lote(1, estadisticas ? plan.Cantidad - 1 : plan.Cantidad);
                if (!guardia.Ejecuta({
                        [&] { cn.Execute(cuerpo, nullptr, -1); },
                        [&] {
                            if (cn.Errors().Count() == 0) return;
                            if (DiscoLleno()) detiene = QStringLiteral("la base de datos no tiene espacio: ") + PrimerError();
                            registra(PrimerError(), true);
                        },
                        [&] {
                            if (fallo) {
                                DeshaceCodigo();
                                return;
                            }
                            // Its undo line on disk before it commits: a code that could
                            // not be undone is not committed.
                            QString error;
                            if (!diario.Agrega(res, error)) {
                                DeshaceCodigo();
                                resumen_.fallosArchivos << diario.Ruta() + QStringLiteral(": ") + error;
                                registra(QStringLiteral("No se pudo escribir la lista para deshacer: ") + error, false);
                                detiene = QStringLiteral("no se pudo escribir la lista para deshacer (") + error +
                                          QStringLiteral(")");
                                return;
                            }
                            confirmacion = ConfirmaCodigo(plan);
                            if (confirmacion.isEmpty()) return;
                            // Not committed: the code is untouched, and the next
                            // ones would fail the same way.
                            DeshaceCodigo();
                            if (!diario.QuitaUltimo(error))
                                resumen_.fallosArchivos << diario.Ruta() + QStringLiteral(": ") + error;
                            registra(confirmacion, true);
                            detiene = QStringLiteral("la confirmación de ") + Texto::RTrim(O) +
                                      QStringLiteral(" falló: ") + confirmacion;
                        },
                        [&] {
                            if (fallo && !estadisticas) cn.Execute(kHabilitaArticulos, nullptr, -1);
                        },
                        [&] {
                            if (fallo && !estadisticas) cn.Execute(kHabilitaStock, nullptr, -1);
                        },
                    }))
                    return false;
            }
        }
        res.error = fallo;
        resumen_.codigos << res;
        if (Vista) Vista->Recodificado(res);
        return true;
    };

    // A stop asked for (the sign's cancel button, PideDetener) is honoured
    // between codes: the rows from `pendiente` on are left for a later run.
    auto pedido = [&] { return cancelado || detener_.load() || !detiene.isEmpty(); };
    int pendiente = 0;
    for (int i = 1; i <= ultima && pendiente == 0; ++i) {
        Fila f;
        auto muestra = [&] {
            cartel.CartelMostrar(cancelado, QString::number(i) + QStringLiteral(" ") + g.TextMatrix(i, 0),
                                 g.TextMatrix(i, 1), g.TextMatrix(i, 2));
        };
        if (!guardia.Ejecuta({
                [&] { f = LeeFila(g, i); },
                muestra,
                [&] { CodigosDeFila(g, i, talles, conBlancos, f); },
            }))
            return abandona();
        if (pedido()) {
            pendiente = i;
            break;
        }
        for (qsizetype k = 0; k < f.codigos.size(); ++k) {
            if (!pasoCodigo(i, f.codigos[k], f.N)) return abandona();
            // A row stopped among its size variants stays: its remaining codes are read again.
            if (k + 1 < f.codigos.size() && pedido()) {
                pendiente = i;
                break;
            }
        }
        if (pendiente != 0) break;
        if (!guardia.Paso(muestra)) return abandona();
        if (i < ultima && pedido()) pendiente = i + 1;
    }
    if (pendiente != 0) {
        resumen_.detenida = true;
        resumen_.motivoDetencion = detiene;
        for (int i = pendiente; i <= ultima; ++i) {
            QStringList celdas;
            for (int j = 0; j < g.Cols(); ++j) celdas << g.TextMatrix(i, j);
            if (!Trim(celdas.value(Grilla::IdArticulo)).isEmpty() || !Trim(celdas.value(Grilla::ArticuloNuevo)).isEmpty()) {
                resumen_.pendientes << celdas;
                resumen_.filasPendientes << i;
            }
        }
        // The witness covers what was done: the grid keeps the processed rows and an empty last one.
        g.SetRows(pendiente + 1);
        for (int j = 0; j < g.Cols(); ++j) g.SetTextMatrix(pendiente, j, QString());
        if (g.Row >= g.Rows()) g.Row = g.Rows() - 1;
        if (g.TopRow >= g.Rows()) g.TopRow = 1;
    }
    {
        QString error;
        resumen_.archivoDeshacer = diario.Termina(&error);
        if (!error.isEmpty())
            resumen_.fallosArchivos << diario.Ruta() + QStringLiteral(": ") + error +
                                           QStringLiteral(" (los códigos quedaron anotados en ") +
                                           DiarioDeshacer::RutaDiario(diario.Ruta()) +
                                           QStringLiteral(": la lista se completa al abrir el programa otra vez)");
    }
    resumen_.noReversibles = diario.Lista().noReversibles;
    if (!resumen_.pendientes.isEmpty()) {
        const QString ruta = RutaPendientes(QDateTime::currentDateTime());
        if (EscribePendientes(ruta, resumen_.pendientes))
            resumen_.archivoPendientes = ruta;
        else
            resumen_.fallosArchivos << ruta;
    }
    if (!detiene.isEmpty())
        ElOperador().Mensaje(QStringLiteral("La recodificación se detuvo: ") +
                                 (detiene.endsWith(QLatin1Char('.')) ? detiene.chopped(1) : detiene) +
                                 QStringLiteral(". ") +
                                 QString::number(resumen_.pendientes.size()) +
                                 QStringLiteral(" filas quedan pendientes") +
                                 (resumen_.archivoPendientes.isEmpty()
                                      ? QString()
                                      : QStringLiteral(" en ") + resumen_.archivoPendientes) +
                                 QStringLiteral("."),
                             vbOKOnly + vbCritical, QStringLiteral("Atencion"));
    const bool preguntas = !cerrando_;

    int respuesta = vbNo;
    bool sinGuardar = false;
    if (!guardia.Ejecuta({
            [&] { cartel.CartelCerrar(); },
            [&] {
                try {
                    AgregaTestigo(*this);
                } catch (const Fallo& f) {
                    resumen_.fallosArchivos << RutaTestigo();
                    throw;
                }
            },
            [&] {
                if (!resumen_.fallosArchivos.isEmpty())
                    ElOperador().Mensaje(QStringLiteral("No se pudieron escribir estos archivos de la corrida:") +
                                             ArchivoTexto::CRLF + resumen_.fallosArchivos.join(ArchivoTexto::CRLF),
                                         vbOKOnly + vbCritical, QStringLiteral("Atencion"));
            },
            [&] {
                if (!preguntas) return;
                // A stopped run says so, and what it left.
                const QString inicio =
                    resumen_.detenida
                        ? QStringLiteral("Proceso DETENIDO: ") + QString::number(resumen_.pendientes.size()) +
                              QStringLiteral(" filas quedaron pendientes para otra corrida.")
                        : QStringLiteral("Proceso FINALIZADO.");
                respuesta = ElOperador().Mensaje(
                    inicio + QStringLiteral(" Es recomendable imprimir un testigo de la recodificación "
                                            "realizada, ¿Desea Imprimirlo?"),
                    vbYesNo + vbQuestion, QStringLiteral("Aviso al operador"));
            },
            [&] {
                if (respuesta != vbYes) return;
                Lib_Dialogo& d = Dialogo();
                d.AsignaTitulo(QStringLiteral("Guardar el testigo de la recodificación"));
                d.AsignaExtension(QStringLiteral(".htm"));
                d.AsignaFiltro(QStringLiteral("Páginas Web (*.htm)|*.htm|"));
                d.AsignaOpcion(true);
                d.MuestraGuardar();
                sinGuardar = d.FueCancelado();
            },
        }))
        return abandona();
    if (sinGuardar) return;
    if (!guardia.Ejecuta({
            [&] {
                if (respuesta == vbYes) {
                    try {
                        GeneraTestigoHtml(*this, Dialogo().NombreArchivo());
                    } catch (const Fallo&) {
                        resumen_.fallosArchivos << Dialogo().NombreArchivo();
                        throw;
                    }
                }
            },
            [&] {
                if (respuesta == vbYes) AbrePagina(Dialogo().NombreArchivo(), true);
            },
            [&] {
                if (!errores || !preguntas) return;
                if (ElOperador().Mensaje(QStringLiteral("Atencion, Se produjeron errores durante la "
                                                        "recodificacion, desea ver el archivo generado?"),
                                         vbYesNo + vbQuestion, QStringLiteral("Atencion")) != vbYes)
                    return;
                GenTmp(3);
                GenTmp(4);
            },
            [&] { GenTmp(3); },
        }))
        return abandona();
}

void FrmEMRecodifica::VistaPrevia(
    const std::function<void(int, const QString&, const QString&, const Plan&)>& cada) {
    const Grilla& g = MSFlexGrid1;
    const bool talles = UsaTalles();
    const CodigosConBlancos conBlancos = LeeCodigosConBlancos();
    const OpcionesPlan op = Opciones(*this, RubroCabe(*this));
    Plan plan;
    // Nothing is sent, so the probe sees the master as it was before the
    // list: the codes earlier pairs would create (true) or remove (false)
    // decide instead, by the server's comparison (trailing blanks and case
    // ignored).
    QHash<QString, bool> existe;
    QString columnas;
    for (int i = 1; i < g.Rows(); ++i) {
        Fila f = LeeFila(g, i);
        CodigosDeFila(g, i, talles, conBlancos, f);
        for (const QString& O : f.codigos) {
            EligePlan(plan, O, f.N, op, &columnas);
            const QString claveN = TextoSql::ClaveServidor(FormatoGuardado(f.N, 25));
            const QString claveO = TextoSql::ClaveServidor(FormatoGuardado(O, 25));
            const auto nuevo = existe.constFind(claveN);
            if (nuevo != existe.constEnd()) {
                // A new code copied earlier: the run merges into it.
                if (plan.Tipo == TipoPlan::Copia && *nuevo) ArmaPlan(plan, O, f.N, op, true, QString());
                // An existing code recoded earlier: gone from the master, the run copies.
                if (plan.Tipo == TipoPlan::Fusion && !*nuevo) {
                    if (columnas.isEmpty()) columnas = ColumnasDeCopia();
                    ArmaPlan(plan, O, f.N, op, false, columnas);
                }
            }
            if (plan.Tipo == TipoPlan::Copia || plan.Tipo == TipoPlan::Fusion) {
                // A copy creates the new code only from an old code still in the master.
                if (plan.Tipo == TipoPlan::Fusion || existe.value(claveO, true)) existe.insert(claveN, true);
                existe.insert(claveO, false);
            }
            cada(i, O, f.N, plan);
        }
    }
}
