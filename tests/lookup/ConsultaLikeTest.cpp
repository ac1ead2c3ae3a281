// The per-table lookup: each branch's statement as the window gets it, run
// on the session; the column lists of the definitions; the widths file.

#include "platform/ArchivoTexto.h"
#include "platform/sesion/Sesion.h"
#include "lookup/MascaraConsulta.h"
#include "tests/lookup/PruebaConsultas.h"

#include <QDir>
#include <QFile>

namespace {

class Like : public PruebaConsultas {
  protected:
    void SetUp() override {
        gConfiguracion = {};
        PruebaConsultas::SetUp();
        for (const char* v : {"('1001', 'Tornillo acero fino', 0)", "('1120', 'Tuerca', 0)",
                              "('1200', 'O''Hara tuerca', 0)", "('2120', 'Suspendido', 1)"})
            Ejecuta(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion, SUSPENDIDO) VALUES ") +
                    QString::fromLatin1(v));
        Ejecuta("INSERT INTO V_MA_CLIENTES (CODIGO, Cliente, RAZON_SOCIAL, NUMERO_DOCUMENTO, Dada_De_Baja) VALUES "
                "('C1', 1, 'Activo', '20111', 0)");
        Ejecuta("INSERT INTO V_MA_CLIENTES (CODIGO, Cliente, RAZON_SOCIAL, Dada_De_Baja) VALUES "
                "('C2', 1, 'Activo de baja', 1)");
        Guion().eligePrimera = true;
    }
    void TearDown() override {
        gConfiguracion = {};
        PruebaConsultas::TearDown();
    }

    // One lookup; the statement the window got ("" when none was shown).
    QString Busca(const QString& tabla, const QString& texto, bool porCodigo = false, const QString& filtro = {}) {
        const size_t antes = Mostradas().size();
        QString t = tabla;
        texto_ = texto;
        resultado.clear();
        SubConsultaLike(t, texto_, resultado, 0, porCodigo, filtro, &dato1, &dato2, &dato3);
        EXPECT_EQ(t, tabla);
        if (Mostradas().size() == antes) return {};
        EXPECT_GE(Mostradas().back().filas, 0);
        return Mostradas().back().sql;
    }
    const VentanaGuionada& Ultima() { return Mostradas().back(); }

    QString texto_, resultado, dato1, dato2, dato3;
};

}  // namespace

TEST_F(Like, Articulos) {
    Config("UsaConsultaLIKE", "SI");
    EXPECT_EQ(Busca("V_MA_ARTICULOS", "12", true),
              "SELECT top 1000 VT_MA_ARTICULOS.DESCRIPCION,VT_MA_ARTICULOS.IDARTICULO FROM VT_MA_ARTICULOS "
              "with(nolock)   WHERE IdArticulo LIKE '%12%'  AND SUSPENDIDO = 0");
    EXPECT_EQ(resultado, "1120");
    EXPECT_EQ(Ultima().CampoDevuelto, "IDARTICULO");

    // Contains-search over the first column: blanks become %.
    EXPECT_EQ(Busca("V_MA_ARTICULOS", "tornillo acero"),
              "SELECT top 1000 VT_MA_ARTICULOS.DESCRIPCION,VT_MA_ARTICULOS.IDARTICULO FROM VT_MA_ARTICULOS "
              "with(nolock)   WHERE VT_MA_ARTICULOS.DESCRIPCION LIKE '%tornillo%acero%' ");
    EXPECT_EQ(texto_, "tornillo%acero");
    EXPECT_EQ(resultado, "1001");

    Config("UsaConsultaLIKE", "NO");
    Config("TopConsArt", "250");
    EXPECT_EQ(Busca("V_MA_ARTICULOS", "12", true),
              "SELECT top 250 VT_MA_ARTICULOS.DESCRIPCION,VT_MA_ARTICULOS.IDARTICULO FROM VT_MA_ARTICULOS  "
              "with(nolock)  WHERE IdArticulo LIKE '12%'  AND SUSPENDIDO = 0");
    EXPECT_EQ(resultado, "1200");

    // The typed quote is doubled, the operator's own _ keeps its meaning.
    EXPECT_EQ(Busca("V_MA_ARTICULOS", "O'Hara"),
              "SELECT top 250 VT_MA_ARTICULOS.DESCRIPCION,VT_MA_ARTICULOS.IDARTICULO FROM VT_MA_ARTICULOS  "
              "with(nolock)  WHERE VT_MA_ARTICULOS.DESCRIPCION LIKE 'O''Hara%' ");
    EXPECT_EQ(resultado, "1200");
    Busca("V_MA_ARTICULOS", "'; DROP TABLE V_MA_ARTICULOS --");
    EXPECT_EQ(Ultima().filas, 0);
    EXPECT_EQ(Filas("SELECT * FROM V_MA_ARTICULOS"), 4);
    Busca("V_MA_ARTICULOS", "T_er");
    EXPECT_EQ(resultado, "1120");

    // An empty text when a key is required: the message, no lookup.
    gConfiguracion.EXIGECLAVECONSULTALIKEARTICULOS = true;
    op.Responde(vbOK);
    EXPECT_EQ(Busca("V_MA_ARTICULOS", " "), "");
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto,
              "Atención, por la gran cantidad de Artículos existentes al consultar se debe ingresar al menos parte "
              "de la clave...");
    EXPECT_EQ(op.Transcripcion()[0].titulo, "Aviso al Operador");
    EXPECT_EQ(op.Transcripcion()[0].botones, vbQuestion);
    gConfiguracion.EXIGECLAVECONSULTALIKEARTICULOS = false;

    // The stock view: the articles' definition, qualified, with the deposit.
    EXPECT_EQ(Busca("STK_MA_ARTICULOS", ""),
              "SELECT top 250 STK_MA_ARTICULOS.DESCRIPCION,STK_MA_ARTICULOS.IDARTICULO,Deposito FROM "
              "STK_MA_ARTICULOS  with(nolock) ");
}

