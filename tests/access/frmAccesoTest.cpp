#include "access/AccesoDirecto.h"
#include "platform/DialogoAcceso.h"
#include "access/frmAcceso.h"

#include "db/DB_Dll.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/Ado.h"
#include "platform/lib/Lib_Util.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/sesion/Sesion.h"
#include "tests/support/Soporte.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString Cifrado(const QString& s) { return LibUtil().Encripta(s); }

}  // namespace

// The form without a database: BASES.TXT, the boxes and the keys.
class Acceso : public PruebaConCarpeta {
protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        gUsuarioActual.clear();
        gClaveUsuario.clear();
    }
    void TearDown() override {
        LiberaSesiones();
        PruebaConCarpeta::TearDown();
    }
    void EscribeBases(const QString& texto) { ASSERT_TRUE(ArchivoTexto::Escribe(Ruta("BASES.TXT"), texto)); }
    QString Bases() const { return ArchivoTexto::Lee(Ruta("BASES.TXT")).value_or(QStringLiteral("<ninguno>")); }

    frmAcceso f;
};

// The form with the main session opened on a demo database, as start-up opens it.
class AccesoDemo : public Acceso {
protected:
    void SetUp() override {
        Acceso::SetUp();
        OpcionesDemo o;
        o.base = QStringLiteral("PRUEBA");
        o.articulos = 30;
        o.movimientosPorArticulo = 1;
        GeneradorDemo::Genera(o);
        DB_Dll& db = gDB();
        db.gServidor = GeneradorDemo::kServidor;
        db.gDBName = db.gUsuario = db.gUserPassWord = QStringLiteral("PRUEBA");
        db.OpenServerADODB(false, 3, QString(), true, true);
        ASSERT_TRUE(db.gOpenFlag);
        f.Form_Load();
    }
    // Types a connection into the form.
    void Escribe(const QString& servidor, const QString& base, const QString& usuario = {},
                 const QString& clave = {}) {
        f.AsignaTexto(f.TxtServidor, servidor);
        f.AsignaTexto(f.TxtDbName, base);
        f.AsignaTexto(f.TxtUserId, usuario);
        f.AsignaTexto(f.TxtUserPassword, clave);
    }
    static QString LineaPrueba(const QString& base = QStringLiteral("PRUEBA")) {
        return QStringLiteral("(EMBEBIDO) / ") + base + QLatin1Char(',') + base + QLatin1Char(',') + base +
               QLatin1Char(',') + Cifrado(base) + QStringLiteral(",(embebido)\r\n");
    }
    // The main session is open on PRUEBA and answers.
    void SesionIntacta() {
        DB_Dll& db = gDB();
        EXPECT_TRUE(db.gOpenFlag);
        ASSERT_EQ(db.Cnn().State(), ado::adStateOpen);
        EXPECT_EQ(db.gDBName, QStringLiteral("PRUEBA"));
        EXPECT_EQ(db.gUsuario, QStringLiteral("PRUEBA"));
        Recordset rs;
        rs.Open(QStringLiteral("SELECT COUNT(*) FROM TA_USUARIOS"), db.Cnn());
        EXPECT_FALSE(rs.Eof());
    }
};

// ---- the list and the registered values ------------------------------------------------

