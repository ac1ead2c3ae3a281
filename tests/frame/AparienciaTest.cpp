// The frame's appearance and launching: the style number and its sheet's
// file, and sibling programs started with the session's command line.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "db/DB_Dll.h"
#include "frame/Apariencia.h"
#include "platform/lib/Lib_Entorno.h"
#include "platform/ArchivoTexto.h"
#include "platform/sesion/LineaComandos.h"
#include "platform/sesion/Sesion.h"
#include "tests/support/EntornoDePrueba.h"
#include "tests/support/Soporte.h"

namespace {

class Apariencia : public PruebaConCarpeta {
protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        temporal_.emplace("TMPDIR", Carpeta());
        gDB().gServidor = QStringLiteral("SRV01\\SQL2019");
        gDB().gDBName = QStringLiteral("Empresa");
        gUsuarioActual = QStringLiteral("PEPE");
        gClaveUsuario = QStringLiteral("cl@ve 1");
        gCaja = QStringLiteral("3");
    }
    void TearDown() override {
        gDB().gServidor.clear();
        gDB().gDBName.clear();
        gUsuarioActual.clear();
        gClaveUsuario.clear();
        gCaja = QStringLiteral("1");
        temporal_.reset();
        PruebaConCarpeta::TearDown();
    }
    void Ini(const QString& texto) { ASSERT_TRUE(ArchivoTexto::Escribe(Ruta("TQ400xr.INI"), texto)); }
    QString Seccion() const { return LibEntorno().UsuarioPC().toUpper() + "_EMPRESAStyles"; }
    QString Folder() const { return QDir(Carpeta()).absolutePath() + "/"; }

    std::optional<Entorno> temporal_;
};

// Programs never start: the platform answers -1.
class OperadorSinProgramas : public OperadorDePrueba {
public:
    int EjecutaPrograma(const QString& p, const QStringList& a, bool espera, int estado) override {
        OperadorDePrueba::EjecutaPrograma(p, a, espera, estado);
        return -1;
    }
};

}  // namespace

TEST_F(Apariencia, EstiloDelIniYArchivoDeLaHoja) {
    EXPECT_EQ(EstiloSkin(), 4);  // no INI
    Ini("[" + Seccion() + "]\r\nOtra=1\r\n");
    EXPECT_EQ(EstiloSkin(), 4);  // no key
    Ini("[" + Seccion().toLower() + "]\r\nStyles=2\r\n");
    EXPECT_EQ(EstiloSkin(), 2);
    Ini("[" + Seccion() + "]\r\nStyles=abc\r\n");
    EXPECT_EQ(EstiloSkin(), 0);
    Ini("[" + LibEntorno().UsuarioPC().toUpper() + "_OTRAStyles]\r\nStyles=1\r\n");
    EXPECT_EQ(EstiloSkin(), 4);  // another database's section

    EXPECT_EQ(ArchivoSkin(1), "Styles/Vista.cjstyles");
    EXPECT_EQ(ArchivoSkin(4), "Styles/iTunes/Normalitunes.ini");
    EXPECT_EQ(ArchivoSkin(0), "Styles/Office2007.cjstyles");
    EXPECT_EQ(ArchivoSkin(9), "Styles/Office2007.cjstyles");

    // Found in the application folder; a missing sheet gives no path.
    ASSERT_TRUE(QDir(Carpeta()).mkpath("Styles/iTunes"));
    ASSERT_TRUE(ArchivoTexto::Escribe(Ruta("Styles/iTunes/Normalitunes.ini"), "QWidget {}"));
    EXPECT_EQ(RutaSkin(4), Ruta("Styles/iTunes/Normalitunes.ini"));
    EXPECT_EQ(RutaSkin(2), "");
}

