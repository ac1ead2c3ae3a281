#include "db/esquema/GeneradorDemo.h"

#include <QDate>
#include <QFile>
#include <QStringList>
#include <exception>
#include <memory>
#include <vector>

#include "db/esquema/EsquemaSuite.h"
#include "db/platform/Conexion.h"
#include "db/platform/embebido/BaseEmbebida.h"
#include "platform/lib/Lib_Util.h"
#include "platform/Aplicacion.h"
#include "platform/Fallo.h"
#include "platform/Texto.h"

namespace GeneradorDemo {

namespace {

// splitmix64: the same sequence for a seed on every platform.
class Azar {
  public:
    explicit Azar(uint64_t semilla) : s_(semilla) {}
    uint64_t Siguiente() {
        uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    int Hasta(int n) { return n <= 0 ? 0 : static_cast<int>(Siguiente() % static_cast<uint64_t>(n)); }
    bool Por100(int p) { return Hasta(100) < p; }
    template <typename T>
    const T& Uno(const std::vector<T>& v) {
        return v[static_cast<std::size_t>(Hasta(static_cast<int>(v.size())))];
    }

  private:
    uint64_t s_;
};

QString Literal(const QString& s) {
    QString r = s;
    r.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
}

// A value of a row: a text, a number as the statement writes it, or NULL.
struct Valor {
    enum Clase : unsigned char { EsTexto, EsNumero, EsNulo };
    Valor(QString t, Clase c = EsTexto) : texto(std::move(t)), clase(c) {}
    Valor(const char* t) : texto(QString::fromUtf8(t)) {}
    QString texto;
    Clase clase = EsTexto;
};

const Valor kNulo(QString(), Valor::EsNulo);

Valor Numero(double v, int decimales = 2) {
    return {QString::number(v, 'f', decimales), Valor::EsNumero};
}

Valor Entero(long long v) {
    return {QString::number(v), Valor::EsNumero};
}

// Dates as ISO 8601 with a "T": read the same way whatever the language.
QString Fecha(const QDate& d, int segundos = 0) {
    return d.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('T') +
           QStringLiteral("%1:%2:%3")
               .arg(segundos / 3600 % 24, 2, 10, QLatin1Char('0'))
               .arg(segundos / 60 % 60, 2, 10, QLatin1Char('0'))
               .arg(segundos % 60, 2, 10, QLatin1Char('0'));
}

// Right-justified width 4, as the suite stores rubros, deposits, units.
QString Cod4(const QString& s) {
    return s.rightJustified(4, QLatin1Char(' '));
}

void FallaSiErrores(Conexion& cn, const QString& paso) {
    if (cn.Errors().Count() > 0) {
        const ErrorProveedor& e = cn.Errors().Item(0);
        throw Fallo(e.Number, QStringLiteral("%1: %2").arg(paso, e.Description),
                    QStringLiteral("GeneradorDemo"));
    }
}

// Runs `paso` on the connection; a failure names the step.
template <typename F>
void Ejecuta(Conexion& cn, const QString& paso, F&& envio) {
    try {
        envio();
    } catch (const Fallo& f) {
        if (cn.Errors().Count() == 0)
            throw Fallo(f.Numero(), QStringLiteral("%1: %2").arg(paso, f.Descripcion()),
                        QStringLiteral("GeneradorDemo"));
    }
    FallaSiErrores(cn, paso);
}

// The rows of a table. On the embedded engine each row runs one INSERT
// prepared once, its values bound (stored as their literals would be); on a
// server, multi-row INSERT ... VALUES texts of at most 1000 rows (SQL
// Server's limit), several of them to a request.
class Insercion {
  public:
    // `cuenta`: the name the rows are counted under (the table by default).
    Insercion(Conexion& cn, ResumenDemo& resumen, QString tabla, QString columnas, QString cuenta = {})
        : cn_(cn),
          resumen_(resumen),
          tabla_(std::move(tabla)),
          columnas_(std::move(columnas)),
          cuenta_(cuenta.isEmpty() ? tabla_ : cuenta),
          paso_(QStringLiteral("Carga de ") + tabla_) {
        if (EsquemaSuite::MotorDe(cn_) != EsquemaSuite::Motor::Embebido) return;
        const int n = static_cast<int>(columnas_.count(QLatin1Char(','))) + 1;
        QStringList marcas(n, QStringLiteral("?"));
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(tabla_, columnas_, marcas.join(QLatin1Char(',')));
        Ejecuta(cn_, paso_, [&] { preparada_ = cn_.Prepara(sql); });
        parametros_.reserve(n);
    }
    // Sends what is left, unless the scope is being left by a failure.
    ~Insercion() noexcept(false) {
        if (!cerrada_ && std::uncaught_exceptions() == 0) Cierra();
    }
    void Fila(std::initializer_list<Valor> valores) { Fila(valores.begin(), valores.size()); }
    void Fila(const std::vector<Valor>& valores) { Fila(valores.data(), valores.size()); }
    void Cierra() {
        cerrada_ = true;
        CierraSentencia();
        Envia();
    }

