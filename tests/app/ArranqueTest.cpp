// Start-up and shut-down driven end to end on a demo database: the command
// line and the INI file, the login loop with the scripted access dialog,
// the access log and the process's end.

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "platform/DialogoAcceso.h"
#include "db/DB_Dll.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/Conexion.h"
#include "db/platform/Recordset.h"
#include "display/Dll_Display.h"
#include "app/Arranque.h"
#include "frame/Permisos.h"
#include "platform/lib/Lib_Entorno.h"
#include "platform/lib/Lib_Util.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/Fallo.h"
#include "platform/Operador.h"
#include "platform/sesion/Sesion.h"
#include "lookup/Lib_ClsCons3.h"

#include <QFileInfo>
#include "tests/support/Soporte.h"

namespace {

struct ProcesoTerminado {
    int codigo;
};

// The process's dialog forwards to the test's scripted one.
struct Prestado : DialogoAcceso {
    explicit Prestado(DialogoAccesoGuionado& d) : d(d) {}
    void Carga() override { d.Carga(); }
    void Llena(const DatosAcceso& a) override { d.Llena(a); }
    void MuestraModal() override { d.MuestraModal(); }
    bool Aceptado() const override { return d.Aceptado(); }
    DatosAcceso Datos() const override { return d.Datos(); }
    void Oculta() override { d.Oculta(); }
    void Descarga() override { d.Descarga(); }
    DialogoAccesoGuionado& d;
};

const QString kCritico = QStringLiteral("El usuario o clave en la base de datos es incorrecto!\r\nIntentelo nuevamente");
const QString kIncorrecta = QStringLiteral("Usuario o Clave incorrecta");
const QString kDemasiados =
    QStringLiteral("Demasiados intentos para iniciar sesión!\r\nComuniquese con el administrador de sistemas");

class Arranque : public PruebaConCarpeta {
protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        EstableceTerminacion([](int c) { throw ProcesoTerminado{c}; });
        OpcionesDemo o;
        o.articulos = 60;
        o.movimientosPorArticulo = 1;
        resumen = GeneradorDemo::Genera(o);
        EstableceDialogoAcceso([this] { return std::make_unique<Prestado>(dialogo); });
        Reinicia();
    }
    void TearDown() override {
        LiberaSesiones();
        EstableceDialogoAcceso({});
        EstableceTerminacion({});
        Reinicia();
        PruebaConCarpeta::TearDown();
    }
    // A new process: no session, the globals as they start.
    void Reinicia() {
        LiberaSesiones();
        gUsuarioActual.clear();
        gClaveUsuario.clear();
        gParametroAdicional.clear();
        gLineaComandosProceso.clear();
        gCaja = QStringLiteral("1");
        gTimeOut = 90;
        gIdAcceso = 0;
    }
    // Runs start-up; the exit status when it ends the process, else -1.
    int Inicia(const QString& linea, bool usaIni = false) {
        cadena.clear();
        try {
            IniciaAplicacion(usaIni, linea, cadena, 3);
        } catch (const ProcesoTerminado& p) {
            return p.codigo;
        }
        return -1;
    }
    QString Linea(const QString& usuario, const QString& clave, const QString& base = QStringLiteral("DEMO")) {
        return GeneradorDemo::LineaComandos(base, usuario, clave);
    }
    QString Valor(const QString& sql) {
        Conexion cn;
        cn.Open(GeneradorDemo::CadenaConexion(QStringLiteral("DEMO")));
        Recordset rs;
        rs.Open(sql, cn);
        return rs.Eof() || rs.Fields(0).Value().isNull() ? QString() : rs.Fields(0).Value().toString();
    }
    void Ejecuta(const QString& sql) {
        Conexion cn;
        cn.Open(GeneradorDemo::CadenaConexion(QStringLiteral("DEMO")));
        cn.Execute(sql);
    }
    QStringList Textos() const {
        QStringList t;
        for (const Aviso& a : op.Transcripcion()) t << a.texto;
        return t;
    }
    static DatosAcceso Datos(const QString& usuario, const QString& clave) {
        return {QStringLiteral("DEMO"), GeneradorDemo::kServidor, usuario, clave, 0};
    }