TEST_F(Acceso, ListaYDatosBaseExactos) {
    EscribeBases(QStringLiteral("SRV01 / EMP1,EMP1,EMP1,") + Cifrado("EMP1") +
                 QStringLiteral(",SRV01:1500\r\n , , , ,\r\nsrv02 / emp2,emp2,emp2,") + Cifrado("emp2") +
                 QStringLiteral(",srv02\r\n"));
    f.Form_Load();
    EXPECT_EQ(f.ArchivoBases, QDir(Carpeta()).filePath("BASES.TXT"));
    EXPECT_EQ(f.lstBases.List, (QStringList{"SRV01 / EMP1", "srv02 / emp2"}));  // blank names left out
    EXPECT_EQ(f.lstBases.ListIndex, 0);

    f.DatosBase(QStringLiteral("  SRV01 / EMP1 "));
    EXPECT_EQ(f.ServidorRegistrado, QStringLiteral("SRV01:1500"));
    EXPECT_EQ(f.BaseRegistrada, QStringLiteral("EMP1"));
    EXPECT_EQ(f.UsuarioRegistrado, QStringLiteral("EMP1"));
    EXPECT_EQ(f.ClaveRegistrada, QStringLiteral("EMP1"));  // deciphered

    // Letter case counts.
    f.ServidorRegistrado.clear();
    f.DatosBase(QStringLiteral("SRV02 / EMP2"));
    EXPECT_TRUE(f.ServidorRegistrado.isEmpty());
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(Acceso, SinArchivoListaVaciaSinFallo) {
    f.lstBases.List = {QStringLiteral("viejo")};
    f.lstBases.ListIndex = 0;
    f.Form_Load();
    EXPECT_TRUE(f.lstBases.List.isEmpty());
    EXPECT_EQ(f.lstBases.ListIndex, -1);
    f.DatosBase(QStringLiteral("SRV01 / EMP1"));
    EXPECT_TRUE(f.ServidorRegistrado.isEmpty());
    // A key in an empty list leaves the typed boxes alone.
    f.AsignaTexto(f.TxtUserId, QStringLiteral("ANA"));
    f.lstBases_KeyDown(40, 0);
    EXPECT_EQ(f.TxtUserId.Text, QStringLiteral("ANA"));
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(Acceso, SeleccionarEntradaSeparaElPuerto) {
    EscribeBases(QStringLiteral("SRV01 / EMP1,EMP1,EMP1,x,srv01 :1500\r\nSRV02 / EMP2,EMP2,EMP2,x,SRV02\r\n"));
    f.Form_Load();
    f.AsignaTexto(f.TxtUserId, QStringLiteral("ANA"));
    f.AsignaTexto(f.TxtUserPassword, QStringLiteral("clave"));
    f.lstBases.ListIndex = 0;
    f.lstBases_Click();
    EXPECT_EQ(f.TxtServidor.Text, QStringLiteral("SRV01"));
    EXPECT_EQ(f.TxtPuerto.Text, QStringLiteral("1500"));
    EXPECT_EQ(f.Puerto, 1500);
    EXPECT_EQ(f.TxtDbName.Text, QStringLiteral("EMP1"));
    EXPECT_EQ(f.TxtUserId.Text, QString());
    EXPECT_EQ(f.TxtUserPassword.Text, QString());
    // The connection goes to that port.
    EXPECT_EQ(f.ServidorConPuerto(), QStringLiteral("SRV01:1500"));

    // An entry without a port is on the default one.
    f.lstBases.ListIndex = 1;
    f.lstBases_KeyDown(40, 0);
    EXPECT_EQ(f.TxtServidor.Text, QStringLiteral("SRV02"));
    EXPECT_EQ(f.TxtPuerto.Text, QStringLiteral("1433"));
    EXPECT_EQ(f.ServidorConPuerto(), QStringLiteral("SRV02"));
    f.CboPlataformaDB.ListIndex = 1;
    f.AsignaTexto(f.TxtPuerto, QStringLiteral("1521"));
    EXPECT_EQ(f.ServidorConPuerto(), QStringLiteral("SRV02"));  // Oracle: no port added
}

// ---- prompts and keys --------------------------------------------------------------------

TEST_F(Acceso, IndicacionesYTeclaRetorno) {
    f.Form_Load();
    EXPECT_EQ(f.TxtUserId.Text, QStringLiteral("Ingrese el usuario"));
    EXPECT_TRUE(f.TxtUserId.Indicacion);
    EXPECT_EQ(f.TxtServidor.Text, QStringLiteral("ingrese el nombre del servidor e instancia"));
    EXPECT_TRUE(f.TxtUserPassword.Indicacion);
    EXPECT_EQ(f.TxtUserPassword.Text, QString());
    EXPECT_EQ(f.TxtPuerto.Text, QStringLiteral("1433"));
    // A box showing its prompt holds no value.
    EXPECT_EQ(f.Valor(f.TxtUserId), QString());
    EXPECT_EQ(f.Valor(f.TxtDbName), QString());

    // Typing leaves the prompt colour; deleting everything (or leaving
    // blanks) puts the prompt back, selected.
    f.AsignaTexto(f.TxtDbName, QStringLiteral("EMP"));
    EXPECT_FALSE(f.TxtDbName.Indicacion);
    EXPECT_EQ(f.Valor(f.TxtDbName), QStringLiteral("EMP"));
    for (const QString& vacio : {QString(), QStringLiteral("   ")}) {
        f.AsignaTexto(f.TxtDbName, QStringLiteral("EMP"));
        f.AsignaTexto(f.TxtDbName, vacio);
        EXPECT_EQ(f.TxtDbName.Text, QStringLiteral("ingrese el nombre de la base de datos"));
        EXPECT_TRUE(f.TxtDbName.Indicacion);
        EXPECT_EQ(f.TxtDbName.SelStart, 0);
        EXPECT_EQ(f.TxtDbName.SelLength, 37);
    }
    // The user box gets its prompt back when it is entered, not while typing.
    f.AsignaTexto(f.TxtUserId, QString());
    EXPECT_EQ(f.TxtUserId.Text, QString());
    f.TxtUserId_GotFocus();
    EXPECT_EQ(f.TxtUserId.Text, QStringLiteral("Ingrese el usuario"));
    EXPECT_EQ(f.TxtUserId.SelLength, 18);

    // Return: user, password, database, server, then the accept button (not pressed).
    f.Visible = true;
    f.TxtUserId_KeyPress(65);
    EXPECT_EQ(f.Foco, ControlAcceso::Ninguno);
    f.TxtUserId_KeyPress(13);
    EXPECT_EQ(f.Foco, ControlAcceso::TxtUserPassword);
    f.TxtUserPassword_KeyPress(13);
    EXPECT_EQ(f.Foco, ControlAcceso::TxtDbName);
    f.TxtDbName_KeyPress(13);
    EXPECT_EQ(f.Foco, ControlAcceso::TxtServidor);
    f.TxtServidor_KeyPress(13);
    EXPECT_EQ(f.Foco, ControlAcceso::bcAceptar);
    EXPECT_TRUE(f.Visible);
    EXPECT_FALSE(f.Aceptar);
}

TEST_F(Acceso, AceptarBuscaLaEntradaYFijaElUsuario) {
    EscribeBases(QStringLiteral("SRV01 / EMP1,EMP1,EMP1,") + Cifrado("EMP1") + QStringLiteral(",SRV01:1500\r\n"));
    f.Form_Load();
    f.AsignaTexto(f.TxtServidor, QStringLiteral(" srv01:1433"));
    f.AsignaTexto(f.TxtDbName, QStringLiteral("emp1 "));
    f.AsignaTexto(f.TxtUserId, QStringLiteral("ANA"));
    f.AsignaTexto(f.TxtUserPassword, QStringLiteral("secreta"));
    f.Visible = true;
    f.bcAceptar_Click();
    // SRV01:1433 with EMP1 is the entry SRV01 / EMP1.
    EXPECT_EQ(f.ServidorRegistrado, QStringLiteral("SRV01:1500"));
    EXPECT_EQ(f.ClaveRegistrada, QStringLiteral("EMP1"));
    EXPECT_EQ(gUsuarioActual, QStringLiteral("ANA"));
    EXPECT_EQ(gClaveUsuario, QStringLiteral("secreta"));
    EXPECT_TRUE(f.Aceptar);
    EXPECT_FALSE(f.Visible);

    // Not registered: the registered values are the typed ones; a prompt is no user.
    f.AsignaTexto(f.TxtDbName, QStringLiteral("EMP9"));
    f.AsignaTexto(f.TxtUserId, QString());
    f.TxtUserId_GotFocus();
    f.bcAceptar_Click();
    EXPECT_EQ(f.ServidorRegistrado, QStringLiteral(" srv01:1433"));
    EXPECT_EQ(f.BaseRegistrada, QStringLiteral("EMP9"));
    EXPECT_EQ(gUsuarioActual, QString());

    f.Visible = true;
    f.bcCancelar_Click();
    EXPECT_FALSE(f.Aceptar);
    EXPECT_FALSE(f.Visible);
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(Acceso, PaginaDelFabricante) {
    f.Label8_Click();
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].tipo, Aviso::Tipo::Documento);
    EXPECT_EQ(op.Transcripcion()[0].texto, frmAcceso::kSitioWeb);
    EXPECT_EQ(op.Transcripcion()[0].botones, 6);
}

// ---- appending to BASES.TXT ------------------------------------------------------------------

TEST_F(Acceso, AgregaBaseEscribeLaLineaExacta) {
    f.AgregaBase(QStringLiteral(" SRV01 / EMP1 "), QStringLiteral("EMP1"), QStringLiteral("EMP1"),
                 QStringLiteral("EMP1"), QStringLiteral(" SRV01:1433 "), QString(), false);
    const QString primera = QStringLiteral("SRV01 / EMP1,EMP1,EMP1,") + Cifrado("EMP1") + QStringLiteral(",SRV01:1433\r\n");
    EXPECT_EQ(Bases(), primera);  // a missing file is created

    // Oracle mark and instance; a value with a comma is quoted so that it reads back.
    f.AgregaBase(QStringLiteral("ORA / A,B"), QStringLiteral("A,B"), QStringLiteral("U"), QStringLiteral("p"),
                 QStringLiteral("ORA"), QStringLiteral("INST"), true);
    const QString segunda = QStringLiteral("\"ORA / A,B\",\"A,B\",U,") + Cifrado("p") + QStringLiteral(",ORA#/INST:\r\n");
    EXPECT_EQ(Bases(), primera + segunda);
    f.DatosBase(QStringLiteral("ORA / A,B"));
    EXPECT_EQ(f.BaseRegistrada, QStringLiteral("A,B"));
    EXPECT_EQ(f.ClaveRegistrada, QStringLiteral("p"));

    // A file without a final line break gets a CR first.
    EscribeBases(QStringLiteral("X / Y,Y,Y,c,X"));
    f.AgregaBase(QStringLiteral("Z / W"), QStringLiteral("W"), QStringLiteral("W"), QStringLiteral("W"),
                 QStringLiteral("Z"), QString(), false);
    EXPECT_EQ(Bases(), QStringLiteral("X / Y,Y,Y,c,X\rZ / W,W,W,") + Cifrado("W") + QStringLiteral(",Z\r\n"));
    f.Form_Load();
    EXPECT_EQ(f.lstBases.List, (QStringList{"X / Y", "Z / W"}));
}

TEST_F(Acceso, EjecutarCmdRegDB) {
    QString error;
    EXPECT_TRUE(f.EjecutarCmdRegDB(QStringLiteral("/opt/reg \"a b\" c"), error));
    EXPECT_TRUE(error.isEmpty());
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto, QStringLiteral("/opt/reg"));
    EXPECT_EQ(op.Transcripcion()[0].argumentos, (QStringList{"a b", "c"}));
    EXPECT_EQ(op.Transcripcion()[0].botones, vbMinimizedFocus);
    op.EstableceCodigoSalida(-1);  // could not be started
    EXPECT_FALSE(f.EjecutarCmdRegDB(QStringLiteral("/opt/no"), error));
    EXPECT_EQ(error, QStringLiteral("Error al ejecutar el comando"));
}

