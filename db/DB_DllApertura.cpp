// Opening and recovering the session's connection.
#include "db/DB_Dll.h"

#include "platform/DialogoAcceso.h"
#include "db/platform/Ado.h"
#include "platform/lib/Lib_Dialogo.h"
#include "platform/ArchivoTexto.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "platform/sesion/Sesion.h"

using namespace Texto;

namespace {

const QString kProveedorOracle = QStringLiteral("OraOLEDB.Oracle.1");

QString CadenaServidor(const DB_Dll& s) {
    if (Contiene(s.gServidor, QStringLiteral("#")))
        return QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") + s.gDBName + QStringLiteral(";User Id=") +
               s.gUsuario + QStringLiteral(";Password=") + s.gUserPassWord + QStringLiteral(";");
    return QStringLiteral("PROVIDER=") + s.pSQLOLEDB() + QStringLiteral(";") + QStringLiteral("Server=") + s.gServidor +
           QStringLiteral(";") + QStringLiteral("Database =") + s.gDBName + QStringLiteral(";") + QStringLiteral("UId=") +
           s.gUsuario + QStringLiteral(";") + QStringLiteral("Pwd=") + s.gUserPassWord + QStringLiteral(";") +
           s.gExtended;
}

}  // namespace

// The explanation of a failed opening, from the first error entry.
QString MensajeErrorConexion(const ErrorProveedor& e) {
    const QString CR = QStringLiteral("\r");
    const QString LB = ArchivoTexto::CRLF;
    return QStringLiteral(" Estado de Sql: ") + e.SQLState + CR + QStringLiteral("Numero de Error: ") +
           QString::number(e.Number) + CR + QStringLiteral("Descripcion: ") + e.Description + CR +
           QStringLiteral("Codigo Nativo: ") + QString::number(e.NativeError) + CR + LB +
           QStringLiteral("Nombre de Proceso: ") + NombrePrograma() + CR + LB + LB +
           QStringLiteral("1. Verifique el Usuario, contraseña y base de datos") + LB +
           QStringLiteral("2. Verifique el nombre del servidor, quizas necesite agregarle el nombre de la "
                          "instancia, por ejemplo : ") +
           gDB().gServidor + QStringLiteral("\\ORBASRV") + LB +
           QStringLiteral("3. Verifique si el inicio de sesion para el usuario ") + gDB().gUsuario +
           QStringLiteral(" existe") + LB + LB + LB + QStringLiteral(" - Desea Intentarlo Nuevamente??? ");
}

void DB_Dll::OpenServerADODB(bool PideParametrosSQL, int32_t lCursor, const QString& ConnString, bool ValidaAdmin,
                             bool MuestraError) {
    bool marca = false;  // close-and-retry, once per call
    bool dejar = false;  // leave the operation altogether

    // Asks for the connection data through the access dialog; false when cancelled.
    auto pideDatos = [&]() {
        DialogoAcceso* d = ElDialogoAcceso();
        if (!d) {
            gOpenFlag = false;
            return false;
        }
        d->Carga();
        d->Llena({gDBName, gServidor, gUsuarioActual, gClaveUsuario, 0});
        d->MuestraModal();
        if (d->Aceptado()) {
            gOpenFlag = true;
            const DatosAcceso a = d->Datos();
            gDBName = a.baseDatos;
            gServidor = a.servidor;
            gUsuario = a.usuario;
            gUserPassWord = a.clave;
            if (a.plataforma != 0) {
                gProveedor = kProveedorOracle;
                if (!Contiene(gServidor, QStringLiteral("#"))) gServidor += QStringLiteral("#");
            } else {
                gProveedor = pSQLOLEDB();
            }
        } else {
            gOpenFlag = false;
        }
        d->Descarga();
        return gOpenFlag;
    };
    auto cierra = [&] {
        try {
            Cnn().Close();
        } catch (...) {
            (void)FalloActual();
        }
    };

    Guardia g(nullptr);
    g.Antes([&](const Fallo& f) {
        Errores& errores = Cnn().Errors();
        if (!MuestraError) {
            if (f.Numero() == ado::adErrObjectOpen && !marca) {
                marca = true;
                cierra();
                return Guardia::Decision::Reintentar;
            }
            gOpenFlag = false;
            return Guardia::Decision::Salir;
        }
        if (errores.Count() > 0) {
            const int r = ElOperador().Mensaje(MensajeErrorConexion(errores.Item(0)), vbCritical + vbYesNo,
                                               QStringLiteral(" Error de Conexion a Base de Datos"));
            if (r != vbYes) {
                gOpenFlag = false;
                return Guardia::Decision::Salir;
            }
            errores.Clear();
            if (DialogoAcceso* d = ElDialogoAcceso()) d->Oculta();
            if (!pideDatos()) return Guardia::Decision::Salir;
            gConnString = CadenaServidor(*this);
            return Guardia::Decision::Reintentar;
        }
        if (f.Numero() == ado::adErrObjectOpen && !marca) {
            marca = true;
            cierra();
            return Guardia::Decision::Reintentar;
        }
        ElOperador().Mensaje(f.Descripcion(), vbOKOnly, QString());
        return Guardia::Decision::Salir;
    });

    g.Ejecuta({
        [&] { gOpenFlag = true; },
        [&] {
            if (gProveedor.isEmpty()) gProveedor = QStringLiteral("SQLOLEDB");
        },
        [&] { gConnString = Trim(ConnString).isEmpty() ? CadenaServidor(*this) : ConnString; },
        [&] {
            if (!PideParametrosSQL) return;
            if (!pideDatos()) {
                dejar = true;
                return;
            }
            gConnString = CadenaServidor(*this);
        },
        [&] {
            if (dejar) return;
            Cnn().SetCursorLocation(lCursor);
            // Entries an earlier statement left must not explain this opening.
            Cnn().Errors().Clear();
            Cnn().Open(gConnString, QString(), QString(), -1);
        },
        [&] {
            if (dejar) return;
            if (!ValidaAdmin) {
                gEsAdmin = true;
                dejar = true;
                return;
            }
            if (Trim(gDBName).isEmpty()) dejar = true;
        },
        [&] {
            if (!dejar) Cnn().SetDefaultDatabase(gDBName);
        },
        [&] {
            if (dejar) return;
            if (!gDB().ExisteTablaDB(QStringLiteral("TA_USUARIOS"))) {
                dejar = true;
                return;
            }
            if (!MuestraError) {
                gEsAdmin = true;
                return;
            }
            QVariant tipo = 8;
            const QVariant admin = gDB().DatosTabla(QStringLiteral("ta_usuarios"), gUsuarioActual,
                                                    QStringLiteral("Administrador"), QStringLiteral("nombre"), &tipo,
                                                    QString(), true, false);
            gEsAdmin = Val(admin.toString()) == 1;
        },
    });
    // An opening that failed without entries (no driver, for one) leaves
    // the connection closed: callers must not go on as if it were open.
    if (Cnn().State() == ado::adStateClosed) gOpenFlag = false;
}