    ResumenDemo resumen;
    DialogoAccesoGuionado dialogo;
    QString cadena;
};

TEST_F(Arranque, LineaDeComandosAbreYRegistraElIngresoYLaSalida) {
    // An older open row: the run must stamp its own, not the first one found.
    Ejecuta("INSERT INTO Control_Acceso (Maquina, Usuario, Ingreso) VALUES ('OTRA', 'OTRO', '01/01/24 08:00')");
    ASSERT_EQ(Inicia(resumen.lineaComandos), -1);
    DB_Dll& db = gDB();
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gUsuario, "DEMO");
    EXPECT_EQ(db.gUserPassWord, "DEMO");
    EXPECT_EQ(db.gServidor, GeneradorDemo::kServidor);
    EXPECT_EQ(gUsuarioActual, GeneradorDemo::kAdministrador);
    EXPECT_EQ(gCaja, "1");
    EXPECT_EQ(db.Cnn().CommandTimeout(), gTimeOut);
    EXPECT_EQ(db.Cnn().IsolationLevel(), 256);
    EXPECT_EQ(gCadenaDSN, "DSN=DEMO; UID=DEMO; PWD=DEMO");
    EXPECT_EQ(ElCartel().Ventana(), nullptr);  // the sign is closed again
    EXPECT_TRUE(op.Transcripcion().empty()) << Visible(Textos().join("|"));
    EXPECT_TRUE(dialogo.Mostrados().empty());

    // The row of this run, with its exact columns.
    const QString id = QString::number(gIdAcceso);
    ASSERT_GT(gIdAcceso, 1);
    const QString exe = NombrePrograma().trimmed().toUpper();
    EXPECT_EQ(Valor("SELECT Maquina + '|' + Usuario + '|' + Formulario + '|' + Tarea + '|' + NombreUsuario FROM "
                    "Control_Acceso WHERE ID = " + id),
              LibEntorno().NombrePC().trimmed().toUpper() + "|ADMIN|" + exe + "|" + exe + "|ADMIN");
    EXPECT_TRUE(QRegularExpression("^\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d$")
                    .match(Valor("SELECT Ingreso FROM Control_Acceso WHERE ID = " + id))
                    .hasMatch());
    EXPECT_EQ(Valor("SELECT EGRESO FROM Control_Acceso WHERE ID = " + id), QString());

    // A second run while the first goes on: each stamps its own row.
    const long primera = gIdAcceso;
    Reinicia();
    ASSERT_EQ(Inicia(resumen.lineaComandos), -1);
    const long segunda = gIdAcceso;
    EXPECT_NE(segunda, primera);
    gIdAcceso = primera;
    RegistraEgreso();
    EXPECT_FALSE(Valor("SELECT EGRESO FROM Control_Acceso WHERE ID = " + QString::number(primera)).isEmpty());
    EXPECT_EQ(Valor("SELECT EGRESO FROM Control_Acceso WHERE ID = " + QString::number(segunda)), QString());
    gIdAcceso = segunda;
    FinalizaAplicacion();
    EXPECT_FALSE(Valor("SELECT EGRESO FROM Control_Acceso WHERE ID = " + QString::number(segunda)).isEmpty());
    EXPECT_EQ(Valor("SELECT EGRESO FROM Control_Acceso WHERE Usuario = 'OTRO'"), QString());
}

TEST_F(Arranque, UnCierrePedidoConElIngresoEscritoEsperaLaVentana) {
    // Whenever start-up lets events run (a signal's close is handled then), the run's access row
    // is either not in the table yet, or the close must wait for the window, which stamps the exit.
    EXPECT_FALSE(IngresoRegistrado());
    const QString antes = Valor("SELECT COUNT(*) FROM Control_Acceso");
    int conFila = 0, sinEspera = 0;
    op.AlProcesarEventos([&] {
        if (Valor("SELECT COUNT(*) FROM Control_Acceso") == antes) return;
        ++conFila;
        if (!IngresoRegistrado()) ++sinEspera;
    });
    ASSERT_EQ(Inicia(resumen.lineaComandos), -1);
    op.AlProcesarEventos({});
    EXPECT_GT(conFila, 0);
    EXPECT_EQ(sinEspera, 0);
    EXPECT_TRUE(IngresoRegistrado());
}

