// The spreadsheet editor's model on a real demo database: paging by key,
// edits written back and read again, refusals kept pending, rows added and
// deleted, the search by code.

#include "PruebaPlanilla.h"

#include "db/platform/Ado.h"
#include "platform/lib/Lib_Teclado.h"

#include <random>

TEST_F(PruebaPlanilla, AbreLaTablaContandoFilasYLeeSoloLasPaginasQueSeMiran) {
    AgregaArticulos(20000);
    const QStringList codigos = Codigos();
    ASSERT_GT(codigos.size(), 20000);
    Abre();
    EXPECT_TRUE(m.ConexionPropia());
    EXPECT_EQ(m.Filas(), codigos.size());
    EXPECT_EQ(m.PaginasLeidas(), 0);

    const ColumnaPlanilla& codigo = m.Columnas()[static_cast<std::size_t>(Columna("IdArticulo"))];
    EXPECT_TRUE(codigo.Clave);
    EXPECT_FALSE(codigo.AdmiteNulos);
    EXPECT_EQ(codigo.Tamano, 25);
    EXPECT_EQ(m.Claves(), std::vector<int>{Columna("IdArticulo")});
    EXPECT_FALSE(m.Columnas()[static_cast<std::size_t>(Columna("ID"))].Editable);  // identity
    EXPECT_TRUE(m.Columnas()[static_cast<std::size_t>(Columna("Descripcion"))].AdmiteNulos);

    EXPECT_EQ(m.Texto(0, 0), codigos[0]);
    EXPECT_EQ(m.PaginasLeidas(), 1);
    EXPECT_TRUE(m.Sentencias().last().startsWith(QStringLiteral("SELECT TOP 200 [IdArticulo], [Descripcion], ")));
    EXPECT_TRUE(m.Sentencias().last().endsWith(QStringLiteral(" FROM [V_MA_ARTICULOS] ORDER BY [IdArticulo]")));
    EXPECT_EQ(m.Texto(199, 0), codigos[199]);
    EXPECT_EQ(m.PaginasLeidas(), 1);

    // The end at once: one page read backwards from the last key.
    const long ultima = m.Filas() - 1;
    EXPECT_EQ(m.Texto(ultima, 0), codigos.last());
    EXPECT_EQ(m.PaginasLeidas(), 2);
    EXPECT_TRUE(m.Sentencias().last().endsWith(QStringLiteral("ORDER BY [IdArticulo] DESC")));
}

