#include "platform/ArchivoTexto.h"

#include "tests/support/Soporte.h"

#include <QFile>

class ArchivoTextoTest : public PruebaConCarpeta {};

TEST_F(ArchivoTextoTest, Windows1252ConCRLF) {
    const QString ruta = Ruta(QStringLiteral("x.log"));
    ASSERT_TRUE(ArchivoTexto::Agrega(ruta, QStringLiteral("Respondió : Sí") + ArchivoTexto::CRLF));
    ASSERT_TRUE(ArchivoTexto::Agrega(ruta, QStringLiteral("€ Ñ") + ArchivoTexto::CRLF));
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("Respondi\xF3 : S\xED\r\n\x80 \xD1\r\n"));
    EXPECT_EQ(ArchivoTexto::Lee(ruta).value(), QStringLiteral("Respondió : Sí\r\n€ Ñ\r\n"));
    // Outside the code page.
    EXPECT_EQ(ArchivoTexto::Codifica(QStringLiteral("日")), QByteArray("?"));
}

TEST_F(ArchivoTextoTest, FallosNoLanzan) {
    EXPECT_FALSE(ArchivoTexto::Agrega(Ruta(QStringLiteral("no/existe/x.log")), QStringLiteral("a")));
    EXPECT_FALSE(ArchivoTexto::Escribe(Ruta(QStringLiteral("no/existe/x.log")), QStringLiteral("a")));
    EXPECT_FALSE(ArchivoTexto::Lee(Ruta(QStringLiteral("nada.txt"))).has_value());
}

TEST_F(ArchivoTextoTest, LineasYNombresSinMayusculas) {
    EXPECT_EQ(ArchivoTexto::Lineas(QStringLiteral("a\r\nb\rc\nd")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}));
    EXPECT_EQ(ArchivoTexto::Lineas(QStringLiteral("a\r\n\r\n")), (QStringList{QStringLiteral("a"), QString()}));
    EXPECT_TRUE(ArchivoTexto::Lineas(QString()).isEmpty());
    ASSERT_TRUE(ArchivoTexto::Escribe(Ruta(QStringLiteral("CONSULTAS.KVX")), QStringLiteral("x")));
    EXPECT_EQ(ArchivoTexto::BuscaSinMayusculas(Carpeta(), QStringLiteral("consultas.kvx")),
              Ruta(QStringLiteral("CONSULTAS.KVX")));
}
