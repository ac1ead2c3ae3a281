#include "access/frmAcceso.h"

#include "access/AccesoDirecto.h"
#include "access/LectorBases.h"
#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "frame/Apariencia.h"
#include "platform/lib/Lib_Util.h"
#include "platform/lib/TratamientoErrores.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/Fallo.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "platform/sesion/Sesion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

using namespace Texto;

namespace {

const QString kArchivoBases = QStringLiteral("BASES.TXT");
constexpr int kTeclaRetorno = 13;

[[noreturn]] void NoSeLee(const QString& archivo) {
    throw Fallo(NumeroFallo::PermisoDenegado,
                QStringLiteral("No se puede leer el archivo ") + QDir::toNativeSeparators(archivo));
}

// A field of BASES.TXT: between double quotes when it holds a comma.
QString CampoBases(const QString& valor) {
    return valor.contains(QLatin1Char(',')) ? QLatin1Char('"') + valor + QLatin1Char('"') : valor;
}

// The main session's connection data, put back after registering: the
// connection test and the registration's own opening use the session, and
// whoever showed the dialog goes on with the session it had.
class SesionGuardada {
public:
    explicit SesionGuardada(DB_Dll& db)
        : db_(db),
          proveedor_(db.gProveedor),
          servidor_(db.gServidor),
          base_(db.gDBName),
          usuario_(db.gUsuario),
          clave_(db.gUserPassWord),
          cadena_(db.gConnString),
          abierta_(db.gOpenFlag),
          admin_(db.gEsAdmin),
          conectada_(db.Cnn().State() == ado::adStateOpen),
          cadenaConexion_(db.Cnn().ConnectionString()),
          baseDefecto_(db.Cnn().DefaultDatabase()),
          cursor_(db.Cnn().CursorLocation()) {}

    ~SesionGuardada() {
        db_.gProveedor = proveedor_;
        db_.gServidor = servidor_;
        db_.gDBName = base_;
        db_.gUsuario = usuario_;
        db_.gUserPassWord = clave_;
        db_.gConnString = cadena_;
        db_.gOpenFlag = abierta_;
        db_.gEsAdmin = admin_;
        try {
            Conexion& cn = db_.Cnn();
            const bool abiertaAhora = cn.State() == ado::adStateOpen;
            if (abiertaAhora && conectada_ && cn.ConnectionString() == cadenaConexion_) return;
            if (abiertaAhora) cn.Close();
            if (!conectada_) return;
            cn.SetCursorLocation(cursor_);
            cn.Open(cadenaConexion_, QString(), QString(), -1);
            if (!baseDefecto_.isEmpty()) cn.SetDefaultDatabase(baseDefecto_);
        } catch (...) {
            db_.gOpenFlag = false;
        }
    }

private:
    DB_Dll& db_;
    QString proveedor_, servidor_, base_, usuario_, clave_, cadena_;
    bool abierta_, admin_, conectada_;
    QString cadenaConexion_, baseDefecto_;
    int cursor_;
};

}  // namespace

frmAcceso::frmAcceso() {
    TxtPuerto.Text = QString::number(kPuertoPorDefecto);
    CboPlataformaDB.List = {QStringLiteral("SQL Server"), QStringLiteral("ORACLE")};
    CboPlataformaDB.ListIndex = 0;
}

// ---- boxes -------------------------------------------------------------------------

QString frmAcceso::IndicacionDe(const CajaTexto& caja) const {
    if (&caja == &TxtUserId) return QStringLiteral("Ingrese el usuario");
    if (&caja == &TxtDbName) return QStringLiteral("ingrese el nombre de la base de datos");
    if (&caja == &TxtServidor) return QStringLiteral("ingrese el nombre del servidor e instancia");
    return QString();
}

QString frmAcceso::Valor(const CajaTexto& caja) const {
    return caja.Indicacion && caja.Text == IndicacionDe(caja) ? QString() : caja.Text;
}

void frmAcceso::AsignaTexto(CajaTexto& caja, const QString& texto) {
    if (caja.Text == texto) return;
    caja.Text = texto;
    caja.Indicacion = caja.Indicacion && texto == IndicacionDe(caja);
    caja.SelStart = static_cast<int>(texto.size());
    caja.SelLength = 0;
    if (&caja == &TxtDbName)
        TxtDbName_Change();
    else if (&caja == &TxtServidor)
        TxtServidor_Change();
    else if (&caja == &TxtUserPassword)
        TxtUserPassword_Change();
}

