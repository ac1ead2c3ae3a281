#include "frame/Configuracion.h"

#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "platform/lib/Lib_Util.h"
#include "platform/lib/TratamientoErrores.h"
#include "platform/Fallo.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "platform/sesion/Sesion.h"

#include <cstdlib>

#include <cmath>

using namespace Texto;

namespace {

QString Comillas(const QString& v) { return QString(v).replace(QLatin1Char('\''), QStringLiteral("''")); }


// The statement of a key; "[FECHA HASTA]" and "[FECHA DESDE]" are upper-cased whole.
QString ConsultaClave(const QString& tabla, const QString& clave, const QString* grupo) {
    QString s = QStringLiteral("SELECT VALOR, valoraux FROM ") + tabla + QStringLiteral(" with(nolock)  WHERE CLAVE = '") +
                Comillas(Trim(clave));
    if (grupo && !Iguales(*grupo, QStringLiteral("DATOS")))
        s += QStringLiteral("' AND GRUPO ='") + Comillas(*grupo) + QStringLiteral("'");
    else
        s += QStringLiteral("'");
    const QString t = Trim(clave);
    if (Iguales(t, QStringLiteral("[FECHA HASTA]")) || Iguales(t, QStringLiteral("[FECHA DESDE]"))) s = UCase(s);
    return s;
}

// Reads one key under the frame's error dialog. Cfg leaves on any answer
// but Ignore and returns empty; CfgKV also repeats a step on Retry and
// returns what it had read.
QString LeeClave(DB_Dll& sesion, const QString& tabla, const QString& clave, QString* ValorAux, const QString* grupo,
                 const QString& rutina, bool devuelveLeido) {
    QString valor, aux;
    RecordsetPtr rs;
    QString texto;
    Guardia g([rutina, devuelveLeido](const Fallo& f) {
        const int r = TratamientoErroresGlobal(f, std::nullopt, rutina);
        return !devuelveLeido && r == Guardia::Reintentar ? vbAbort : r;
    });
    const bool completo = g.Ejecuta({
        [&] { texto = ConsultaClave(tabla, clave, grupo); },
        [&] { sesion.AbrirRecordset(texto, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly); },
        [&] {
            if (!rs || rs->State() == ado::adStateClosed || rs->Bof()) {
                valor = QStringLiteral(" ");
                aux.clear();
            } else {
                valor = LibUtil().ValorCampo(rs->Fields(QStringLiteral("Valor")).Value()).toString();
                aux = LibUtil().ValorCampo(rs->Fields(QStringLiteral("ValorAux")).Value()).toString();
            }
        },
        [&] {
            if (rs) sesion.CierraRecordset(rs);
        },
        [&] {
            if (Iguales(clave, QStringLiteral("THEME")) && Trim(valor).isEmpty()) valor = QStringLiteral("1");
        },
    });
    if (!completo) {
        IgnoraFallo([&] {
            if (rs && rs->State() != ado::adStateClosed) rs->Close();
        });
        if (!devuelveLeido) valor.clear(), aux.clear();
    }
    if (ValorAux) *ValorAux = aux;
    return valor;
}

void Graba(DB_Dll& sesion, const QString& tabla, const QString& Clave, const QVariant& Valor, const QString& ValorAux,
           bool PoliticaNegocio, const QString& Grupo, bool Recorta, bool porGrupo, bool Borra, bool auxSiempreRecortado) {
    RecordsetPtr rs;
    QString texto;
    IgnoraFallo([&] {
        texto = QStringLiteral("SELECT * FROM ") + tabla + QStringLiteral(" with(nolock)  WHERE CLAVE = '") + Comillas(Clave) +
                QStringLiteral("'");
        if (porGrupo && !Iguales(Grupo, QStringLiteral("DATOS")))
            texto += QStringLiteral(" AND GRUPO = '") + Comillas(Grupo) + QStringLiteral("'");
    });
    IgnoraFallo([&] { sesion.AbrirRecordset(texto, rs, nullptr, ado::adOpenDynamic, ado::adLockOptimistic); });
    if (!rs || rs->State() == ado::adStateClosed) return;
    IgnoraFallo([&] {
        if (rs->Bof() && rs->Eof()) {
            rs->AddNew();
        } else if (Borra) {
            rs->Delete();
            rs->MoveFirst();  // none left: the writes below fail and are ignored
        } else {
            rs->MoveFirst();
        }
    });
    // Each field on its own: one that cannot be written does not keep the
    // others from being saved.
    const QString valor = Valor.toString();
    IgnoraFallo([&] { rs->Fields(QStringLiteral("Grupo")).SetValue(Grupo); });
    IgnoraFallo([&] { rs->Fields(QStringLiteral("Clave")).SetValue(UCase(Trim(Clave))); });
    IgnoraFallo([&] { rs->Fields(QStringLiteral("Valor")).SetValue(Recorta ? Trim(valor) : valor); });
    IgnoraFallo([&] { rs->Fields(QStringLiteral("PoliticaNegocio")).SetValue(PoliticaNegocio); });
    IgnoraFallo([&] {
        if (!ValorAux.isEmpty())
            rs->Fields(QStringLiteral("valoraux")).SetValue(Recorta || auxSiempreRecortado ? Trim(ValorAux) : ValorAux);
    });
    IgnoraFallo([&] { rs->Update(); });
    IgnoraFallo([&] { sesion.CierraRecordset(rs); });
}

}  // namespace

