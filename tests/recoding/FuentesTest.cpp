// The code-pair sources: file import, prefix load and point control.

#include "frame/Configuracion.h"
#include "platform/ArchivoTexto.h"
#include "tests/recoding/PruebaRecodifica.h"

namespace {
const QString kPreguntaArchivo = QStringLiteral("¿Realmente desea cargar un archivo?");
const QString kPreguntaPrefijo =
    QStringLiteral("¿Realmente desea cargar un todos los articulos con el prefijo indicado?");
}  // namespace

class Fuentes : public PruebaRecodifica {
  protected:
    // Imports the file with the operator's Yes and the file chosen.
    void Importa(const QString& ruta) {
        op.Responde(vbYes).RespondeArchivo({false, ruta});
        frm.CmdBuscar_Click();
        EXPECT_FALSE(frm.CargandoArchivo);
    }
    void Prefijo(const QString& ant, const QString& nvo, const QString& rubro = {}) {
        frm.TxtPrefijoAnt = ant;
        frm.TxtPrefijoNvo = nvo;
        frm.TxtRubro = rubro;
        op.Responde(vbYes);
        frm.CmdPrefijo_Click();
        EXPECT_TRUE(frm.CargaPorPrefijo);
        EXPECT_TRUE(frm.CmdPrefijoEnabled);
    }
};

// ---- file import ------------------------------------------------------------------------

TEST_F(Fuentes, ArchivoSeparadoPorComas) {
    op.Responde(vbYes).RespondeArchivo({false, Escribe("a.txt", "1001,5001\r\n1002,5002,X\r\nsin delimitador\r\n\r\n9999,5003\r\n")});
    op.Responde(vbOK);
    frm.CmdBuscar_Click();
    EXPECT_EQ(Filas(), (QStringList{"1001|Tornillo|5001", "1002|Tuerca|5002,X", "9999||5003", "||"}));
    // The question, the Open dialog, and at the end the lines not loaded, with why.
    ASSERT_EQ(op.Transcripcion().size(), 3u);
    EXPECT_EQ(op.Transcripcion()[2].texto, "2 de 5 líneas del archivo no quedaron listas para recodificar:\r\n"
                                           "línea 3: no tiene el delimitador \",\"\r\n"
                                           "línea 5: el artículo 9999 no existe");
    const Aviso& q = op.Transcripcion()[0];
    EXPECT_EQ(q.texto, kPreguntaArchivo);
    EXPECT_EQ(q.titulo, "Aviso al Operador");
    EXPECT_EQ(q.botones, vbYesNo + vbQuestion);
    const Aviso& d = op.Transcripcion()[1];
    EXPECT_EQ(d.tipo, Aviso::Tipo::Archivo);
    EXPECT_FALSE(d.pedido.guardar);
    EXPECT_EQ(d.pedido.titulo, "Importación de Archivos");
    // Text files, whatever the witness' Save left in the shared dialog.
    EXPECT_EQ(d.pedido.filtro, "Archivos de texto (*.txt;*.csv)|*.txt;*.csv|Todos los archivos (*.*)|*.*|");
    EXPECT_EQ(d.pedido.extension, "");
    EXPECT_TRUE(d.pedido.opcion);
    EXPECT_GT(op.EventosProcesados(), 0);
}

TEST_F(Fuentes, SinElDelimitadorEnLaPrimeraLineaSeUsaTabulador) {
    op.EstableceRespondedor([](const Aviso& a) -> std::optional<OperadorGuionado::Respuesta> {
        if (a.texto.contains("no quedaron listas")) return vbOK;
        return std::nullopt;
    });
    Importa(Escribe("t.txt", "1001\t5001\n1002,x\t5002\n"));
    EXPECT_EQ(Filas(), (QStringList{"1001|Tornillo|5001", "1002,x||5002", "||"}));
    // A title line without the comma makes a comma file tab-separated: nothing loads, and the operator is told.
    Importa(Escribe("c.txt", "Codigos\r\n1001,5001\r\n"));
    EXPECT_EQ(Filas(), QStringList{"||"});
    EXPECT_TRUE(op.Mensajes().last().endsWith("línea 2: no tiene el delimitador (tabulador)")) << Visible(op.Mensajes().last());
    // An empty file loads nothing.
    Importa(Escribe("v.txt", ""));
    EXPECT_EQ(Filas(), QStringList{"||"});
}