QString frmAcceso::ServidorConPuerto() const {
    const QString servidor = Valor(TxtServidor);
    if (CboPlataformaDB.ListIndex > 0 || Trim(servidor).isEmpty()) return servidor;
    if (servidor.contains(QLatin1Char(':')) || servidor.contains(QLatin1Char(','))) return servidor;
    const int64_t puerto = LibUtil().ValorEntero(Valor(TxtPuerto));
    if (puerto <= 0 || puerto == kPuertoPorDefecto) return servidor;
    return Trim(servidor) + QLatin1Char(':') + QString::number(puerto);
}

void frmAcceso::MensajeInicial(CajaTexto& ObjTxt) {
    const QString indicacion = IndicacionDe(ObjTxt);
    const QString t = Trim(ObjTxt.Text);
    if (!t.isEmpty() && t != indicacion) return;
    AsignaTexto(ObjTxt, indicacion);
    ObjTxt.Indicacion = true;
    ObjTxt.SelStart = 0;
    ObjTxt.SelLength = static_cast<int>(Trim(ObjTxt.Text).size());
    Repinta();
}

// ---- the window ---------------------------------------------------------------------

void frmAcceso::Enfoca(ControlAcceso c) {
    Foco = c;
    if (vista_) vista_->Enfoca(c);
}

void frmAcceso::Oculta() {
    Visible = false;
    if (vista_) vista_->Oculta();
}

void frmAcceso::Repinta() {
    if (vista_) vista_->Repinta();
}

// ---- registered databases -----------------------------------------------------------

void frmAcceso::FijaArchivoBases() { ArchivoBases = LibUtil().AgregaBarra(CarpetaAplicacion()) + kArchivoBases; }

void frmAcceso::llenarlist() {
    Guardia g(TratamientoGlobalDe(QStringLiteral("FormLoad")));
    bool existe = false;
    QString texto;
    g.Ejecuta({
        [&] { FijaArchivoBases(); },
        [&] {
            existe = ExisteArchivo(ArchivoBases);
            lstBases.Clear();
        },
        [&] {
            if (!existe) return;
            const auto leido = ArchivoTexto::Lee(ArchivoBases);
            if (!leido) NoSeLee(ArchivoBases);
            texto = *leido;
        },
        [&] {
            for (const EntradaBase& e : LeeBases(texto))
                if (!Trim(e.Nombre).isEmpty()) lstBases.List.append(e.Nombre);
        },
        [&] {
            if (!lstBases.List.isEmpty()) lstBases.ListIndex = 0;
        },
    });
    Repinta();
}

void frmAcceso::DatosBase(const QString& Nombre) {
    // Whatever the answer, the routine leaves after the dialog.
    Guardia g([](const Fallo& f) {
        TratamientoErroresGlobal(f, std::nullopt, QStringLiteral("DatosBase"));
        return 0;
    });
    g.Paso([&] {
        if (ArchivoBases.isEmpty()) FijaArchivoBases();
        if (!ExisteArchivo(ArchivoBases)) return;
        const auto texto = ArchivoTexto::Lee(ArchivoBases);
        if (!texto) NoSeLee(ArchivoBases);
        const QString buscado = Trim(Nombre);
        for (const EntradaBase& e : LeeBases(*texto)) {
            if (Trim(e.Nombre) != buscado) continue;
            ServidorRegistrado = e.Servidor;
            BaseRegistrada = e.Dbname;
            UsuarioRegistrado = e.Usuario;
            ClaveRegistrada = LibUtil().Desencripta(e.Password);
            return;
        }
    });
}

void frmAcceso::AsignarDatosBase() {
    if (lstBases.ListIndex < 0) return;  // nothing selected: the boxes keep what was typed
    DatosBase(Trim(lstBases.Text()));
    const int dosPuntos = InStr(ServidorRegistrado, QStringLiteral(":"));
    if (dosPuntos > 0) {
        Puerto = static_cast<long>(LibUtil().ValorEntero(Mid(ServidorRegistrado, dosPuntos + 1)));
        if (Puerto <= 0) Puerto = kPuertoPorDefecto;
        ServidorRegistrado = UCase(Trim(Left(ServidorRegistrado, dosPuntos - 1)));
    } else {
        // An entry without a port is on the default one, not on the port
        // of the entry selected before.
        Puerto = kPuertoPorDefecto;
    }
    AsignaTexto(TxtServidor, ServidorRegistrado);
    AsignaTexto(TxtUserId, QString());
    AsignaTexto(TxtUserPassword, QString());
    AsignaTexto(TxtDbName, BaseRegistrada);
    AsignaTexto(TxtPuerto, QString::number(Puerto));
    Repinta();
}