TEST_F(Arranque, DefinicionesDeConsultaPorDefecto) {
    // Missing: start-up writes the eleven default records.
    ASSERT_EQ(Inicia(resumen.lineaComandos), -1);
    EXPECT_EQ(QFileInfo(Ruta("consultas.kvx")).size(), 11 * 1202);
    EXPECT_TRUE(ElMotorConsultas().gUsarMascarasConsultas);
    EXPECT_EQ(ElMotorConsultas().gConnString, gDB().gConnString);
    // Present under another case of its name: kept as it is.
    QFile::remove(Ruta("consultas.kvx"));
    ArchivoTexto::Escribe(Ruta("CONSULTAS.KVX"), "x");
    Reinicia();
    ASSERT_EQ(Inicia(resumen.lineaComandos), -1);
    EXPECT_FALSE(QFile::exists(Ruta("consultas.kvx")));
    EXPECT_EQ(QFileInfo(Ruta("CONSULTAS.KVX")).size(), 1);
}

TEST_F(Arranque, ClavesGuardadasYUsuarioIgualALaBase) {
    // The password equal to the database name: the user's stored one is taken.
    ASSERT_EQ(Inicia(Linea("ADMIN", "demo")), -1);
    EXPECT_EQ(gClaveUsuario, GeneradorDemo::kClaveAdministrador);
    // A user named as the database gets in with any password.
    Reinicia();
    ASSERT_EQ(Inicia(Linea("DEMO", "cualquiera")), -1);
    EXPECT_EQ(gUsuarioActual, "DEMO");
    // No "@UsuarioLogeado": the command-line user; extras read.
    Reinicia();
    ASSERT_EQ(Inicia("@server=(embebido);@dbname=DEMO;@usuario=ADMIN;@Password=admin;@ParametroAdicional=X1;@Caja=7;"),
              -1);
    EXPECT_EQ(gUsuarioActual, "ADMIN");
    EXPECT_EQ(gParametroAdicional, "X1");
    EXPECT_EQ(gCaja, "7");
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(Arranque, ArchivoIniCuandoNoHayLineaDeComandos) {
    const Lib_Util& u = LibUtil();
    gSeccionIni = SeccionIni();
    ASSERT_LE(gSeccionIni.trimmed().size(), 50);
    ArchivoTexto::Escribe(Ruta("TQ400xr.INI"), "[" + gSeccionIni + "BaseDeDatos]\r\nServidor=(embebido)\r\nDbName=DEMO\r\n"
                                               "Usuario=" + u.Encripta("ADMIN") + "\r\nUserPassWord=" +
                                               u.Encripta("admin") + "\r\n[" + gSeccionIni + "]\r\nFlatToolbars=0\r\n");
    EXPECT_EQ(LineaComandosIni(),
              "@server=(embebido); @dbname= DEMO; @usuario= ADMIN; @Password= admin; @ParametroAdicional=; @Caja=1;orba@");
    ASSERT_EQ(Inicia(QString(), true), -1);
    EXPECT_EQ(gUsuarioActual, "ADMIN");
    EXPECT_EQ(gFlatToolbars, 0);
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(Arranque, UnIngresoFallidoDejaSuAccionYLuegoEntra) {
    op.Responde(vbOK).Responde(vbOK);
    dialogo.Acepta(Datos("ADMIN", "otra"));
    dialogo.Acepta(Datos("ADMIN", "admin"));
    ASSERT_EQ(Inicia(Linea("ADMIN", "mala")), -1);
    EXPECT_EQ(Textos(), (QStringList{kCritico, kIncorrecta}));
    EXPECT_EQ(op.Transcripcion()[0].titulo, "Atencion!");
    EXPECT_EQ(op.Transcripcion()[0].botones, vbCritical);
    EXPECT_EQ(op.Transcripcion()[1].titulo, "Atencion");
    EXPECT_EQ(op.Transcripcion()[1].botones, vbInformation);
    // The dialog was filled from the session and the user's data.
    ASSERT_EQ(dialogo.Mostrados().size(), 2u);
    EXPECT_EQ(dialogo.Mostrados()[0].baseDatos, "DEMO");
    EXPECT_EQ(dialogo.Mostrados()[0].usuario, "ADMIN");
    EXPECT_EQ(dialogo.Mostrados()[0].clave, "mala");
    EXPECT_EQ(gClaveUsuario, "admin");
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MV_CPTEACCIONES WHERE Usuario = 'ADMIN'"), "1");
    EXPECT_EQ(Valor("SELECT TC + '|' + IdComprobante + '|' + Tipo_accion + '|' + CONVERT(varchar(5), IdComplemento) + "
                    "'|' + SYSTEMUSER + '|' + Proceso + '|' + ProcesoLote + '|' + Cuenta FROM V_MV_CPTEACCIONES WHERE "
                    "Usuario = 'ADMIN'"),
              "    ||A|0|Intento de inicio de sesion fallido|" + NombrePrograma() + " ||");
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM Control_Acceso WHERE ID = " + QString::number(gIdAcceso)), "1");
}

TEST_F(Arranque, TresIntentosFallidosTerminan) {
    op.Responde(vbOK).Responde(vbOK).Responde(vbOK).Responde(vbOK).Responde(vbOK);
    for (int i = 0; i < 3; ++i) dialogo.Acepta(Datos("ADMIN", "otra"));
    EXPECT_EQ(Inicia(Linea("ADMIN", "mala")), SalidaArranque::DemasiadosIntentos);
    EXPECT_EQ(Textos(), (QStringList{kCritico, kIncorrecta, kIncorrecta, kIncorrecta, kDemasiados}));
    EXPECT_EQ(op.Transcripcion()[4].botones, vbCritical);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MV_CPTEACCIONES WHERE Usuario = 'ADMIN' AND SYSTEMUSER = 'Intento de "
                    "inicio de sesion fallido'"),
              "3");
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM Control_Acceso WHERE EGRESO IS NULL"), "0");
    EXPECT_EQ(ElCartel().Ventana(), nullptr);
}