void DB_Dll::ReintentaConectar() {
    Guardia g([this](const Fallo& f) { return TratamientoErrores(f, {}, QStringLiteral("ReintentaConectar")); });
    g.Antes([&](const Fallo& f) {
        if (f.Numero() == ado::adErrObjectClosed) return Guardia::Decision::Seguir;
        gOpenFlag = false;
        if (f.Numero() == ado::E_FAIL_PROVEEDOR) return Guardia::Decision::Salir;
        return Guardia::Decision::Dialogo;
    });
    g.Ejecuta({
        [&] { gOpenFlag = false; },
        [&] { Cnn().SetCommandTimeout(90); },
        [&] { Cnn().Close(); },
        [&] { Cnn().Open(Cnn().ConnectionString(), gDB().gUsuario, gDB().gUserPassWord, -1); },
        [&] { gOpenFlag = true; },
    });
}

void DB_Dll::OpenLocalADODB(const QString& ConnString, const QString& CadenaID, const QString& CadenaPWD) {
    // Asks for the database file; false when the user cancelled.
    auto pideArchivo = [&] {
        if (!CmdDlg) CmdDlg = std::make_shared<Lib_Dialogo>();
        CmdDlg->AsignaTitulo(QStringLiteral("Buscar Base de Datos"));
        CmdDlg->AsignaFiltro(QStringLiteral("Base de Datos de Microsoft Access |*.MDB"));
        CmdDlg->MuestraAbrir();
        if (CmdDlg->FueCancelado()) return false;
        gDBName = CmdDlg->NombreArchivo();
        return true;
    };
    auto muestra = [](const Fallo& f) {
        ElOperador().Mensaje(QString::number(f.Numero()) + QStringLiteral("  ") + f.Descripcion(), vbCritical,
                             QString());
    };
    QString fragmento;
    bool claveGuardadaProbada = false;
    for (;;) {
        try {
            if (Trim(gDBName).isEmpty() && !pideArchivo()) return;
            QString cs = !ConnString.isEmpty()
                             ? ConnString
                             : QStringLiteral("PROVIDER=") + gProveedor + QStringLiteral(";") +
                                   QStringLiteral("Data Source =") + gDBName + QStringLiteral(";") + CadenaID +
                                   QStringLiteral("=") + gUsuario + QStringLiteral(";") + CadenaPWD +
                                   QStringLiteral("=") + gUserPassWord + QStringLiteral(";") + gExtended;
            cs += fragmento;
            Cnn().Open(cs, QString(), QString(), -1);
            gConnString = cs;
            return;
        } catch (...) {
            const Fallo f = FalloActual();
            const Errores& e = Cnn().Errors();
            if (e.Count() == 0) {
                muestra(f);
                return;
            }
            const QString estado = e.Item(0).SQLState;
            if (estado == QLatin1String("3024") || estado == QLatin1String("3044") || estado == QLatin1String("3051")) {
                if (!pideArchivo()) return;
                continue;
            }
            if (estado == QLatin1String("3031")) {
                // The stored password is tried once: refused again, the
                // operator is asked like anybody else.
                if (gIgnoraPassWord.toBool() && !claveGuardadaProbada) {
                    claveGuardadaProbada = true;
                    fragmento = QStringLiteral("Jet OLEDB:Database Password=") + gUserPassWord + QStringLiteral(";");
                } else {
                    const auto clave =
                        ElOperador().Entrada(QStringLiteral("ingrese el password:"), QStringLiteral("Password Access"));
                    if (!clave) return;  // the user gives up
                    fragmento = QStringLiteral(" Jet OLEDB:Database Password=") + *clave + QStringLiteral(";");
                }
                continue;
            }
            muestra(f);
            return;
        }
    }
}
