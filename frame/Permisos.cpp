#include "frame/Permisos.h"

#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "frame/Configuracion.h"
#include "frame/ModGlobal.h"
#include "platform/lib/Lib_Entorno.h"
#include "platform/lib/Lib_Util.h"
#include "platform/lib/TratamientoErrores.h"
#include "platform/Aplicacion.h"
#include "platform/Fallo.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "platform/sesion/Sesion.h"

#include <QDateTime>
#include <QHash>

using namespace Texto;

namespace {

bool gRegistrandoIngreso = false;  // between the access row's insertion and the reading of its ID

QString Comillas(const QString& v) { return QString(v).replace(QLatin1Char('\''), QStringLiteral("''")); }

QString Ahora() { return FormatoFecha(QDateTime::currentDateTime(), FechaHoraCorta()); }

const QString kMenuPrincipal = QStringLiteral("TQ400XR");

}  // namespace

QString FamiliaPrograma(const QString& ejecutable) {
    // Variants of the suite's sales, order-entry, spreadsheet, price, article,
    // fiscal and accumulation programs, under the program each belongs to.
    static const QHash<QString, QString> familias = {
        {QStringLiteral("VENTASMOSTRADOR"), QStringLiteral("VENTAS")},
        {QStringLiteral("VENTASPOS"), QStringLiteral("VENTAS")},
        {QStringLiteral("PEDIDOSMOVIL"), QStringLiteral("PEDIDOS")},
        {QStringLiteral("PLANILLAEXPRESS"), QStringLiteral("PLANILLA")},
        {QStringLiteral("LISTAPRECIOS"), QStringLiteral("PRECIOS")},
        {QStringLiteral("ARTICULOSWEB"), QStringLiteral("ARTICULOS")},
        {QStringLiteral("FISCALHASAR"), QStringLiteral("FISCAL")},
        {QStringLiteral("FISCALEPSON"), QStringLiteral("FISCAL")},
        {QStringLiteral("ACUMULADOR"), QStringLiteral("ACUMULA")},
    };
    return familias.value(UCase(Trim(ejecutable)), ejecutable);
}

bool SinTarea(const QString& ejecutable) {
    static const QStringList lista = {
        QStringLiteral("FISCALCIERRE"),  QStringLiteral("FISCALREPORTE"), QStringLiteral("FISCALZ"),
        QStringLiteral("FISCALAUDITA"),  QStringLiteral("TIMERLIQ"),      QStringLiteral("INTERFAZDATOS"),
        QStringLiteral("INTERFAZWEB"),   QStringLiteral("INTERFAZBANCO"), QStringLiteral("CONSULTAMAYOR"),
        QStringLiteral("STOCKREPORTE"),  QStringLiteral("MAPAS"),
    };
    return lista.contains(Trim(ejecutable), Qt::CaseInsensitive);
}

bool EsRespaldo(const QString& ejecutable) { return Iguales(Trim(ejecutable), QStringLiteral("RESPALDO")); }

void VerificaPermisos(const QString& Proceso) {
    const QString ejecutable = NombrePrograma();
    if (EsRespaldo(ejecutable)) return;
    DB_Dll& db = gDB();
    QString proceso = Proceso.isEmpty() ? ejecutable : Proceso;
    QString tarea;
    IgnoraFallo([&] {
        if (gUsuarioActual.isEmpty()) gUsuarioActual = db.gUsuario;
    });
    IgnoraFallo([&] { proceso = FamiliaPrograma(proceso); });
    if (!SinTarea(proceso)) {
        RecordsetPtr rs;
        IgnoraFallo([&] {
            QString sql = QStringLiteral("SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , TA_MENU.Nombre ") +
                          QStringLiteral(" FROM TA_TAREAS  with(nolock) INNER JOIN TA_MENU ON TA_TAREAS.TAREA = "
                                         "TA_MENU.Clave ") +
                          QStringLiteral(" WHERE (TA_TAREAS.USUARIO = '") + Comillas(gUsuarioActual) +
                          QStringLiteral(" ') AND (TA_MENU.Proceso LIKE '%") + Comillas(proceso) +
                          QStringLiteral("%')");
            db.AbrirRecordset(sql, rs, ado::adOpenForwardOnly, ado::adLockReadOnly);
        });
        IgnoraFallo([&] {
            if (rs && rs->State() != ado::adStateClosed && !rs->Bof()) {
                tarea = LibUtil().ValorCampo(rs->Value(QStringLiteral("Nombre"))).toString();
            } else if (Iguales(ejecutable, kMenuPrincipal)) {
                tarea = QStringLiteral("Menu Principal");
            } else if (Iguales(db.gUsuario, db.gDBName) ||
                       Iguales(db.gUsuario, QStringLiteral("SUPERVISOR KORVANE MC"))) {
                tarea = ejecutable;
            }
        });
        IgnoraFallo([&] {
            if (rs) db.CierraRecordset(rs);
        });
    }
    if (Iguales(ejecutable, kMenuPrincipal)) return;

    bool insertado = false;
    struct Registrando {
        Registrando() { gRegistrandoIngreso = true; }
        ~Registrando() { gRegistrandoIngreso = false; }
    } registrando;
    IgnoraFallo([&] {
        const Lib_Entorno& entorno = LibEntorno();
        QString maquina = UCase(Trim(entorno.NombrePC()));
        QString usuario = UCase(Trim(gUsuarioActual));
        QString formulario = UCase(Trim(proceso));
        QString nombreTarea = UCase(Trim(tarea));
        QString ingreso = Ahora();
        QString nombreUsuario = gUsuarioActual;
        const QString texto = QStringLiteral("'");
        AgregaCampoValor(QStringLiteral("Maquina"), maquina, texto, true);
        AgregaCampoValor(QStringLiteral("Usuario"), usuario, texto, false);
        AgregaCampoValor(QStringLiteral("Formulario"), formulario, texto, false);
        AgregaCampoValor(QStringLiteral("Tarea"), nombreTarea, texto, false);
        AgregaCampoValor(QStringLiteral("Ingreso"), ingreso, texto, false);
        AgregaCampoValor(QStringLiteral("NombreUsuario"), nombreUsuario, texto, false);
        QString sentencia = QStringLiteral(" INSERT INTO Control_Acceso ");
        CompletaInsert(sentencia, gCamposValores, true);
        insertado = !GActualizarDatoScript({sentencia}, false, false, true).HayError;
    });
    // The row just inserted, not any row of the table: the identity this
    // connection generated last (the commit inserts nothing).
    IgnoraFallo([&] {
        if (!insertado) return;
        RecordsetPtr rs;
        db.AbrirRecordset(QStringLiteral("SELECT @@IDENTITY AS ID"), rs, ado::adOpenForwardOnly,
                          ado::adLockReadOnly);
        if (rs && rs->State() != ado::adStateClosed && !rs->Bof())
            gIdAcceso = static_cast<long>(LibUtil().ValorNumerico(
                LibUtil().ValorCampo(rs->Value(QStringLiteral("ID"))).toString()));
        if (rs) db.CierraRecordset(rs);
    });
}