TEST_F(Arranque, DialogoCanceladoYBaseInexistenteTerminan) {
    op.Responde(vbOK);
    dialogo.Cancela();
    EXPECT_EQ(Inicia(Linea("ADMIN", "mala")), SalidaArranque::AccesoCancelado);
    // A database that does not open: the connection error, No, the end.
    Reinicia();
    op.Responde(vbNo);
    EXPECT_EQ(Inicia(Linea("ADMIN", "admin", "NOHAY")), SalidaArranque::SinConexion);
    EXPECT_EQ(op.Transcripcion().back().titulo, " Error de Conexion a Base de Datos");
    EXPECT_FALSE(gDB().gOpenFlag);
}

TEST_F(Arranque, OtraBaseElegidaEnElDialogoSeAbre) {
    OpcionesDemo o;
    o.base = "OTRA";
    o.articulos = 20;
    o.movimientosPorArticulo = 1;
    GeneradorDemo::Genera(o);
    op.Responde(vbOK);
    dialogo.Acepta({"OTRA", GeneradorDemo::kServidor, "ADMIN", "admin", 0});
    ASSERT_EQ(Inicia(Linea("ADMIN", "mala")), -1);
    EXPECT_EQ(gDB().gDBName, "OTRA");
    EXPECT_EQ(gDB().gUsuario, "OTRA");
    EXPECT_TRUE(gDB().gOpenFlag);
    EXPECT_EQ(gUsuarioActual, "ADMIN");
}

