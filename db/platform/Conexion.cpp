#include "db/platform/Conexion.h"

#include "db/platform/Ado.h"
#include "db/platform/CadenaConexion.h"
#include "db/platform/EstadoRecordset.h"
#include "platform/Texto.h"

namespace {

const QString kOrigenAdo = QStringLiteral("ADODB.Connection");

const QString kCerrado = QStringLiteral("Operation is not allowed when the object is closed.");
const QString kAbierto = QStringLiteral("Operation is not allowed when the object is open.");
const QString kInvalida = QStringLiteral(
    "The connection cannot be used to perform this operation. It is either closed or invalid in this context.");

bool EsSqlServer(const QString& proveedor) {
    return proveedor.isEmpty() || Texto::Iguales(proveedor, QStringLiteral("SQLOLEDB")) ||
           Texto::EmpiezaCon(proveedor, QStringLiteral("SQLOLEDB.")) ||
           Texto::EmpiezaCon(proveedor, QStringLiteral("SQLNCLI")) ||
           Texto::EmpiezaCon(proveedor, QStringLiteral("MSOLEDBSQL"));
}

// The count of the request's first statement that reports one.
void Cuenta(const ResultadoLote& r, long* recordsAffected) {
    if (!recordsAffected) return;
    *recordsAffected = 0;
    for (const auto& s : r.resultados)
        if (!s.conFilas && s.afectadas >= 0) {
            *recordsAffected = s.afectadas;
            return;
        }
}

// A request that failed as a whole raises the entry that failed it, not a
// warning before it.
void LanzaSiFallo(const ResultadoLote& r) {
    if (!r.fallaCompleta) return;
    const ErrorProveedor* primero = r.errores.empty() ? nullptr : &r.errores.front();
    for (const auto& e : r.errores)
        if (r.numeroFallo && e.Number == r.numeroFallo) {
            primero = &e;
            break;
        }
    const int32_t numero = r.numeroFallo ? r.numeroFallo : (primero ? primero->Number : ado::E_FAIL_PROVEEDOR);
    throw Fallo(numero, primero ? primero->Description : QStringLiteral("Unspecified error"),
                primero ? primero->Source : kOrigenAdo);
}

}  // namespace

std::shared_ptr<Controlador> CreaControlador(const ParametrosConexion& p, QString& motivo) {
    const auto items = CadenaConexion::Items(p.cadenaOriginal);
    const bool odbcDirecto = items.contains(QStringLiteral("DRIVER")) || items.contains(QStringLiteral("DSN"));
    if (!odbcDirecto && EsSqlServer(p.proveedor) &&
        Texto::Iguales(Texto::Trim(p.servidor), CadenaConexion::kServidorEmbebido))
        return CreaControladorEmbebido(p, motivo);
    return CreaControladorOdbc(p, motivo);
}

Conexion::Conexion() : errores_(std::make_shared<Errores>()) {}

Conexion::~Conexion() {
    if (c_) c_->Cierra();
}

QString Conexion::ConnectionString() const { return connectionString_; }

void Conexion::SetConnectionString(const QString& cs) {
    if (c_) Falla(ado::adErrObjectOpen, kAbierto);
    connectionString_ = cs;
}

int Conexion::CursorLocation() const { return cursorLocation_; }
void Conexion::SetCursorLocation(int v) { cursorLocation_ = v; }
int Conexion::CommandTimeout() const { return commandTimeout_; }
void Conexion::SetCommandTimeout(int segundos) { commandTimeout_ = segundos; }
QString Conexion::DefaultDatabase() const { return defaultDatabase_; }

void Conexion::SetDefaultDatabase(const QString& base) {
    if (c_) {
        errores_->Clear();
        std::vector<ErrorProveedor> errs;
        c_->CambiaBase(base, errs);
        RegistraYLanza(errs);
    }
    defaultDatabase_ = base;
}

long Conexion::IsolationLevel() const { return aislamiento_; }

