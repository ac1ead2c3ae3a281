#include "app/Arranque.h"

#include "platform/DialogoAcceso.h"
#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "display/Dll_Display.h"
#include "frame/Configuracion.h"
#include "frame/Permisos.h"
#include "platform/lib/Lib_Aplicacion.h"
#include "platform/lib/Lib_Entorno.h"
#include "platform/lib/Lib_Ini.h"
#include "platform/lib/Lib_Util.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/Fallo.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "platform/sesion/LineaComandos.h"
#include "platform/sesion/Sesion.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/ModConsultas.h"

#include <QFileInfo>

using namespace Texto;

bool ValidaUsuario(const QString& Usuario, const QString& Clave) {
    DB_Dll& db = gDB();
    if (Iguales(Usuario, db.gDBName)) {
        gUsuarioActual = Usuario;
        return true;
    }
    const QString sistemas = Iguales(NombrePrograma(), QStringLiteral("TALMOR")) ? QStringLiteral("'TALMOR'")
                                                                                  : QStringLiteral("'tq400xr','ORBA'");
    QString q = QStringLiteral("SELECT * FROM TA_USUARIOS WHERE NOMBRE = '") +
                QString(Trim(Usuario)).replace(QLatin1Char('\''), QStringLiteral("''")) +
                QStringLiteral("' AND SISTEMA IN (") + sistemas + QStringLiteral(")");
    RecordsetPtr rs;
    db.AbrirRecordset(q, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly);
    bool ok = false;
    if (rs && rs->State() != ado::adStateClosed && !rs->Bof()) {
        gUsuarioActual = Usuario;
        const QString guardada = LibUtil().Desencripta(LibUtil().ValorCampo(rs->Value(QStringLiteral("Password"))).toString());
        ok = Iguales(guardada, Clave);
    }
    if (rs) db.CierraRecordset(rs);
    return ok;
}

void LeeTimeOut() {
    DB_Dll& kv = gDBEstadisticas();
    const QString base = QStringLiteral("KV_ESTADISTICAS");
    gTimeOut = 90;
    IgnoraFallo([&] {
        if (kv.Cnn().State() != ado::adStateClosed) kv.Cnn().Close();
    });
    IgnoraFallo([&] {
        kv.gProveedor = kv.pSQLOLEDB();
        kv.gServidor = gDB().gServidor;
        kv.gDBName = kv.gUsuario = kv.gUserPassWord = base;
        kv.OpenServerADODB(false, 3, QString(), true, false);
    });
    IgnoraFallo([&] {
        if (!kv.gOpenFlag || kv.Cnn().State() == ado::adStateClosed) return;
        kv.Cnn().SetDefaultDatabase(base);
        const double valor = LibUtil().ValorNumerico(CfgKV(QStringLiteral("TimeOut")));
        // A value beyond 16 bits fails the conversion: the default stays.
        if (!(valor >= -32768.0 && valor < 32768.0)) return;
        gTimeOut = static_cast<int16_t>(valor);
        if (gTimeOut == 0)
            GrabaCfgKV(QStringLiteral("TimeOut"), QStringLiteral("90"), QString(), false, QStringLiteral("BaseDeDatos"));
    });
    if (gTimeOut == 0) gTimeOut = 90;
}

QString SeccionIni() {
    const Lib_Entorno& e = LibEntorno();
    QString s = UCase(e.NombrePC()) + QStringLiteral("|") + UCase(e.UsuarioPC());
    if (Trim(s).size() > 50) s = Left(s, 50);
    return s;
}

QString LineaComandosIni() {
    const Lib_Util& u = LibUtil();
    const Lib_Ini& ini = LibIni();
    const QString seccion = gSeccionIni + QStringLiteral("BaseDeDatos");
    const QString barra = QStringLiteral("|");
    const QString servidor = u.QuitaCaracteres(ini.LeeIni(kArchivoIni, seccion, QStringLiteral("Servidor")), barra);
    const QString base = u.QuitaCaracteres(ini.LeeIni(kArchivoIni, seccion, QStringLiteral("DbName")), barra);
    const QString usuario = u.QuitaCaracteres(
        u.Desencripta(ini.LeeIni(kArchivoIni, seccion, QStringLiteral("Usuario"), u.Encripta(kUsuarioIniPorDefecto))),
        barra);
    const QString clave = u.QuitaCaracteres(
        u.Desencripta(
            ini.LeeIni(kArchivoIni, seccion, QStringLiteral("UserPassWord"), u.Encripta(kClaveIniPorDefecto))),
        barra);
    return QStringLiteral("@server=") + servidor + QStringLiteral("; @dbname= ") + base +
           QStringLiteral("; @usuario= ") + usuario + QStringLiteral("; @Password= ") + clave +
           QStringLiteral("; @ParametroAdicional=; @Caja=1;orba@");
}