// Wrong passwords count whatever database or port the dialog names: each is
// logged on the database it was tried on, and the third ends the process.
TEST_F(Arranque, CambiarDeBaseNoReiniciaLosIntentos) {
    OpcionesDemo o;
    o.base = "OTRA";
    o.articulos = 20;
    o.movimientosPorArticulo = 1;
    GeneradorDemo::Genera(o);
    auto fallidos = [&](const QString& base) {
        Conexion cn;
        cn.Open(GeneradorDemo::CadenaConexion(base));
        Recordset rs;
        rs.Open("SELECT COUNT(*) FROM V_MV_CPTEACCIONES WHERE Usuario = 'ADMIN' AND SYSTEMUSER = 'Intento de inicio "
                "de sesion fallido'",
                cn);
        return rs.Fields(0).Value().toInt();
    };
    for (int i = 0; i < 5; ++i) op.Responde(vbOK);
    dialogo.Acepta({"OTRA", GeneradorDemo::kServidor, "ADMIN", "mala1", 0});
    dialogo.Acepta({"DEMO", GeneradorDemo::kServidor + ":1434", "ADMIN", "mala2", 0});
    dialogo.Acepta({"OTRA", GeneradorDemo::kServidor, "ADMIN", "mala3", 0});
    EXPECT_EQ(Inicia(Linea("ADMIN", "mala")), SalidaArranque::DemasiadosIntentos);
    EXPECT_EQ(Textos(), (QStringList{kCritico, kIncorrecta, kIncorrecta, kIncorrecta, kDemasiados}));
    EXPECT_EQ(dialogo.Pendientes(), 0u);
    EXPECT_EQ(fallidos("DEMO"), 1);
    EXPECT_EQ(fallidos("OTRA"), 2);

    // The stored-password marker typed in the dialog is a wrong password,
    // not a way in; a right password on another database still gets in.
    Reinicia();
    op.Limpia();
    op.Responde(vbOK).Responde(vbOK);
    dialogo.Acepta({"OTRA", GeneradorDemo::kServidor, "ADMIN", "* *", 0});
    dialogo.Acepta({"DEMO", GeneradorDemo::kServidor, "ADMIN", "admin", 0});
    ASSERT_EQ(Inicia(Linea("ADMIN", "mala")), -1);
    EXPECT_EQ(Textos(), (QStringList{kCritico, kIncorrecta}));
    EXPECT_EQ(gDB().gDBName, "DEMO");
    EXPECT_EQ(fallidos("OTRA"), 3);
}

TEST_F(Arranque, SinBaseDeEstadisticasElTiempoEsNoventa) {
    LiberaSesiones();
    QFile::remove(GeneradorDemo::ArchivoBase("KV_ESTADISTICAS"));
    gTimeOut = 5;
    ASSERT_EQ(Inicia(resumen.lineaComandos), -1);
    EXPECT_EQ(gTimeOut, 90);
    EXPECT_EQ(gDB().Cnn().CommandTimeout(), 90);
}

TEST_F(Arranque, ServidorOracleArmaSuCadena) {
    // No Oracle driver here: the opening fails and the process ends.
    op.Responde(vbOK);
    EXPECT_EQ(Inicia("@server=#ORCL;@dbname=VENTAS;@usuario=ANA;@Password=secreta;"), SalidaArranque::SinConexion);
    EXPECT_EQ(cadena, "Provider=OraOLEDB.Oracle.1;Data Source=VENTAS;User Id=ANA;Password=secreta;");
    EXPECT_EQ(gDB().gServidor, "ORCL");
    EXPECT_EQ(gDB().gConnString, cadena);
}

TEST(Permisos, FamiliasYListas) {
    EXPECT_EQ(FamiliaPrograma("ventasmostrador"), "VENTAS");
    EXPECT_EQ(FamiliaPrograma("quenvar"), "quenvar");
    EXPECT_TRUE(SinTarea("Mapas"));
    EXPECT_FALSE(SinTarea("quenvar"));
    EXPECT_TRUE(EsRespaldo("respaldo"));
    EXPECT_FALSE(EsRespaldo("quenvar"));
}

}  // namespace