QString Cfg(const QString& Clave, QString* ValorAux, const QString& Grupo) {
    if (gDB().Cnn().State() == ado::adStateClosed) {
        if (ValorAux) ValorAux->clear();
        return {};
    }
    if (Trim(gTablaConfiguracion).isEmpty()) gTablaConfiguracion = QStringLiteral("TA_CONFIGURACION");
    return LeeClave(gDB(), gTablaConfiguracion, Clave, ValorAux, &Grupo, QStringLiteral("Cfg"), false);
}

QString CfgKV(const QString& Clave, QString* ValorAux) {
    return LeeClave(gDBEstadisticas(), QStringLiteral("TA_CONFIGURACION"), Clave, ValorAux, nullptr,
                    QStringLiteral("CfgKV"), true);
}

void GrabaDfg(const QString& Clave, const QVariant& Valor, const QString& ValorAux, bool PoliticaNegocio,
              const QString& Grupo, bool Recorta, bool Borra) {
    const QString tabla = Trim(gTablaConfiguracion).isEmpty() ? QStringLiteral("TA_CONFIGURACION") : gTablaConfiguracion;
    Graba(gDB(), tabla, Clave, Valor, ValorAux, PoliticaNegocio, Grupo, Recorta, true, Borra, false);
}

void GrabaCfgKV(const QString& Clave, const QVariant& Valor, const QString& ValorAux, bool PoliticaNegocio,
                const QString& Grupo, bool Recorta) {
    Graba(gDBEstadisticas(), QStringLiteral("TA_CONFIGURACION"), Clave, Valor, ValorAux, PoliticaNegocio, Grupo, Recorta,
          false, false, true);
}

namespace {

bool SiSinRecortar(const QString& v) { return Iguales(v, QStringLiteral("SI")); }
bool SiRecortado(const QString& v) { return Iguales(Trim(v), QStringLiteral("SI")); }
bool SalvoNo(const QString& v) { return !Iguales(Trim(v), QStringLiteral("NO")); }
bool NoVacioNiNo(const QString& v) { return !Trim(v).isEmpty() && !Iguales(v, QStringLiteral("NO")); }
int16_t Entero(const QString& v) { return static_cast<int16_t>(std::lround(Val(v))); }

// The suite's sales, order-entry and invoicing programs.
bool EsProgramaDeVentas(const QString& ejecutable) {
    static const char* const kVentas[] = {"KVVENTAS",  "KVFACTURA", "KVPEDIDOS", "KVREMITOS", "KVPRESUP",
                                          "KVMOSTRADOR", "KVCAJA",  "KVPOS",     "KVNOTAS",   "KVPROFORMA"};
    for (const char* n : kVentas)
        if (Iguales(ejecutable, QString::fromLatin1(n))) return true;
    return false;
}

}  // namespace