// ---- registering against a real database --------------------------------------------------------

TEST_F(AccesoDemo, ExisteBaseDeDatos) {
    EXPECT_TRUE(f.ExisteBaseDeDatos(GeneradorDemo::kServidor, QStringLiteral("PRUEBA"), QStringLiteral("PRUEBA"),
                                    QStringLiteral("PRUEBA"), QStringLiteral("SQLOLEDB")));
    EXPECT_FALSE(f.ExisteBaseDeDatos(GeneradorDemo::kServidor, QStringLiteral("NOEXISTE"), QStringLiteral("NOEXISTE"),
                                     QStringLiteral("NOEXISTE"), QStringLiteral("SQLOLEDB")));
    // The test leaves the main session's connection closed; nothing asked.
    EXPECT_EQ(gDB().Cnn().State(), ado::adStateClosed);
    EXPECT_FALSE(QFileInfo::exists(GeneradorDemo::ArchivoBase(QStringLiteral("NOEXISTE"))));
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(AccesoDemo, AceptarSinArchivoRegistraPrimero) {
    Escribe(QStringLiteral("(embebido)"), QStringLiteral("PRUEBA"), QStringLiteral("ADMIN"), QStringLiteral("admin"));
    f.Visible = true;
    f.bcAceptar_Click();
    EXPECT_EQ(Bases(), LineaPrueba());
    EXPECT_EQ(f.lstBases.List, (QStringList{"(EMBEBIDO) / PRUEBA"}));
    EXPECT_TRUE(f.Aceptar);
    EXPECT_FALSE(f.Visible);
    EXPECT_EQ(gUsuarioActual, QStringLiteral("ADMIN"));
    EXPECT_EQ(gClaveUsuario, QStringLiteral("admin"));
    // Whoever showed the dialog goes on with its session.
    SesionIntacta();
    EXPECT_TRUE(op.Transcripcion().empty());

    // With the file there, accepting registers nothing more.
    f.bcAceptar_Click();
    EXPECT_EQ(Bases(), LineaPrueba());
}

TEST_F(AccesoDemo, RegistrarPuertoArchivoSinSaltoYOdbc) {
    // ODBC.exe gets the database just registered, not the session's.
    ASSERT_TRUE(ArchivoTexto::Escribe(Ruta("ODBC.exe"), QStringLiteral("x")));
    EscribeBases(QStringLiteral("OTRO / X,X,X,c,OTRO"));
    Escribe(QStringLiteral(" (embebido) "), QStringLiteral("KV_ESTADISTICAS"));
    f.AsignaTexto(f.TxtPuerto, QStringLiteral("abc"));
    f.CmdRegistrar_Click();
    EXPECT_EQ(f.Puerto, 1433);
    EXPECT_EQ(f.TxtServidor.Text, QStringLiteral("(embebido)"));  // trimmed in place
    EXPECT_EQ(Bases(), QStringLiteral("OTRO / X,X,X,c,OTRO\r") + LineaPrueba(QStringLiteral("KV_ESTADISTICAS")));
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    const Aviso& a = op.Transcripcion()[0];
    EXPECT_EQ(a.tipo, Aviso::Tipo::Programa);
    EXPECT_EQ(a.texto, Ruta("ODBC.exe"));
    EXPECT_EQ(a.argumentos, (QStringList{"Server=(embebido);DB=KV_ESTADISTICAS;"}));
    EXPECT_EQ(a.botones, vbMinimizedNoFocus);
    EXPECT_EQ(f.lstBases.List, (QStringList{"OTRO / X", "(EMBEBIDO) / KV_ESTADISTICAS"}));
    SesionIntacta();

    // Port 0 is the default port too.
    QFile::remove(Ruta("BASES.TXT"));
    QFile::remove(Ruta("ODBC.exe"));
    Escribe(QStringLiteral("(embebido)"), QStringLiteral("PRUEBA"));
    f.AsignaTexto(f.TxtPuerto, QStringLiteral("0"));
    f.CmdRegistrar_Click();
    EXPECT_EQ(f.Puerto, 1433);
    EXPECT_EQ(Bases(), LineaPrueba());
}

TEST_F(AccesoDemo, RegistrarUnaEntradaExistenteSoloAvisa) {
    EscribeBases(LineaPrueba());
    Escribe(QStringLiteral("(embebido):1433"), QStringLiteral("prueba"));
    op.Responde(vbOK);
    f.CmdRegistrar_Click();
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto, QStringLiteral("La conexion que intenta registrar ya existe "));
    EXPECT_EQ(op.Transcripcion()[0].titulo, QStringLiteral("Atencion"));
    EXPECT_EQ(op.Transcripcion()[0].botones, vbInformation);
    EXPECT_EQ(Bases(), LineaPrueba());
    SesionIntacta();
}

