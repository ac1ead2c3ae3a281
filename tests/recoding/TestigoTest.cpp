// The log channel's modes and failures, the witness file and the HTML page.

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "recoding/FrmEMRecodifica.h"
#include "recoding/Testigo.h"
#include "tests/support/Soporte.h"

namespace {

class Testigo : public PruebaConCarpeta {
protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        // As for the frame's error log: "tmp" is the folder when "temp" is set.
        qputenv("temp", "/no-es-esta");
        qputenv("tmp", Carpeta().toLocal8Bit());
        ReiniciaCanalLog();
        frm.InicializaGrid2();
    }
    void TearDown() override {
        ReiniciaCanalLog();
        qunsetenv("temp");
        qunsetenv("tmp");
        PruebaConCarpeta::TearDown();
    }
    QByteArray Bytes(const QString& ruta) {
        QFile f(ruta);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList Documentos() const {
        QStringList d;
        for (const Aviso& a : op.Transcripcion())
            if (a.tipo == Aviso::Tipo::Documento) d << a.texto;
        return d;
    }
    FrmEMRecodifica frm;
};

}  // namespace

TEST_F(Testigo, ModosDelCanal) {
    // Before any file: closing, deleting and showing do nothing.
    QString ruta = "sin cambio";
    for (int16_t modo : {3, 4, 5, 9}) GenTmp(modo, {}, {}, ruta);
    EXPECT_EQ(ruta, QString());
    EXPECT_TRUE(op.Transcripcion().empty());

    const QString log = Ruta("ErrCod01.txt");
    ArchivoTexto::Escribe(log, "contenido viejo");
    ruta = log;
    GenTmp(1, "  primera", {}, ruta);
    EXPECT_EQ(ruta, log);
    EXPECT_NE(EstadoCanalLog().numero, 0);
    GenTmp(2, "segunda");
    GenTmp(2, "");
    GenTmp(5);
    EXPECT_EQ(EstadoCanalLog().numero, 0);
    EXPECT_EQ(Bytes(log), QByteArray("  primera\r\r\nsegunda\r\r\n\r\r\n"));
    // Writing on a closed channel (52): the call just ends.
    GenTmp(2, "perdida");
    EXPECT_TRUE(op.Transcripcion().empty());

    // Shown with its name after closing; deleted by mode 4, name kept.
    GenTmp(3);
    EXPECT_EQ(Documentos(), QStringList{log});
    GenTmp(4);
    EXPECT_FALSE(QFile::exists(log));
    EXPECT_EQ(EstadoCanalLog().nombre, log);
    GenTmp(3);
    EXPECT_EQ(Documentos(), QStringList{log});

    // An .xls log gets plain CR LF.
    ruta = Ruta("planilla.xls");
    GenTmp(1, "a\tb", {}, ruta);
    GenTmp(5);
    EXPECT_EQ(Bytes(ruta), QByteArray("a\tb\r\n"));

    // No path: the temporary folder, hhmmss and the extension with its point.
    ruta.clear();
    GenTmp(1, "x", "log", ruta);
    GenTmp(5);
    EXPECT_TRUE(QRegularExpression("^[0-9]{6}\\.log$").match(QFileInfo(ruta).fileName()).hasMatch()) << Visible(ruta);
    EXPECT_EQ(QFileInfo(ruta).absolutePath(), QFileInfo(Carpeta()).absoluteFilePath());
}