QString frmAcceso::NombreEntrada() const {
    QString servidor = UCase(Trim(Valor(TxtServidor)));
    const int dosPuntos = InStr(servidor, QStringLiteral(":"));
    if (dosPuntos > 0) servidor = Left(servidor, dosPuntos - 1);
    return servidor + QStringLiteral(" / ") + UCase(Trim(Valor(TxtDbName)));
}

void frmAcceso::RegistrarBases() {
    FijaArchivoBases();
    if (!ExisteArchivo(ArchivoBases)) CmdRegistrar_Click();
}

// ---- events -------------------------------------------------------------------------

void frmAcceso::Form_Load() {
    if (vista_) vista_->Centra();
    llenarlist();
    MensajeInicial(TxtUserId);
    MensajeInicial(TxtUserPassword);
    MensajeInicial(TxtDbName);
    MensajeInicial(TxtServidor);
}

void frmAcceso::bcAceptar_Click() {
    const QString nombre = NombreEntrada();
    ServidorRegistrado.clear();
    DatosBase(nombre);
    gUsuarioActual = Valor(TxtUserId);
    gClaveUsuario = Valor(TxtUserPassword);
    if (ServidorRegistrado.isEmpty()) {
        ServidorRegistrado = Valor(TxtServidor);
        BaseRegistrada = Valor(TxtDbName);
        UsuarioRegistrado = Valor(TxtUserId);
        ClaveRegistrada = Valor(TxtUserPassword);
    }
    Aceptar = true;
    RegistrarBases();
    Oculta();
}

void frmAcceso::bcCancelar_Click() {
    Aceptar = false;
    Oculta();
}

void frmAcceso::lstBases_Click() { AsignarDatosBase(); }

void frmAcceso::lstBases_DblClick() {
    AsignarDatosBase();
    bcAceptar_Click();
}

void frmAcceso::lstBases_KeyDown(int, int) { AsignarDatosBase(); }

void frmAcceso::Label8_Click() { AbreDocumento(kSitioWeb, true); }

void frmAcceso::TxtDbName_Change() { MensajeInicial(TxtDbName); }
void frmAcceso::TxtServidor_Change() { MensajeInicial(TxtServidor); }
void frmAcceso::TxtUserPassword_Change() { MensajeInicial(TxtUserPassword); }
void frmAcceso::TxtUserId_GotFocus() { MensajeInicial(TxtUserId); }

void frmAcceso::TxtUserId_KeyPress(int KeyAscii) {
    if (KeyAscii == kTeclaRetorno) Enfoca(ControlAcceso::TxtUserPassword);
}
void frmAcceso::TxtUserPassword_KeyPress(int KeyAscii) {
    if (KeyAscii == kTeclaRetorno) Enfoca(ControlAcceso::TxtDbName);
}
void frmAcceso::TxtDbName_KeyPress(int KeyAscii) {
    if (KeyAscii == kTeclaRetorno) Enfoca(ControlAcceso::TxtServidor);
}
void frmAcceso::TxtServidor_KeyPress(int KeyAscii) {
    if (KeyAscii == kTeclaRetorno) Enfoca(ControlAcceso::bcAceptar);
}

// ---- registering a connection ---------------------------------------------------------

void frmAcceso::CmdRegistrar_Click() {
    SesionGuardada guardada(gDB());
    Registra();
}