TEST_F(Like, ArticulosConListaDePreciosEImagen) {
    QFile::remove(Ruta("consultas.kvx"));
    MascaraConsulta m;
    m.Tabla = "V_MA_ARTICULOS";
    m.Campos = "|DESCRIPCION|PRECIO|IDARTICULO|";
    m.Filtro = "SUSPENDIDO = 0";
    ArchivoMascaras::Agrega(Ruta("consultas.kvx"), m);
    Config("ConsultaArticuloConImagen", "SI");
    Ejecuta("INSERT INTO V_MA_Precios (IdLista, IDARTICULO, Precio) VALUES ('   1', '1120', 5)");

    // The record's filter comes before the caller's.
    EXPECT_EQ(Busca("V_MA_ARTICULOS", "", false, "V_MA_Precios.IdLista = '   1'"),
              "SELECT top 1000 VT_MA_ARTICULOS.DESCRIPCION,V_MA_PRECIOS.PRECIO,VT_MA_ARTICULOS.IDARTICULO,RutaImagen "
              "FROM VT_MA_ARTICULOS  with(nolock)  LEFT OUTER JOIN V_MA_Precios ON VT_MA_ARTICULOS.IdArticulo = "
              "V_MA_Precios.IdArticulo  where SUSPENDIDO = 0 and V_MA_Precios.IdLista = '   1'");
    EXPECT_EQ(resultado, "1120");
}