TEST_F(AccesoDemo, RegistrarUnaBaseInexistente) {
    Escribe(QStringLiteral("(embebido)"), QStringLiteral("NOEXISTE"), QStringLiteral("ADMIN"), QStringLiteral("admin"));
    op.Responde(vbNo);   // the connection error: do not try again
    op.Responde(vbOK);
    f.CmdRegistrar_Click();
    ASSERT_EQ(op.Transcripcion().size(), 2u);
    EXPECT_EQ(op.Transcripcion()[0].titulo, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_EQ(op.Transcripcion()[1].texto,
              QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR (embebido) VERIFIQUE EL NOMBRE DE USUARIO Y PASSWORD "
                             "INGRESADO"));
    EXPECT_EQ(op.Transcripcion()[1].titulo, QStringLiteral("AVISO AL OPERADOR"));
    EXPECT_EQ(op.Transcripcion()[1].botones, vbInformation);
    EXPECT_FALSE(QFileInfo::exists(Ruta("BASES.TXT")));
    SesionIntacta();
}

TEST_F(AccesoDemo, RegistrarSinPoderEscribirAvisaYSigue) {
    ASSERT_TRUE(QDir(Carpeta()).mkdir(QStringLiteral("BASES.TXT")));  // cannot be read nor written
    Escribe(QStringLiteral("(embebido)"), QStringLiteral("PRUEBA"));
    op.Responde(vbOK);
    f.CmdRegistrar_Click();
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    const Aviso& a = op.Transcripcion()[0];
    EXPECT_TRUE(a.texto.startsWith(QStringLiteral("SQL Server start failed.  \rSQL-DMO error:  70 ")))
        << Visible(a.texto);
    EXPECT_EQ(a.botones, vbOKOnly);
    EXPECT_TRUE(f.lstBases.List.isEmpty());
    SesionIntacta();
}