void frmAcceso::Registra() {
    const auto inicioFallido = [](const Fallo& f) {
        ElOperador().Mensaje(QStringLiteral("SQL Server start failed.  ") + QStringLiteral("\r") +
                                 QStringLiteral("SQL-DMO error:  ") + QString::number(f.Numero()) +
                                 QStringLiteral(" ") + f.Descripcion(),
                             vbOKOnly, QString());
    };
    const auto salteados = [](Guardia& g) {
        for (int32_t n : {440, 1056, 3704, 20480, static_cast<int32_t>(0x80070420)}) g.Silencia(n);
    };

    DB_Dll& db = gDB();
    bool parar = false;
    bool existe = false;
    QString nombre, servidor, base;

    // Steps 1 to 7; any other failure goes on at the ODBC registration.
    Guardia g(nullptr);
    salteados(g);
    g.Antes([&](const Fallo& f) {
        inicioFallido(f);
        return Guardia::Decision::Salir;
    });
    g.Ejecuta({
        [&] { nombre = NombreEntrada(); },
        [&] {
            ServidorRegistrado.clear();
            DatosBase(nombre);
            if (ServidorRegistrado.isEmpty()) return;
            ElOperador().Mensaje(QStringLiteral("La conexion que intenta registrar ya existe "), vbInformation,
                                 QStringLiteral("Atencion"));
            parar = true;
        },
        [&] {
            if (parar) return;
            Puerto = static_cast<long>(LibUtil().ValorEntero(Valor(TxtPuerto)));
            if (Puerto == 0) Puerto = kPuertoPorDefecto;
        },
        [&] {
            if (parar) return;
            for (CajaTexto* c : {&TxtServidor, &TxtUserId, &TxtUserPassword, &TxtDbName})
                AsignaTexto(*c, Trim(Valor(*c)));
            servidor = Valor(TxtServidor);
            base = Valor(TxtDbName);
        },
        [&] {
            if (parar) return;
            existe = ExisteBaseDeDatos(servidor, UCase(base), UCase(base), UCase(base), QStringLiteral("SQLOLEDB"));
        },
        [&] {
            if (parar || !existe) return;
            AgregaBase(nombre, base, base, base, servidor, ServidorAlternativo, false);
        },
        [&] {
            if (parar || existe) return;
            if (db.Cnn().State() == ado::adStateOpen) db.Cnn().Close();
            db.gServidor = ServidorAlternativo.isEmpty() ? servidor : ServidorAlternativo;
            db.gUsuario = Valor(TxtUserId);
            db.gUserPassWord = Valor(TxtUserPassword);
            db.gDBName = base;
            db.OpenServerADODB(false, 3, QString(), true, true);
            if (db.gOpenFlag) {
                AgregaBase(nombre, base, base, base, servidor, ServidorAlternativo, false);
                return;
            }
            ElOperador().Mensaje(QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR ") + servidor +
                                     QStringLiteral(" VERIFIQUE EL NOMBRE DE USUARIO Y PASSWORD INGRESADO"),
                                 vbInformation, QStringLiteral("AVISO AL OPERADOR"));
            parar = true;
        },
    });
    if (parar) return;

    // Steps 8 and 9; a failure there goes on with the next one.
    Guardia fin(nullptr);
    salteados(fin);
    fin.Antes([&](const Fallo& f) {
        inicioFallido(f);
        return Guardia::Decision::Seguir;
    });
    fin.Ejecuta({
        [&] {
            const QString carpeta = LibUtil().AgregaBarra(CarpetaAplicacion());
            const QString odbc = carpeta + QStringLiteral("ODBC.exe");
            if (!ExisteArchivo(odbc)) return;
            // The database just registered (the session may be on another one).
            ElOperador().EjecutaPrograma(
                odbc, {QStringLiteral("Server=") + servidor + QStringLiteral(";DB=") + base + QStringLiteral(";")},
                false, vbMinimizedNoFocus);
        },
        [&] {
            if (db.Cnn().State() == ado::adStateOpen) db.Cnn().Close();
        },
        [&] { llenarlist(); },
    });
}

bool frmAcceso::ExisteBaseDeDatos(const QString& Servidor, const QString& Dbname, const QString& Usuario,
                                  const QString& Password, const QString& Proveedor) {
    bool resultado = true;
    bool abierta = false;
    QString cadena;
    Conexion& cn = gDB().Cnn();
    Guardia g(nullptr);
    g.Antes([&](const Fallo&) {
        resultado = false;
        return Guardia::Decision::Seguir;
    });
    g.Ejecuta({
        [&] {
            if (cn.State() == ado::adStateOpen) cn.Close();
        },
        [&] {
            cadena = QStringLiteral("PROVIDER=") + Proveedor + QStringLiteral(";") + QStringLiteral("Server=") +
                     (ServidorAlternativo.isEmpty() ? Servidor : ServidorAlternativo) + QStringLiteral(";") +
                     QStringLiteral("Database =") + Dbname + QStringLiteral(";") + QStringLiteral("UId=") + Usuario +
                     QStringLiteral(";") + QStringLiteral("Pwd=") + Password + QStringLiteral(";");
        },
        [&] {
            cn.Open(cadena, QString(), QString(), -1);
            abierta = true;
        },
        [&] {
            if (abierta) cn.Close();
        },
    });
    return resultado;
}