  private:
    void Fila(const Valor* valores, std::size_t n) {
        ++resumen_.filas[cuenta_];
        if (preparada_) {
            parametros_.clear();
            for (std::size_t i = 0; i < n; ++i)
                parametros_.append(valores[i].clase == Valor::EsNulo ? QVariant() : QVariant(valores[i].texto));
            Ejecuta(cn_, paso_, [&] { preparada_->Ejecuta(parametros_); });
            return;
        }
        sentencia_ += filas_ == 0 ? QStringLiteral("INSERT INTO %1 (%2) VALUES (").arg(tabla_, columnas_)
                                  : QStringLiteral(",(");
        for (std::size_t i = 0; i < n; ++i) {
            if (i > 0) sentencia_ += QLatin1Char(',');
            const Valor& v = valores[i];
            sentencia_ += v.clase == Valor::EsTexto    ? Literal(v.texto)
                          : v.clase == Valor::EsNumero ? v.texto
                                                       : QStringLiteral("NULL");
        }
        sentencia_ += QLatin1Char(')');
        if (++filas_ == 1000) CierraSentencia();
    }
    void CierraSentencia() {
        if (filas_ == 0) return;
        lote_ += sentencia_ + QStringLiteral("\r\n");
        sentencia_.clear();
        filas_ = 0;
        if (++sentencias_ == 10) Envia();
    }
    void Envia() {
        if (lote_.isEmpty()) return;
        Ejecuta(cn_, paso_, [&] { cn_.Execute(lote_); });
        lote_.clear();
        sentencias_ = 0;
    }