TEST_F(PruebaPlanilla, CadaFilaEsLaDeSuPosicionRecorriendoEnCualquierSentido) {
    AgregaArticulos(20000);
    const QStringList codigos = Codigos();
    Abre();
    const long n = m.Filas();
    ASSERT_EQ(n, codigos.size());
    // Jumps into the middle, then around them, then down and up the whole table.
    std::mt19937 azar(7);
    for (int i = 0; i < 60; ++i) {
        const long f = static_cast<long>(azar() % static_cast<unsigned>(n));
        ASSERT_EQ(m.Texto(f, 0), codigos[static_cast<int>(f)]) << "fila " << f;
        for (long g : {f - 201, f - 1, f + 1, f + 200})
            if (g >= 0 && g < n) {
                ASSERT_EQ(m.Texto(g, 0), codigos[static_cast<int>(g)]) << "fila " << g;
            }
    }
    for (long f = 0; f < n; ++f) ASSERT_EQ(m.Texto(f, 0), codigos[static_cast<int>(f)]) << "fila " << f;
    for (long f = n - 1; f >= 0; --f) ASSERT_EQ(m.Texto(f, 0), codigos[static_cast<int>(f)]) << "fila " << f;
    EXPECT_LE(m.PaginasEnMemoria(), ModeloPlanilla::kPaginasEnMemoria);
    EXPECT_FALSE(m.TomaErrorLectura());
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(PruebaPlanilla, UnaClaveDeVariasColumnasOrdenaYUbicaPorTodas) {
    AgregaArticulos(3000);
    cn.Execute(QStringLiteral("INSERT INTO V_MA_Precios (IdLista, IDARTICULO, Precio) "
                              "SELECT '   9', IdArticulo, 1 FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'Z%'"));
    QStringList claves;
    {
        RecordsetPtr rs = cn.Execute(QStringLiteral("SELECT IdLista, IDARTICULO FROM V_MA_Precios ORDER BY IdLista, IDARTICULO"));
        for (; !rs->Eof(); rs->MoveNext())
            claves << rs->Fields(0).Value().toString() + "|" + rs->Fields(1).Value().toString();
    }
    ASSERT_TRUE(m.Abre(QStringLiteral("V_MA_Precios"), cadena, QStringLiteral("Precios")));
    ASSERT_EQ(m.Claves(), (std::vector<int>{Columna("IdLista"), Columna("IDARTICULO")}));
    ASSERT_EQ(m.Filas(), claves.size());
    const int lista = Columna("IdLista"), articulo = Columna("IDARTICULO"), precio = Columna("Precio");
    auto clave = [&](long f) { return m.Texto(f, lista) + "|" + m.Texto(f, articulo); };
    std::mt19937 azar(3);
    for (int i = 0; i < 30; ++i) {
        const long f = static_cast<long>(azar() % static_cast<unsigned>(claves.size()));
        ASSERT_EQ(clave(f), claves[static_cast<int>(f)]) << "fila " << f;
    }
    for (long f = m.Filas() - 1; f >= 0; --f) ASSERT_EQ(clave(f), claves[static_cast<int>(f)]) << "fila " << f;
    EXPECT_EQ(m.Sentencias().last(),
              QStringLiteral("SELECT TOP 200 [IdLista], [IDARTICULO], [Precio], [IdMoneda], [FechaModificacion] "
                             "FROM [V_MA_Precios] WHERE (([IdLista] > ?) OR ([IdLista] = ? AND [IDARTICULO] > ?)) "
                             "ORDER BY [IdLista], [IDARTICULO]"));

    // Written by both key columns: only that row changes.
    const long f = claves.indexOf(QStringLiteral("   9|Z01234"));
    ASSERT_TRUE(m.Edita(f, precio, QStringLiteral("77")).grabada);
    EXPECT_EQ(m.Sentencias()[m.Sentencias().size() - 2],
              QStringLiteral("UPDATE [V_MA_Precios] SET [Precio] = ? WHERE [IdLista] = ? AND [IDARTICULO] = ?"));
    EXPECT_EQ(Lista(QStringLiteral("SELECT IdLista + '|' + IDARTICULO FROM V_MA_Precios WHERE Precio = 77")),
              QStringList{QStringLiteral("   9|Z01234")});
    EXPECT_EQ(m.Busca(QStringLiteral("   9")), claves.indexOf(QStringLiteral("   9|Z00000")));
}

TEST_F(PruebaPlanilla, UnaCeldaEditadaSeGrabaPorLaClaveConLosValoresComoParametros) {
    Abre();
    const int desc = Columna("Descripcion"), precio = Columna("PRECIO"), alta = Columna("FechaAlta"),
              suspendido = Columna("SUSPENDIDO");
    const QString codigo = m.Texto(5, 0);
    const QString texto = QStringLiteral("TORNILLO 1/2\" O'BRIEN'); DELETE FROM V_MA_ARTICULOS --");
    ResultadoEdicion r = m.Edita(5, desc, texto);
    EXPECT_TRUE(r.grabada);
    EXPECT_EQ(r.fila, 5);
    EXPECT_EQ(m.Sentencias()[m.Sentencias().size() - 2],
              QStringLiteral("UPDATE [V_MA_ARTICULOS] SET [Descripcion] = ? WHERE [IdArticulo] = ?"));
    EXPECT_EQ(Descripcion(codigo), texto);
    EXPECT_EQ(m.Texto(5, desc), texto);
    EXPECT_FALSE(m.Pendiente(5, desc));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS")), QString::number(m.Filas()));

    // Typed values of other types, read back as stored.
    EXPECT_TRUE(m.Edita(5, precio, QStringLiteral("1234.5")).grabada);
    EXPECT_EQ(Uno(QStringLiteral("SELECT PRECIO FROM V_MA_ARTICULOS WHERE IdArticulo = ?"), {codigo}).toDouble(), 1234.5);
    EXPECT_EQ(m.Valor(5, precio).toDouble(), 1234.5);
    EXPECT_TRUE(m.Edita(5, alta, QStringLiteral("25/12/2023")).grabada);
    EXPECT_EQ(m.Texto(5, alta), QStringLiteral("25/12/2023"));
    EXPECT_TRUE(m.Edita(5, suspendido, QStringLiteral("Sí")).grabada);
    EXPECT_EQ(Uno(QStringLiteral("SELECT SUSPENDIDO FROM V_MA_ARTICULOS WHERE IdArticulo = ?"), {codigo}), QStringLiteral("true"));
    // Emptied: NULL where the column admits it.
    EXPECT_TRUE(m.Edita(5, desc, QString()).grabada);
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = ? AND Descripcion IS NULL"), {codigo}),
              QStringLiteral("1"));

    // Not a number: said, kept pending, nothing sent.
    op.Responde(vbOK);
    const int enviadas = static_cast<int>(m.Sentencias().size());
    r = m.Edita(5, precio, QStringLiteral("doce"));
    EXPECT_FALSE(r.grabada);
    EXPECT_EQ(op.Mensajes().last(), QStringLiteral("«doce» no es un número válido para la columna PRECIO."));
    EXPECT_EQ(op.Transcripcion().back().titulo, QStringLiteral("Maestro de Articulos"));
    EXPECT_EQ(m.Sentencias().size(), enviadas);
    EXPECT_TRUE(m.Pendiente(5, precio));
    EXPECT_EQ(m.Texto(5, precio), QStringLiteral("doce"));
}