void CargaConfiguracion(const QString& RutaAplicacion) {
    ConfiguracionSuite& c = gConfiguracion;
    auto lee = [](const char* clave) { return Cfg(QString::fromLatin1(clave), nullptr, QStringLiteral("DATOS")); };
    IgnoraFallo([] { std::srand(static_cast<unsigned>(QDateTime::currentMSecsSinceEpoch())); });
    gTablaConfiguracion = QStringLiteral("ta_configuracion");

    IgnoraFallo([&] { c.MostrarStockenConsultas = SiSinRecortar(lee("MostrarStockenConsultas")); });
    IgnoraFallo([&] { c.TituloClientes = Trim(lee("TituloClientes")); });
    IgnoraFallo([&] { c.TituloProveedores = Trim(lee("TituloProveedores")); });
    IgnoraFallo([&] { c.ArchivoDocumentosTareas = RutaAplicacion + QStringLiteral("KVDOCTareas.kvx"); });
    IgnoraFallo([&] { c.EXIGECLAVECONSULTALIKEARTICULOS = SiSinRecortar(lee("EXIGECLAVECONSULTALIKEARTICULOS")); });
    IgnoraFallo([&] { c.UsaConsultaLike = SiSinRecortar(lee("UsaConsultaLike")); });
    IgnoraFallo([&] { c.CantidadDecimales = lee("CantidadDecimales"); });
    IgnoraFallo([&] { c.SS_CONFIDENCIALIDAD = SiSinRecortar(lee("SS_CONFIDENCIALIDAD")); });
    IgnoraFallo([&] {
        if (!EsProgramaDeVentas(NombrePrograma())) return;
        const QString v = lee("CantidadDecimalesVentas");
        if (Val(v) > 0) c.CantidadDecimales = v;
    });
    IgnoraFallo([&] { c.UsaMultilesMonedas = SiSinRecortar(lee("UsaMultilesMonedas")); });
    IgnoraFallo([&] { c.UsaFacturaProforma = SiSinRecortar(lee("UsaFacturaProforma")); });
    IgnoraFallo([&] { c.USACCOSTO = SiSinRecortar(lee("USACCOSTO")); });
    IgnoraFallo([&] { c.USA_STK_STOCK_UDKG = SiSinRecortar(lee("USA_STK_STOCK_UDKG")); });

    IgnoraFallo([&] {
        RecordsetPtr rs;
        QString q = QStringLiteral("Select * from ta_usuarios  with(nolock)  where Nombre = '") + Comillas(gUsuarioActual) +
                    QStringLiteral("'");
        gDB().AbrirRecordset(q, rs);
        if (rs && rs->State() != ado::adStateClosed && !rs->Bof()) {
            IgnoraFallo([&] { gUnidadNegocio = LibUtil().ValorCampo(rs->Value(QStringLiteral("UNegocio"))).toString(); });
            IgnoraFallo([&] {
                if (c.UsaFacturaProforma) c.verproforma = rs->Value(QStringLiteral("verproforma")).toBool();
            });
            IgnoraFallo([&] {
                c.clasepusa = LibUtil().QuitaCaracteres(
                    Trim(LibUtil().ValorCampo(rs->Value(QStringLiteral("clasepusa"))).toString()), QStringLiteral(","));
            });
        } else {
            gUnidadNegocio.clear();
        }
        if (rs) gDB().CierraRecordset(rs);
    });
    if (Trim(gUnidadNegocio).isEmpty()) gUnidadNegocio = QStringLiteral("   1");

    IgnoraFallo([&] { c.UNIDADDEMEDIDA_M3 = Trim(lee("UNIDADDEMEDIDA_M3")); });
    IgnoraFallo([&] { c.UNIDADDEMEDIDA_BL = Trim(lee("UNIDADDEMEDIDA_BL")); });
    IgnoraFallo([&] { c.UNIDADDEMEDIDA_KG = Trim(lee("UNIDADDEMEDIDA_KG")); });
    IgnoraFallo([&] { c.PERIODO = Entero(lee("PERIODO")); });
    IgnoraFallo([&] { c.RazonSocialPorUneg = SiRecortado(lee("RazonSocialPorUneg")); });
    IgnoraFallo([&] { c.VALIDACODIGOBARRA = SiRecortado(lee("VALIDACODIGOBARRA")); });
    IgnoraFallo([&] {
        const auto v = static_cast<uint32_t>(LibUtil().ValorNumerico(lee("CFondo")));
        gColorFondo = v == 0 ? 0xFFFF00u : v;
    });
    IgnoraFallo([&] { gColorLetra = static_cast<uint32_t>(LibUtil().ValorNumerico(lee("CLetra"))); });
    IgnoraFallo([&] { c.ModuloOrdenDeTrabajo = SalvoNo(lee("ModuloOrdenDeTrabajo")); });
    IgnoraFallo([&] { c.V_ModificaCPrecio = NoVacioNiNo(lee("V_ModificaCPrecio")); });
    IgnoraFallo([&] { c.C_ModificaCPrecio = NoVacioNiNo(lee("C_ModificaCPrecio")); });
    IgnoraFallo([&] { c.MADERERA = NoVacioNiNo(lee("MADERERA")); });
    IgnoraFallo([&] { c.MAD_TIRAS = Trim(lee("MAD_TIRAS")); });
    IgnoraFallo([&] { c.MAD_P2 = Trim(lee("MAD_P2")); });
    IgnoraFallo([&] { c.MAD_ML = Trim(lee("MAD_ML")); });
    IgnoraFallo([&] { c.MAD_M2 = Trim(lee("MAD_M2")); });
    IgnoraFallo([&] { c.MAD_HOJAS = Trim(lee("MAD_HOJAS")); });
    IgnoraFallo([&] { c.MAD_ML_P2 = Trim(lee("MAD_ML_P2")); });
    IgnoraFallo([&] { c.MAD_M2_P2 = Trim(lee("MAD_M2_P2")); });
    IgnoraFallo([&] { c.MAD_ML_M2 = Trim(lee("MAD_ML_M2")); });
    IgnoraFallo([&] { c.CuentaCtroDist = Trim(lee("CuentaCtroDist")); });
    IgnoraFallo([&] { c.MaxDto = LibUtil().ValorNumerico(Trim(lee("MaxDto"))); });
    IgnoraFallo([&] { c.MaxDtoProforma = LibUtil().ValorNumerico(Trim(lee("MaxDtoProforma"))); });
    IgnoraFallo([&] { c.PideClave_StockNeg = NoVacioNiNo(lee("PideClave_StockNeg")); });
    IgnoraFallo([&] { c.PideClave_MarkUpBase = NoVacioNiNo(lee("PideClave_MarkUpBase")); });
    IgnoraFallo([&] { c.PideClave_LimiteCredito = NoVacioNiNo(lee("PideClave_LimiteCredito")); });
    IgnoraFallo([&] { c.SS_BloqueoActivo = SiSinRecortar(lee("SS_BloqueoActivo")); });
    IgnoraFallo([&] { c.UTILIZARFECHADIA = SiSinRecortar(lee("UTILIZARFECHADIA")); });
    IgnoraFallo([&] { c.AsignacionAutomaticaDeLoteING = SiSinRecortar(lee("AsignacionAutomaticaDeLoteING")); });
    IgnoraFallo([&] { c.AsignacionAutomaticaDeLoteINGOP = SiSinRecortar(lee("AsignacionAutomaticaDeLoteINGOP")); });
    IgnoraFallo([&] { c.CONDIVAEMPRESA = Entero(lee("CONDIVAEMPRESA")); });
    IgnoraFallo([&] {
        const DatosEmpresa e = CargaDatosEmpresa(gUnidadNegocio);
        c.RazonSocial = e.RazonSocial;
        c.Cuit = e.Cuit;
        c.InicioActividades = e.InicioActividades;
        c.IngresosBrutos = e.IngresosBrutos;
        c.CondicionIva = e.CondicionIva;
        c.Pdv = e.Pdv;
        c.Domicilio = e.Domicilio;
        const int16_t iva = Entero(e.CondicionIva);
        c.CONDIVAEMPRESA = iva == 0 ? 1 : iva;
    });
    IgnoraFallo([&] {
        c.Top_Default = lee("Top_Default");
        if (Trim(c.Top_Default).isEmpty()) c.Top_Default = QStringLiteral("1000");
    });
}

