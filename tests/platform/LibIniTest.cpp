#include <QDir>

#include "platform/lib/Lib_Entorno.h"
#include "platform/lib/Lib_Ini.h"
#include "platform/ArchivoTexto.h"
#include "tests/support/EntornoDePrueba.h"
#include "tests/support/Soporte.h"

namespace {

class LeeIniTest : public PruebaConCarpeta {
  protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        ASSERT_TRUE(ArchivoTexto::Escribe(Ruta(QStringLiteral("TQ400xr.INI")),
                                          QStringLiteral("; datos por máquina\r\n"
                                                         "Suelta=fuera de sección\r\n"
                                                         "[PC1|JUAN BaseDeDatos]\r\n"
                                                         "Servidor = SRV\\INST  \r\n"
                                                         "DbName=Año2024\r\n"
                                                         "Vacia=\r\n"
                                                         "Comillas=\" con blancos \"\r\n"
                                                         "  [ juan_demoStyles ]  \r\n"
                                                         "Styles=2\r\n"
                                                         "[pc1|juan basededatos]\r\n"
                                                         "Usuario=duplicada\r\n")));
    }
    QString Lee(const QString& archivo, const QString& seccion, const QString& clave) {
        return LibIni().LeeIni(archivo, seccion, clave, QStringLiteral("POR DEFECTO"));
    }
};

}  // namespace

TEST_F(LeeIniTest, ValoresSeccionesYClaves) {
    const QString s = QStringLiteral("PC1|JUAN BaseDeDatos");
    EXPECT_EQ(Lee(QStringLiteral("TQ400xr.INI"), s, QStringLiteral("Servidor")), QStringLiteral("SRV\\INST"));
    // File name, section and key without regard to case; Windows-1252 value.
    EXPECT_EQ(
        Lee(QStringLiteral("tq400xr.ini"), QStringLiteral("pc1|juan basededatos"), QStringLiteral("DBNAME")),
        QStringLiteral("Año2024"));
    EXPECT_EQ(Lee(QStringLiteral("tq400xr.ini"), QStringLiteral("JUAN_DEMOSTYLES"), QStringLiteral("styles")),
              QStringLiteral("2"));
    EXPECT_EQ(Lee(QStringLiteral("TQ400xr.INI"), s, QStringLiteral("Vacia")), QString());
    EXPECT_EQ(Lee(QStringLiteral("TQ400xr.INI"), s, QStringLiteral("Comillas")),
              QStringLiteral(" con blancos "));
}

TEST_F(LeeIniTest, LoQueFaltaDaElValorPorDefecto) {
    const QString s = QStringLiteral("PC1|JUAN BaseDeDatos");
    EXPECT_EQ(Lee(QStringLiteral("OTRO.INI"), s, QStringLiteral("Servidor")), QStringLiteral("POR DEFECTO"));
    EXPECT_EQ(Lee(QStringLiteral("TQ400xr.INI"), QStringLiteral("NADA"), QStringLiteral("Servidor")),
              QStringLiteral("POR DEFECTO"));
    EXPECT_EQ(Lee(QStringLiteral("TQ400xr.INI"), s, QStringLiteral("NoEsta")), QStringLiteral("POR DEFECTO"));
    // Keys of another section, or before any section, are not found.
    EXPECT_EQ(Lee(QStringLiteral("TQ400xr.INI"), s, QStringLiteral("Styles")), QStringLiteral("POR DEFECTO"));
    EXPECT_EQ(Lee(QStringLiteral("TQ400xr.INI"), s, QStringLiteral("Suelta")), QStringLiteral("POR DEFECTO"));
    // The first section of a name counts.
    EXPECT_EQ(Lee(QStringLiteral("TQ400xr.INI"), s, QStringLiteral("Usuario")),
              QStringLiteral("POR DEFECTO"));
}

TEST_F(LeeIniTest, RutaConCarpetaSeUsaTalCual) {
    QDir(Carpeta()).mkdir(QStringLiteral("otra"));
    ASSERT_TRUE(ArchivoTexto::Escribe(Ruta(QStringLiteral("otra/x.ini")), QStringLiteral("[S]\r\nK=v\r\n")));
    EXPECT_EQ(Lee(Ruta(QStringLiteral("otra/x.ini")), QStringLiteral("s"), QStringLiteral("k")),
              QStringLiteral("v"));
    // A bare name is looked for in the application folder only.
    EXPECT_EQ(Lee(QStringLiteral("x.ini"), QStringLiteral("s"), QStringLiteral("k")),
              QStringLiteral("POR DEFECTO"));
}

TEST(Lib_Entorno, CarpetaTemporalNombreYUsuario) {
    {
        Entorno t("TMPDIR", QStringLiteral("/algun/lugar"));
        EXPECT_EQ(LibEntorno().CarpetaTemporal(), QStringLiteral("/algun/lugar"));
    }
    {
        Entorno t("TMPDIR", std::nullopt);
        EXPECT_EQ(LibEntorno().CarpetaTemporal(), QDir::tempPath());
    }
    EXPECT_FALSE(LibEntorno().NombrePC().isEmpty());
    EXPECT_FALSE(LibEntorno().UsuarioPC().isEmpty());
}

TEST(Lib_Entorno, AbreArchivoPorElOperador) {
    OperadorDePrueba op;
    EXPECT_TRUE(LibEntorno().AbreArchivo(0, {}, QStringLiteral("\"/t/con blanco.htm\""), {}, {}, 6));
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].tipo, Aviso::Tipo::Documento);
    EXPECT_EQ(op.Transcripcion()[0].texto, QStringLiteral("/t/con blanco.htm"));
    EXPECT_EQ(op.Transcripcion()[0].botones, 6);
    EXPECT_TRUE(
        LibEntorno().AbreArchivo(0, {}, QStringLiteral("/bin/prog"), QStringLiteral("-a \"b c\""), {}, 1));
    EXPECT_EQ(op.Transcripcion()[1].tipo, Aviso::Tipo::Programa);
    EXPECT_EQ(op.Transcripcion()[1].argumentos, (QStringList{QStringLiteral("-a"), QStringLiteral("b c")}));
    EXPECT_FALSE(LibEntorno().AbreArchivo(0, {}, QStringLiteral("  "), {}, {}, 1));
}