// ---- the desktop shortcut -----------------------------------------------------------------------

class AccesoDirectoTest : public Acceso {
protected:
    void SetUp() override {
        Acceso::SetUp();
        ASSERT_TRUE(casa_.isValid());
        for (const char* v : {"HOME", "XDG_CONFIG_HOME"}) antes_.append(qgetenv(v));
        qputenv("HOME", casa_.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", QDir(casa_.path()).filePath(".config").toLocal8Bit());
        nombreAntes_ = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName(QStringLiteral("Quenvar Prueba"));
    }
    void TearDown() override {
        qputenv("HOME", antes_[0]);
        qputenv("XDG_CONFIG_HOME", antes_[1]);
        QCoreApplication::setApplicationName(nombreAntes_);
        Acceso::TearDown();
    }
    QString Escritorio() const { return QDir(casa_.path()).filePath("Desktop"); }
    QString nombreAntes_;

    QTemporaryDir casa_;
    QList<QByteArray> antes_;
};

TEST_F(AccesoDirectoTest, LanzadorEnElEscritorioYNoDosVeces) {
    f.AsignaTexto(f.TxtServidor, QStringLiteral("SRV01\\INST"));
    f.AsignaTexto(f.TxtDbName, QStringLiteral("EMP1"));
    f.AsignaTexto(f.TxtUserId, QStringLiteral("ANA"));
    f.AsignaTexto(f.TxtUserPassword, QStringLiteral("no va"));
    EXPECT_EQ(f.ArgumentosAccesoDirecto(),
              QStringLiteral(" ; @server=SRV01\\INST; @dbname=EMP1; @usuario=ANA; @Password=; @ParametroAdicional=; "
                             "orba@ ; @UsuarioLogeado = ; @Caja=;"));
    op.Responde(vbOK);
    f.CmdLineaComando_Click();
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto, QStringLiteral("Acceso directo creado correctamente en el escritorio."));
    EXPECT_EQ(op.Transcripcion()[0].titulo, QStringLiteral("Acceso Directo"));
    EXPECT_EQ(op.Transcripcion()[0].botones, vbInformation);

