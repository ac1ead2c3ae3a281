#pragma once
// The session globals of the frame and the suite's settings held in memory.
// One set per process; start-up and the configuration load fill them.

#include <QString>

#include <cstdint>
#include <vector>

inline QString gUsuarioActual;        // application user
inline QString gClaveUsuario;         // its password; "* *" = take the stored one
inline QString gSeccionIni;           // per-machine INI section
inline int gFlatToolbars = 1;
inline QString gParametroAdicional;
inline QString gMenu;
inline QString gCaja = QStringLiteral("1");
inline QString gCadenaDSN;
inline int16_t gTimeOut = 90;         // command time-out, seconds
inline uint32_t gColorFondo = 0xFFFFFF;
inline uint32_t gColorLetra = 0;
inline long gIdAcceso = 0;            // this run's access-log row
inline QString gTablaConfiguracion;   // the table Cfg and GrabaDfg use
inline QString gUnidadNegocio = QStringLiteral("   1");
inline QString gArchivoAyuda;         // the application's help file
inline QString gLineaComandosProceso; // the process's own command line, as the program got it

// One column-value pair of a statement being built.
struct CampoValor {
    QString Campo;
    QString Valor;
};
inline std::vector<CampoValor> gCamposValores;

// The suite's settings, each named after its TA_CONFIGURACION key.
struct ConfiguracionSuite {
    bool MostrarStockenConsultas = false;
    bool EXIGECLAVECONSULTALIKEARTICULOS = false;
    bool UsaConsultaLike = false;
    bool SS_CONFIDENCIALIDAD = false;
    bool UsaMultilesMonedas = false;
    bool UsaFacturaProforma = false;
    bool USACCOSTO = false;
    bool USA_STK_STOCK_UDKG = false;
    bool SS_BloqueoActivo = false;
    bool UTILIZARFECHADIA = false;
    bool AsignacionAutomaticaDeLoteING = false;
    bool AsignacionAutomaticaDeLoteINGOP = false;
    bool RazonSocialPorUneg = false;
    bool VALIDACODIGOBARRA = false;
    bool ModuloOrdenDeTrabajo = true;
    bool V_ModificaCPrecio = false;
    bool C_ModificaCPrecio = false;
    bool MADERERA = false;
    bool PideClave_StockNeg = false;
    bool PideClave_MarkUpBase = false;
    bool PideClave_LimiteCredito = false;
    bool verproforma = false;

    QString TituloClientes, TituloProveedores;
    QString UNIDADDEMEDIDA_M3, UNIDADDEMEDIDA_BL, UNIDADDEMEDIDA_KG;
    QString MAD_TIRAS, MAD_P2, MAD_ML, MAD_M2, MAD_HOJAS, MAD_ML_P2, MAD_M2_P2, MAD_ML_M2;
    QString CuentaCtroDist;
    QString CantidadDecimales;
    QString Top_Default = QStringLiteral("1000");
    QString clasepusa;

    int16_t PERIODO = 0;
    int16_t CONDIVAEMPRESA = 1;
    double MaxDto = 0;
    double MaxDtoProforma = 0;

    QString ArchivoDocumentosTareas;  // application folder + "KVDOCTareas.kvx"

    // Company data (CargaDatosEmpresa).
    QString RazonSocial, Cuit, InicioActividades, IngresosBrutos, CondicionIva, Pdv, Domicilio;
};
inline ConfiguracionSuite gConfiguracion;