TEST_F(Like, ClientesProveedoresYDestinatarios) {
    gConfiguracion.TituloClientes = "Clientes";
    EXPECT_EQ(Busca("VT_CLIENTES", "CLIENTES"),
              "SELECT top 1000 RAZON_SOCIAL,CODIGO,CONTACTO FROM VT_CLIENTES with(nolock)   WHERE Dada_De_Baja = 0");
    EXPECT_EQ(texto_, "");
    EXPECT_EQ(Ultima().filas, 1);
    EXPECT_EQ(Busca("vt_clientes", "2011", false, "CONTACTO IS NULL"),
              "SELECT top 1000 RAZON_SOCIAL,CODIGO,CONTACTO FROM vt_clientes with(nolock)  WHERE (RAZON_SOCIAL LIKE "
              "'%2011%' OR NUMERO_DOCUMENTO LIKE '%2011%')  AND CONTACTO IS NULL and Dada_De_Baja = 0");
    EXPECT_EQ(resultado, "C1");
    EXPECT_EQ(Ultima().CampoDevuelto, "CODIGO");

    EXPECT_EQ(Busca("VT_PROVEEDORES", "a"),
              "SELECT top 1000 RAZON_SOCIAL,CODIGO FROM VT_PROVEEDORES  with(nolock) WHERE RAZON_SOCIAL LIKE '%a%' "
              "AND Dada_De_Baja = 0");
    EXPECT_EQ(Busca("VT_PROVEEDORES", ""),
              "SELECT top 1000 RAZON_SOCIAL,CODIGO FROM VT_PROVEEDORES  with(nolock)  WHERE Dada_De_Baja = 0");

    // The recipient's identifier split into customer, code and branch.
    Ejecuta("INSERT INTO MA_DESTINATARIOS (Cliente, Codigo, Sucursal, Nombre) VALUES "
            "('0001', 'ABCDEFGHIJKLMNOP', '000002', 'Juan')");
    dato2 = "x";
    EXPECT_EQ(Busca("MA_DESTINATARIOS", "Ju"),
              "SELECT  Nombre, Domicilio, Cliente + Codigo + Sucursal AS Id From ma_destinatarios WHERE Nombre LIKE "
              "'%Ju%'  ");
    EXPECT_EQ(Ultima().CampoDevuelto, "ID");
    EXPECT_EQ(dato3, "0001");
    EXPECT_EQ(resultado, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(dato1, "000002");
    EXPECT_EQ(dato2, "");
}

TEST_F(Like, OtrasTablas) {
    struct Caso {
        const char* tabla;
        const char* texto;
        const char* sentencia;
        const char* devuelto;
    };
    const Caso casos[] = {
        {"MA_CONTACTOS", "x",
         "SELECT top 1000 Nombre_y_Apellido,Domicilio,Localidad,Telefono FROM MA_CONTACTOS  with(nolock) WHERE "
         "Nombre_y_Apellido LIKE '%x%'",
         "idContacto"},
        {"MA_CUENTAS", "caja", "SELECT top 1000 DESCRIPCION,CODIGO FROM MA_CUENTAS  with(nolock)   WHERE DESCRIPCION LIKE '%caja%'",
         "CODIGO"},
        {"VT_MAPINFO_CALLES", "San",
         "SELECT top 1000  STREET  FROM VT_MAPINFO_CALLES  with(nolock)   WHERE  STREET  LIKE '%San%'", "STREET"},
        {"MAPINFO_LOCALIDADES", "",
         "SELECT top 1000  LOCALIDAD,PARTIDO,Cod_postal FROM MAPINFO_LOCALIDADES  with(nolock) ", "LOCALIDAD"},
        {"V_MA_EMAIL", "", "SELECT top 1000 Evento FROM V_MA_EMAIL  with(nolock) ", "EVENTO"},
        {"V_TA_TECNICOS", "a", "SELECT top 1000 NOMBRE,IDTECNICO FROM V_TA_TECNICOS with(nolock)    WHERE NOMBRE LIKE '%a%'",
         "IDTECNICO"},
        {"V_TA_VENDEDORES", "", "SELECT top 1000 NOMBRE,IDVENDEDOR FROM V_TA_VENDEDORES with(nolock)  ", "NOMBRE"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.tabla);
        EXPECT_EQ(Busca(c.tabla, c.texto), c.sentencia);
        EXPECT_EQ(Ultima().CampoDevuelto, c.devuelto);
    }

    // No definition: the warning and no lookup.
    op.Responde(vbOK);
    EXPECT_EQ(Busca("V_TA_RUBROS", "a"), "");
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].botones, vbCritical);
    EXPECT_EQ(op.Transcripcion()[0].titulo, "Aviso al Operador");
}