TEST_F(Fuentes, OtroDelimitadorRecortadoYDeVariosCaracteres) {
    frm.TxtDelimitador = " ; ";
    Importa(Escribe("p.txt", "1001;5001;x\r\n"));
    EXPECT_EQ(Filas(), (QStringList{"1001|Tornillo|5001;x", "||"}));
    frm.TxtDelimitador = "||";
    Importa(Escribe("b.txt", "1001||5001\r\n"));
    EXPECT_EQ(Filas(), (QStringList{"1001|Tornillo|5001", "||"}));
    // A letter delimiter is found without regard to case.
    frm.TxtDelimitador = "x";
    Importa(Escribe("x.txt", "1001X5001\r\n"));
    EXPECT_EQ(Filas(), (QStringList{"1001|Tornillo|5001", "||"}));
}

TEST_F(Fuentes, ElCodigoNuevoDelArchivoReemplazaAlCodigoDeBarrasYSeValida) {
    op.Responde(vbYes).RespondeArchivo({false, Escribe("e.txt", "1002,5002\r\n1001,2001\r\n1003,\r\n")});
    op.Responde(vbNo).Responde(vbOK);  // 2001 exists: No
    op.Responde(vbOK);                 // 1003 has no new code
    op.Responde(vbOK);                 // the lines not loaded
    frm.CmdBuscar_Click();
    EXPECT_EQ(
        op.Mensajes(),
        (QStringList{kPreguntaArchivo, "El Código de Articulo nuevo ya existe,¿Es esto Correcto?",
                     "El Código de Articulo Nuevo ya Existe", "Debe Informar el Codigo de Articulo Nuevo",
                     "2 de 3 líneas del archivo no quedaron listas para recodificar:\r\n"
                     "línea 2: el código nuevo 2001 fue rechazado\r\nlínea 3: el código nuevo  fue rechazado"}));
    // The refused new code is emptied, so the run does not merge 1001 into 2001.
    EXPECT_EQ(Filas(), (QStringList{"1002|Tuerca|5002", "1001|Tornillo|", "1003|Arandela|", "||"}));
    EXPECT_FALSE(frm.CargandoArchivo);
    EXPECT_FALSE(frm.ChkPermiteExistente);
}

TEST_F(Fuentes, TextoDelSistemaYComillasEnLosCodigos) {
    // Windows-1252, as the suite writes its files.
    Importa(Escribe("w.txt", ArchivoTexto::Codifica("A'01,Ñandú'1\r\n")));
    EXPECT_EQ(Filas(), (QStringList{"A'01|Con comilla|Ñandú'1", "||"}));
    // A UTF-8 file keeps its letters too.
    Importa(Escribe("u.txt", QStringLiteral("A'01,Ñandú\n").toUtf8()));
    EXPECT_EQ(Filas(), (QStringList{"A'01|Con comilla|Ñandú", "||"}));
    // A very long line is one more unknown code; nothing is cut in the grid.
    const QString largo(3000, 'L');
    op.Responde(vbYes).RespondeArchivo({false, Escribe("l.txt", (largo + ",5001\r\n1001,5002").toLatin1())});
    op.Responde(vbOK);
    frm.CmdBuscar_Click();
    EXPECT_TRUE(op.Mensajes().last().endsWith("línea 1: el artículo " + QString(40, 'L') + "… no existe"));
    EXPECT_EQ(Filas(), (QStringList{largo + "||5001", "1001|Tornillo|5002", "||"}));
}

TEST_F(Fuentes, ImportacionCanceladaOArchivoIlegible) {
    op.Responde(vbNo);
    g().SetTextMatrix(1, 0, "queda");
    frm.CmdBuscar_Click();
    EXPECT_EQ(Filas(), QStringList{"queda||"});

    op.Responde(vbYes).RespondeArchivo({true, {}});
    frm.CmdBuscar_Click();
    EXPECT_EQ(Filas(), QStringList{"||"});
    EXPECT_FALSE(frm.CargandoArchivo);

    // A file that cannot be read goes to the routine's dialog; abandoning
    // leaves typing as it was (unknown codes reported again).
    op.Responde(vbYes).RespondeArchivo({false, Ruta("no-existe.txt")}).Responde(vbAbort);
    frm.CmdBuscar_Click();
    ASSERT_EQ(op.Transcripcion().size(), 6u);
    EXPECT_TRUE(op.Transcripcion()[5].texto.contains("CmdBuscar_Click"));
    EXPECT_TRUE(op.Transcripcion()[5].texto.contains("no-existe.txt"));
    EXPECT_FALSE(frm.CargandoArchivo);
}

// ---- prefix load ------------------------------------------------------------------------