DatosEmpresa CargaDatosEmpresa(const QString& UnidadNegocio) {
    DatosEmpresa d;
    auto lee = [](const QString& clave) { return Trim(Cfg(clave)); };
    if (!UnidadNegocio.isEmpty()) {
        RecordsetPtr rs;
        const QString unidad = LibUtil().AlineaTexto(UnidadNegocio, 4);
        if (gDB().ExisteEnTabla(QStringLiteral("v_ta_unidadNegocio"), unidad, QStringLiteral("codigo"), &rs)) {
            d.RazonSocial = LibUtil().ValorCampo(rs->Value(QStringLiteral("razon_social"))).toString();
            d.Cuit = LibUtil().ValorCampo(rs->Value(QStringLiteral("Cuit"))).toString();
            if (!Trim(d.Cuit).isEmpty()) {
                const QString u = Trim(UnidadNegocio);
                d.InicioActividades = lee(QStringLiteral("INICIO_ACTIVIDADES_UN_") + u);
                d.IngresosBrutos = lee(QStringLiteral("INGRESOS_BRUTOS_UN_") + u);
                d.CondicionIva = lee(QStringLiteral("CONDICIONIVA_UN_") + u);
                d.Domicilio = lee(QStringLiteral("DOMICILIO_UN_") + u);
            } else {
                d.RazonSocial.clear();
            }
            d.Pdv = Trim(LibUtil().ValorCampo(rs->Value(QStringLiteral("PDV"))).toString());
        }
        if (rs) gDB().CierraRecordset(rs);
    }
    if (Trim(d.RazonSocial).isEmpty()) d.RazonSocial = Cfg(QStringLiteral("NOMBRE"));
    if (Trim(d.Cuit).isEmpty()) d.Cuit = Cfg(QStringLiteral("cuit"));
    if (Trim(d.CondicionIva).isEmpty()) d.CondicionIva = Cfg(QStringLiteral("CONDIVAEMPRESA"));
    if (Trim(d.InicioActividades).isEmpty()) d.InicioActividades = lee(QStringLiteral("INICIOACTIVIDADES"));
    if (Trim(d.IngresosBrutos).isEmpty()) d.IngresosBrutos = lee(QStringLiteral("NROINGRESOSBRUTOS"));
    if (Trim(d.Domicilio).isEmpty())
        d.Domicilio = Cfg(QStringLiteral("CALLE")) + QStringLiteral(" ") + Cfg(QStringLiteral("NUMERO")) +
                      QStringLiteral("  ") + Cfg(QStringLiteral("PISO")) + QStringLiteral(" ") +
                      Cfg(QStringLiteral("Departamento"));
    return d;
}

QDateTime FechaServidor() {
    QDateTime r = QDateTime::currentDateTime();
    RecordsetPtr rs;
    IgnoraFallo([&] {
        QString q = QStringLiteral("select  getDate() as fecha");
        gDB().AbrirRecordset(q, rs);
        if (rs && rs->State() != ado::adStateClosed && !rs->Bof()) {
            const QVariant v = rs->Value(QStringLiteral("fecha"));
            const QDateTime f = v.typeId() == QMetaType::QDateTime ? v.toDateTime()
                                                                     : QDateTime::fromString(v.toString(), Qt::ISODate);
            if (f.isValid())
                r = LeeFecha(FormatoFecha(f, QStringLiteral("dd/mm/yyyy hh:nn:ss")));
            return;
        }
        if (gConfiguracion.UTILIZARFECHADIA) {
            const QDateTime f = LeeFecha(Cfg(QStringLiteral("FECHAOPERHASTA")));
            if (f.isValid()) r = f;
        }
    });
    IgnoraFallo([&] {
        if (rs) gDB().CierraRecordset(rs);
    });
    return r;
}
