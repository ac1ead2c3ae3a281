#include "tests/db/sesion/SesionDemo.h"

#include "db/platform/Ado.h"
#include "app/Arranque.h"
#include "frame/Configuracion.h"
#include "frame/ModGlobal.h"
#include "platform/lib/Lib_Util.h"
#include "platform/ArchivoTexto.h"
#include "platform/Texto.h"
#include "platform/sesion/LineaComandos.h"

#include <QFile>

using namespace InyeccionFallas;

class Sesion : public SesionDemo {};

// ---- statements and the 8152 rule ------------------------------------------------

TEST_F(Sesion, EjecutaConsultaSQLNuncaLanzaYDejaLosErrores) {
    QString s = QStringLiteral("UPDATE NO_EXISTE SET X = 1");
    gDB().EjecutaConsultaSQL(s);
    ASSERT_GE(gDB().Cnn().Errors().Count(), 1);
    EXPECT_EQ(gDB().Cnn().Errors().Item(0).NativeError, 208);
    s = QStringLiteral("SELEC mal");
    gDB().EjecutaConsultaSQL(s);
    EXPECT_EQ(gDB().Cnn().Errors().Item(0).NativeError, 102);
    // The marker is removed from the caller's text.
    s = QStringLiteral("UPDATE @admin_TA_CONFIGURACION SET VALOR = VALOR WHERE 1 = 0");
    gDB().EjecutaConsultaSQL(s);
    EXPECT_EQ(s, QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = VALOR WHERE 1 = 0"));
    EXPECT_EQ(gDB().Cnn().Errors().Count(), 0);
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(Sesion, TruncamientoSoloSeLimpiaFueraDeTransacciones) {
    const QString largo = QString(30, QLatin1Char('X'));
    QString s = QStringLiteral("INSERT INTO S_TA_EQUIV (IDARTICULO, Equivalencia) VALUES ('") + largo + QStringLiteral("', 'x')");
    gDB().EjecutaConsultaSQL(s);
    EXPECT_EQ(gDB().Cnn().Errors().Count(), 0);
    s = QStringLiteral("BEGIN TRANSACTION \r\n") + s + QStringLiteral("\r\n COMMIT TRANSACTION");
    gDB().EjecutaConsultaSQL(s);
    ASSERT_GE(gDB().Cnn().Errors().Count(), 1);
    EXPECT_EQ(gDB().Cnn().Errors().Item(0).NativeError, 8152);
}

TEST_F(Sesion, ErroresInesperadosSeMuestranConRSQL) {
    QString s = QStringLiteral("UPDATE NO_EXISTE SET X = 1");
    gDB().EjecutaConsultaRSQL(s);  // 0x80040E37: silent
    EXPECT_TRUE(op.Transcripcion().empty());
}

// ---- lost connection ---------------------------------------------------------------

TEST_F(Sesion, CuatroReconexionesAntesDePreguntar) {
    FallaEjecuciones(1);
    FallaAperturas(100);
    op.Responde(vbYes).Responde(vbNo);
    QString s = QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = VALOR WHERE 1 = 0");
    EXPECT_THROW(gDB().EjecutaConsultaSQL(s), ProcesoTerminado);
    // Four attempts, the question, one more attempt, the question again.
    EXPECT_EQ(AperturasIntentadas(), 5);
    ASSERT_EQ(op.Transcripcion().size(), 2u);
    const Aviso& a = op.Transcripcion()[0];
    EXPECT_EQ(a.titulo, QStringLiteral("AVISO AL OPERADOR"));
    EXPECT_EQ(a.botones, vbYesNo + vbCritical);
    EXPECT_EQ(a.texto, QStringLiteral("\r\n\r\n\r\nSe perdio la conexion con la base de datos PRUEBA\r\n Servidor "
                                      "(embebido)\r\n\r\nElija SI para reintentar conectarse\r\nElija NO para cerrar la "
                                      "aplicacion\r\n\r\n\r\n"));
}

TEST_F(Sesion, UnaSentenciaSeRepiteALoSumoDosVeces) {
    FallaEjecuciones(10);
    QString s = QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = VALOR WHERE 1 = 0");
    gDB().EjecutaConsultaSQL(s);
    EXPECT_EQ(EjecucionesIntentadas(), 3);
    EXPECT_EQ(AperturasIntentadas(), 3);
    EXPECT_TRUE(op.Transcripcion().empty());
    // Given up after the reconnections: the caller still sees the failure.
    ASSERT_EQ(gDB().Cnn().Errors().Count(), 1);
    EXPECT_EQ(gDB().Cnn().Errors().Item(0).NativeError, 11);
    EXPECT_EQ(gDB().Cnn().Errors().Item(0).Description, "General network error. Check your network documentation.");
    // Without recovery the entry stays as the provider left it, and nothing is shown.
    Limpia();
    FallaEjecuciones(1);
    gDB().EjecutaConsultaRSQL(s);
    ASSERT_EQ(gDB().Cnn().Errors().Count(), 1);
    EXPECT_EQ(gDB().Cnn().Errors().Item(0).NativeError, 11);
    EXPECT_TRUE(op.Transcripcion().empty());
    gDB().ReintentaConectar();
    // A batch holding TRANS is never repeated.
    Limpia();
    FallaEjecuciones(1);
    s = QStringLiteral("BEGIN TRANSACTION \r\n UPDATE TA_CONFIGURACION SET VALOR = VALOR WHERE 1 = 0");
    gDB().EjecutaConsultaSQL(s);
    EXPECT_EQ(EjecucionesIntentadas(), 1);
    EXPECT_EQ(AperturasIntentadas(), 0);
}

TEST_F(Sesion, AbrirRecordsetReconectaUnaVezYVaAlDialogo) {
    FallaEjecuciones(1);
    op.Responde(vbIgnore);
    RecordsetPtr rs;
    QString q = QStringLiteral("SELECT * FROM TA_USUARIOS");
    gDB().AbrirRecordset(q, rs);
    EXPECT_EQ(AperturasIntentadas(), 1);
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_TRUE(op.Transcripcion()[0].titulo.contains(QStringLiteral(" - AbrirRecordset Aviso al operador!!! - 5 ")));
    EXPECT_EQ(rs->State(), ado::adStateClosed);
    ASSERT_EQ(gDB().Cnn().Errors().Count(), 1);
    EXPECT_EQ(gDB().Cnn().Errors().Item(0).NativeError, 11);
    // The session works again.
    gDB().AbrirRecordset(q, rs);
    EXPECT_FALSE(rs->Eof());
    gDB().CierraRecordset(rs);
}

TEST_F(Sesion, CierraRecordsetSinRecordsetMuestraElDialogo) {
    RecordsetPtr nada;
    op.Responde(vbAbort);
    gDB().CierraRecordset(nada);
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_TRUE(op.Transcripcion()[0].titulo.contains(QStringLiteral("CierraRecordset")));
    // An edit in progress is cancelled and the record set closed.
    RecordsetPtr rs;
    gDB().AbrirRecordset(QStringLiteral("select  top 1 * from AUX_ERR  with(nolock) "), rs, ado::adOpenDynamic,
                         ado::adLockOptimistic);
    rs->AddNew();
    gDB().CierraRecordset(rs);
    EXPECT_EQ(rs->State(), ado::adStateClosed);
    // KVERR.LOG got the line of the dialog.
    const auto log = ArchivoTexto::Lee(Ruta(QStringLiteral("KVERR.LOG")));
    ASSERT_TRUE(log.has_value());
    EXPECT_TRUE(log->contains(QStringLiteral("Rutina: - CierraRecordset Mensaje Ha ocurrido el Siguiente Error (91)")));
    EXPECT_TRUE(log->endsWith(QStringLiteral("Respondió : Abortar\r\n")));
}

// ---- opening ------------------------------------------------------------------------

TEST_F(Sesion, CadenasDeConexion) {
    DB_Dll s;
    s.gServidor = QStringLiteral("SRV1");
    s.gDBName = QStringLiteral("DB");
    s.gUsuario = QStringLiteral("U");
    s.gUserPassWord = QStringLiteral("P");
    s.OpenServerADODB(false, 3, QString(), false, false);
    EXPECT_EQ(s.gConnString, QStringLiteral("PROVIDER=SQLOLEDB;Server=SRV1;Database =DB;UId=U;Pwd=P;"));
    EXPECT_EQ(s.gProveedor, QStringLiteral("SQLOLEDB"));
    EXPECT_FALSE(s.gOpenFlag);  // no server there: silent
    DB_Dll o;
    o.gServidor = QStringLiteral("SRV1#");
    o.gDBName = QStringLiteral("ORCL");
    o.gUsuario = QStringLiteral("U");
    o.gUserPassWord = QStringLiteral("P");
    o.OpenServerADODB(false, 3, QString(), false, false);
    EXPECT_EQ(o.gConnString, QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User Id=U;Password=P;"));
    DB_Dll c;
    c.OpenServerADODB(false, 3, QStringLiteral("  PROVIDER=SQLOLEDB;Server=(embebido);Database =PRUEBA;"), false, false);
    EXPECT_EQ(c.gConnString, QStringLiteral("  PROVIDER=SQLOLEDB;Server=(embebido);Database =PRUEBA;"));
    EXPECT_TRUE(c.gOpenFlag);
    EXPECT_TRUE(c.gEsAdmin);
}

TEST_F(Sesion, MensajeDeErrorDeConexion) {
    DB_Dll& db = gDB();
    db.Cnn().Close();
    db.gDBName = db.gUsuario = db.gUserPassWord = QStringLiteral("NOEXISTE");
    op.Responde(vbNo);
    db.OpenServerADODB(false, 3, QString(), true, true);
    EXPECT_FALSE(db.gOpenFlag);
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    const Aviso& a = op.Transcripcion()[0];
    EXPECT_EQ(a.titulo, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_EQ(a.botones, vbCritical + vbYesNo);
    const QString esperado =
        QStringLiteral(" Estado de Sql: 42000\rNumero de Error: -2147467259\rDescripcion: Cannot open database "
                       "\"NOEXISTE\" requested by the login. The login failed.\rCodigo Nativo: 4060\r\r\nNombre de "
                       "Proceso: ") +
        NombrePrograma() +
        QStringLiteral("\r\r\n\r\n1. Verifique el Usuario, contraseña y base de datos\r\n2. Verifique el nombre del "
                       "servidor, quizas necesite agregarle el nombre de la instancia, por ejemplo : "
                       "(embebido)\\ORBASRV\r\n3. Verifique si el inicio de sesion para el usuario NOEXISTE "
                       "existe\r\n\r\n\r\n - Desea Intentarlo Nuevamente??? ");
    EXPECT_EQ(a.texto, esperado);
}

TEST_F(Sesion, AperturaQueNoAbreDejaLaBanderaEnFalso) {
    // A provider without a driver fails with no entries: the plain message,
    // and the session is not taken as open.
    DB_Dll s;
    op.Responde(vbOK);
    s.OpenServerADODB(false, 3, QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=ventas.mdb;"), true, true);
    EXPECT_EQ(s.Cnn().State(), ado::adStateClosed);
    EXPECT_FALSE(s.gOpenFlag);
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].botones, vbOKOnly);
    // Reopening an open session after a failed statement: its entries do
    // not become a connection error; the session is closed and opened again.
    QString mal = QStringLiteral("UPDATE NO_EXISTE SET X = 1");
    gDB().EjecutaConsultaSQL(mal);
    ASSERT_GT(gDB().Cnn().Errors().Count(), 0);
    gDB().OpenServerADODB(false, 3, QString(), true, true);
    EXPECT_TRUE(gDB().gOpenFlag);
    EXPECT_EQ(gDB().Cnn().State(), ado::adStateOpen);
    EXPECT_EQ(op.Transcripcion().size(), 1u);
}

TEST_F(Sesion, AdministradorYUsuarios) {
    EXPECT_TRUE(gDB().gEsAdmin);  // the demo's ADMIN
    EXPECT_TRUE(ValidaUsuario(resumen.usuario, resumen.clave));
    EXPECT_TRUE(ValidaUsuario(resumen.usuario, resumen.clave.toUpper()));
    EXPECT_FALSE(ValidaUsuario(resumen.usuario, QStringLiteral("otra")));
    EXPECT_FALSE(ValidaUsuario(QStringLiteral("O'Hara"), QStringLiteral("x")));
    EXPECT_TRUE(ValidaUsuario(QStringLiteral("prueba"), QStringLiteral("cualquiera")));  // the database name
    EXPECT_EQ(gUsuarioActual, QStringLiteral("prueba"));
}

// ---- single-record helpers -----------------------------------------------------------

TEST_F(Sesion, FechasLiteralesSeLeenComoFechas) {
    const QString dia = gDB().SQLValue(QDate(2024, 3, 5), QStringLiteral("'"));
    const QString momento = gDB().SQLValue(QDateTime(QDate(2024, 3, 5), QTime(14, 22)), QStringLiteral("'"));
    EXPECT_EQ(Valor(QStringLiteral("SELECT CONVERT(varchar(10), CONVERT(datetime, ") + dia + QStringLiteral("), 103)")),
              QStringLiteral("05/03/2024"));
    EXPECT_EQ(Valor(QStringLiteral("SELECT CONVERT(varchar(19), CONVERT(datetime, ") + momento +
                    QStringLiteral("), 120)")),
              QStringLiteral("2024-03-05 14:22:00"));
}

TEST_F(Sesion, ExistenciaYDatos) {
    QString codigo = Valor(QStringLiteral("SELECT TOP 1 IdArticulo FROM V_MA_ARTICULOS ORDER BY IdArticulo"));
    ASSERT_FALSE(codigo.isEmpty());
    EXPECT_TRUE(gDB().ExisteEnTabla(QStringLiteral("V_MA_ARTICULOS"), Texto::Trim(codigo) + QStringLiteral(" "),
                                    QStringLiteral("IDARTICULO")));
    EXPECT_FALSE(gDB().ExisteEnTabla(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("X' OR '1'='1"),
                                     QStringLiteral("IDARTICULO")));
    QVariant tipo = QStringLiteral("'");
    const QVariant d = gDB().DatosTabla(QStringLiteral("V_MA_ARTICULOS"), codigo, QStringLiteral("Descripcion"),
                                        QStringLiteral("IdArticulo"), &tipo);
    EXPECT_EQ(tipo.toInt(), 8);
    EXPECT_FALSE(d.toString().isEmpty());
    EXPECT_EQ(gDB().DatosTabla(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("O'Hara"), QStringLiteral("Descripcion"),
                               QStringLiteral("IdArticulo")),
              QVariant(QString()));
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(Sesion, BuscaMaximoDejaFueraLosCodigosConCero) {
    QString s = QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES ('0999', 'cero')");
    gDB().EjecutaConsultaSQL(s);
    ASSERT_EQ(gDB().Cnn().Errors().Count(), 0);
    s = QStringLiteral("ALTER TABLE V_MA_ARTICULOS DISABLE TRIGGER ALL\r\nDELETE V_MA_ARTICULOS WHERE IdArticulo > '0999'");
    gDB().EjecutaConsultaSQL(s);
    s = QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES ('0500', 'x')");
    gDB().EjecutaConsultaSQL(s);
    s = QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES ('     0777', 'x')");
    gDB().EjecutaConsultaSQL(s);
    QString cond;
    const QVariant m = gDB().BuscaMaximo(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("IdArticulo"), 7, &cond);
    EXPECT_EQ(cond, QStringLiteral(" substring(ltrim(idarticulo),1,1)<>'0'"));
    EXPECT_FALSE(Texto::Trim(m.toString()).startsWith(QLatin1Char('0')));
    EXPECT_EQ(gDB().BuscaMinimo(QStringLiteral("AUX_ERR"), QStringLiteral("Error")).toDouble(), 0.0);
}

// ---- schema helpers ---------------------------------------------------------------------

TEST_F(Sesion, EsquemaDeLaBase) {
    EXPECT_TRUE(gDB().ExisteTablaDB(QStringLiteral("  ta_usuarios ")));
    EXPECT_FALSE(gDB().ExisteTablaDB(QStringLiteral("NO_EXISTE")));
    EXPECT_TRUE(gDB().ExisteCampoDB(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral(" descripcion")));
    EXPECT_FALSE(gDB().ExisteCampoDB(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("PESO")));
    EXPECT_TRUE(gDB().VerCampoDB(QStringLiteral("NO_EXISTE"), QStringLiteral("PESO"), true, QStringLiteral("int")));
    gDB().VerCampoDB(QStringLiteral("V_MA_INSUMOS"), QStringLiteral("PESO"), true, QStringLiteral("decimal(12,4)"),
                     false, QStringLiteral("0"));
    EXPECT_TRUE(gDB().ExisteCampoDB(QStringLiteral("V_MA_INSUMOS"), QStringLiteral("PESO")));
    QString tipos;
    const QString lista = VerificaCampos(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("ID"),
                                         QStringLiteral("Idarticulo"), QStringLiteral("ID"), false, tipos);
    EXPECT_FALSE(lista.isEmpty());
    EXPECT_FALSE(lista.contains(QStringLiteral("IdArticulo"), Qt::CaseInsensitive));
    EXPECT_TRUE(lista.startsWith(QStringLiteral("Descripcion")));
    EXPECT_EQ(tipos.count(QLatin1Char(',')), lista.count(QLatin1Char(',')));
    EXPECT_EQ(VerificaCampos(QStringLiteral("NO_EXISTE"), {}, {}, {}, true, tipos), QString());
}

// ---- scripts -------------------------------------------------------------------------------

TEST_F(Sesion, ScriptConClaveDuplicadaPasadaPorAlto) {
    const QString clave = QStringLiteral("DUPLICADA");
    QStringList lineas{QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, GRUPO, VALOR) VALUES ('") + clave +
                           QStringLiteral("', 'DATOS', '1')"),
                       QString(), QStringLiteral("   ")};
    ResultadoScript r = GActualizarDatoScript(lineas, true, false, true);
    EXPECT_FALSE(r.HayError);
    EXPECT_EQ(r.Script, QStringLiteral("BEGIN TRANSACTION \r\r\r") + lineas[0] + QStringLiteral("\r"));
    lineas << QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '2' WHERE CLAVE = 'TituloClientes'");
    r = GActualizarDatoScript(lineas, true, false, true);
    EXPECT_TRUE(r.HayError);
    EXPECT_EQ(r.CodError, 2627);
    EXPECT_TRUE(r.MensajeError.startsWith(QStringLiteral("Violation of PRIMARY KEY constraint")));
    EXPECT_TRUE(op.Transcripcion().empty());  // passed over: no message
    EXPECT_NE(Valor(QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = 'TituloClientes'")),
              QStringLiteral("2"));  // rolled back
    EXPECT_EQ(Valor(QStringLiteral("SELECT COUNT(*) FROM AUX_ERR WHERE Error = 2627 AND Descripcion = ''")),
              QStringLiteral("1"));
    // Nothing to send.
    r = GActualizarDatoScript({QStringLiteral("  "), QString()}, false, false, true);
    EXPECT_FALSE(r.HayError);
    EXPECT_EQ(r.CodError, 0);
}

TEST_F(Sesion, ScriptOracleSentenciaPorSentencia) {
    // An embedded connection marked as Oracle by an extra item of its string.
    DB_Dll& db = gDB();
    db.Cnn().Close();
    db.Cnn().SetConnectionString(QStringLiteral("PROVIDER=SQLOLEDB;Server=(embebido);Database =PRUEBA;Modo=ORACLE;"));
    db.Cnn().Open();
    QString s = QStringLiteral("-- comentario\r\nSET NOCOUNT ON\r\nGO\r\nBEGIN TRANSACTION\r\nINSERT INTO S_TA_EQUIV "
                               "(IDARTICULO, Equivalencia) VALUES ('A1', 'E1')\r\nINSERT INTO S_TA_EQUIV (IDARTICULO, Equivalencia) "
                               "VALUES ('A1', 'E2')\r\nCOMMIT TRANSACTION");
    long n = 0;
    db.EjecutaConsultaSQL(s, &n);
    for (const auto& e : db.Cnn().Errors().Todas()) ADD_FAILURE() << e.NativeError << " " << e.Description.toStdString();
    EXPECT_EQ(s, QString());
    EXPECT_EQ(n, 2);
    EXPECT_EQ(Valor(QStringLiteral("SELECT COUNT(*) FROM S_TA_EQUIV WHERE IDARTICULO = 'A1'")), QStringLiteral("2"));
    EXPECT_EQ(Valor(QStringLiteral("SELECT @@TRANCOUNT")), QStringLiteral("0"));
    // The connection lost on the first statement: after reconnecting, that
    // statement runs again, not only the ones after it.
    Limpia();
    FallaEjecuciones(1);
    s = QStringLiteral("INSERT INTO S_TA_EQUIV (IDARTICULO, Equivalencia) VALUES ('A2', 'E1')\r\nINSERT INTO S_TA_EQUIV "
                       "(IDARTICULO, Equivalencia) VALUES ('A2', 'E2')");
    db.EjecutaConsultaSQL(s);
    EXPECT_EQ(db.Cnn().Errors().Count(), 0);
    EXPECT_EQ(AperturasIntentadas(), 1);
    EXPECT_EQ(Valor(QStringLiteral("SELECT COUNT(*) FROM S_TA_EQUIV WHERE IDARTICULO = 'A2'")), QStringLiteral("2"));
    QString f = QStringLiteral("IF NOT EXISTS (x)");
    EXPECT_EQ(DB_Dll::FiltraSentencia(f), QString());
}

// ---- configuration ----------------------------------------------------------------------------

TEST_F(Sesion, ClavesDeConfiguracion) {
    EXPECT_EQ(Cfg(QStringLiteral("NO_EXISTE_CLAVE")), QStringLiteral(" "));
    EXPECT_EQ(Cfg(QStringLiteral("THEME")), QStringLiteral("1"));
    EXPECT_EQ(Cfg(QStringLiteral("O'Hara")), QStringLiteral(" "));
    GrabaDfg(QStringLiteral("prueba'clave"), QStringLiteral("  valor  "), QStringLiteral("aux"), false,
             QStringLiteral("GRUPO1"), true, false);
    QString aux;
    EXPECT_EQ(Cfg(QStringLiteral("PRUEBA'CLAVE"), &aux, QStringLiteral("GRUPO1")), QStringLiteral("valor"));
    EXPECT_EQ(aux, QStringLiteral("aux"));
    EXPECT_EQ(Cfg(QStringLiteral("PRUEBA'CLAVE"), nullptr, QStringLiteral("OTRO")), QStringLiteral(" "));
    EXPECT_EQ(Cfg(QStringLiteral("PRUEBA'CLAVE")), QStringLiteral("valor"));  // DATOS: any group
    GrabaDfg(QStringLiteral("PRUEBA'CLAVE"), QString(), QString(), false, QStringLiteral("GRUPO1"), true, true);
    EXPECT_EQ(Cfg(QStringLiteral("PRUEBA'CLAVE"), nullptr, QStringLiteral("GRUPO1")), QStringLiteral(" "));
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(Sesion, GrabaDfgSigueTrasUnCampoQueNoSeEscribe) {
    Conexion& cn = gDB().Cnn();
    cn.Execute(QStringLiteral("CREATE TABLE CFG_SIN_POLITICA (GRUPO varchar(20), CLAVE varchar(50), VALOR varchar(50), "
                              "valoraux varchar(50))"));
    ASSERT_EQ(cn.Errors().Count(), 0);
    // PoliticaNegocio cannot be written: the second value still is.
    gTablaConfiguracion = QStringLiteral("CFG_SIN_POLITICA");
    GrabaDfg(QStringLiteral("k2"), QStringLiteral("v"), QStringLiteral("aux"));
    EXPECT_EQ(Valor(QStringLiteral("SELECT CLAVE + '|' + VALOR + '|' + valoraux FROM CFG_SIN_POLITICA")),
              QStringLiteral("K2|v|aux"));
    EXPECT_TRUE(op.Transcripcion().empty());
    gTablaConfiguracion = QStringLiteral("TA_CONFIGURACION");
}

TEST_F(Sesion, CargaConfiguracionYTiempoDeEspera) {
    GrabaDfg(QStringLiteral("CFondo"), QStringLiteral("0"));
    GrabaDfg(QStringLiteral("SS_CONFIDENCIALIDAD"), QStringLiteral("si"));
    CargaConfiguracion(LibUtil().AgregaBarra(Carpeta()));
    EXPECT_EQ(gColorFondo, 0xFFFF00u);
    EXPECT_TRUE(gConfiguracion.SS_CONFIDENCIALIDAD);
    EXPECT_FALSE(Texto::Trim(gUnidadNegocio).isEmpty());
    EXPECT_FALSE(gConfiguracion.Top_Default.isEmpty());
    EXPECT_EQ(gTablaConfiguracion, QStringLiteral("ta_configuracion"));
    gUsuarioActual = QStringLiteral("SIN_FILA");
    CargaConfiguracion(LibUtil().AgregaBarra(Carpeta()));
    EXPECT_EQ(gUnidadNegocio, QStringLiteral("   1"));
    LeeTimeOut();
    EXPECT_GT(gTimeOut, 0);
    // A setting beyond 16 bits leaves the default.
    GrabaCfgKV(QStringLiteral("TimeOut"), QStringLiteral("40000"));
    LeeTimeOut();
    EXPECT_EQ(gTimeOut, 90);
    GrabaCfgKV(QStringLiteral("TimeOut"), QStringLiteral("32767"));
    LeeTimeOut();
    EXPECT_EQ(gTimeOut, 32767);
    EXPECT_EQ(CfgKV(QStringLiteral("TimeOut")), QStringLiteral("32767"));
    EXPECT_TRUE(FechaServidor().isValid());
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(Sesion, SesionDesdeLaLineaDeComandos) {
    LiberaSesiones();
    const LineaComandos::Parametros p = LineaComandos::Lee(resumen.lineaComandos);
    DB_Dll& db = gDB();
    db.gServidor = LineaComandos::ExtraeServidor(p.servidor);
    db.gDBName = db.gUsuario = db.gUserPassWord = p.dbName;
    gUsuarioActual = p.usuarioLogeado;
    db.OpenServerADODB(false, 3, QString(), true, true);
    ASSERT_TRUE(db.gOpenFlag);
    EXPECT_TRUE(ValidaUsuario(gUsuarioActual, p.password.value_or(QString())));
    CargaConfiguracion(LibUtil().AgregaBarra(Carpeta()));
    EXPECT_FALSE(Texto::Trim(Cfg(QStringLiteral("TituloClientes"))).isEmpty());
}

TEST_F(Sesion, BaseLocalSinProveedorOCancelada) {
    DB_Dll local;
    local.gProveedor = local.pJETOLEDB40();
    op.RespondeArchivo({true, QString()});  // the file dialog, cancelled: nothing is opened
    local.OpenLocalADODB(QString(), QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_EQ(local.Cnn().State(), ado::adStateClosed);
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].pedido.titulo, QStringLiteral("Buscar Base de Datos"));
    EXPECT_EQ(op.Transcripcion()[0].pedido.filtro, QStringLiteral("Base de Datos de Microsoft Access |*.MDB"));
    // A named file without an Access driver: the failure is shown, nothing raised.
    local.gDBName = Ruta(QStringLiteral("ventas.mdb"));
    op.Responde(vbOK);
    local.OpenLocalADODB(QString(), QStringLiteral("User ID"), QStringLiteral("Password"));
    ASSERT_EQ(op.Transcripcion().size(), 2u);
    EXPECT_TRUE(op.Transcripcion()[1].texto.startsWith(QStringLiteral("3706  ")));
    EXPECT_EQ(op.Transcripcion()[1].botones, vbCritical);
}