bool IngresoRegistrado() { return gIdAcceso != 0 || gRegistrandoIngreso; }

void RegistraAccion(const QString& TipoComprobante, const QString& IdComprobante, QString& IdComplemento, bool Alta,
                    bool Modificacion, bool, const QString& Descripcion, const QString& Cuenta, bool EsError) {
    if (IdComplemento.isEmpty()) IdComplemento = QStringLiteral("0");
    const Lib_Util& u = LibUtil();
    const QString texto = QStringLiteral("'");
    // Each value on its own: a failed one is left empty.
    QString tc, comprobante, complemento, accion, fecha, usuario, pc, descripcion, proceso, lote, cuenta;
    IgnoraFallo([&] { tc = u.AlineaTexto(Trim(TipoComprobante), 4); });
    IgnoraFallo([&] { comprobante = IdComprobante; });
    IgnoraFallo([&] { complemento = IdComplemento; });
    IgnoraFallo([&] {
        accion = EsError ? QStringLiteral("ER")
                         : (Alta ? QStringLiteral("A") : (Modificacion ? QStringLiteral("M") : QStringLiteral("B")));
    });
    IgnoraFallo([&] { fecha = FormatoFecha(FechaServidor(), QStringLiteral("dd/mm/yyyy hh:nn:ss")); });
    IgnoraFallo([&] { usuario = gUsuarioActual; });
    IgnoraFallo([&] { pc = LibEntorno().NombrePC(); });
    IgnoraFallo([&] { descripcion = Trim(u.TextoSQL(Descripcion, 255)); });
    IgnoraFallo([&] { proceso = u.TextoSQL(Trim(NombrePrograma()) + QStringLiteral(" ") + gParametroAdicional, 255); });
    IgnoraFallo([&] { lote = Trim(u.TextoSQL(Trim(gProcesoLote), 25)); });
    IgnoraFallo([&] { cuenta = Trim(u.TextoSQL(Trim(Cuenta), 15)); });
    IgnoraFallo([&] {
        AgregaCampoValor(QStringLiteral("TC"), tc, texto, true);
        AgregaCampoValor(QStringLiteral("IdComprobante"), comprobante, texto, false);
        // A number: nothing of the text reaches the statement unquoted.
        AgregaCampoValor(QStringLiteral("IdComplemento"), complemento, QStringLiteral("@"), false);
        AgregaCampoValor(QStringLiteral("Tipo_accion"), accion, texto, false);
        AgregaCampoValor(QStringLiteral("FECHAHORA"), fecha, texto, false);
        AgregaCampoValor(QStringLiteral("Usuario"), usuario, texto, false);
        AgregaCampoValor(QStringLiteral("PC"), pc, texto, false);
        AgregaCampoValor(QStringLiteral("SYSTEMUSER"), descripcion, texto, false);
        AgregaCampoValor(QStringLiteral("Proceso"), proceso, texto, false);
        AgregaCampoValor(QStringLiteral("ProcesoLote"), lote, texto, false);
        AgregaCampoValor(QStringLiteral("Cuenta"), cuenta, texto, false);
        QString sentencia = QStringLiteral(" INSERT INTO V_MV_CPTEACCIONES ");
        CompletaInsert(sentencia, gCamposValores, true);
        gDB().EjecutaConsultaSQL(sentencia);
    });
}

void RegistraEgreso() {
    try {
        QString sql = QStringLiteral("UPDATE CONTROL_ACCESO ") + QStringLiteral(" SET EGRESO = '") + Ahora() +
                      QStringLiteral("'") + QStringLiteral(" WHERE EGRESO IS NULL AND ") + QStringLiteral(" ID = ") +
                      QString::number(gIdAcceso);
        gDB().EjecutaConsultaSQL(sql);
    } catch (...) {
        ElOperador().Mensaje(FalloActual().Descripcion());
    }
}
