#include "frame/Configuracion.h"

#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "frame/lib/Lib_Util.h"
#include "frame/lib/TratamientoErrores.h"
#include "frame/platform/Fallo.h"
#include "frame/platform/Guardia.h"
#include "frame/platform/Operador.h"
#include "frame/platform/Texto.h"
#include "frame/sesion/Sesion.h"

#include <cstdlib>

#include <cmath>

using namespace Texto;

namespace {

QString Comillas(const QString& v) { return QString(v).replace(QLatin1Char('\''), QStringLiteral("''")); }

template <class F>
void Ignora(F&& paso) {
    try {
        paso();
    } catch (...) {
        (void)FalloActual();
    }
}

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
        Ignora([&] {
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
    Ignora([&] {
        texto = QStringLiteral("SELECT * FROM ") + tabla + QStringLiteral(" with(nolock)  WHERE CLAVE = '") + Comillas(Clave) +
                QStringLiteral("'");
        if (porGrupo && !Iguales(Grupo, QStringLiteral("DATOS")))
            texto += QStringLiteral(" AND GRUPO = '") + Comillas(Grupo) + QStringLiteral("'");
    });
    Ignora([&] { sesion.AbrirRecordset(texto, rs, nullptr, ado::adOpenDynamic, ado::adLockOptimistic); });
    if (!rs || rs->State() == ado::adStateClosed) return;
    Ignora([&] {
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
    Ignora([&] { rs->Fields(QStringLiteral("Grupo")).SetValue(Grupo); });
    Ignora([&] { rs->Fields(QStringLiteral("Clave")).SetValue(UCase(Trim(Clave))); });
    Ignora([&] { rs->Fields(QStringLiteral("Valor")).SetValue(Recorta ? Trim(valor) : valor); });
    Ignora([&] { rs->Fields(QStringLiteral("PoliticaNegocio")).SetValue(PoliticaNegocio); });
    Ignora([&] {
        if (!ValorAux.isEmpty())
            rs->Fields(QStringLiteral("valoraux")).SetValue(Recorta || auxSiempreRecortado ? Trim(ValorAux) : ValorAux);
    });
    Ignora([&] { rs->Update(); });
    Ignora([&] { sesion.CierraRecordset(rs); });
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
    Ignora([] { std::srand(static_cast<unsigned>(QDateTime::currentMSecsSinceEpoch())); });
    gTablaConfiguracion = QStringLiteral("ta_configuracion");

    Ignora([&] { c.MostrarStockenConsultas = SiSinRecortar(lee("MostrarStockenConsultas")); });
    Ignora([&] { c.TituloClientes = Trim(lee("TituloClientes")); });
    Ignora([&] { c.TituloProveedores = Trim(lee("TituloProveedores")); });
    Ignora([&] { c.ArchivoDocumentosTareas = RutaAplicacion + QStringLiteral("KVDOCTareas.kvx"); });
    Ignora([&] { c.EXIGECLAVECONSULTALIKEARTICULOS = SiSinRecortar(lee("EXIGECLAVECONSULTALIKEARTICULOS")); });
    Ignora([&] { c.UsaConsultaLike = SiSinRecortar(lee("UsaConsultaLike")); });
    Ignora([&] { c.CantidadDecimales = lee("CantidadDecimales"); });
    Ignora([&] { c.SS_CONFIDENCIALIDAD = SiSinRecortar(lee("SS_CONFIDENCIALIDAD")); });
    Ignora([&] {
        if (!EsProgramaDeVentas(NombrePrograma())) return;
        const QString v = lee("CantidadDecimalesVentas");
        if (Val(v) > 0) c.CantidadDecimales = v;
    });
    Ignora([&] { c.UsaMultilesMonedas = SiSinRecortar(lee("UsaMultilesMonedas")); });
    Ignora([&] { c.UsaFacturaProforma = SiSinRecortar(lee("UsaFacturaProforma")); });
    Ignora([&] { c.USACCOSTO = SiSinRecortar(lee("USACCOSTO")); });
    Ignora([&] { c.USA_STK_STOCK_UDKG = SiSinRecortar(lee("USA_STK_STOCK_UDKG")); });

    Ignora([&] {
        RecordsetPtr rs;
        QString q = QStringLiteral("Select * from ta_usuarios  with(nolock)  where Nombre = '") + Comillas(gUsuarioActual) +
                    QStringLiteral("'");
        gDB().AbrirRecordset(q, rs);
        if (rs && rs->State() != ado::adStateClosed && !rs->Bof()) {
            Ignora([&] { gUnidadNegocio = LibUtil().ValorCampo(rs->Value(QStringLiteral("UNegocio"))).toString(); });
            Ignora([&] {
                if (c.UsaFacturaProforma) c.verproforma = rs->Value(QStringLiteral("verproforma")).toBool();
            });
            Ignora([&] {
                c.clasepusa = LibUtil().QuitaCaracteres(
                    Trim(LibUtil().ValorCampo(rs->Value(QStringLiteral("clasepusa"))).toString()), QStringLiteral(","));
            });
        } else {
            gUnidadNegocio.clear();
        }
        if (rs) gDB().CierraRecordset(rs);
    });
    if (Trim(gUnidadNegocio).isEmpty()) gUnidadNegocio = QStringLiteral("   1");

    Ignora([&] { c.UNIDADDEMEDIDA_M3 = Trim(lee("UNIDADDEMEDIDA_M3")); });
    Ignora([&] { c.UNIDADDEMEDIDA_BL = Trim(lee("UNIDADDEMEDIDA_BL")); });
    Ignora([&] { c.UNIDADDEMEDIDA_KG = Trim(lee("UNIDADDEMEDIDA_KG")); });
    Ignora([&] { c.PERIODO = Entero(lee("PERIODO")); });
    Ignora([&] { c.RazonSocialPorUneg = SiRecortado(lee("RazonSocialPorUneg")); });
    Ignora([&] { c.VALIDACODIGOBARRA = SiRecortado(lee("VALIDACODIGOBARRA")); });
    Ignora([&] {
        const auto v = static_cast<uint32_t>(LibUtil().ValorNumerico(lee("CFondo")));
        gColorFondo = v == 0 ? 0xFFFF00u : v;
    });
    Ignora([&] { gColorLetra = static_cast<uint32_t>(LibUtil().ValorNumerico(lee("CLetra"))); });
    Ignora([&] { c.ModuloOrdenDeTrabajo = SalvoNo(lee("ModuloOrdenDeTrabajo")); });
    Ignora([&] { c.V_ModificaCPrecio = NoVacioNiNo(lee("V_ModificaCPrecio")); });
    Ignora([&] { c.C_ModificaCPrecio = NoVacioNiNo(lee("C_ModificaCPrecio")); });
    Ignora([&] { c.MADERERA = NoVacioNiNo(lee("MADERERA")); });
    Ignora([&] { c.MAD_TIRAS = Trim(lee("MAD_TIRAS")); });
    Ignora([&] { c.MAD_P2 = Trim(lee("MAD_P2")); });
    Ignora([&] { c.MAD_ML = Trim(lee("MAD_ML")); });
    Ignora([&] { c.MAD_M2 = Trim(lee("MAD_M2")); });
    Ignora([&] { c.MAD_HOJAS = Trim(lee("MAD_HOJAS")); });
    Ignora([&] { c.MAD_ML_P2 = Trim(lee("MAD_ML_P2")); });
    Ignora([&] { c.MAD_M2_P2 = Trim(lee("MAD_M2_P2")); });
    Ignora([&] { c.MAD_ML_M2 = Trim(lee("MAD_ML_M2")); });
    Ignora([&] { c.CuentaCtroDist = Trim(lee("CuentaCtroDist")); });
    Ignora([&] { c.MaxDto = LibUtil().ValorNumerico(Trim(lee("MaxDto"))); });
    Ignora([&] { c.MaxDtoProforma = LibUtil().ValorNumerico(Trim(lee("MaxDtoProforma"))); });
    Ignora([&] { c.PideClave_StockNeg = NoVacioNiNo(lee("PideClave_StockNeg")); });
    Ignora([&] { c.PideClave_MarkUpBase = NoVacioNiNo(lee("PideClave_MarkUpBase")); });
    Ignora([&] { c.PideClave_LimiteCredito = NoVacioNiNo(lee("PideClave_LimiteCredito")); });
    Ignora([&] { c.SS_BloqueoActivo = SiSinRecortar(lee("SS_BloqueoActivo")); });
    Ignora([&] { c.UTILIZARFECHADIA = SiSinRecortar(lee("UTILIZARFECHADIA")); });
    Ignora([&] { c.AsignacionAutomaticaDeLoteING = SiSinRecortar(lee("AsignacionAutomaticaDeLoteING")); });
    Ignora([&] { c.AsignacionAutomaticaDeLoteINGOP = SiSinRecortar(lee("AsignacionAutomaticaDeLoteINGOP")); });
    Ignora([&] { c.CONDIVAEMPRESA = Entero(lee("CONDIVAEMPRESA")); });
    Ignora([&] {
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
    Ignora([&] {
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
    Ignora([&] {
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
    Ignora([&] {
        if (rs) gDB().CierraRecordset(rs);
    });
    return r;
}