TEST_F(Testigo, FallosDelCanal) {
    // The same file opened again (55): closed and opened once more.
    QString ruta = Ruta("log.txt");
    GenTmp(1, "uno", {}, ruta);
    GenTmp(1, "dos", {}, ruta);
    GenTmp(5);
    EXPECT_EQ(Bytes(ruta), QByteArray("dos\r\r\n"));
    EXPECT_TRUE(op.Transcripcion().empty());

    // Any other failure asks the operator; abandoning ends the call.
    op.Responde(vbAbort);
    ruta = Ruta("no/existe/log.txt");
    GenTmp(1, "x", {}, ruta);
    ASSERT_EQ(op.Mensajes().size(), 1);
    EXPECT_EQ(EstadoCanalLog().numero, 0);
    // Retry once the operator has made the folder: the step runs again.
    op.Limpia();
    const QString carpeta = Ruta("nueva");
    op.EstableceRespondedor([&](const Aviso&) -> std::optional<OperadorGuionado::Respuesta> {
        QDir().mkpath(carpeta);
        return vbRetry;
    });
    ruta = carpeta + "/log.txt";
    GenTmp(1, "x", {}, ruta);
    GenTmp(5);
    EXPECT_EQ(op.Mensajes().size(), 1);
    EXPECT_EQ(Bytes(ruta), QByteArray("x\r\r\n"));
}

TEST_F(Testigo, ArchivoTestigoSeAcumula) {
    Grilla& g = frm.MSFlexGrid1;
    g.SetTextMatrix(1, 0, " 1001 ");
    g.SetTextMatrix(1, 1, "Tornillo, grande");
    g.SetTextMatrix(1, 2, "5001");
    g.SetRows(3);
    AgregaTestigo(frm);
    AgregaTestigo(frm);
    EXPECT_EQ(Bytes(RutaTestigo()), QByteArray("1001,Tornillo, grande,5001\r\n,,\r\n1001,Tornillo, grande,5001\r\n,,\r\n"));
    EXPECT_EQ(RutaTestigo(), CarpetaAplicacion() + QDir::separator() + "Recodificado.txt");
    // The current cell is left on the last cell.
    EXPECT_EQ(g.Row, 2);
    EXPECT_EQ(g.Col, 2);
}

TEST_F(Testigo, PaginaHtml) {
    Grilla& g = frm.MSFlexGrid1;
    g.SetTextMatrix(1, 0, "A&B");
    g.SetTextMatrix(1, 1, "Caño <\"1\">");
    g.SetTextMatrix(1, 2, "  ");
    const QString pagina = Ruta("t.htm");
    ArchivoTexto::Escribe(pagina, "texto anterior que se reemplaza por completo");
    GeneraTestigoHtml(frm, pagina);
    const QString p = Espacios(6);
    EXPECT_EQ(p, "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;");
    const QStringList esperado{
        "<html>", "", "</head>", "",
        "<body background=\"" + CarpetaAplicacion() + QDir::separator() + "stone.jpg\" text=\"navy\">",
        "<br>", "<H1 ALIGN = CENTER>Quenvar</H1>", "<HR>", "<br>", "<br>",
        "<TABLE Border=2 ALIGN = CENTER>", "<TR>",
        "<TH bgcolor = \"yellow\">" + p + "IdArticulo" + p,
        "<TH bgcolor = \"yellow\">" + p + "Descripcion" + p,
        "<TH bgcolor = \"yellow\">" + p + "Articulo Nuevo" + p,
        "<TR> <TD>A&amp;B<TD>Caño &lt;&quot;1&quot;&gt;<TD>&nbsp", "</TABLE>", "</BODY>", "</HTML>"};
    EXPECT_EQ(ArchivoTexto::Lineas(*ArchivoTexto::Lee(pagina)), esperado);
    EXPECT_TRUE(ArchivoTexto::Lee(pagina)->endsWith("</HTML>\r\n"));
    // Windows-1252 on disk.
    EXPECT_TRUE(Bytes(pagina).contains("Ca\xF1o"));

    AbrePagina(Ruta("con blanco.htm"), true);
    AbrePagina(pagina, false);
    ASSERT_EQ(op.Transcripcion().size(), 2u);
    EXPECT_EQ(op.Transcripcion()[0].texto, Ruta("con blanco.htm"));  // quotes removed by the shell layer
    EXPECT_EQ(op.Transcripcion()[0].botones, 0);
    EXPECT_EQ(op.Transcripcion()[1].botones, 6);
}