namespace {

const QString kClaveGuardada = QStringLiteral("* *");

// The lookup engine's connection and definitions file, with its default
// records when the file is missing (found without regard to case).
void PreparaConsultas(const QString& carpeta, const QString& conexion) {
    Lib_ClsCons3& motor = ElMotorConsultas();
    motor.gConnString = conexion;
    motor.gUsarMascarasConsultas = true;
    motor.gRutaMascaraConsultas = carpeta + QStringLiteral("consultas.kvx");
    if (!QFileInfo::exists(ArchivoTexto::BuscaSinMayusculas(carpeta, QStringLiteral("consultas.kvx"))))
        CreaConsultasDefault();
}

// The data the connection is opened with: the command line's, or the
// access dialog's when the user chose another database there.
struct DatosConexion {
    QString servidor;  // server specification
    QString base;
    QString usuario;   // command-line user
};

}  // namespace

void IniciaAplicacion(bool UsaIni, const QString& LineaComando, QString& CadenaConexion, int32_t TipoCursor) {
    Dll_Display& cartel = ElCartel();
    DB_Dll& db = gDB();
    const Lib_Util& u = LibUtil();
    // An invalid argument skips its step; anything else ends start-up quietly.
    Guardia g(nullptr);
    g.Antes([&](const Fallo& f) -> Guardia::Decision {
        if (f.Numero() == NumeroFallo::ArgumentoInvalido) return Guardia::Decision::Seguir;
        cartel.CartelCerrar();
        TerminaProceso(SalidaArranque::Fallo);
    });
    auto pasos = [&](std::initializer_list<std::function<void()>> lista) {
        if (!g.Ejecuta(lista)) {
            cartel.CartelCerrar();
            TerminaProceso(SalidaArranque::Fallo);
        }
    };

    QString carpeta;
    QString linea;
    DatosConexion datos;
    pasos({
        [&] {
            cartel.CartelInicio(QStringLiteral("Conectando Base de Datos"), false);
            bool cancelado = false;
            cartel.CartelMostrar(cancelado, QStringLiteral("Iniciando Aplicacion"), NombrePrograma(),
                                 QStringLiteral("Espere por favor"));
        },
        [&] {
            carpeta = u.AgregaBarra(CarpetaAplicacion());
            gArchivoAyuda = carpeta + QStringLiteral("htmlhelp/orbapremium.chm");
        },
        [&] {
            gColorLetra = 0;
            gColorFondo = 0xFFFFFF;
        },
        [&] { linea = !LineaComando.isEmpty() ? LineaComando : gLineaComandosProceso; },
        [&] { gSeccionIni = SeccionIni(); },
        [&] {
            if (Trim(linea).isEmpty() && UsaIni) linea = LineaComandosIni();
        },
        [&] {
            gFlatToolbars = static_cast<int>(
                u.ValorNumerico(LibIni().LeeIni(kArchivoIni, gSeccionIni, QStringLiteral("FlatToolbars"), QStringLiteral("1"))));
        },
    });

    // Opens the main session with `datos` (the session logs in with the
    // database's own name); the process ends when it does not open.
    auto conecta = [&] {
        pasos({
            [&] {
                db.gUsuario = db.gDBName = db.gUserPassWord = datos.base;
                db.gServidor = LineaComandos::ExtraeServidor(datos.servidor);
            },
            [&] {
                const bool pide = Trim(datos.servidor).isEmpty() || Trim(datos.usuario).isEmpty();
                db.OpenServerADODB(pide, TipoCursor, CadenaConexion, true, true);
            },
            [&] {
                if (!db.gOpenFlag) {
                    cartel.CartelCerrar();
                    TerminaProceso(SalidaArranque::SinConexion);
                }
            },
            [&] { LeeTimeOut(); },
            [&] { db.Cnn().SetCommandTimeout(gTimeOut); },
            [&] { db.Cnn().SetIsolationLevel(ado::adXactReadUncommitted); },
        });
    };

    if (!db.gOpenFlag) {
        LineaComandos::Parametros p;
        pasos({
            [&] { p = LineaComandos::Lee(linea); },
            [&] {
                gParametroAdicional = p.parametroAdicional;
                gMenu = p.menu;
                datos = {p.servidor, p.dbName, p.usuario};
                gUsuarioActual = p.usuarioLogeado;
                if (p.password) gClaveUsuario = Iguales(*p.password, p.dbName) ? kClaveGuardada : *p.password;
                gCaja = p.caja;
            },
            [&] {
                if (Trim(datos.servidor).isEmpty() || !Trim(datos.servidor).startsWith(QLatin1Char('#'))) return;
                datos.servidor = Trim(datos.servidor).mid(1);
                if (CadenaConexion.isEmpty())
                    CadenaConexion = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") + datos.base +
                                     QStringLiteral(";User Id=") + datos.usuario + QStringLiteral(";Password=") +
                                     p.password.value_or(QString()) + QStringLiteral(";");
            },
        });
        conecta();
    }

    // Wrong passwords typed in the access dialog, on whichever database
    // each was tried: the third one ends the process.
    int fallidos = 0;
    auto ingresoFallido = [&] {
        ++fallidos;
        pasos({
            [&] {
                ElOperador().Mensaje(QStringLiteral("Usuario o Clave incorrecta"), vbInformation,
                                     QStringLiteral("Atencion"));
            },
            [&] {
                QString complemento = QStringLiteral("0");
                RegistraAccion(QString(), QString(), complemento, true, false, false,
                               QStringLiteral("Intento de inicio de sesion fallido"), QString(), false);
            },
        });
        if (fallidos >= 3) {
            ElOperador().Mensaje(QStringLiteral("Demasiados intentos para iniciar sesión!") + ArchivoTexto::CRLF +
                                     QStringLiteral("Comuniquese con el administrador de sistemas"),
                                 vbCritical, QStringLiteral("Atencion!"));
            cartel.CartelCerrar();
            TerminaProceso(SalidaArranque::DemasiadosIntentos);
        }
    };
    // True once the session was reopened on the dialog's database: the user
    // and password checked there are the ones typed in the dialog.
    bool delDialogo = false;

    for (;;) {
        bool valido = false;
        pasos({
            [&] {
                if (Trim(db.gDBName).isEmpty()) return;
                gCadenaDSN = QStringLiteral("DSN=") + db.gDBName + QStringLiteral("; UID=") + db.gUsuario +
                             QStringLiteral("; PWD=") + db.gUserPassWord;
                LibAplicacion().AsignaRuta(carpeta);
                db.Cnn().SetDefaultDatabase(db.gDBName);
                PreparaConsultas(carpeta, db.gConnString);
                CargaConfiguracion(carpeta);
            },
            [&] {
                // The stored password stands in only for the command line's.
                if (delDialogo || gClaveUsuario != kClaveGuardada) return;
                RecordsetPtr rs;
                QString sql = QStringLiteral("Select * from ta_usuarios  with(nolock)  where Nombre = '") +
                              QString(gUsuarioActual).replace(QLatin1Char('\''), QStringLiteral("''")) +
                              QStringLiteral("'");
                db.AbrirRecordset(sql, rs, ado::adOpenForwardOnly, ado::adLockReadOnly);
                if (rs && rs->State() != ado::adStateClosed && !rs->Bof())
                    gClaveUsuario = u.Desencripta(u.ValorCampo(rs->Value(QStringLiteral("Password"))).toString());
                if (rs) db.CierraRecordset(rs);
            },
            [&] { valido = ValidaUsuario(gUsuarioActual, gClaveUsuario); },
        });
        if (valido) break;

        if (delDialogo)
            ingresoFallido();
        else
            ElOperador().Mensaje(QStringLiteral("El usuario o clave en la base de datos es incorrecto!") +
                                     ArchivoTexto::CRLF + QStringLiteral("Intentelo nuevamente"),
                                 vbCritical, QStringLiteral("Atencion!"));
        // The login loop: true when the user got in, false when another
        // database was chosen (the session is opened on it and the user
        // checked there).
        bool dentro = false;
        for (;;) {
            bool otraBase = false;
            pasos({
                [&] {
                    DialogoAcceso* d = ElDialogoAcceso();
                    if (!d) {
                        cartel.CartelCerrar();
                        TerminaProceso(SalidaArranque::AccesoCancelado);
                    }
                    d->Carga();
                    d->Llena({db.gDBName, db.gServidor, gUsuarioActual, gClaveUsuario, 0});
                    d->MuestraModal();
                    if (!d->Aceptado()) {
                        cartel.CartelCerrar();
                        TerminaProceso(SalidaArranque::AccesoCancelado);
                    }
                    const DatosAcceso a = d->Datos();
                    gUsuarioActual = a.usuario;
                    gClaveUsuario = a.clave;
                    // Registering a connection from the dialog closes the
                    // session: it is opened again on the dialog's database.
                    otraBase = !Iguales(a.baseDatos, db.gDBName) || !Iguales(a.servidor, db.gServidor) ||
                               db.Cnn().State() == ado::adStateClosed;
                    if (otraBase) datos = {a.servidor, a.baseDatos, datos.usuario};
                },
            });
            if (otraBase) break;
            bool ok = false;
            pasos({[&] { ok = ValidaUsuario(gUsuarioActual, gClaveUsuario); }});
            if (ok) {
                dentro = true;
                break;
            }
            ingresoFallido();
        }
        if (dentro) break;
        // Another database: connect to it and check the user there.
        if (Trim(datos.usuario).isEmpty()) datos.usuario = gUsuarioActual;
        CadenaConexion.clear();
        delDialogo = true;
        conecta();
    }

    pasos({
        [&] { VerificaPermisos(QString()); },
        [&] { cartel.CartelCerrar(); },
    });
}

void FinalizaAplicacion() {
    RegistraEgreso();
    ElCartel().CartelCerrar();
    DescargaDialogoAcceso();
    LiberaSesionPrincipal();
}