void Conexion::SetIsolationLevel(long nivel) {
    aislamiento_ = nivel;
    aislamientoElegido_ = true;
    if (c_) {
        errores_->Clear();
        std::vector<ErrorProveedor> errs;
        c_->CambiaAislamiento(nivel, errs);
        RegistraYLanza(errs);
    }
}

// The platform's own failures are raised without an entry in Errors(), as
// ADO does; entries come from the provider.
void Conexion::Falla(int32_t numero, const QString& descripcion) { throw Fallo(numero, descripcion, kOrigenAdo); }

void Conexion::RegistraYLanza(const std::vector<ErrorProveedor>& errs) {
    for (const auto& e : errs) errores_->Agrega(e);
    if (!errs.empty()) throw Fallo(errs.front().Number, errs.front().Description, errs.front().Source);
}

void Conexion::Open(const QString& connectionString, const QString& userId, const QString& password, int) {
    if (c_) Falla(ado::adErrObjectOpen, kAbierto);
    errores_->Clear();
    if (!connectionString.isEmpty()) connectionString_ = connectionString;
    ParametrosConexion p = CadenaConexion::Lee(connectionString_);
    if (!userId.isEmpty()) p.usuario = userId;
    if (!password.isEmpty()) p.clave = password;
    p.tiempoEspera = commandTimeout_;
    QString motivo;
    std::shared_ptr<Controlador> c = CreaControlador(p, motivo);
    if (!c) {
        Falla(ado::adErrProviderNotFound,
              QStringLiteral("Provider cannot be found. It may not be properly installed.") +
                  (motivo.isEmpty() ? QString() : QStringLiteral(" (") + motivo + QStringLiteral(")")));
    }
    std::vector<ErrorProveedor> errs;
    try {
        c->Abre(p, errs);
    } catch (const Fallo&) {
        for (const auto& e : errs) errores_->Agrega(e);
        throw;
    }
    for (const auto& e : errs) errores_->Agrega(e);  // informational messages
    c_ = std::move(c);
    if (aislamientoElegido_) {
        std::vector<ErrorProveedor> e1;
        c_->CambiaAislamiento(aislamiento_, e1);
        for (const auto& e : e1) errores_->Agrega(e);
    }
    if (!defaultDatabase_.isEmpty() && !Texto::Iguales(defaultDatabase_, p.baseDatos)) {
        std::vector<ErrorProveedor> e2;
        c_->CambiaBase(defaultDatabase_, e2);
        for (const auto& e : e2) errores_->Agrega(e);
    }
}

void Conexion::Close() {
    if (!c_) Falla(ado::adErrObjectClosed, kCerrado);
    auto c = std::move(c_);
    c_.reset();
    c->Cierra();
}

int Conexion::State() const { return c_ ? ado::adStateOpen : ado::adStateClosed; }

RecordsetPtr Conexion::Execute(const QString& commandText, long* recordsAffected, int) {
    if (!c_) Falla(ado::adErrInvalidConnection, kInvalida);
    errores_->Clear();
    return Resultado(commandText, c_->Ejecuta(commandText, commandTimeout_), recordsAffected);
}

RecordsetPtr Conexion::EjecutaConParametros(const QString& sentencia, const QVariantList& parametros,
                                            long* recordsAffected) {
    if (!c_) Falla(ado::adErrInvalidConnection, kInvalida);
    errores_->Clear();
    return Resultado(sentencia, c_->EjecutaConParametros(sentencia, parametros, commandTimeout_), recordsAffected);
}

std::unique_ptr<SentenciaPreparada> Conexion::Prepara(const QString& sentencia) {
    if (!c_) Falla(ado::adErrInvalidConnection, kInvalida);
    errores_->Clear();
    std::vector<ErrorProveedor> errs;
    std::unique_ptr<PreparadaControlador> p = c_->PreparaSentencia(sentencia, errs);
    if (!p) {
        if (errs.empty()) Falla(ado::E_FAIL_PROVEEDOR, QStringLiteral("Unspecified error"));
        RegistraYLanza(errs);
    }
    std::unique_ptr<SentenciaPreparada> r(new SentenciaPreparada);
    r->c_ = c_;
    r->p_ = std::move(p);
    r->errores_ = errores_;
    r->tiempoEspera_ = commandTimeout_;
    return r;
}

