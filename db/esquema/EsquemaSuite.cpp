#include "db/esquema/EsquemaSuite.h"

#include "db/platform/Conexion.h"
#include "platform/Fallo.h"

namespace EsquemaSuite {

namespace {

// Article code columns (25), rubros, deposits and business units (4,
// stored right-justified: "   1"), accounts (15).
#define ART "varchar(25)"
#define COD4 "varchar(4)"

// Statistics tables: moved freely by the recoding plans, so no unique key.
QString Estadistica(const QString& tabla, bool diaria) {
    const QString periodo = diaria
                                ? QStringLiteral("    Fecha smalldatetime NOT NULL,\n")
                                : QStringLiteral("    Anio smallint NOT NULL,\n    Mes tinyint NOT NULL,\n");
    return QStringLiteral("CREATE TABLE %1 (\n").arg(tabla) + periodo +
           QStringLiteral("    IdUnidadNegocio " COD4
                          " NOT NULL DEFAULT '   1',\n"
                          "    IdDeposito " COD4
                          " NULL,\n"
                          "    IDARTICULO " ART
                          " NOT NULL,\n"
                          "    Cantidad decimal(18,4) NOT NULL DEFAULT 0,\n"
                          "    Importe money NOT NULL DEFAULT 0,\n"
                          "    Costo money NOT NULL DEFAULT 0\n"
                          ")");
}

// Supply lines of sales (V_) and purchase (C_) vouchers.
QString LineasInsumos(const QString& tabla, const QString& tercero) {
    return QStringLiteral(
               "CREATE TABLE %1 (\n"
               "    ID int IDENTITY(1,1) NOT NULL,\n"
               "    TC " COD4
               " NOT NULL,\n"
               "    IdComprobante varchar(13) NOT NULL,\n"
               "    IdComplemento int NOT NULL DEFAULT 0,\n"
               "    Renglon smallint NOT NULL,\n"
               "    Fecha datetime NOT NULL,\n"
               "    %2 varchar(6) NULL,\n"
               "    IDARTICULO " ART
               " NOT NULL,\n"
               "    Descripcion varchar(100) NULL,\n"
               "    Cantidad decimal(18,4) NOT NULL DEFAULT 0,\n"
               "    Precio money NOT NULL DEFAULT 0,\n"
               "    CONSTRAINT PK_%1 PRIMARY KEY (ID)\n"
               ")")
        .arg(tabla, tercero);
}

QString Precios(const QString& tabla) {
    return QStringLiteral(
               "CREATE TABLE %1 (\n"
               "    IdLista " COD4
               " NOT NULL,\n"
               "    IDARTICULO " ART
               " NOT NULL,\n"
               "    Precio money NOT NULL DEFAULT 0,\n"
               "    IdMoneda tinyint NOT NULL DEFAULT 1,\n"
               "    FechaModificacion datetime NULL DEFAULT getdate(),\n"
               "    CONSTRAINT PK_%1 PRIMARY KEY (IdLista, IDARTICULO)\n"
               ")")
        .arg(tabla);
}

// Key-value settings; the same table in both databases.
QString Configuracion() {
    return QStringLiteral(
        "CREATE TABLE TA_CONFIGURACION (\n"
        "    CLAVE varchar(50) NOT NULL,\n"
        "    GRUPO varchar(50) NOT NULL DEFAULT 'DATOS',\n"
        "    VALOR varchar(255) NULL,\n"
        "    valoraux varchar(255) NULL,\n"
        "    PoliticaNegocio bit NOT NULL DEFAULT 0,\n"
        "    CONSTRAINT PK_TA_CONFIGURACION PRIMARY KEY (CLAVE, GRUPO)\n"
        ")");
}

// A lookup master with a code and a description, plus extra columns.
QString Maestro(const QString& tabla, const QString& codigo, const QString& tipo, const QString& extra = {}) {
    return QStringLiteral(
               "CREATE TABLE %1 (\n"
               "    %2 %3 NOT NULL,\n"
               "    Descripcion varchar(100) NULL,\n")
               .arg(tabla, codigo, tipo) +
           extra + QStringLiteral("    CONSTRAINT PK_%1 PRIMARY KEY (%2)\n)").arg(tabla, codigo);
}

const char* const kMaestroArticulos =
    "CREATE TABLE V_MA_ARTICULOS (\n"
    "    IdArticulo " ART
    " NOT NULL,\n"
    "    Descripcion varchar(100) NULL,\n"
    "    DescripcionCorta varchar(40) NULL,\n"
    "    IDRUBRO " COD4
    " NULL,\n"
    "    IdFamilia varchar(15) NULL,\n"
    "    TalleDefault varchar(10) NULL DEFAULT '',\n"
    "    CodigoBarra varchar(25) NULL,\n"
    "    IdUnidad " COD4
    " NULL,\n"
    "    IdProveedor varchar(6) NULL,\n"
    "    ID int IDENTITY(1,1) NOT NULL,\n"
    "    Costo money NOT NULL DEFAULT 0,\n"
    "    PRECIO money NOT NULL DEFAULT 0,\n"
    "    PRECIO1 money NOT NULL DEFAULT 0,\n"
    "    PRECIO2 money NOT NULL DEFAULT 0,\n"
    "    PRECIO3 money NOT NULL DEFAULT 0,\n"
    "    PRECIO4 money NOT NULL DEFAULT 0,\n"
    "    PRECIO5 money NOT NULL DEFAULT 0,\n"
    "    PRECIO6 money NOT NULL DEFAULT 0,\n"
    "    PRECIO7 money NOT NULL DEFAULT 0,\n"
    "    PRECIO8 money NOT NULL DEFAULT 0,\n"
    "    AlicuotaIva decimal(6,2) NOT NULL DEFAULT 21,\n"
    "    PuntoPedido decimal(18,4) NOT NULL DEFAULT 0,\n"
    "    RutaImagen varchar(255) NULL,\n"
    "    SUSPENDIDO bit NOT NULL DEFAULT 0,\n"
    "    FechaAlta datetime NULL DEFAULT getdate(),\n"
    "    CONSTRAINT PK_V_MA_ARTICULOS PRIMARY KEY (IdArticulo)\n"
    ")";

std::vector<Sentencia> Tablas() {
    std::vector<Sentencia> t;
    auto agrega = [&t](const QString& objeto, const QString& texto) { t.push_back({objeto, texto}); };

    // The articles master and the tables that refer to its code.
    agrega("V_MA_ARTICULOS", kMaestroArticulos);
    agrega("AC_VENTASDIARIA", Estadistica("AC_VENTASDIARIA", true));
    agrega("AC_VENTASMES", Estadistica("AC_VENTASMES", false));
    agrega("AC_COMPRASDIARIA", Estadistica("AC_COMPRASDIARIA", true));
    agrega("AC_COMPRASMES", Estadistica("AC_COMPRASMES", false));
    agrega("V_MV_CPTEINSUMOS", LineasInsumos("V_MV_CPTEINSUMOS", "IdCliente"));
    agrega("C_MV_CPTEINSUMOS", LineasInsumos("C_MV_CPTEINSUMOS", "IdProveedor"));
    agrega("V_MV_STOCK", QStringLiteral("CREATE TABLE V_MV_STOCK (\n"
                                        "    ID int IDENTITY(1,1) NOT NULL,\n"
                                        "    Fecha datetime NOT NULL,\n"
                                        "    TC " COD4 " NOT NULL,\n"
                                        "    IdComprobante varchar(13) NULL,\n"
                                        "    IdDeposito " COD4 " NOT NULL,\n"
                                        "    IDARTICULO " ART " NOT NULL,\n"
                                        "    Cantidad decimal(18,4) NOT NULL,\n"
                                        "    Costo money NOT NULL DEFAULT 0,\n"
                                        "    Usuario varchar(25) NULL,\n"
                                        "    CONSTRAINT PK_V_MV_STOCK PRIMARY KEY (ID)\n"
                                        ")"));
    agrega("V_MA_INSUMOS", QStringLiteral("CREATE TABLE V_MA_INSUMOS (\n"
                                          "    IDARTICULO " ART " NOT NULL,\n"
                                          "    IDARTICULOINSUMO " ART " NOT NULL,\n"
                                          "    Cantidad decimal(18,4) NOT NULL DEFAULT 1,\n"
                                          "    IdUnidad " COD4 " NULL\n"
                                          ")"));
    agrega("V_MA_Precios", Precios("V_MA_Precios"));
    agrega("V_MA_Precios_Borrador", Precios("V_MA_Precios_Borrador"));
    agrega("S_TA_EQUIV", QStringLiteral("CREATE TABLE S_TA_EQUIV (\n"
                                        "    IDARTICULO " ART " NOT NULL,\n"
                                        "    Equivalencia " ART " NOT NULL,\n"
                                        "    IdProveedor varchar(6) NULL,\n"
                                        "    Descripcion varchar(100) NULL\n"
                                        ")"));

    // Settings, users, rights and the logs.
    agrega("TA_CONFIGURACION", Configuracion());
    agrega("TA_USUARIOS", QStringLiteral("CREATE TABLE TA_USUARIOS (\n"
                                         "    NOMBRE varchar(25) NOT NULL,\n"
                                         "    SISTEMA varchar(10) NOT NULL,\n"
                                         "    Password varchar(100) NULL,\n"
                                         "    NombreCompleto varchar(100) NULL,\n"
                                         "    Administrador tinyint NOT NULL DEFAULT 0,\n"
                                         "    UNegocio " COD4 " NULL,\n"
                                         "    verproforma bit NOT NULL DEFAULT 0,\n"
                                         "    clasepusa varchar(50) NULL,\n"
                                         "    Email varchar(100) NULL,\n"
                                         "    CONSTRAINT PK_TA_USUARIOS PRIMARY KEY (NOMBRE, SISTEMA)\n"
                                         ")"));
    agrega("TA_MENU", QStringLiteral("CREATE TABLE TA_MENU (\n"
                                     "    Clave varchar(10) NOT NULL,\n"
                                     "    Nombre varchar(100) NOT NULL,\n"
                                     "    Proceso varchar(100) NULL,\n"
                                     "    Padre varchar(10) NULL,\n"
                                     "    CONSTRAINT PK_TA_MENU PRIMARY KEY (Clave)\n"
                                     ")"));
    agrega("TA_TAREAS", QStringLiteral("CREATE TABLE TA_TAREAS (\n"
                                       "    USUARIO varchar(25) NOT NULL,\n"
                                       "    TAREA varchar(10) NOT NULL,\n"
                                       "    CONSTRAINT PK_TA_TAREAS PRIMARY KEY (USUARIO, TAREA)\n"
                                       ")"));
    // The access and action logs hold the times as the program formats
    // them (local date form), so they are texts.
    agrega("Control_Acceso", QStringLiteral("CREATE TABLE Control_Acceso (\n"
                                            "    ID int IDENTITY(1,1) NOT NULL,\n"
                                            "    Maquina varchar(50) NULL,\n"
                                            "    Usuario varchar(50) NULL,\n"
                                            "    Formulario varchar(100) NULL,\n"
                                            "    Tarea varchar(100) NULL,\n"
                                            "    Ingreso varchar(20) NULL,\n"
                                            "    EGRESO varchar(20) NULL,\n"
                                            "    NombreUsuario varchar(50) NULL,\n"
                                            "    CONSTRAINT PK_Control_Acceso PRIMARY KEY (ID)\n"
                                            ")"));
    agrega("V_MV_CPTEACCIONES", QStringLiteral("CREATE TABLE V_MV_CPTEACCIONES (\n"
                                               "    ID int IDENTITY(1,1) NOT NULL,\n"
                                               "    TC " COD4 " NULL,\n"
                                               "    IdComprobante varchar(25) NULL,\n"
                                               "    IdComplemento int NULL,\n"
                                               "    Tipo_accion varchar(2) NULL,\n"
                                               "    FECHAHORA varchar(30) NULL,\n"
                                               "    Usuario varchar(50) NULL,\n"
                                               "    PC varchar(50) NULL,\n"
                                               "    SYSTEMUSER varchar(255) NULL,\n"
                                               "    Proceso varchar(255) NULL,\n"
                                               "    ProcesoLote varchar(25) NULL,\n"
                                               "    Cuenta varchar(15) NULL,\n"
                                               "    CONSTRAINT PK_V_MV_CPTEACCIONES PRIMARY KEY (ID)\n"
                                               ")"));
    agrega("AUX_ERR", QStringLiteral("CREATE TABLE AUX_ERR (\n"
                                     "    ID int IDENTITY(1,1) NOT NULL,\n"
                                     "    Proceso varchar(255) NULL,\n"
                                     "    fecha varchar(20) NULL,\n"
                                     "    Error int NULL,\n"
                                     "    Descripcion varchar(255) NULL,\n"
                                     "    sql text NULL,\n"
                                     "    PC varchar(50) NULL,\n"
                                     "    Usuario varchar(50) NULL,\n"
                                     "    CONSTRAINT PK_AUX_ERR PRIMARY KEY (ID)\n"
                                     ")"));
    agrega("V_MV_FALTANTES", QStringLiteral("CREATE TABLE V_MV_FALTANTES (\n"
                                            "    ID int IDENTITY(1,1) NOT NULL,\n"
                                            "    FechaHora varchar(30) NULL,\n"
                                            "    IdArticulo " ART " NULL,\n"
                                            "    Descripcion varchar(100) NULL,\n"
                                            "    Usuario varchar(50) NULL,\n"
                                            "    CONSTRAINT PK_V_MV_FALTANTES PRIMARY KEY (ID)\n"
                                            ")"));

    // Lookup masters. Clients and suppliers share one table (Cliente 1 / 0).
    agrega("V_MA_CLIENTES", QStringLiteral("CREATE TABLE V_MA_CLIENTES (\n"
                                           "    CODIGO varchar(6) NOT NULL,\n"
                                           "    Cliente bit NOT NULL DEFAULT 1,\n"
                                           "    RAZON_SOCIAL varchar(100) NOT NULL,\n"
                                           "    CONTACTO varchar(100) NULL,\n"
                                           "    NUMERO_DOCUMENTO varchar(20) NULL,\n"
                                           "    Domicilio varchar(100) NULL,\n"
                                           "    Localidad varchar(50) NULL,\n"
                                           "    Telefono varchar(30) NULL,\n"
                                           "    Dada_De_Baja bit NOT NULL DEFAULT 0,\n"
                                           "    CONSTRAINT PK_V_MA_CLIENTES PRIMARY KEY (CODIGO, Cliente)\n"
                                           ")"));
    agrega("MA_DESTINATARIOS",
           QStringLiteral("CREATE TABLE MA_DESTINATARIOS (\n"
                          "    Cliente varchar(4) NOT NULL,\n"
                          "    Codigo varchar(16) NOT NULL,\n"
                          "    Sucursal varchar(6) NOT NULL,\n"
                          "    Nombre varchar(100) NULL,\n"
                          "    Domicilio varchar(100) NULL,\n"
                          "    CONSTRAINT PK_MA_DESTINATARIOS PRIMARY KEY (Cliente, Codigo, Sucursal)\n"
                          ")"));
    agrega("MA_CONTACTOS", QStringLiteral("CREATE TABLE MA_CONTACTOS (\n"
                                          "    idContacto int IDENTITY(1,1) NOT NULL,\n"
                                          "    Nombre_y_Apellido varchar(100) NOT NULL,\n"
                                          "    Domicilio varchar(100) NULL,\n"
                                          "    Localidad varchar(50) NULL,\n"
                                          "    Telefono varchar(30) NULL,\n"
                                          "    CONSTRAINT PK_MA_CONTACTOS PRIMARY KEY (idContacto)\n"
                                          ")"));
    agrega("V_TA_RUBROS", Maestro("V_TA_RUBROS", "IdRubro", COD4));
    agrega("V_TA_FAMILIAS", Maestro("V_TA_FAMILIAS", "IdFamilia", "varchar(15)",
                                    "    Confidencial bit NOT NULL DEFAULT 0,\n"));
    agrega("V_TA_Unidad", Maestro("V_TA_Unidad", "IdUnidad", COD4));
    agrega("V_TA_STATUS", Maestro("V_TA_STATUS", "CodigoEstado", COD4, "    Tipo varchar(10) NULL,\n"));
    agrega("V_TA_DEPOSITO", Maestro("V_TA_DEPOSITO", "IdDeposito", COD4,
                                    "    Unidad " COD4 " NULL,\n    Confidencial bit NOT NULL DEFAULT 0,\n"));
    agrega("V_TA_CAJAS", Maestro("V_TA_CAJAS", "IdCaja", COD4, "    Confidencial bit NOT NULL DEFAULT 0,\n"));
    agrega("V_TA_UnidadNegocio", QStringLiteral("CREATE TABLE V_TA_UnidadNegocio (\n"
                                                "    codigo " COD4 " NOT NULL,\n"
                                                "    Descripcion varchar(100) NULL,\n"
                                                "    razon_social varchar(100) NULL,\n"
                                                "    Cuit varchar(13) NULL,\n"
                                                "    CONSTRAINT PK_V_TA_UnidadNegocio PRIMARY KEY (codigo)\n"
                                                ")"));
    agrega("V_TA_VENDEDORES", QStringLiteral("CREATE TABLE V_TA_VENDEDORES (\n"
                                             "    IDVENDEDOR " COD4 " NOT NULL,\n"
                                             "    NOMBRE varchar(100) NULL,\n"
                                             "    CONSTRAINT PK_V_TA_VENDEDORES PRIMARY KEY (IDVENDEDOR)\n"
                                             ")"));
    agrega("V_TA_TECNICOS", QStringLiteral("CREATE TABLE V_TA_TECNICOS (\n"
                                           "    IDTECNICO " COD4 " NOT NULL,\n"
                                           "    NOMBRE varchar(100) NULL,\n"
                                           "    CONSTRAINT PK_V_TA_TECNICOS PRIMARY KEY (IDTECNICO)\n"
                                           ")"));
    agrega("V_TA_Tareas", Maestro("V_TA_Tareas", "IdTarea", "varchar(10)"));
    agrega("V_MA_MANTENIMIENTOS",
           QStringLiteral("CREATE TABLE V_MA_MANTENIMIENTOS (\n"
                          "    CODIGO varchar(10) NOT NULL,\n"
                          "    DESCRIPCION varchar(100) NULL,\n"
                          "    CONSTRAINT PK_V_MA_MANTENIMIENTOS PRIMARY KEY (CODIGO)\n"
                          ")"));
    agrega("V_MA_EMAIL", QStringLiteral("CREATE TABLE V_MA_EMAIL (\n"
                                        "    Evento varchar(50) NOT NULL,\n"
                                        "    Destinatario varchar(100) NULL,\n"
                                        "    Asunto varchar(100) NULL\n"
                                        ")"));
    agrega("V_MV_TROPA", QStringLiteral("CREATE TABLE V_MV_TROPA (\n"
                                        "    id int IDENTITY(1,1) NOT NULL,\n"
                                        "    FechaDte datetime NULL,\n"
                                        "    Dte varchar(20) NULL,\n"
                                        "    IdTropa varchar(10) NULL,\n"
                                        "    Patente varchar(10) NULL,\n"
                                        "    Chofer varchar(50) NULL,\n"
                                        "    NroGuia varchar(20) NULL,\n"
                                        "    CuitVendedor varchar(13) NULL,\n"
                                        "    CONSTRAINT PK_V_MV_TROPA PRIMARY KEY (id)\n"
                                        ")"));
    agrega("V_MV_TROPA_STOCK", QStringLiteral("CREATE TABLE V_MV_TROPA_STOCK (\n"
                                              "    id int IDENTITY(1,1) NOT NULL,\n"
                                              "    idTropa varchar(10) NULL,\n"
                                              "    categoria varchar(10) NULL,\n"
                                              "    secuencia int NULL,\n"
                                              "    lado varchar(2) NULL,\n"
                                              "    kg decimal(18,3) NULL,\n"
                                              "    comprador varchar(6) NULL,\n"
                                              "    fecha datetime NULL,\n"
                                              "    idPlanilla int NULL,\n"
                                              "    CONSTRAINT PK_V_MV_TROPA_STOCK PRIMARY KEY (id)\n"
                                              ")"));
    agrega("VT_MAPINFO_CALLES", QStringLiteral("CREATE TABLE VT_MAPINFO_CALLES (\n"
                                               "    STREET varchar(100) NOT NULL,\n"
                                               "    LOCALIDAD varchar(50) NULL\n"
                                               ")"));
    agrega("MAPINFO_LOCALIDADES", QStringLiteral("CREATE TABLE MAPINFO_LOCALIDADES (\n"
                                                 "    LOCALIDAD varchar(50) NOT NULL,\n"
                                                 "    PARTIDO varchar(50) NULL,\n"
                                                 "    Cod_postal varchar(10) NULL\n"
                                                 ")"));

    // Accounting: accounts, cost centres, positions, and the confidential
    // tables behind the SS_ views.
    agrega("MA_CUENTAS", QStringLiteral("CREATE TABLE MA_CUENTAS (\n"
                                        "    CODIGO varchar(15) NOT NULL,\n"
                                        "    DESCRIPCION varchar(100) NULL,\n"
                                        "    Imputable bit NOT NULL DEFAULT 1,\n"
                                        "    Confidencial bit NOT NULL DEFAULT 0,\n"
                                        "    CONSTRAINT PK_MA_CUENTAS PRIMARY KEY (CODIGO)\n"
                                        ")"));
    agrega("TA_CCOSTO", QStringLiteral("CREATE TABLE TA_CCOSTO (\n"
                                       "    CODIGO varchar(15) NOT NULL,\n"
                                       "    DESCRIPCION varchar(100) NULL,\n"
                                       "    CONSTRAINT PK_TA_CCOSTO PRIMARY KEY (CODIGO)\n"
                                       ")"));
    agrega("MA_POSICIONES", QStringLiteral("CREATE TABLE MA_POSICIONES (\n"
                                           "    IDPOSICION varchar(15) NOT NULL,\n"
                                           "    DESCRIPCION varchar(100) NULL,\n"
                                           "    CONSTRAINT PK_MA_POSICIONES PRIMARY KEY (IDPOSICION)\n"
                                           ")"));
    agrega("MV_ASIENTOS", QStringLiteral("CREATE TABLE MV_ASIENTOS (\n"
                                         "    ID int IDENTITY(1,1) NOT NULL,\n"
                                         "    NroAsiento int NOT NULL,\n"
                                         "    Fecha datetime NOT NULL,\n"
                                         "    CUENTA varchar(15) NOT NULL,\n"
                                         "    CCOSTO varchar(15) NULL,\n"
                                         "    Debe money NOT NULL DEFAULT 0,\n"
                                         "    Haber money NOT NULL DEFAULT 0,\n"
                                         "    Concepto varchar(100) NULL,\n"
                                         "    CONSTRAINT PK_MV_ASIENTOS PRIMARY KEY (ID)\n"
                                         ")"));
    agrega("AC_CUENTASDIARIO", QStringLiteral("CREATE TABLE AC_CUENTASDIARIO (\n"
                                              "    Fecha smalldatetime NOT NULL,\n"
                                              "    CUENTA varchar(15) NOT NULL,\n"
                                              "    Debe money NOT NULL DEFAULT 0,\n"
                                              "    Haber money NOT NULL DEFAULT 0\n"
                                              ")"));
    agrega("AC_CUENTASDIARIO_CCOSTO", QStringLiteral("CREATE TABLE AC_CUENTASDIARIO_CCOSTO (\n"
                                                     "    Fecha smalldatetime NOT NULL,\n"
                                                     "    CUENTA varchar(15) NOT NULL,\n"
                                                     "    CCOSTO varchar(15) NOT NULL,\n"
                                                     "    Debe money NOT NULL DEFAULT 0,\n"
                                                     "    Haber money NOT NULL DEFAULT 0\n"
                                                     ")"));
    return t;
}

// Non-unique indexes on the code columns the recoding plans search by.
std::vector<Sentencia> Indices() {
    std::vector<Sentencia> t;
    const char* const porArticulo[] = {"AC_VENTASDIARIA", "AC_VENTASMES",     "AC_COMPRASDIARIA",
                                       "AC_COMPRASMES",   "V_MV_CPTEINSUMOS", "C_MV_CPTEINSUMOS",
                                       "V_MV_STOCK",      "V_MA_INSUMOS",     "S_TA_EQUIV"};
    for (const char* tabla : porArticulo) {
        const QString nombre = QStringLiteral("IX_%1_IDARTICULO").arg(QLatin1String(tabla));
        t.push_back({nombre, QStringLiteral("CREATE NONCLUSTERED INDEX %1 ON %2 (IDARTICULO)")
                                 .arg(nombre, QLatin1String(tabla))});
    }
    t.push_back(
        {"IX_V_MA_INSUMOS_IDARTICULOINSUMO",
         "CREATE NONCLUSTERED INDEX IX_V_MA_INSUMOS_IDARTICULOINSUMO ON V_MA_INSUMOS (IDARTICULOINSUMO)"});
    t.push_back({"IX_V_MA_Precios_IDARTICULO",
                 "CREATE INDEX IX_V_MA_Precios_IDARTICULO ON V_MA_Precios (IDARTICULO)"});
    t.push_back({"IX_V_MA_Precios_Borrador_IDARTICULO",
                 "CREATE INDEX IX_V_MA_Precios_Borrador_IDARTICULO ON V_MA_Precios_Borrador (IDARTICULO)"});
    t.push_back({"IX_V_MA_ARTICULOS_ID", "CREATE UNIQUE INDEX IX_V_MA_ARTICULOS_ID ON V_MA_ARTICULOS (ID)"});
    t.push_back(
        {"IX_V_MA_ARTICULOS_IDRUBRO", "CREATE INDEX IX_V_MA_ARTICULOS_IDRUBRO ON V_MA_ARTICULOS (IDRUBRO)"});
    t.push_back({"IX_V_MA_ARTICULOS_Descripcion",
                 "CREATE INDEX IX_V_MA_ARTICULOS_Descripcion ON V_MA_ARTICULOS (Descripcion)"});
    t.push_back({"IX_MV_ASIENTOS_CUENTA", "CREATE INDEX IX_MV_ASIENTOS_CUENTA ON MV_ASIENTOS (CUENTA)"});
    return t;
}

std::vector<Sentencia> Vistas() {
    return {
        // Lookup views.
        {"VT_MA_ARTICULOS",
         "CREATE VIEW VT_MA_ARTICULOS AS SELECT a.IdArticulo, a.Descripcion, a.IDRUBRO, r.Descripcion AS "
         "Rubro, "
         "a.IdFamilia, a.TalleDefault, a.CodigoBarra, a.PRECIO, a.PRECIO1, a.PRECIO2, a.PRECIO3, a.PRECIO4, "
         "a.PRECIO5, a.PRECIO6, a.PRECIO7, a.PRECIO8, a.RutaImagen, a.SUSPENDIDO "
         "FROM V_MA_ARTICULOS a LEFT OUTER JOIN V_TA_RUBROS r ON r.IdRubro = a.IDRUBRO"},
        {"STK_MA_ARTICULOS",
         "CREATE VIEW STK_MA_ARTICULOS AS SELECT a.IdArticulo, a.Descripcion, a.IDRUBRO, a.PRECIO, "
         "a.RutaImagen, "
         "a.SUSPENDIDO, a.PuntoPedido, d.IdDeposito AS Deposito, "
         "ISNULL((SELECT SUM(s.Cantidad) FROM V_MV_STOCK s WHERE s.IDARTICULO = a.IdArticulo "
         "AND s.IdDeposito = d.IdDeposito), 0) AS Stock "
         "FROM V_MA_ARTICULOS a, V_TA_DEPOSITO d"},
        {"VT_CLIENTES",
         "CREATE VIEW VT_CLIENTES AS SELECT CODIGO, RAZON_SOCIAL, CONTACTO, NUMERO_DOCUMENTO, Domicilio, "
         "Localidad, "
         "Telefono, Dada_De_Baja FROM V_MA_CLIENTES WHERE Cliente = 1"},
        {"VT_CLIENTESvs",
         "CREATE VIEW VT_CLIENTESvs AS SELECT CODIGO, RAZON_SOCIAL, CONTACTO, NUMERO_DOCUMENTO, Domicilio, "
         "Localidad, Telefono, Dada_De_Baja FROM V_MA_CLIENTES WHERE Cliente = 1"},
        {"VT_PROVEEDORES",
         "CREATE VIEW VT_PROVEEDORES AS SELECT CODIGO, RAZON_SOCIAL, CONTACTO, NUMERO_DOCUMENTO, Domicilio, "
         "Localidad, Telefono, Dada_De_Baja FROM V_MA_CLIENTES WHERE Cliente = 0"},
        // The synonyms a user who is not an administrator reads through:
        // the rows not marked confidential.
        {"SS_MA_CUENTAS",
         "CREATE VIEW SS_MA_CUENTAS AS SELECT CODIGO, DESCRIPCION, Imputable, Confidencial "
         "FROM MA_CUENTAS WHERE Confidencial = 0"},
        {"SS_V_TA_DEPOSITO",
         "CREATE VIEW SS_V_TA_DEPOSITO AS SELECT IdDeposito, Descripcion, Unidad, Confidencial "
         "FROM V_TA_DEPOSITO WHERE Confidencial = 0"},
        {"SS_MV_ASIENTOS",
         "CREATE VIEW SS_MV_ASIENTOS AS SELECT ID, NroAsiento, Fecha, CUENTA, CCOSTO, Debe, Haber, Concepto "
         "FROM MV_ASIENTOS WHERE CUENTA IN (SELECT CODIGO FROM MA_CUENTAS WHERE Confidencial = 0)"},
        {"SS_V_TA_FAMILIAS",
         "CREATE VIEW SS_V_TA_FAMILIAS AS SELECT IdFamilia, Descripcion, Confidencial "
         "FROM V_TA_FAMILIAS WHERE Confidencial = 0"},
        {"SS_V_TA_CAJAS",
         "CREATE VIEW SS_V_TA_CAJAS AS SELECT IdCaja, Descripcion, Confidencial "
         "FROM V_TA_CAJAS WHERE Confidencial = 0"},
        {"SS_AC_CUENTASDIARIO",
         "CREATE VIEW SS_AC_CUENTASDIARIO AS SELECT Fecha, CUENTA, Debe, Haber FROM AC_CUENTASDIARIO "
         "WHERE CUENTA IN (SELECT CODIGO FROM MA_CUENTAS WHERE Confidencial = 0)"},
        {"SS_AC_CUENTAS_DIARIO_CCOSTO",
         "CREATE VIEW SS_AC_CUENTAS_DIARIO_CCOSTO AS SELECT Fecha, CUENTA, CCOSTO, Debe, Haber "
         "FROM AC_CUENTASDIARIO_CCOSTO WHERE CUENTA IN (SELECT CODIGO FROM MA_CUENTAS WHERE Confidencial = "
         "0)"},
    };
}

// Triggers that a recoding must switch off: an article with stock
// movements may not be deleted nor change its code, and a movement may not
// change its article.
std::vector<Sentencia> Disparadores(Motor motor) {
    const QString conStockBorra = QStringLiteral("No se puede eliminar un articulo con movimientos de stock");
    const QString conStockCodigo =
        QStringLiteral("No se puede cambiar el codigo de un articulo con movimientos de stock");
    const QString movimiento = QStringLiteral("No se puede cambiar el articulo de un movimiento de stock");
    if (motor == Motor::SqlServer) {
        return {
            {"TR_V_MA_ARTICULOS_BORRA",
             "CREATE TRIGGER TR_V_MA_ARTICULOS_BORRA ON V_MA_ARTICULOS AFTER DELETE AS\n"
             "IF EXISTS (SELECT 1 FROM deleted d INNER JOIN V_MV_STOCK s ON s.IDARTICULO = d.IdArticulo)\n"
             "BEGIN\n    RAISERROR('" +
                 conStockBorra + "', 16, 1)\n    ROLLBACK TRANSACTION\nEND"},
            {"TR_V_MA_ARTICULOS_CODIGO",
             "CREATE TRIGGER TR_V_MA_ARTICULOS_CODIGO ON V_MA_ARTICULOS AFTER UPDATE AS\n"
             "IF UPDATE(IdArticulo) AND EXISTS (SELECT 1 FROM deleted d INNER JOIN V_MV_STOCK s "
             "ON s.IDARTICULO = d.IdArticulo)\n"
             "BEGIN\n    RAISERROR('" +
                 conStockCodigo + "', 16, 1)\n    ROLLBACK TRANSACTION\nEND"},
            {"TR_V_MV_STOCK_ARTICULO",
             "CREATE TRIGGER TR_V_MV_STOCK_ARTICULO ON V_MV_STOCK AFTER UPDATE AS\n"
             "IF UPDATE(IDARTICULO)\n"
             "BEGIN\n    RAISERROR('" +
                 movimiento + "', 16, 1)\n    ROLLBACK TRANSACTION\nEND"},
        };
    }
    return {
        {"TR_V_MA_ARTICULOS_BORRA",
         "CREATE TRIGGER TR_V_MA_ARTICULOS_BORRA AFTER DELETE ON V_MA_ARTICULOS BEGIN "
         "SELECT RAISE(ABORT, '" +
             conStockBorra +
             "') "
             "WHERE EXISTS (SELECT 1 FROM V_MV_STOCK WHERE IDARTICULO = OLD.IdArticulo); END"},
        {"TR_V_MA_ARTICULOS_CODIGO",
         "CREATE TRIGGER TR_V_MA_ARTICULOS_CODIGO AFTER UPDATE OF IdArticulo ON V_MA_ARTICULOS BEGIN "
         "SELECT RAISE(ABORT, '" +
             conStockCodigo +
             "') "
             "WHERE EXISTS (SELECT 1 FROM V_MV_STOCK WHERE IDARTICULO = OLD.IdArticulo); END"},
        {"TR_V_MV_STOCK_ARTICULO",
         "CREATE TRIGGER TR_V_MV_STOCK_ARTICULO AFTER UPDATE OF IDARTICULO ON V_MV_STOCK BEGIN "
         "SELECT RAISE(ABORT, '" +
             movimiento + "'); END"},
    };
}

}  // namespace

// The embedded engine indexes the trimmed code, which the size-variant
// search compares; a server scans for it.
std::vector<Sentencia> IndicesDelMotor(Motor motor) {
    if (motor == Motor::SqlServer) return {};
    return {{"IX_V_MA_ARTICULOS_LTRIM", "CREATE INDEX IX_V_MA_ARTICULOS_LTRIM ON V_MA_ARTICULOS (LTRIM(IdArticulo))"}};
}

std::vector<Sentencia> SentenciasPrincipal(Motor motor) {
    std::vector<Sentencia> todas = SentenciasTablasPrincipal(motor);
    const std::vector<Sentencia> resto = SentenciasSobreTablasPrincipal(motor);
    todas.insert(todas.end(), resto.begin(), resto.end());
    return todas;
}

std::vector<Sentencia> SentenciasTablasPrincipal(Motor) {
    return Tablas();
}

std::vector<Sentencia> SentenciasSobreTablasPrincipal(Motor motor) {
    std::vector<Sentencia> todas;
    for (const std::vector<Sentencia>& parte : {Indices(), IndicesDelMotor(motor), Vistas(), Disparadores(motor)})
        todas.insert(todas.end(), parte.begin(), parte.end());
    return todas;
}

std::vector<Sentencia> SentenciasEstadisticas(Motor) {
    return {{"TA_CONFIGURACION", Configuracion()}};
}

QStringList TablasPrincipal() {
    QStringList nombres;
    for (const Sentencia& s : Tablas()) nombres << s.objeto;
    return nombres;
}

QStringList VistasPrincipal() {
    QStringList nombres;
    for (const Sentencia& s : Vistas()) nombres << s.objeto;
    return nombres;
}

Motor MotorDe(const Conexion& cn) {
    return cn.Controlador_() == QLatin1String("embebido") ? Motor::Embebido : Motor::SqlServer;
}

void Ejecuta(Conexion& cn, const std::vector<Sentencia>& sentencias) {
    for (const Sentencia& s : sentencias) {
        auto falla = [&s](int32_t numero, const QString& mensaje) {
            throw Fallo(numero, QStringLiteral("No se pudo crear %1: %2").arg(s.objeto, mensaje),
                        QStringLiteral("EsquemaSuite"));
        };
        try {
            cn.Execute(s.texto);
        } catch (const Fallo& f) {
            const auto& e = cn.Errors().Todas();
            falla(f.Numero(), e.empty() ? f.Descripcion() : e.front().Description);
        }
        if (cn.Errors().Count() > 0) {
            const ErrorProveedor& e = cn.Errors().Item(0);
            falla(e.Number, e.Description);
        }
    }
}

void CreaEsquemaPrincipal(Conexion& cn) {
    Ejecuta(cn, SentenciasPrincipal(MotorDe(cn)));
}

void CreaEsquemaEstadisticas(Conexion& cn) {
    Ejecuta(cn, SentenciasEstadisticas(MotorDe(cn)));
}

}  // namespace EsquemaSuite