    Conexion& cn_;
    ResumenDemo& resumen_;
    QString tabla_, columnas_, cuenta_, paso_, sentencia_, lote_;
    std::unique_ptr<SentenciaPreparada> preparada_;
    QVariantList parametros_;
    int filas_ = 0, sentencias_ = 0;
    bool cerrada_ = false;
};

struct Articulo {
    QString codigo;  // as stored
    QString talle;   // TalleDefault of a size variant
};

const std::vector<QString> kSustantivos = {
    "TORNILLO",   "ARANDELA",      "TUERCA",   "CLAVO",    "BULONES", "CAÑO PVC",   "CODO PVC", "CABLE",
    "LAMPARA",    "PINTURA LATEX", "REMERA",   "PANTALON", "CAMPERA", "ZAPATILLA",  "MEDIAS",   "GORRA",
    "YERBA MATE", "ACEITE",        "HARINA",   "AZUCAR",   "FIDEOS",  "GALLETITAS", "CAFE",     "DETERGENTE",
    "LAVANDINA",  "ESPONJA",       "CUADERNO", "LAPICERA", "CARPETA", "TIJERA"};
const std::vector<QString> kCalificativos = {"ACERO",     "BRONCE",  "GALVANIZADO", "BLANCO",   "NEGRO",
                                             "AZUL",      "ROJO",    "ALGODON",     "JEAN",     "CUERO",
                                             "ECONOMICO", "PREMIUM", "REFORZADO",   "LIVIANO",  "CLÁSICO",
                                             "NIÑOS",     "ESPAÑOL", "IMPORTADO",   "NACIONAL", "ORGANICO"};
const std::vector<QString> kMedidas = {"1/4",   "3/8",  "1/2",    "3/4",    "10MM",  "20MM",
                                       "110MM", "1 KG", "500 GR", "1 LT",   "5 LT",  "X 12",
                                       "X 24",  "A4",   "N 5",    "GRANDE", "CHICO", "MEDIANO"};
const std::vector<QString> kPrefijos = {"TOR", "ARA", "REM", "PAN", "CAM", "ZAP", "FER", "LIB"};
const std::vector<std::vector<QString>> kTalles = {
    {"S", "M", "L", "XL"}, {"38", "40", "42", "44", "46"}, {"P", "M", "G"}};

struct Rubro {
    const char* codigo;
    const char* descripcion;
};
const Rubro kRubros[] = {{"1", "FERRETERIA"}, {"2", "ELECTRICIDAD"}, {"3", "SANITARIOS"},
                         {"5", "PINTURERIA"}, {"8", "INDUMENTARIA"}, {"10", "CALZADO"},
                         {"12", "ALMACEN"},   {"15", "BEBIDAS"},     {"20", "LIMPIEZA"},
                         {"101", "LIBRERIA"}, {"102", "JUGUETERIA"}, {"150", "BAZAR"},
                         {"201", "JARDIN"},   {"305", "AUTOMOTOR"},  {"999", "VARIOS"}};

const char* const kFamilias[][2] = {{"01", "FERRETERIA"},  {"0101", "BULONERIA"},    {"010101", "TORNILLOS"},
                                    {"010102", "TUERCAS"}, {"0102", "HERRAMIENTAS"}, {"02", "TEXTIL"},
                                    {"0201", "HOMBRE"},    {"0202", "MUJER"},        {"020201", "REMERAS"},
                                    {"03", "ALIMENTOS"},   {"0301", "SECOS"},        {"0302", "BEBIDAS"},
                                    {"04", "LIMPIEZA"},    {"05", "RESERVADA"}};
const char* const kFamiliasHoja[] = {"010101", "010102", "0102", "0201", "020201", "0301", "0302", "04"};

// An EAN-13 bar code for Argentina (779), with its check digit.
QString CodigoBarra(Azar& azar) {
    QString d = QStringLiteral("779");
    for (int i = 0; i < 9; ++i) d += QChar('0' + azar.Hasta(10));
    int suma = 0;
    for (int i = 0; i < 12; ++i) suma += (d[i].digitValue()) * (i % 2 ? 3 : 1);
    return d + QChar('0' + (10 - suma % 10) % 10);
}

QString CodigoBase(Azar& azar, int k, bool& admiteTalles) {
    const int r = azar.Hasta(100);
    admiteTalles = true;
    if (r < 60) return QString::number(10000 + k);
    if (r < 72)
        return azar.Uno(kPrefijos) + QLatin1Char('-') +
               QString::number(k).rightJustified(5, QLatin1Char('0'));
    if (r < 76) return azar.Uno(kPrefijos).toLower() + QString::number(k);
    if (r < 84) return QString::number(k / 10) + QLatin1Char('.') + QString::number(k % 10);
    admiteTalles = false;
    if (r < 88)
        return QStringLiteral("  ") + QString::number(k / 10) + QLatin1Char('.') + QString::number(k % 10);
    if (r < 92) return QStringLiteral("   ") + QString::number(10000 + k);
    return azar.Uno(kPrefijos) + QLatin1Char(' ') + QString::number(k);
}

void CargaMaestros(Conexion& cn, Azar& azar, ResumenDemo& r) {
    {
        Insercion ins(cn, r, "V_TA_RUBROS", "IdRubro,Descripcion");
        for (const Rubro& x : kRubros) ins.Fila({Cod4(x.codigo), x.descripcion});
    }
    {
        Insercion ins(cn, r, "V_TA_FAMILIAS", "IdFamilia,Descripcion,Confidencial");
        for (const auto& f : kFamilias)
            ins.Fila({f[0], f[1], Entero(QLatin1String(f[0]) == "05" ? 1 : 0)});
    }
    {
        Insercion ins(cn, r, "V_TA_UnidadNegocio", "codigo,Descripcion,razon_social,Cuit");
        ins.Fila({"   1", "CASA CENTRAL", "DISTRIBUIDORA DEMO S.A.", "30-71234567-8"});
        ins.Fila({"   2", "SUCURSAL NORTE", "DISTRIBUIDORA DEMO NORTE S.R.L.", "30-71234568-6"});
    }
    {
        Insercion ins(cn, r, "V_TA_DEPOSITO", "IdDeposito,Descripcion,Unidad,Confidencial");
        ins.Fila({"   1", "DEPOSITO CENTRAL", "   1", Entero(0)});
        ins.Fila({"   2", "DEPOSITO NORTE", "   2", Entero(0)});
        ins.Fila({"   3", "DEPOSITO RESERVADO", "   1", Entero(1)});
    }
    {
        Insercion ins(cn, r, "V_TA_Unidad", "IdUnidad,Descripcion");
        for (const char* u : {"UN", "KG", "LT", "MT", "M2", "M3", "CJ"})
            ins.Fila({Cod4(u), u});
    }
    {
        Insercion ins(cn, r, "V_TA_STATUS", "CodigoEstado,Descripcion,Tipo");
        ins.Fila({"   1", "PENDIENTE", "PEDIDO"});
        ins.Fila({"   2", "CUMPLIDO", "PEDIDO"});
        ins.Fila({"   3", "ANULADO", "PEDIDO"});
    }
    {
        Insercion ins(cn, r, "V_TA_CAJAS", "IdCaja,Descripcion,Confidencial");
        ins.Fila({"   1", "CAJA PRINCIPAL", Entero(0)});
        ins.Fila({"   2", "CAJA MOSTRADOR", Entero(0)});
        ins.Fila({"   9", "CAJA GERENCIA", Entero(1)});
    }
    {
        Insercion ins(cn, r, "V_TA_VENDEDORES", "IDVENDEDOR,NOMBRE");
        ins.Fila({"   1", "MARTA GOMEZ"});
        ins.Fila({"   2", "JORGE PEREZ"});
        ins.Fila({"   3", "LUCIA FERNANDEZ"});
    }
    {
        Insercion ins(cn, r, "V_TA_TECNICOS", "IDTECNICO,NOMBRE");
        ins.Fila({"   1", "RAUL IBAÑEZ"});
        ins.Fila({"   2", "SOFIA ROMERO"});
    }
    {
        Insercion ins(cn, r, "V_TA_Tareas", "IdTarea,Descripcion");
        ins.Fila({"REC", "RECODIFICACION DE ARTICULOS"});
        ins.Fila({"VEN", "VENTAS"});
    }
    {
        Insercion ins(cn, r, "V_MA_MANTENIMIENTOS", "CODIGO,DESCRIPCION");
        ins.Fila({"M01", "SERVICE AUTOELEVADOR"});
        ins.Fila({"M02", "LIMPIEZA DE DEPOSITO"});
    }
    {
        Insercion ins(cn, r, "V_MA_EMAIL", "Evento,Destinatario,Asunto");
        ins.Fila({"STOCK MINIMO", "compras@demo.example", "Articulos bajo el punto de pedido"});
    }
    {
        Insercion ins(cn, r, "MAPINFO_LOCALIDADES", "LOCALIDAD,PARTIDO,Cod_postal");
        ins.Fila({"ROSARIO", "ROSARIO", "2000"});
        ins.Fila({"VILLA GOBERNADOR GALVEZ", "ROSARIO", "2124"});
        Insercion calles(cn, r, "VT_MAPINFO_CALLES", "STREET,LOCALIDAD");
        calles.Fila({"CORDOBA", "ROSARIO"});
        calles.Fila({"SAN MARTIN", "ROSARIO"});
    }

    // Clients (Cliente 1) and suppliers (Cliente 0), recipients, contacts.
    const std::vector<QString> apellidos = {"GARCIA",  "RODRIGUEZ", "LOPEZ",   "MARTINEZ",
                                            "SANCHEZ", "DIAZ",      "ALVAREZ", "MUÑOZ",
                                            "ROMERO",  "SOSA",      "TORRES",  "ACOSTA"};
    const std::vector<QString> rubrosRazon = {"COMERCIAL", "DISTRIBUIDORA", "FERRETERIA", "MAYORISTA",
                                              "SUPERMERCADO"};
    {
        Insercion ins(cn, r, "V_MA_CLIENTES",
                      "CODIGO,Cliente,RAZON_SOCIAL,CONTACTO,NUMERO_DOCUMENTO,Domicilio,Localidad,Telefono,"
                      "Dada_De_Baja");
        Insercion dest(cn, r, "MA_DESTINATARIOS", "Cliente,Codigo,Sucursal,Nombre,Domicilio");
        for (int i = 1; i <= 85; ++i) {
            const bool cliente = i <= 60;
            const QString codigo = QString::number(cliente ? i : i - 60).rightJustified(4, QLatin1Char('0'));
            QString razon = azar.Uno(rubrosRazon) + " ";
            razon += azar.Uno(apellidos);
            razon += azar.Por100(50) ? " S.A." : " S.R.L.";
            QString contacto = azar.Uno(apellidos) + " ";
            contacto += azar.Uno(apellidos);
            const QString documento =
                QStringLiteral("30-%1-%2").arg(20000000 + azar.Hasta(9000000)).arg(azar.Hasta(10));
            const QString domicilio =
                QStringLiteral("CALLE %1 %2").arg(azar.Hasta(200) + 1).arg(azar.Hasta(3000));
            const QString telefono = QStringLiteral("341-%1").arg(4000000 + azar.Hasta(999999));
            const bool baja = azar.Por100(10);
            ins.Fila({codigo, Entero(cliente ? 1 : 0), razon, contacto, documento, domicilio, "ROSARIO", telefono,
                      Entero(baja ? 1 : 0)});
            if (cliente && i % 4 == 0)
                dest.Fila({codigo, QStringLiteral("D%1").arg(i, 3, 10, QLatin1Char('0')), "000001",
                           "SUCURSAL " + razon, "RUTA 9 KM 300"});
        }
        Insercion contactos(cn, r, "MA_CONTACTOS", "Nombre_y_Apellido,Domicilio,Localidad,Telefono");
        for (int i = 0; i < 20; ++i) {
            QString nombre = azar.Uno(apellidos) + " ";
            nombre += azar.Uno(apellidos);
            contactos.Fila({nombre, "SARMIENTO 123", "ROSARIO", QStringLiteral("341-%1").arg(5000000 + i)});
        }
    }

    // Accounts (some confidential), cost centres, positions, ledger.
    {
        Insercion cuentas(cn, r, "MA_CUENTAS", "CODIGO,DESCRIPCION,Imputable,Confidencial");
        const char* const plan[][3] = {{"1", "ACTIVO", "0"},
                                       {"1.1", "CAJA Y BANCOS", "0"},
                                       {"1.1.01", "CAJA", "1"},
                                       {"1.1.02", "BANCO NACION", "1"},
                                       {"1.1.09", "CAJA GERENCIA", "1"},
                                       {"2", "PASIVO", "0"},
                                       {"2.1.01", "PROVEEDORES", "1"},
                                       {"4", "RESULTADOS", "0"},
                                       {"4.1.01", "VENTAS", "1"},
                                       {"4.2.01", "SUELDOS DIRECCION", "1"}};
        for (const auto& c : plan) {
            const bool confidencial = QLatin1String(c[0]) == "1.1.09" || QLatin1String(c[0]) == "4.2.01";
            cuentas.Fila({c[0], c[1], Valor(c[2], Valor::EsNumero), Entero(confidencial ? 1 : 0)});
        }
        Insercion cc(cn, r, "TA_CCOSTO", "CODIGO,DESCRIPCION");
        cc.Fila({"100", "ADMINISTRACION"});
        cc.Fila({"200", "COMERCIAL"});
        cc.Fila({"210", "COMERCIAL NORTE"});
        Insercion pos(cn, r, "MA_POSICIONES", "IDPOSICION,DESCRIPCION");
        pos.Fila({"01", "IMPUESTOS"});
        pos.Fila({"0101", "IVA"});
        pos.Fila({"0102", "INGRESOS BRUTOS"});
        Insercion asientos(cn, r, "MV_ASIENTOS", "NroAsiento,Fecha,CUENTA,CCOSTO,Debe,Haber,Concepto");
        Insercion diario(cn, r, "AC_CUENTASDIARIO", "Fecha,CUENTA,Debe,Haber");
        Insercion diarioCc(cn, r, "AC_CUENTASDIARIO_CCOSTO", "Fecha,CUENTA,CCOSTO,Debe,Haber");
        const QString imputables[] = {"1.1.01", "1.1.02", "1.1.09", "2.1.01", "4.1.01", "4.2.01"};
        const QDate inicio(2024, 1, 2);
        for (int n = 1; n <= 40; ++n) {
            const QString debe = imputables[azar.Hasta(6)], haber = imputables[azar.Hasta(6)];
            const double importe = 1000 + azar.Hasta(500000) / 10.0;
            const QString fecha = Fecha(inicio.addDays(n * 7));
            const QString cc3 = azar.Por100(50) ? "100" : "200";
            asientos.Fila({Entero(n), fecha, debe, cc3, Numero(importe), Entero(0), "ASIENTO DE DEMOSTRACION"});
            asientos.Fila({Entero(n), fecha, haber, cc3, Entero(0), Numero(importe), "ASIENTO DE DEMOSTRACION"});
            diario.Fila({fecha, debe, Numero(importe), Entero(0)});
            diario.Fila({fecha, haber, Entero(0), Numero(importe)});
            diarioCc.Fila({fecha, debe, cc3, Numero(importe), Entero(0)});
        }
    }

    // Cattle lots.
    {
        Insercion tropa(cn, r, "V_MV_TROPA", "FechaDte,Dte,IdTropa,Patente,Chofer,NroGuia,CuitVendedor");
        Insercion stock(cn, r, "V_MV_TROPA_STOCK",
                        "idTropa,categoria,secuencia,lado,kg,comprador,fecha,idPlanilla");
        for (int i = 1; i <= 5; ++i) {
            const QString idTropa = QStringLiteral("T%1").arg(i, 4, 10, QLatin1Char('0'));
            tropa.Fila({Fecha(QDate(2024, 3, i)), QStringLiteral("DTE-%1").arg(1000 + i), idTropa, "AB123CD",
                        azar.Uno(apellidos), QString::number(5000 + i), "20-12345678-9"});
            for (int s = 1; s <= 4; ++s)
                stock.Fila({idTropa, "NOVILLO", Entero(s), s % 2 ? "I" : "D", Numero(100 + azar.Hasta(400), 3),
                            "0001", Fecha(QDate(2024, 3, i)), Entero(i)});
        }
    }
}

void CargaUsuarios(Conexion& cn, ResumenDemo& r) {
    Insercion usuarios(
        cn, r, "TA_USUARIOS",
        "NOMBRE,SISTEMA,Password,NombreCompleto,Administrador,UNegocio,verproforma,clasepusa,Email");
    usuarios.Fila({kAdministrador, "tq400xr", ClaveGuardada(kClaveAdministrador), "ADMINISTRADOR DEL SISTEMA",
                   Entero(1), "   1", Entero(1), "1,2,3", "admin@demo.example"});
    usuarios.Fila({"OPERADOR", "tq400xr", ClaveGuardada("operador"), "OPERADOR DE STOCK", Entero(0), "   1",
                   Entero(0), "1", "operador@demo.example"});
    usuarios.Fila({"VENDEDOR", "ORBA", ClaveGuardada("ventas"), "VENDEDOR DE MOSTRADOR", Entero(0), "   2",
                   Entero(0), "1,2", "ventas@demo.example"});
    usuarios.Fila({"TALMOR", "TALMOR", ClaveGuardada("talmor"), "USUARIO TALMOR", Entero(0), kNulo, Entero(0),
                   kNulo, kNulo});
    usuarios.Cierra();

    Insercion menu(cn, r, "TA_MENU", "Clave,Nombre,Proceso,Padre");
    menu.Fila({"100", "Stock", kNulo, kNulo});
    menu.Fila({"110", "Recodificacion de Articulos", "quenvar", "100"});
    menu.Fila({"120", "Maestro de Articulos", "quenvar-planilla", "100"});
    menu.Fila({"200", "Ventas", "ventas", "200"});
    menu.Cierra();
    Insercion tareas(cn, r, "TA_TAREAS", "USUARIO,TAREA");
    for (const char* t : {"100", "110", "120", "200"})
        tareas.Fila({kAdministrador, t});
    tareas.Fila({"OPERADOR", "110"});
    tareas.Fila({"VENDEDOR", "200"});
    tareas.Cierra();

    Insercion acceso(cn, r, "Control_Acceso",
                     "Maquina,Usuario,Formulario,Tarea,Ingreso,EGRESO,NombreUsuario");
    acceso.Fila({"PC-CAJA1", "ADMIN", "QUENVAR", "RECODIFICACION DE ARTICULOS", "02/01/24 08:30", "02/01/24 09:10", "ADMIN"});
    acceso.Fila({"PC-CAJA1", "OPERADOR", "QUENVAR", "RECODIFICACION DE ARTICULOS", "03/01/24 10:05", "03/01/24 10:40", "OPERADOR"});
    acceso.Cierra();
    Insercion acciones(
        cn, r, "V_MV_CPTEACCIONES",
        "TC,IdComprobante,IdComplemento,Tipo_accion,FECHAHORA,Usuario,PC,SYSTEMUSER,Proceso,ProcesoLote,"
        "Cuenta");
    acciones.Fila({"    ", "", Entero(0), "A", "03/01/2024 10:04:00", "OPERADOR", "PC-CAJA1", "Intento de inicio de sesion fallido", "quenvar ", "", ""});
    acciones.Cierra();
}

// The settings the frame reads, with sensible values.
void CargaConfiguracion(Conexion& cn, ResumenDemo& r) {
    const char* const datos[][2] = {{"MostrarStockenConsultas", "SI"},
                                    {"EXIGECLAVECONSULTALIKEARTICULOS", "NO"},
                                    {"UsaConsultaLike", "NO"},
                                    {"SS_CONFIDENCIALIDAD", "SI"},
                                    {"UsaMultilesMonedas", "NO"},
                                    {"UsaFacturaProforma", "NO"},
                                    {"USACCOSTO", "SI"},
                                    {"USA_STK_STOCK_UDKG", "NO"},
                                    {"SS_BloqueoActivo", "NO"},
                                    {"UTILIZARFECHADIA", "NO"},
                                    {"AsignacionAutomaticaDeLoteING", "NO"},
                                    {"AsignacionAutomaticaDeLoteINGOP", "NO"},
                                    {"RazonSocialPorUneg", "NO"},
                                    {"VALIDACODIGOBARRA", "SI"},
                                    {"ModuloOrdenDeTrabajo", "NO"},
                                    {"V_ModificaCPrecio", "SI"},
                                    {"C_ModificaCPrecio", "SI"},
                                    {"MADERERA", "NO"},
                                    {"PideClave_StockNeg", "NO"},
                                    {"PideClave_MarkUpBase", "NO"},
                                    {"PideClave_LimiteCredito", "NO"},
                                    {"TituloClientes", "Clientes"},
                                    {"TituloProveedores", "Proveedores"},
                                    {"UNIDADDEMEDIDA_M3", "M3"},
                                    {"UNIDADDEMEDIDA_BL", "BL"},
                                    {"UNIDADDEMEDIDA_KG", "KG"},
                                    {"MAD_TIRAS", ""},
                                    {"MAD_P2", ""},
                                    {"MAD_ML", ""},
                                    {"MAD_M2", ""},
                                    {"MAD_HOJAS", ""},
                                    {"MAD_ML_P2", ""},
                                    {"MAD_M2_P2", ""},
                                    {"MAD_ML_M2", ""},
                                    {"CuentaCtroDist", "1.1.01"},
                                    {"CantidadDecimales", "2"},
                                    {"CantidadDecimalesVentas", "2"},
                                    {"Top_Default", "1000"},
                                    {"PERIODO", "2024"},
                                    {"CONDIVAEMPRESA", "1"},
                                    {"MaxDto", "15"},
                                    {"MaxDtoProforma", "10"},
                                    {"CFondo", "12648447"},  // light yellow (0x00BBGGRR)
                                    {"CLetra", "0"},
                                    {"THEME", "1"},
                                    {"TopConsArt", "1000"},
                                    {"ConsultaArticuloConImagen", "NO"},
                                    {"SimboloDecimal", "."},
                                    {"FECHAOPERHASTA", "31/12/2024"},
                                    {"NOMBRE", "DISTRIBUIDORA DEMO S.A."},
                                    {"cuit", "30-71234567-8"},
                                    {"INICIOACTIVIDADES", "01/03/2010"},
                                    {"NROINGRESOSBRUTOS", "021-123456-7"},
                                    {"CALLE", "CORDOBA"},
                                    {"NUMERO", "1234"},
                                    {"PISO", "1"},
                                    {"Departamento", "A"},
                                    {"PDV", "0001"},
                                    {"INICIO_ACTIVIDADES_UN_1", "01/03/2010"},
                                    {"INGRESOS_BRUTOS_UN_1", "021-123456-7"},
                                    {"CONDICIONIVA_UN_1", "1"},
                                    {"DOMICILIO_UN_1", "CORDOBA 1234"},
                                    {"INICIO_ACTIVIDADES_UN_2", "15/06/2015"},
                                    {"INGRESOS_BRUTOS_UN_2", "021-765432-1"},
                                    {"CONDICIONIVA_UN_2", "1"},
                                    {"DOMICILIO_UN_2", "RUTA 9 KM 300"},
                                    {"NOM_PCLASE1", "Lista 1"},
                                    {"NOM_PCLASE2", "Mayorista"},
                                    {"NOM_PCLASE3", "Revendedor"},
                                    {"NOM_PCLASE4", ""},
                                    {"NOM_PCLASE5", ""},
                                    {"NOM_PCLASE6", ""},
                                    {"NOM_PCLASE7", ""},
                                    {"NOM_PCLASE8", ""}};
    Insercion cfg(cn, r, "TA_CONFIGURACION", "CLAVE,GRUPO,VALOR,valoraux,PoliticaNegocio");
    for (const auto& d : datos) cfg.Fila({Texto::UCase(d[0]), "DATOS", d[1], "", Entero(0)});
    cfg.Cierra();
}

void CargaArticulos(Conexion& cn, Azar& azar, const OpcionesDemo& o, ResumenDemo& r) {
    std::vector<Articulo> articulos;
    articulos.reserve(static_cast<std::size_t>(o.articulos));
    {
        Insercion ins(
            cn, r, "V_MA_ARTICULOS",
            "IdArticulo,Descripcion,DescripcionCorta,IDRUBRO,IdFamilia,TalleDefault,CodigoBarra,IdUnidad,"
            "IdProveedor,Costo,PRECIO,PRECIO1,PRECIO2,PRECIO3,AlicuotaIva,PuntoPedido,RutaImagen,SUSPENDIDO,"
            "FechaAlta");
        const int nRubros = static_cast<int>(std::size(kRubros));
        const int nHojas = static_cast<int>(std::size(kFamiliasHoja));
        for (int k = 1; static_cast<int>(articulos.size()) < o.articulos; ++k) {
            bool admiteTalles = true;
            const QString codigo = CodigoBase(azar, k, admiteTalles);
            QString descripcion = azar.Uno(kSustantivos) + " ";
            descripcion += azar.Uno(kCalificativos) + " ";
            descripcion += azar.Uno(kMedidas);
            const QString rubro = Cod4(kRubros[azar.Hasta(nRubros)].codigo);
            const QString familia = kFamiliasHoja[azar.Hasta(nHojas)];
            const double costo = 10 + azar.Hasta(500000) / 100.0;
            const QString proveedor = QString::number(1 + azar.Hasta(25)).rightJustified(4, QLatin1Char('0'));
            const QString alta = Fecha(QDate(2015, 1, 1).addDays(azar.Hasta(3000)));
            auto fila = [&](const QString& cod, const QString& desc, const QString& talle, bool barra) {
                const Valor codigoBarra = barra ? Valor(CodigoBarra(azar)) : kNulo;
                const int puntoPedido = azar.Hasta(50);
                const bool imagen = azar.Por100(10);
                const bool suspendido = azar.Por100(3);
                ins.Fila({cod, desc, desc.left(40), rubro, familia, talle, codigoBarra, "  UN", proveedor,
                          Numero(costo), Numero(costo * 1.6), Numero(costo * 1.6), Numero(costo * 1.4),
                          Numero(costo * 1.5), Entero(21), Entero(puntoPedido),
                          imagen ? Valor("imagenes/" + Texto::Trim(cod) + ".jpg") : kNulo,
                          Entero(suspendido ? 1 : 0), alta});
                articulos.push_back({cod, talle});
            };
            fila(codigo, descripcion, QString(), azar.Por100(35));
            // Size variants "A|S" under the article "A".
            if (admiteTalles && azar.Por100(8)) {
                const std::vector<QString>& talles = azar.Uno(kTalles);
                const int cuantos = 2 + azar.Hasta(static_cast<int>(talles.size()) - 1);
                for (int t = 0; t < cuantos && static_cast<int>(articulos.size()) < o.articulos; ++t)
                    fila(codigo + "|" + talles[static_cast<std::size_t>(t)],
                         descripcion + " TALLE " + talles[static_cast<std::size_t>(t)],
                         talles[static_cast<std::size_t>(t)], azar.Por100(50));
            }
        }
        ins.Cierra();
    }

    const int n = static_cast<int>(articulos.size());
    auto codigo = [&](int i) -> const QString& { return articulos[static_cast<std::size_t>(i)].codigo; };
    auto alguno = [&]() -> const QString& { return codigo(azar.Hasta(n)); };
    const QDate inicio(2024, 1, 1);
    const QString depositos[] = {"   1", "   2", "   3"};

    // Prices: list 1 for every article, lists 2 and 3 for some; drafts.
    {
        Insercion precios(cn, r, "V_MA_Precios", "IdLista,IDARTICULO,Precio,IdMoneda,FechaModificacion");
        Insercion borrador(cn, r, "V_MA_Precios_Borrador",
                           "IdLista,IDARTICULO,Precio,IdMoneda,FechaModificacion");
        for (int i = 0; i < n; ++i) {
            const double base = 20 + azar.Hasta(800000) / 100.0;
            const QString fecha = Fecha(inicio.addDays(azar.Hasta(365)));
            precios.Fila({"   1", codigo(i), Numero(base), Entero(1), fecha});
            if (azar.Por100(60)) precios.Fila({"   2", codigo(i), Numero(base * 0.85), Entero(1), fecha});
            if (azar.Por100(30)) precios.Fila({"   3", codigo(i), Numero(base * 0.75), Entero(1), fecha});
            if (azar.Por100(10)) borrador.Fila({"   1", codigo(i), Numero(base * 1.1), Entero(1), fecha});
        }
    }

    // Stock movements: opening balances, sales, purchases, transfers.
    {
        Insercion stock(cn, r, "V_MV_STOCK",
                        "Fecha,TC,IdComprobante,IdDeposito,IDARTICULO,Cantidad,Costo,Usuario");
        const long total = static_cast<long>(n) * o.movimientosPorArticulo;
        const char* const tipos[] = {"FC", "FC", "FC", "RM", "CO", "AJ", "TR"};
        for (long m = 0; m < total; ++m) {
            const int tipo = azar.Hasta(7);
            const double cantidad = 1 + azar.Hasta(50);
            const bool entrada = tipo == 4 || (tipo == 5 && azar.Por100(50));
            const QDate dia = inicio.addDays(azar.Hasta(365));
            const QString fecha = Fecha(dia, azar.Hasta(86400));
            const QString& deposito = depositos[azar.Hasta(3)];
            const QString& articulo = alguno();
            const double costo = 5 + azar.Hasta(100000) / 100.0;
            stock.Fila({fecha, tipos[tipo], QStringLiteral("0001-%1").arg(m + 1, 8, 10, QLatin1Char('0')), deposito,
                        articulo, Numero(entrada ? cantidad : -cantidad, 4), Numero(costo), "OPERADOR"});
        }
    }

    // Statistics: daily and monthly sales and purchases.
    {
        Insercion vd(cn, r, "AC_VENTASDIARIA",
                     "Fecha,IdUnidadNegocio,IdDeposito,IDARTICULO,Cantidad,Importe,Costo");
        Insercion vm(cn, r, "AC_VENTASMES",
                     "Anio,Mes,IdUnidadNegocio,IdDeposito,IDARTICULO,Cantidad,Importe,Costo");
        Insercion cd(cn, r, "AC_COMPRASDIARIA",
                     "Fecha,IdUnidadNegocio,IdDeposito,IDARTICULO,Cantidad,Importe,Costo");
        Insercion cm(cn, r, "AC_COMPRASMES",
                     "Anio,Mes,IdUnidadNegocio,IdDeposito,IDARTICULO,Cantidad,Importe,Costo");
        // The period's values (a day, or a year and a month), then the rest.
        auto valores = [&](std::vector<Valor> fila) {
            const double cantidad = 1 + azar.Hasta(100);
            const double precio = 10 + azar.Hasta(10000) / 10.0;
            const bool central = azar.Por100(70);
            const QString& deposito = depositos[azar.Hasta(2)];
            const QString& articulo = alguno();
            for (Valor v : {Valor(central ? "   1" : "   2"), Valor(deposito), Valor(articulo), Numero(cantidad, 4),
                            Numero(cantidad * precio), Numero(cantidad * precio * 0.6)})
                fila.push_back(std::move(v));
            return fila;
        };
        auto dia = [&]() { return std::vector<Valor>{Fecha(inicio.addDays(azar.Hasta(365)))}; };
        auto mes = [&]() { return std::vector<Valor>{Entero(2023 + azar.Hasta(2)), Entero(1 + azar.Hasta(12))}; };
        for (int i = 0; i < 2 * n; ++i) vd.Fila(valores(dia()));
        for (int i = 0; i < n; ++i) vm.Fila(valores(mes()));
        for (int i = 0; i < n; ++i) cd.Fila(valores(dia()));
        for (int i = 0; i < n / 2; ++i) cm.Fila(valores(mes()));
    }

    // Equivalences, bills of supplies, voucher supply lines.
    {
        Insercion eq(cn, r, "S_TA_EQUIV", "IDARTICULO,Equivalencia,IdProveedor,Descripcion");
        Insercion ins(cn, r, "V_MA_INSUMOS", "IDARTICULO,IDARTICULOINSUMO,Cantidad,IdUnidad");
        for (int i = 0; i < n; ++i) {
            if (azar.Por100(20)) {
                const QString equivalencia =
                    QStringLiteral("PRV-%1").arg(azar.Hasta(1000000), 7, 10, QLatin1Char('0'));
                const QString proveedor =
                    QString::number(1 + azar.Hasta(25)).rightJustified(4, QLatin1Char('0'));
                eq.Fila({codigo(i), equivalencia, proveedor, "CODIGO DEL PROVEEDOR"});
            }
            if (azar.Por100(5))
                for (int s = 0, m = 2 + azar.Hasta(2); s < m; ++s) {
                    const QString& insumo = alguno();
                    ins.Fila({codigo(i), insumo, Numero(1 + azar.Hasta(10), 4), "  UN"});
                }
        }
        for (const char* tabla : {"V_MV_CPTEINSUMOS", "C_MV_CPTEINSUMOS"}) {
            const bool venta = QLatin1String(tabla) == "V_MV_CPTEINSUMOS";
            Insercion lineas(
                cn, r, tabla,
                QStringLiteral("TC,IdComprobante,IdComplemento,Renglon,Fecha,%1,IDARTICULO,Descripcion,"
                               "Cantidad,Precio")
                    .arg(venta ? "IdCliente" : "IdProveedor"));
            for (int i = 0; i < n / 2; ++i) {
                const QString fecha = Fecha(inicio.addDays(azar.Hasta(365)));
                const QString tercero =
                    QString::number(1 + azar.Hasta(venta ? 60 : 25)).rightJustified(4, QLatin1Char('0'));
                const QString& articulo = alguno();
                const Valor cantidad = Numero(1 + azar.Hasta(20), 4);
                const Valor precio = Numero(5 + azar.Hasta(10000) / 100.0);
                lineas.Fila({venta ? "FC" : "FCC", QStringLiteral("A0001%1").arg(i / 5 + 1, 8, 10, QLatin1Char('0')),
                             Entero(0), Entero(i % 5 + 1), fecha, tercero, articulo, "INSUMO", cantidad, precio});
            }
        }
    }
    // A few shortage reports.
    Insercion faltantes(cn, r, "V_MV_FALTANTES", "FechaHora,IdArticulo,Descripcion,Usuario");
    for (int i = 0; i < 3 && i < n; ++i)
        faltantes.Fila({"05/02/2024 10:00:00", codigo(i), "FALTANTE INFORMADO", "OPERADOR"});
}

void AbreEmbebida(Conexion& cn, const QString& base) {
    try {
        cn.Open(CadenaConexion(base));
    } catch (const Fallo& f) {
        throw Fallo(f.Numero(), QStringLiteral("No se pudo abrir la base %1: %2").arg(base, f.Descripcion()),
                    QStringLiteral("GeneradorDemo"));
    }
}

}  // namespace

QString CadenaConexion(const QString& base) {
    return QStringLiteral("PROVIDER=SQLOLEDB;Server=%1;Database =%2;UId=%2;Pwd=%2;").arg(kServidor, base);
}

QString LineaComandos(const QString& base, const QString& usuario, const QString& clave) {
    return QStringLiteral("@server=%1;@dbname=%2;@usuario=%3;@Password=%4;")
        .arg(kServidor, base, usuario, clave);
}

QString ArchivoBase(const QString& base) { return RutaBaseEmbebida(base); }

void CreaBaseVacia(const QString& base) {
    const QString archivo = ArchivoBase(base);
    for (const char* sufijo : {"", "-journal", "-wal", "-shm"}) {
        const QString f = archivo + QLatin1String(sufijo);
        if (QFile::exists(f) && !QFile::remove(f))
            throw Fallo(NumeroFallo::PermisoDenegado, QStringLiteral("No se puede reemplazar %1").arg(f),
                        QStringLiteral("GeneradorDemo"));
    }
    QString motivo;
    if (!CreaBaseEmbebida(base, &motivo))
        throw Fallo(NumeroFallo::RutaNoEncontrada, motivo, QStringLiteral("GeneradorDemo"));
}

QString ClaveGuardada(const QString& clave) {
    return LibUtil().Encripta(clave);
}

void Llena(Conexion& cn, const OpcionesDemo& o, ResumenDemo& r) {
    Azar azar(o.semilla);
    cn.BeginTrans();
    try {
        CargaConfiguracion(cn, r);
        CargaUsuarios(cn, r);
        CargaMaestros(cn, azar, r);
        CargaArticulos(cn, azar, o, r);
        cn.CommitTrans();
    } catch (...) {
        try {
            cn.RollbackTrans();
        } catch (...) {
        }
        throw;
    }
}

void LlenaEstadisticas(Conexion& cn, ResumenDemo& r) {
    Insercion cfg(cn, r, "TA_CONFIGURACION", "CLAVE,GRUPO,VALOR,valoraux,PoliticaNegocio",
                  EsquemaSuite::kBaseEstadisticas + ".TA_CONFIGURACION");
    cfg.Fila({"TIMEOUT", "BaseDeDatos", "90", "", Entero(0)});
    cfg.Fila({"ULTIMOPROCESO", "DATOS", "01/01/2024", "", Entero(0)});
    cfg.Cierra();
}

ResumenDemo Genera(const OpcionesDemo& o) {
    if (o.base.compare(EsquemaSuite::kBaseEstadisticas, Qt::CaseInsensitive) == 0 ||
        Texto::Trim(o.base).isEmpty())
        throw Fallo(NumeroFallo::ArgumentoInvalido,
                    QStringLiteral("Nombre de base no valido: %1").arg(o.base),
                    QStringLiteral("GeneradorDemo"));
    ResumenDemo r;
    r.usuario = kAdministrador;
    r.clave = kClaveAdministrador;
    for (const QString& base : {o.base, EsquemaSuite::kBaseEstadisticas}) {
        CreaBaseVacia(base);
        Conexion cn;
        AbreEmbebida(cn, base);
        if (base.compare(EsquemaSuite::kBaseEstadisticas, Qt::CaseInsensitive) == 0) {
            EsquemaSuite::CreaEsquemaEstadisticas(cn);
            LlenaEstadisticas(cn, r);
        } else {
            // The indexes are built once the rows are in, and the triggers
            // (on updates and deletes only) come after them, as they would.
            const EsquemaSuite::Motor motor = EsquemaSuite::MotorDe(cn);
            EsquemaSuite::Ejecuta(cn, EsquemaSuite::SentenciasTablasPrincipal(motor));
            Llena(cn, o, r);
            EsquemaSuite::Ejecuta(cn, EsquemaSuite::SentenciasSobreTablasPrincipal(motor));
        }
        cn.Close();
    }
    r.lineaComandos = LineaComandos(o.base, r.usuario, r.clave);
    return r;
}

}  // namespace GeneradorDemo