SentenciaPreparada::~SentenciaPreparada() = default;

void SentenciaPreparada::Ejecuta(const QVariantList& parametros, long* recordsAffected) {
    if (!c_->Abierta()) throw Fallo(ado::adErrInvalidConnection, kInvalida, kOrigenAdo);
    errores_->Clear();
    ResultadoLote r = p_->Ejecuta(parametros, tiempoEspera_);
    for (const auto& e : r.errores) errores_->Agrega(e);
    Cuenta(r, recordsAffected);
    LanzaSiFallo(r);
}

RecordsetPtr Conexion::Resultado(const QString& commandText, ResultadoLote r, long* recordsAffected) {
    for (const auto& e : r.errores) errores_->Agrega(e);
    Cuenta(r, recordsAffected);
    LanzaSiFallo(r);
    auto estado = std::make_shared<EstadoRecordset>();
    estado->controlador = c_;
    estado->errores = errores_;
    estado->source = commandText;
    estado->tiempoEspera = commandTimeout_;
    estado->cursorType = ado::adOpenForwardOnly;
    estado->lockType = ado::adLockReadOnly;
    bool primero = true;
    for (auto& s : r.resultados) {
        if (!s.conFilas) continue;
        if (primero)
            estado->CargaResultado(std::move(s));
        else
            estado->siguientes.push_back(std::move(s));
        primero = false;
    }
    return Recordset::DesdeResultado(estado);
}

int Conexion::BeginTrans() {
    if (!c_) Falla(ado::adErrInvalidConnection, kInvalida);
    errores_->Clear();
    std::vector<ErrorProveedor> errs;
    int nivel = c_->IniciaTransaccion(errs);
    RegistraYLanza(errs);
    return nivel;
}

void Conexion::CommitTrans() {
    if (!c_) Falla(ado::adErrInvalidConnection, kInvalida);
    errores_->Clear();
    std::vector<ErrorProveedor> errs;
    c_->ConfirmaTransaccion(errs);
    RegistraYLanza(errs);
}

void Conexion::RollbackTrans() {
    if (!c_) Falla(ado::adErrInvalidConnection, kInvalida);
    errores_->Clear();
    std::vector<ErrorProveedor> errs;
    c_->DeshaceTransaccion(errs);
    RegistraYLanza(errs);
}

bool Conexion::TomaBloqueo(const QString& recurso, const QString& titular, QString& actual) {
    if (!c_) Falla(ado::adErrInvalidConnection, kInvalida);
    errores_->Clear();
    actual.clear();
    std::vector<ErrorProveedor> errs;
    const bool tomado = c_->TomaBloqueo(recurso, titular, actual, errs);
    for (const auto& e : errs) errores_->Agrega(e);
    return tomado && errs.empty();
}

void Conexion::SueltaBloqueo(const QString& recurso) {
    if (!c_) return;
    errores_->Clear();
    std::vector<ErrorProveedor> errs;
    c_->SueltaBloqueo(recurso, errs);
    for (const auto& e : errs) errores_->Agrega(e);
}

RecordsetPtr Conexion::OpenSchema(int schema, const QVariantList& restricciones) {
    if (!c_) Falla(ado::adErrInvalidConnection, kInvalida);
    errores_->Clear();
    std::vector<ErrorProveedor> errs;
    ResultadoSentencia s = c_->Esquema(schema, restricciones, errs);
    RegistraYLanza(errs);
    auto estado = std::make_shared<EstadoRecordset>();
    estado->controlador = c_;
    estado->errores = errores_;
    estado->source = QStringLiteral("schema %1").arg(schema);
    estado->CargaResultado(std::move(s));
    return Recordset::DesdeResultado(estado);
}

QString Conexion::Controlador_() const { return c_ ? c_->Nombre() : QString(); }

std::shared_ptr<Controlador> Conexion::ControladorActivo() const { return c_; }