TEST_F(Fuentes, PrefijoCambiaElComienzoDeCadaCodigo) {
    Prefijo(" 10 ", "20");
    EXPECT_EQ(Filas(), (QStringList{"10 05|Clavo con blanco|20 05", "1001|Tornillo|2001", "1002|Tuerca|2002",
                                    "1003|Arandela|2003", "||"}));
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto, kPreguntaPrefijo);
    EXPECT_EQ(op.Transcripcion()[0].titulo, "Aviso al Operador");
    EXPECT_EQ(op.Transcripcion()[0].botones, vbYesNo + vbQuestion);

    // Only codes with a blank, and blanks taken out of the new code.
    frm.chkCargarBlancos = true;
    frm.chkBlancos = true;
    Prefijo("10", "20");
    EXPECT_EQ(Filas(), (QStringList{"10 05|Clavo con blanco|2005", "||"}));
}

TEST_F(Fuentes, PrefijoConRubro) {
    Prefijo("1", "7", "1");
    EXPECT_EQ(Filas(), (QStringList{"10 05|Clavo con blanco|70 05", "1001|Tornillo|7001", "1002|Tuerca|7002",
                                    "1_01|Guion bajo|7_01", "||"}));
    Prefijo("1", "7", "12");
    EXPECT_EQ(Filas(), (QStringList{"1003|Arandela|7003", "||"}));
    Prefijo("1", "7", "123");
    EXPECT_EQ(Filas(), (QStringList{"1105|Clavo|7105", "||"}));
    frm.chkCargarBlancos = true;
    Prefijo("1", "7", "1");
    EXPECT_EQ(Filas(), (QStringList{"10 05|Clavo con blanco|70 05", "||"}));
    // A quote in the rubro is data.
    Prefijo("1", "7", "1'");
    EXPECT_EQ(Filas(), QStringList{"||"});
}

TEST_F(Fuentes, PrefijoConComodinesYComillasSeTomaAlPieDeLaLetra) {
    Prefijo("1_", "9");
    EXPECT_EQ(Filas(), (QStringList{"1_01|Guion bajo|901", "||"}));
    Prefijo("A'", "B");
    EXPECT_EQ(Filas(), (QStringList{"A'01|Con comilla|B01", "||"}));
    Prefijo("%", "9");
    EXPECT_EQ(Filas(), QStringList{"||"});
    Prefijo("[1", "9");
    EXPECT_EQ(Filas(), QStringList{"||"});
}

TEST_F(Fuentes, PrefijoRespondidoNoDejaLaMarcaYLaGrilla) {
    g().SetTextMatrix(1, 0, "queda");
    op.Responde(vbNo);
    frm.CmdPrefijo_Click();
    EXPECT_TRUE(frm.CargaPorPrefijo);
    EXPECT_EQ(Filas(), QStringList{"queda||"});
    Prefijo("ZZ", "1");
    EXPECT_EQ(Filas(), QStringList{"||"});
}

// ---- point control --------------------------------------------------------------------------

TEST_F(Fuentes, ControlDePuntosCargaLosQueEmpiezanConBlanco) {
    op.Responde(vbYes).Responde(vbOK);
    frm.CmdControlar_Click();
    EXPECT_EQ(Filas(), (QStringList{"12.5|Punto con blanco|12.5", "||"}));
    ASSERT_EQ(op.Transcripcion().size(), 2u);
    EXPECT_EQ(
        op.Transcripcion()[0].texto,
        "-Recuerde tener configurado el separador decimal. punto y separador de miles, coma. En la solapa "
        "numero y moneda, de la configuracion regional... -Desea continuar...?");
    EXPECT_EQ(op.Transcripcion()[0].botones, vbYesNo + vbQuestion);
    EXPECT_EQ(
        op.Transcripcion()[1].texto,
        "Al utilizar puntuación en codigos de articulos, el sistema deberá confirara como obligatorio el uso "
        "del punto como separador decimal");
    EXPECT_EQ(op.Transcripcion()[1].titulo, "Aviso al Operador");
    EXPECT_EQ(op.Transcripcion()[1].botones, vbInformation);
    EXPECT_EQ(Cfg("SimboloDecimal"), ".");
}

TEST_F(Fuentes, ControlDePuntosSinDatos) {
    gDB().Cnn().Execute("DELETE FROM V_MA_ARTICULOS WHERE IdArticulo = ' 12.5'");
    op.Responde(vbNo);
    frm.CmdControlar_Click();
    EXPECT_EQ(op.Transcripcion().size(), 1u);
    op.Responde(vbYes).Responde(vbOK);
    frm.CmdControlar_Click();
    EXPECT_EQ(Filas(), QStringList{"||"});
    ASSERT_EQ(op.Transcripcion().size(), 3u);
    EXPECT_EQ(op.Transcripcion()[2].texto, "No hay datos para procesar!");
    EXPECT_EQ(op.Transcripcion()[2].titulo, "Aviso al Operador!");
    EXPECT_EQ(op.Transcripcion()[2].botones, vbInformation);
    EXPECT_EQ(Cfg("SimboloDecimal"), " ");
}