    const QString archivo = QDir(Escritorio()).filePath("Quenvar Prueba.desktop");
    ASSERT_TRUE(QFileInfo::exists(archivo));
    EXPECT_TRUE(QFileInfo(archivo).isExecutable());
    QFile lf(archivo);
    ASSERT_TRUE(lf.open(QIODevice::ReadOnly));
    const QString contenido = QString::fromUtf8(lf.readAll());
    const QString programa = QCoreApplication::applicationFilePath();
    // In Exec the application folder it ran on, then the command line as one
    // quoted argument; its backslash is escaped for the quoting and again
    // for the key's value.
    EXPECT_EQ(contenido, QStringLiteral("[Desktop Entry]\nType=Application\nName=Quenvar Prueba\nExec=\"") + programa +
                             QStringLiteral("\" \"--carpeta\" \"") + CarpetaAplicacion() +
                             QStringLiteral("\" \" ; @server=SRV01\\\\\\\\INST; @dbname=EMP1; @usuario=ANA; @Password=; "
                                            "@ParametroAdicional=; orba@ ; @UsuarioLogeado = ; @Caja=;\"\nIcon=") +
                             QFileInfo(programa).absolutePath() + QStringLiteral("/quenvar.svg\nTerminal=false\n"));

    op.Responde(vbOK);
    f.CmdLineaComando_Click();
    ASSERT_EQ(op.Transcripcion().size(), 2u);
    EXPECT_EQ(op.Transcripcion()[1].texto, QStringLiteral("El acceso directo ya existe."));
    EXPECT_EQ(op.Transcripcion()[1].titulo, QStringLiteral("Acceso Directo"));
}