TEST_F(Apariencia, MenuExesLineaDeComandosYProgramas) {
    QString parametro = "V_TA_RUBROS";
    int32_t resultado = 0;
    MenuExes("SHELL:V_TA_TABLAS", parametro, resultado);
    EXPECT_NE(resultado, 0);
    ASSERT_EQ(op.Transcripcion().size(), 1u);  // started, nothing asked
    const Aviso& a = op.Transcripcion()[0];
    EXPECT_EQ(a.tipo, Aviso::Tipo::Programa);
    EXPECT_EQ(a.texto, Folder() + "V_TA_TABLAS");
    EXPECT_EQ(a.botones, vbNormalFocus);
    ASSERT_EQ(a.argumentos.size(), 1);
    EXPECT_EQ(a.argumentos[0],
              " ; @server=SRV01\\SQL2019; @dbname=Empresa; @usuario=PEPE; @Password=cl@ve 1; "
              "@ParametroAdicional=V_TA_RUBROS; orba@ ; @UsuarioLogeado = PEPE; @Caja=3;");
    // The sibling reads back what was sent.
    const LineaComandos::Parametros p = LineaComandos::Lee(a.argumentos[0]);
    EXPECT_EQ(p.servidor, "SRV01\\SQL2019");
    EXPECT_EQ(p.dbName, "Empresa");
    EXPECT_EQ(p.usuarioLogeado, "PEPE");
    EXPECT_EQ(p.password, "cl@ve 1");
    EXPECT_EQ(p.parametroAdicional, "V_TA_RUBROS");
    EXPECT_EQ(p.caja, "3");

    // A path: "SHELL " dropped and run as it is; the parameter keeps its last word.
    op.Limpia();
    parametro = "ABC DEF";
    MenuExes("SHELL C:\\Orba\\Clientes.exe", parametro, resultado);
    EXPECT_EQ(parametro, "DEF");
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto, "C:\\Orba\\Clientes.exe");
    EXPECT_TRUE(op.Transcripcion()[0].argumentos[0].contains("; @ParametroAdicional=DEF; orba@"));
    MenuExes("SHELL /opt/orba/clientes", parametro, resultado);
    EXPECT_EQ(op.Transcripcion()[1].texto, "/opt/orba/clientes");

    // A plain name, and SHELL in other case, run from the program's folder.
    op.Limpia();
    parametro.clear();
    MenuExes("quenvar-demo", parametro, resultado);
    MenuExes("shell V_TA_Tecnicos", parametro, resultado);
    ASSERT_EQ(op.Transcripcion().size(), 2u);
    EXPECT_EQ(op.Transcripcion()[0].texto, Folder() + "quenvar-demo");
    EXPECT_EQ(op.Transcripcion()[1].texto, Folder() + "V_TA_Tecnicos");
    EXPECT_TRUE(op.Transcripcion()[1].argumentos[0].contains("; @ParametroAdicional=; orba@"));
}

TEST(AparienciaSinPrograma, MensajeCuandoNadaArranca) {
    OperadorSinProgramas op;
    QTemporaryDir dir;
    Entorno temporal("TMPDIR", dir.path());
    QString parametro = "1";
    int32_t resultado = 7;

    // Retry starts it again; Ignore goes on to the message.
    op.Responde(vbRetry).Responde(vbIgnore).Responde(vbOK);
    MenuExes("SHELL:V_MA_CLIENTES", parametro, resultado);
    EXPECT_EQ(resultado, 0);
    const auto& t = op.Transcripcion();
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[0].tipo, Aviso::Tipo::Programa);
    EXPECT_TRUE(t[1].texto.startsWith("Ha ocurrido el Siguiente Error (53)"));
    EXPECT_TRUE(t[1].titulo.contains(" - MenuExes"));
    EXPECT_EQ(t[2].tipo, Aviso::Tipo::Programa);
    EXPECT_EQ(t[4].texto, "Opcion no Implementada!\rComuniquese con su proveedor de sistemas");
    EXPECT_EQ(t[4].titulo, "Atención");
    EXPECT_EQ(t[4].botones, vbCritical);

    // Abandoned: the routine leaves without the message.
    op.Limpia();
    op.Responde(vbAbort);
    MenuExes("SHELL:V_MA_CLIENTES", parametro, resultado);
    EXPECT_EQ(resultado, 0);
    EXPECT_EQ(op.Transcripcion().size(), 2u);
    EXPECT_EQ(op.Pendientes(), 0u);
}