TEST_F(PruebaPlanilla, UnaEdicionRechazadaMuestraElTextoDelServidorYQuedaPendiente) {
    AgregaArticulos(10);
    Abre();
    const QString conStock = ConStock();
    const long fila = m.Busca(conStock);
    ASSERT_GE(fila, 0);
    ASSERT_EQ(m.Texto(fila, 0), conStock);
    const int desc = Columna("Descripcion");

    // A code longer than its column.
    op.Responde(vbOK);
    const QString largo = QStringLiteral("CODIGO-DEMASIADO-LARGO-PARA-LA-COLUMNA");
    ResultadoEdicion r = m.Edita(fila, 0, largo);
    EXPECT_FALSE(r.grabada);
    EXPECT_EQ(op.Mensajes().last(), QStringLiteral("String or binary data would be truncated."));
    EXPECT_EQ(m.Texto(fila, 0), largo);
    EXPECT_TRUE(m.Pendiente(fila, 0));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = ?"), {conStock}), QStringLiteral("1"));

    // Another cell of the same row is still written; the pending one stays.
    EXPECT_TRUE(m.Edita(fila, desc, QStringLiteral("OTRA")).grabada);
    EXPECT_EQ(Descripcion(conStock), QStringLiteral("OTRA"));
    EXPECT_EQ(m.Texto(fila, 0), largo);
    EXPECT_EQ(m.CeldasPendientes(), 1);

    // Corrected, but the article has stock: its trigger refuses the new code.
    op.Responde(vbOK);
    r = m.Edita(fila, 0, QStringLiteral("NUEVO-CODIGO"));
    EXPECT_FALSE(r.grabada);
    EXPECT_EQ(op.Mensajes().last(),
              QStringLiteral("No se puede cambiar el codigo de un articulo con movimientos de stock"));
    EXPECT_EQ(m.Texto(fila, 0), QStringLiteral("NUEVO-CODIGO"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = 'NUEVO-CODIGO'")),
              QStringLiteral("0"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = ?"), {conStock}), QStringLiteral("1"));

    // Escape: the stored code again.
    m.Descarta(fila, 0);
    EXPECT_FALSE(m.Pendiente(fila, 0));
    EXPECT_EQ(m.Texto(fila, 0), conStock);
    EXPECT_EQ(m.CeldasPendientes(), 0);

    // Refused, corrected, written: nothing is left pending.
    const long z = m.Busca(QStringLiteral("Z00003"));
    op.Responde(vbOK);
    EXPECT_FALSE(m.Edita(z, 0, largo).grabada);
    const ResultadoEdicion bien = m.Edita(z, 0, QStringLiteral("Z00003-B"));
    ASSERT_TRUE(bien.grabada);
    EXPECT_EQ(m.Texto(bien.fila, 0), QStringLiteral("Z00003-B"));
    EXPECT_EQ(m.CeldasPendientes(), 0);
    EXPECT_EQ(Descripcion(QStringLiteral("Z00003-B")), QStringLiteral("ARTICULO 3"));
}

TEST_F(PruebaPlanilla, UnCodigoCambiadoLlevaLaFilaASuLugar) {
    AgregaArticulos(500);
    Abre();
    const long fila = m.Busca(QStringLiteral("Z00010"));
    ASSERT_GE(fila, 0);
    int cambios = 0;
    m.AntesDeCambiar = [&] { ++cambios; };
    // "A..." sorts before every "Z" code: the row moves up.
    const ResultadoEdicion r = m.Edita(fila, 0, QStringLiteral("A-NUEVO"));
    ASSERT_TRUE(r.grabada);
    EXPECT_EQ(cambios, 1);
    EXPECT_EQ(r.fila, Codigos().indexOf(QStringLiteral("A-NUEVO")));
    EXPECT_EQ(m.Texto(r.fila, 0), QStringLiteral("A-NUEVO"));
    EXPECT_EQ(m.Texto(r.fila, Columna("Descripcion")), QStringLiteral("ARTICULO 10"));
    EXPECT_EQ(m.Texto(fila, 0), QStringLiteral("Z00009"));  // the rows between moved down one
}

TEST_F(PruebaPlanilla, UnaFilaNuevaSeInsertaAlTenerSuCodigo) {
    Abre();
    const long antes = m.Filas();
    const int desc = Columna("Descripcion"), precio = Columna("PRECIO");
    const long nueva = m.Agrega();
    EXPECT_EQ(nueva, antes);
    EXPECT_EQ(m.Filas(), antes + 1);
    EXPECT_TRUE(m.EsFilaNueva(nueva));
    EXPECT_EQ(m.Agrega(), nueva);  // one at a time

    // Without its code the row waits.
    EXPECT_FALSE(m.Edita(nueva, desc, QStringLiteral("CLAVO 'ESPECIAL'")).grabada);
    EXPECT_FALSE(m.Edita(nueva, precio, QStringLiteral("10") + LibTeclado().SeparadorDecimal() + "5").grabada);
    EXPECT_EQ(m.Texto(nueva, desc), QStringLiteral("CLAVO 'ESPECIAL'"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS")), QString::number(antes));

    // A code that exists: the server's text, everything kept.
    const QString existente = m.Texto(0, 0);
    op.Responde(vbOK);
    EXPECT_FALSE(m.Edita(nueva, 0, existente).grabada);
    EXPECT_TRUE(op.Mensajes().last().contains(QStringLiteral("PRIMARY KEY")));
    EXPECT_TRUE(m.EsFilaNueva(nueva));
    EXPECT_EQ(m.Texto(nueva, desc), QStringLiteral("CLAVO 'ESPECIAL'"));

    const ResultadoEdicion r = m.Edita(nueva, 0, QStringLiteral("NUEVO-1"));
    ASSERT_TRUE(r.grabada);
    EXPECT_EQ(m.Sentencias().filter(QStringLiteral("INSERT")).last(),
              QStringLiteral("INSERT INTO [V_MA_ARTICULOS] ([IdArticulo], [Descripcion], [PRECIO]) VALUES (?, ?, ?)"));
    EXPECT_EQ(Descripcion(QStringLiteral("NUEVO-1")), QStringLiteral("CLAVO 'ESPECIAL'"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT PRECIO FROM V_MA_ARTICULOS WHERE IdArticulo = 'NUEVO-1'")).toDouble(), 10.5);
    EXPECT_EQ(m.Filas(), antes + 1);
    EXPECT_FALSE(m.EsFilaNueva(r.fila));
    EXPECT_EQ(r.fila, Codigos().indexOf(QStringLiteral("NUEVO-1")));
    EXPECT_EQ(m.Texto(r.fila, 0), QStringLiteral("NUEVO-1"));

    // Escape drops a new row.
    const long otra = m.Agrega();
    m.Edita(otra, desc, QStringLiteral("SE DESCARTA"));
    m.Descarta(otra, desc);
    EXPECT_EQ(m.Filas(), antes + 1);
    EXPECT_EQ(m.CeldasPendientes(), 0);
}

TEST_F(PruebaPlanilla, BorraSoloTrasElSiYElServidorPuedeNegarse) {
    AgregaArticulos(3);
    Abre();
    const long antes = m.Filas();
    const long fila = m.Busca(QStringLiteral("Z00001"));
    ASSERT_GE(fila, 0);

    op.Responde(vbNo);
    EXPECT_FALSE(m.Borra(fila));
    const Aviso& pregunta = op.Transcripcion().back();
    EXPECT_EQ(pregunta.texto, QStringLiteral("¿Borrar el registro «Z00001» de V_MA_ARTICULOS?"));
    EXPECT_EQ(pregunta.titulo, QStringLiteral("Maestro de Articulos"));
    EXPECT_EQ(pregunta.botones, vbYesNo | vbQuestion | vbDefaultButton2);
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = 'Z00001'")), QStringLiteral("1"));
    EXPECT_EQ(m.Filas(), antes);

    op.Responde(vbYes);
    EXPECT_TRUE(m.Borra(fila));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = 'Z00001'")), QStringLiteral("0"));
    EXPECT_EQ(m.Filas(), antes - 1);
    EXPECT_EQ(m.Texto(fila, 0), QStringLiteral("Z00002"));

    // An article with stock: its trigger refuses.
    const QString conStock = ConStock();
    const long otra = m.Busca(conStock);
    op.Responde(vbYes).Responde(vbOK);
    EXPECT_FALSE(m.Borra(otra));
    EXPECT_EQ(op.Mensajes().last(), QStringLiteral("No se puede eliminar un articulo con movimientos de stock"));
    EXPECT_EQ(m.Texto(otra, 0), conStock);
    EXPECT_EQ(m.Filas(), antes - 1);
}

TEST_F(PruebaPlanilla, LaBusquedaVaAlCodigoComoComparaElServidor) {
    AgregaArticulos(300);
    Abre();
    const QStringList codigos = Codigos();
    EXPECT_EQ(m.Busca(QStringLiteral("Z00150")), codigos.indexOf(QStringLiteral("Z00150")));
    EXPECT_EQ(m.Busca(QStringLiteral("z00150  ")), codigos.indexOf(QStringLiteral("Z00150")));  // case, trailing blanks
    EXPECT_EQ(m.Busca(QStringLiteral("Z001505")), -1);  // never the next one
    EXPECT_EQ(m.Busca(QStringLiteral("ZZZ")), -1);
    EXPECT_EQ(m.Busca(QString()), -1);
    // The page of the row found is read by key, wherever it lies.
    const long f = m.Busca(QStringLiteral("Z00299"));
    EXPECT_EQ(m.Texto(f, 0), QStringLiteral("Z00299"));
}

TEST_F(PruebaPlanilla, UnaTablaSinClaveSoloSeConsulta) {
    ASSERT_TRUE(m.Abre(QStringLiteral("V_MA_INSUMOS"), cadena));
    EXPECT_TRUE(m.SoloLectura());
    const long n = Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_INSUMOS")).toLong();
    ASSERT_GT(n, 0);
    EXPECT_EQ(m.Filas(), n);
    EXPECT_GE(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_INSUMOS WHERE IDARTICULO = ?"), {m.Texto(n - 1, 0)}).toInt(), 1);
    EXPECT_EQ(m.Agrega(), -1);
    EXPECT_FALSE(m.Edita(0, 0, QStringLiteral("X")).grabada);
    EXPECT_FALSE(m.Borra(0));
    EXPECT_EQ(m.Busca(QStringLiteral("1")), -1);
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(PruebaPlanilla, LaConexionDeLaSesionSeUsaCuandoEsLaMisma) {
    DB_Dll& db = gDB();
    db.gServidor = QStringLiteral("(embebido)");
    db.gDBName = db.gUsuario = db.gUserPassWord = QStringLiteral("PLANILLA");
    db.OpenServerADODB(false, 3, QString(), false, false);
    ASSERT_TRUE(db.gOpenFlag);
    ASSERT_TRUE(m.Abre(QStringLiteral("V_MA_ARTICULOS"), db.gConnString, QStringLiteral("Maestro de Articulos")));
    EXPECT_FALSE(m.ConexionPropia());
    EXPECT_TRUE(m.Edita(0, Columna("Descripcion"), QStringLiteral("POR LA SESION")).grabada);
    EXPECT_EQ(Descripcion(m.Texto(0, 0)), QStringLiteral("POR LA SESION"));

    // Another text: a connection of its own.
    ModeloPlanilla otro;
    ASSERT_TRUE(otro.Abre(QStringLiteral("dbo.[V_MA_ARTICULOS]"),
                          QStringLiteral("PROVIDER=SQLOLEDB;Server=(embebido);Database=PLANILLA;UId=PLANILLA;Pwd=PLANILLA;")));
    EXPECT_TRUE(otro.ConexionPropia());
    EXPECT_EQ(otro.Filas(), m.Filas());

    // A table that is not there, a database that is not there: the server's text.
    op.Responde(vbOK).Responde(vbOK);
    ModeloPlanilla malo;
    EXPECT_FALSE(malo.Abre(QStringLiteral("NO_EXISTE"), cadena, QStringLiteral("Planilla")));
    EXPECT_EQ(op.Mensajes()[0], QStringLiteral("Invalid object name 'NO_EXISTE'."));
    EXPECT_FALSE(malo.Abierta());
    EXPECT_FALSE(malo.Abre(QStringLiteral("V_MA_ARTICULOS"), GeneradorDemo::CadenaConexion(QStringLiteral("NO_HAY"))));
    EXPECT_FALSE(op.Mensajes()[1].isEmpty());
    EXPECT_EQ(malo.Filas(), 0);
}