TEST_F(Like, LotesDeHacienda) {
    const int64_t antes = ArchivoMascaras::Cantidad(Ruta("consultas.kvx"));
    Ejecuta("INSERT INTO V_MV_TROPA (Dte, IdTropa) VALUES ('D-77', 'T1')");
    EXPECT_EQ(Busca("V_MV_TROPA", "D-"),
              "SELECT top 1000 FechaDte,Dte,IdTropa,Patente,Chofer,NroGuia,CuitVendedor, id FROM V_MV_TROPA  "
              "with(nolock) WHERE DTe LIKE '%D-%'");
    EXPECT_EQ(Ultima().CmpsDevueltos, (QStringList{"DTE", "id"}));
    EXPECT_EQ(resultado, "D-77");
    EXPECT_EQ(dato1, "1");
    EXPECT_TRUE(ElMotorConsultas().CmpsDevueltos.isEmpty());

    // The stock table's definition is added on its first lookup, once.
    EXPECT_EQ(Busca("V_MV_TROPA_STOCK", ""),
              "SELECT top 1000 idTropa,categoria,secuencia,lado,kg,comprador,fecha,idPlanilla,id FROM "
              "V_MV_TROPA_STOCK with(nolock)  ");
    EXPECT_EQ(Ultima().CampoDevuelto, "idTropa");
    Busca("V_MV_TROPA_STOCK", "");
    EXPECT_EQ(ArchivoMascaras::Cantidad(Ruta("consultas.kvx")), antes + 2);
    EXPECT_EQ(ArchivoMascaras::Lee(Ruta("consultas.kvx"), antes + 2).Nombre.trimmed(), "TROPA_STOCK");
    EXPECT_EQ(LeeAnchosConsulta("v_mv_tropa"), "1529.188|1575.081|1139.384|1304.258|3058.377|2908.234|1933.724|");
    EXPECT_EQ(LeeAnchosConsulta("V_MV_TROPA_STOCK"),
              "1354.115|1079.327|1004.539|659.4944|1603.976|1575.081|1679.898|419.8328|419.8328|");
}

TEST_F(Like, CamposDeLasDefiniciones) {
    QString c, p;
    LeeCamposConsulta("V_MA_ARTICULOS", c, p);
    EXPECT_EQ(c, "V_MA_ARTICULOS.DESCRIPCION,V_MA_ARTICULOS.IDARTICULO");
    EXPECT_EQ(p, "V_MA_ARTICULOS.DESCRIPCION");
    LeeCamposConsulta("vt_clientes", c, p);
    EXPECT_EQ(c, "RAZON_SOCIAL,CODIGO,CONTACTO");
    EXPECT_EQ(p, "RAZON_SOCIAL");
    gConfiguracion.MostrarStockenConsultas = true;
    LeeCamposConsulta("STK_MA_ARTICULOS", c, p);
    EXPECT_EQ(c, "STK_MA_ARTICULOS.DESCRIPCION,STK_MA_ARTICULOS.IDARTICULO,Deposito,Stock,PuntoPedido");
    EXPECT_EQ(p, "STK_MA_ARTICULOS.DESCRIPCION");

    MascaraConsulta m;
    m.Tabla = "V_TA_RUBROS";
    m.Campos = "|Descripcion|";
    ArchivoMascaras::Agrega(Ruta("consultas.kvx"), m);
    LeeCamposConsulta("V_TA_RUBROS", c, p);
    EXPECT_EQ(c, "Descripcion");
    EXPECT_EQ(p, "Descripcion");  // a single column is the search column
    LeeCamposConsulta("V_TA_FAMILIAS", c, p);
    EXPECT_EQ(c, "*");
    EXPECT_EQ(p, "");
}

TEST_F(Like, ArchivoDeAnchos) {
    // An existing file in other case, with a line for another table.
    ASSERT_TRUE(ArchivoTexto::Escribe(Ruta("consultaslen.kvx"), "\"VT_CLIENTES\",\"100|200|\"\r\n"));
    GrabaAnchosConsulta("V_TA_Tareas", "1|2|");
    GrabaAnchosConsulta("v_ta_tareas", "3.5|4|");
    EXPECT_EQ(QDir(Carpeta()).entryList({"consultaslen.*"}, QDir::Files), QStringList{"CONSULTASLEN.KVX"});
    EXPECT_EQ(ArchivoTexto::Lee(Ruta("CONSULTASLEN.KVX")).value_or(""),
              "\"VT_CLIENTES\",\"100|200|\"\r\n\"v_ta_tareas\",\"3.5|4|\"\r\n");
    EXPECT_EQ(LeeAnchosConsulta("V_TA_TAREAS"), "3.5|4|");
    EXPECT_EQ(LeeAnchosConsulta("OTRA"), "");
}