TEST_F(AccesoDirectoTest, CarpetaDelUsuarioYFalloSinExito) {
    // The desktop folder the user's directories name.
    QDir(casa_.path()).mkpath(".config");
    ASSERT_TRUE(ArchivoTexto::Escribe(QDir(casa_.path()).filePath(".config/user-dirs.dirs"),
                                      QStringLiteral("XDG_DESKTOP_DIR=\"$HOME/Escritorio\"\n")));
    EXPECT_EQ(AccesoDirecto::CarpetaEscritorio(), QDir(casa_.path()).filePath("Escritorio"));

    // A desktop that cannot be written: the error, and no success message.
    ASSERT_TRUE(ArchivoTexto::Escribe(QDir(casa_.path()).filePath("Escritorio"), QStringLiteral("no es carpeta")));
    op.Responde(vbOK);
    f.CmdLineaComando_Click();
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_TRUE(op.Transcripcion()[0].texto.startsWith(QStringLiteral("Se ha producido un error: ")));
    EXPECT_EQ(op.Transcripcion()[0].titulo, QStringLiteral("Error"));
    EXPECT_EQ(op.Transcripcion()[0].botones, vbCritical);
}

TEST(AccesoDirectoExec, CaracteresReservados) {
    EXPECT_EQ(AccesoDirecto::ArgumentoExec(QStringLiteral("a b;c")), QStringLiteral("\"a b;c\""));
    EXPECT_EQ(AccesoDirecto::ArgumentoExec(QStringLiteral("$x \"y\" `z` 50%")),
              QStringLiteral("\"\\\\$x \\\\\"y\\\\\" \\\\`z\\\\` 50%%\""));
}

#ifndef Q_OS_WIN
TEST(AccesoDirectoExec, ElIconoDelProgramaInstaladoEsElDelTema) {
    QTemporaryDir raiz;
    const QDir r(raiz.path());
    ASSERT_TRUE(r.mkpath("usr/bin") && r.mkpath("usr/share/quenvar") && r.mkpath("arbol/bin"));
    EXPECT_EQ(AccesoDirecto::IconoDe(r.filePath("usr/bin/quenvar")), QStringLiteral("quenvar"));
    EXPECT_EQ(AccesoDirecto::IconoDe(r.filePath("arbol/bin/quenvar")), r.filePath("arbol/bin/quenvar.svg"));
}
#endif