void frmAcceso::AgregaBase(const QString& Nombre, const QString& Dbname, const QString& Usuario,
                           const QString& Password, const QString& Servidor, const QString& Instancia,
                           bool EsOracle) {
    QString campoServidor = Trim(Servidor);
    if (EsOracle) campoServidor += QStringLiteral("#");
    if (!Instancia.isEmpty()) campoServidor += QStringLiteral("/") + Instancia + QStringLiteral(":");

    const QString archivo = LibUtil().AgregaBarra(CarpetaAplicacion()) + kArchivoBases;
    bool terminaEnSalto = true;  // a missing file counts as empty
    if (QFileInfo::exists(archivo)) {
        const auto bytes = ArchivoTexto::LeeBytes(archivo);
        if (!bytes) NoSeLee(archivo);
        const QString texto = ArchivoTexto::Decodifica(*bytes);
        const QString ultima = texto.split(ArchivoTexto::CRLF).last();
        terminaEnSalto = Trim(ultima).isEmpty() || ultima.endsWith(QLatin1Char('\r')) ||
                         ultima.endsWith(QLatin1Char('\n'));
    }
    const QString linea = (terminaEnSalto ? QString() : QStringLiteral("\r")) + CampoBases(Trim(Nombre)) +
                          QStringLiteral(",") + CampoBases(Trim(Dbname)) + QStringLiteral(",") + CampoBases(Trim(Usuario)) +
                          QStringLiteral(",") + CampoBases(Trim(LibUtil().Encripta(Password))) + QStringLiteral(",") +
                          CampoBases(campoServidor) + ArchivoTexto::CRLF;
    if (!ArchivoTexto::Agrega(archivo, linea))
        throw Fallo(NumeroFallo::PermisoDenegado,
                    QStringLiteral("No se puede escribir el archivo ") + QDir::toNativeSeparators(archivo));
}

bool frmAcceso::EjecutarCmdRegDB(const QString& Archivo, QString& ErrDevuelto) {
    const QStringList partes = QProcess::splitCommand(Archivo);
    const int r = partes.isEmpty()
                      ? -1
                      : ElOperador().EjecutaPrograma(partes.first(), partes.mid(1), true, vbMinimizedFocus);
    if (r == -1) {
        ErrDevuelto = QStringLiteral("Error al ejecutar el comando");
        return false;
    }
    return true;
}

// ---- desktop shortcut ---------------------------------------------------------------

QString frmAcceso::TituloAplicacion() {
    // The program's title ("Quenvar"); without one, its executable's name.
    QString t = Trim(QCoreApplication::applicationName());
    if (t.isEmpty()) t = Trim(NombrePrograma());
    if (t.isEmpty()) t = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return t;
}

QString frmAcceso::ArgumentosAccesoDirecto() const {
    return QStringLiteral(" ; @server=") + Valor(TxtServidor) + QStringLiteral("; @dbname=") + Valor(TxtDbName) +
           QStringLiteral("; @usuario=") + Valor(TxtUserId) +
           QStringLiteral("; @Password=; @ParametroAdicional=; orba@ ; @UsuarioLogeado = ; @Caja=;");
}

void frmAcceso::CmdLineaComando_Click() {
    QString escritorio, nombre, archivo;
    bool existe = false;
    bool creado = false;
    Guardia g(nullptr);
    g.Antes([](const Fallo& f) {
        ElOperador().Mensaje(QStringLiteral("Se ha producido un error: ") + f.Descripcion(), vbCritical,
                             QStringLiteral("Error"));
        return Guardia::Decision::Seguir;
    });
    g.Ejecuta({
        [&] { escritorio = AccesoDirecto::CarpetaEscritorio(); },
        [&] {
            nombre = Trim(TituloAplicacion());
            archivo = QDir(escritorio).filePath(nombre + AccesoDirecto::Extension());
        },
        [&] {
            existe = QFileInfo::exists(archivo);
            if (existe)
                ElOperador().Mensaje(QStringLiteral("El acceso directo ya existe."), vbInformation,
                                     QStringLiteral("Acceso Directo"));
        },
        [&] {
            if (existe) return;
            const QString programa = QCoreApplication::applicationFilePath();
            // The application folder it runs on goes along, unless the program
            // finds it by itself: a launcher made from a demo opens that demo.
            QStringList argumentos;
            if (QDir(CarpetaAplicacion()) != QDir(CarpetaPorDefecto(QFileInfo(programa).absolutePath())))
                argumentos << QStringLiteral("--carpeta") << QDir::toNativeSeparators(CarpetaAplicacion());
            argumentos << ArgumentosAccesoDirecto();
            AccesoDirecto::Crea(archivo, nombre, programa, argumentos, AccesoDirecto::IconoDe(programa));
            creado = true;
        },
        [&] {
            // Only a shortcut that was written is announced.
            if (creado)
                ElOperador().Mensaje(QStringLiteral("Acceso directo creado correctamente en el escritorio."),
                                     vbInformation, QStringLiteral("Acceso Directo"));
        },
    });
}
