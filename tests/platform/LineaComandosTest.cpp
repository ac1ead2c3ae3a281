#include "platform/sesion/LineaComandos.h"

#include "tests/support/Soporte.h"

using namespace LineaComandos;

TEST(LineaComandos, FormaDelArchivoIni) {
    const auto p = Lee(QStringLiteral(
        "@server=SRV; @dbname= EMP1; @usuario= ANA; @Password= x; @ParametroAdicional=; @Caja=1;orba@"));
    EXPECT_EQ(p.servidor, QStringLiteral("SRV"));
    EXPECT_EQ(p.dbName, QStringLiteral("EMP1"));
    EXPECT_EQ(p.usuario, QStringLiteral("ANA"));
    EXPECT_EQ(p.usuarioLogeado, QStringLiteral("ANA"));
    EXPECT_EQ(p.caja, QStringLiteral("1"));
    EXPECT_EQ(p.parametroAdicional, QString());
    EXPECT_EQ(p.password, QStringLiteral("x"));
}

TEST(LineaComandos, PrimeraAparicionYMayusculas) {
    // "@Usuario" written first; "@UsuarioLogeado" gives the application user.
    auto p = Lee(QStringLiteral("@USUARIO=ana;@UsuarioLogeado=PEDRO;@usuario=otro;@CAJA=3;"));
    EXPECT_EQ(p.usuario, QStringLiteral("ana"));
    EXPECT_EQ(p.usuarioLogeado, QStringLiteral("PEDRO"));
    EXPECT_EQ(p.caja, QStringLiteral("3"));
    EXPECT_FALSE(p.password.has_value());
    // "@UsuarioLogeado" first: "@Usuario" matches its start.
    p = Lee(QStringLiteral("@UsuarioLogeado=PEDRO;@usuario=ana;"));
    EXPECT_EQ(p.usuario, QStringLiteral("LogeadoPEDRO"));
    // Blank logged user falls back to the command-line user.
    p = Lee(QStringLiteral("@usuario= ana ;@UsuarioLogeado= ;"));
    EXPECT_EQ(p.usuarioLogeado, QStringLiteral("ana"));
}

TEST(LineaComandos, ValoresSinPuntoYComa) {
    EXPECT_FALSE(Valor(QStringLiteral("@dbname=X"), QStringLiteral("@DbName")).has_value());
    EXPECT_EQ(Valor(QStringLiteral("@ParametroAdicional=12345678901234567890123"),
                    QStringLiteral("@ParametroAdicional")),
              QStringLiteral("123456789012345678"));  // 19 characters, "=" removed
    EXPECT_EQ(Valor(QStringLiteral("@server==a=b;"), QStringLiteral("@server")), QStringLiteral("ab"));
}

TEST(LineaComandos, ExtraeServidor) {
    EXPECT_EQ(ExtraeServidor(QStringLiteral("host/SRV01\\INST:1433")), QStringLiteral("SRV01\\INST"));
    EXPECT_EQ(ExtraeServidor(QStringLiteral("SRV")), QStringLiteral("SRV"));
    EXPECT_EQ(ExtraeServidor(QStringLiteral("(embebido)")), QStringLiteral("(embebido)"));
}
