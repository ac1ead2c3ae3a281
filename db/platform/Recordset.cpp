#include "db/platform/Recordset.h"

#include "db/platform/Ado.h"
#include "db/platform/Conexion.h"
#include "db/platform/EstadoRecordset.h"
#include "platform/Texto.h"

#include <QRegularExpression>

namespace {

const QString kOrigen = QStringLiteral("ADODB.Recordset");

[[noreturn]] void Lanza(int32_t numero, const QString& texto) { throw Fallo(numero, texto, kOrigen); }

[[noreturn]] void SinFilaActual() {
    Lanza(ado::adErrNoCurrentRecord,
          QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. Requested "
                         "operation requires a current record."));
}

void ExigeAbierto(const EstadoRecordset& s) {
    if (!s.abierto) Lanza(ado::adErrObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
}

void ExigeActualizable(const EstadoRecordset& s) {
    if (s.lockType == ado::adLockReadOnly)
        Lanza(ado::adErrFeatureNotAvailable,
              QStringLiteral("Current Recordset does not support updating. This may be a limitation of the "
                             "provider, or of the selected locktype."));
}

// The table a single-table query reads: the columns' base table, else the
// first name after FROM (owner, brackets and hints removed).
QString TablaBase(const EstadoRecordset& s) {
    for (const auto& c : s.columnas)
        if (!c.tablaBase.isEmpty()) return c.tablaBase;
    static const QRegularExpression re(QStringLiteral(R"(\bFROM\s+((?:\[[^\]]+\]|[\w@#$]+)(?:\.(?:\[[^\]]+\]|[\w@#$]+))*))"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(s.source);
    if (!m.hasMatch()) return {};
    QString nombre = m.captured(1).split(QLatin1Char('.')).last();
    if (nombre.startsWith(QLatin1Char('['))) nombre = nombre.mid(1, nombre.size() - 2);
    return nombre;
}

QString Columna(const ColumnaResultado& c) {
    return QStringLiteral("[") + (c.columnaBase.isEmpty() ? c.nombre : c.columnaBase) + QStringLiteral("]");
}

// Runs one write; its diagnostics go to the connection's collection and the
// first one is raised.
void Escribe(EstadoRecordset& s, const QString& sql, const QVariantList& params) {
    auto c = s.controlador.lock();
    auto errores = s.errores.lock();
    if (!c || !errores)
        Lanza(ado::adErrInvalidConnection,
              QStringLiteral("The connection cannot be used to perform this operation. It is either closed or "
                             "invalid in this context."));
    errores->Clear();
    ResultadoLote r = c->EjecutaConParametros(sql, params, s.tiempoEspera);
    for (const auto& e : r.errores) errores->Agrega(e);
    if (!r.errores.empty())
        throw Fallo(r.errores.front().Number, r.errores.front().Description, r.errores.front().Source);
}

// WHERE clause locating the current row: its key columns, else every column.
QString Localiza(const EstadoRecordset& s, const Fila& fila, QVariantList& params) {
    std::vector<int> usadas;
    for (int i = 0; i < static_cast<int>(s.columnas.size()); ++i)
        if (s.columnas[i].clave) usadas.push_back(i);
    if (usadas.empty())
        for (int i = 0; i < static_cast<int>(s.columnas.size()); ++i)
            if (s.columnas[i].tipo != ado::adLongVarChar && s.columnas[i].tipo != ado::adLongVarWChar &&
                s.columnas[i].tipo != ado::adLongVarBinary)
                usadas.push_back(i);
    QStringList partes;
    for (int i : usadas) {
        if (fila[i].isNull()) {
            partes << Columna(s.columnas[i]) + QStringLiteral(" IS NULL");
        } else {
            partes << Columna(s.columnas[i]) + QStringLiteral(" = ?");
            params << fila[i];
        }
    }
    return partes.join(QStringLiteral(" AND "));
}

}  // namespace

void EstadoRecordset::CargaResultado(ResultadoSentencia r) {
    columnas = std::move(r.columnas);
    filas = std::move(r.filas);
    abierto = true;
    pos = 0;
    bof = eof = filas.empty();
    editMode = ado::adEditNone;
}

// ---- Campo ------------------------------------------------------------------

QString Campo::Name() const { return rs_->columnas[i_].nombre; }
int Campo::Type() const { return rs_->columnas[i_].tipo; }
long Campo::DefinedSize() const { return rs_->columnas[i_].tamano; }
int Campo::Precision() const { return rs_->columnas[i_].precision; }
int Campo::NumericScale() const { return rs_->columnas[i_].escala; }

long Campo::Attributes() const {
    const ColumnaResultado& c = rs_->columnas[i_];
    long a = 0;
    if (!c.autoincremento) a |= ado::adFldUpdatable;
    if (c.admiteNulos && !c.clave) a |= ado::adFldIsNullable | ado::adFldMayBeNull;
    if (c.tipo == ado::adLongVarChar || c.tipo == ado::adLongVarWChar || c.tipo == ado::adLongVarBinary)
        a |= ado::adFldLong;
    if (c.clave) a |= ado::adFldKeyColumn;
    return a;
}

QVariant Campo::Value() const {
    ExigeAbierto(*rs_);
    if (rs_->editMode != ado::adEditNone) return rs_->buffer[i_];
    if (!rs_->EnFila()) SinFilaActual();
    return rs_->filas[rs_->pos][i_];
}

void Campo::SetValue(const QVariant& v) {
    ExigeAbierto(*rs_);
    ExigeActualizable(*rs_);
    if (rs_->editMode == ado::adEditNone) {
        if (!rs_->EnFila()) SinFilaActual();
        rs_->buffer = rs_->filas[rs_->pos];
        rs_->cambiados.assign(rs_->columnas.size(), false);
        rs_->editMode = ado::adEditInProgress;
    }
    rs_->buffer[i_] = v;
    rs_->cambiados[i_] = true;
}

// ---- Recordset ----------------------------------------------------------------

Recordset::Recordset() : s_(std::make_shared<EstadoRecordset>()) {}
Recordset::~Recordset() = default;

std::shared_ptr<Recordset> Recordset::DesdeResultado(std::shared_ptr<EstadoRecordset> estado) {
    auto r = std::make_shared<Recordset>();
    r->s_ = std::move(estado);
    return r;
}

void Recordset::Open(const QString& source, Conexion& activeConnection, int cursorType, int lockType, int) {
    if (s_->abierto) Lanza(ado::adErrObjectOpen, QStringLiteral("Operation is not allowed when the object is open."));
    auto c = activeConnection.ControladorActivo();
    if (!c)
        Lanza(ado::adErrInvalidConnection,
              QStringLiteral("The connection cannot be used to perform this operation. It is either closed or "
                             "invalid in this context."));
    auto errores = activeConnection.ErroresCompartidos();
    errores->Clear();
    ResultadoLote r = c->Ejecuta(source, activeConnection.CommandTimeout());
    for (const auto& e : r.errores) errores->Agrega(e);
    auto conFilas = std::find_if(r.resultados.begin(), r.resultados.end(),
                                 [](const ResultadoSentencia& x) { return x.conFilas; });
    if (r.fallaCompleta || (conFilas == r.resultados.end() && !r.errores.empty())) {
        const int32_t numero = r.numeroFallo ? r.numeroFallo
                                             : (r.errores.empty() ? ado::E_FAIL_PROVEEDOR : r.errores.front().Number);
        throw Fallo(numero, r.errores.empty() ? QStringLiteral("Unspecified error") : r.errores.front().Description,
                    r.errores.empty() ? kOrigen : r.errores.front().Source);
    }
    auto nuevo = std::make_shared<EstadoRecordset>();
    nuevo->controlador = c;
    nuevo->errores = errores;
    nuevo->source = source;
    nuevo->cursorType = cursorType < 0 ? ado::adOpenForwardOnly : cursorType;
    nuevo->lockType = lockType < 0 ? ado::adLockReadOnly : lockType;
    nuevo->tiempoEspera = activeConnection.CommandTimeout();
    if (conFilas != r.resultados.end()) nuevo->CargaResultado(std::move(*conFilas));
    s_ = std::move(nuevo);
}

void Recordset::Close() {
    ExigeAbierto(*s_);
    if (s_->editMode != ado::adEditNone)
        Lanza(ado::adErrIllegalOperation, QStringLiteral("Operation is not allowed in this context."));
    s_->abierto = false;
    s_->filas.clear();
    s_->bof = s_->eof = true;
}

int Recordset::State() const { return s_->abierto ? ado::adStateOpen : ado::adStateClosed; }

bool Recordset::Bof() const {
    ExigeAbierto(*s_);
    return s_->bof;
}

bool Recordset::Eof() const {
    ExigeAbierto(*s_);
    return s_->eof;
}

long Recordset::RecordCount() const {
    ExigeAbierto(*s_);
    return static_cast<long>(s_->filas.size());
}

long Recordset::AbsolutePosition() const {
    ExigeAbierto(*s_);
    return s_->EnFila() ? s_->pos + 1 : -1;
}

void Recordset::MoveFirst() {
    ExigeAbierto(*s_);
    if (s_->editMode != ado::adEditNone) Update();
    s_->pos = 0;
    s_->bof = s_->eof = s_->filas.empty();
}

void Recordset::MoveLast() {
    ExigeAbierto(*s_);
    if (s_->editMode != ado::adEditNone) Update();
    s_->pos = static_cast<long>(s_->filas.size()) - 1;
    s_->bof = s_->eof = s_->filas.empty();
    if (s_->filas.empty()) s_->pos = 0;
}

void Recordset::MoveNext() {
    ExigeAbierto(*s_);
    if (s_->eof) SinFilaActual();
    if (s_->editMode != ado::adEditNone) Update();
    if (s_->bof) {
        s_->bof = false;
        s_->pos = 0;
    } else {
        ++s_->pos;
    }
    s_->eof = s_->pos >= static_cast<long>(s_->filas.size());
}

void Recordset::MovePrevious() {
    ExigeAbierto(*s_);
    if (s_->bof) SinFilaActual();
    if (s_->editMode != ado::adEditNone) Update();
    if (s_->eof) {
        s_->eof = false;
        s_->pos = static_cast<long>(s_->filas.size());
    }
    --s_->pos;
    s_->bof = s_->pos < 0;
    if (s_->bof) s_->pos = 0, s_->eof = s_->filas.empty();
}

int Recordset::FieldCount() const {
    ExigeAbierto(*s_);
    return static_cast<int>(s_->columnas.size());
}

Campo Recordset::Fields(int indice) const {
    ExigeAbierto(*s_);
    if (indice < 0 || indice >= static_cast<int>(s_->columnas.size()))
        Lanza(ado::adErrItemNotFound, QStringLiteral("Item cannot be found in the collection corresponding to "
                                                     "the requested name or ordinal."));
    return Campo(s_, indice);
}

Campo Recordset::Fields(const QString& nombre) const {
    ExigeAbierto(*s_);
    const QString buscado = Texto::Trim(nombre);
    for (int i = 0; i < static_cast<int>(s_->columnas.size()); ++i)
        if (Texto::Iguales(s_->columnas[i].nombre, buscado)) return Campo(s_, i);
    Lanza(ado::adErrItemNotFound, QStringLiteral("Item cannot be found in the collection corresponding to the "
                                                 "requested name or ordinal."));
}

void Recordset::AddNew() {
    ExigeAbierto(*s_);
    ExigeActualizable(*s_);
    if (s_->editMode != ado::adEditNone) Update();
    s_->buffer = Fila(static_cast<int>(s_->columnas.size()));
    s_->cambiados.assign(s_->columnas.size(), false);
    s_->editMode = ado::adEditAdd;
}

void Recordset::Update() {
    ExigeAbierto(*s_);
    ExigeActualizable(*s_);
    EstadoRecordset& s = *s_;
    if (s.editMode == ado::adEditNone) return;
    const QString tabla = TablaBase(s);
    if (tabla.isEmpty())
        Lanza(ado::adErrFeatureNotAvailable,
              QStringLiteral("Insufficient base table information for updating or refreshing."));
    QVariantList params;
    if (s.editMode == ado::adEditAdd) {
        QStringList columnas, marcas;
        for (int i = 0; i < static_cast<int>(s.columnas.size()); ++i) {
            if (!s.cambiados[i] || s.columnas[i].autoincremento) continue;
            columnas << Columna(s.columnas[i]);
            marcas << QStringLiteral("?");
            params << s.buffer[i];
        }
        const QString sql = columnas.isEmpty()
                                ? QStringLiteral("INSERT INTO [%1] DEFAULT VALUES").arg(tabla)
                                : QStringLiteral("INSERT INTO [%1] (%2) VALUES (%3)")
                                      .arg(tabla, columnas.join(QLatin1Char(',')), marcas.join(QLatin1Char(',')));
        Escribe(s, sql, params);
        s.filas.push_back(s.buffer);
        s.pos = static_cast<long>(s.filas.size()) - 1;
        s.bof = s.eof = false;
    } else {
        QStringList sets;
        for (int i = 0; i < static_cast<int>(s.columnas.size()); ++i) {
            if (!s.cambiados[i]) continue;
            sets << Columna(s.columnas[i]) + QStringLiteral(" = ?");
            params << s.buffer[i];
        }
        if (!sets.isEmpty()) {
            const QString donde = Localiza(s, s.filas[s.pos], params);
            Escribe(s, QStringLiteral("UPDATE [%1] SET %2 WHERE %3").arg(tabla, sets.join(QLatin1Char(',')), donde),
                    params);
        }
        s.filas[s.pos] = s.buffer;
    }
    s.editMode = ado::adEditNone;
}

void Recordset::Delete() {
    ExigeAbierto(*s_);
    ExigeActualizable(*s_);
    EstadoRecordset& s = *s_;
    if (s.editMode == ado::adEditAdd) {
        CancelUpdate();
        return;
    }
    if (!s.EnFila()) SinFilaActual();
    const QString tabla = TablaBase(s);
    if (tabla.isEmpty())
        Lanza(ado::adErrFeatureNotAvailable,
              QStringLiteral("Insufficient base table information for updating or refreshing."));
    QVariantList params;
    const QString donde = Localiza(s, s.filas[s.pos], params);
    Escribe(s, QStringLiteral("DELETE FROM [%1] WHERE %2").arg(tabla, donde), params);
    s.filas.erase(s.filas.begin() + s.pos);
    s.editMode = ado::adEditNone;
    s.eof = s.pos >= static_cast<long>(s.filas.size());
}

void Recordset::CancelUpdate() {
    ExigeAbierto(*s_);
    s_->editMode = ado::adEditNone;
    s_->buffer.clear();
    s_->cambiados.clear();
}

std::shared_ptr<Recordset> Recordset::NextRecordset() {
    if (s_->siguientes.empty()) return nullptr;
    auto estado = std::make_shared<EstadoRecordset>();
    estado->controlador = s_->controlador;
    estado->errores = s_->errores;
    estado->source = s_->source;
    estado->tiempoEspera = s_->tiempoEspera;
    estado->CargaResultado(std::move(s_->siguientes.front()));
    estado->siguientes.assign(std::make_move_iterator(s_->siguientes.begin() + 1),
                              std::make_move_iterator(s_->siguientes.end()));
    s_->siguientes.clear();
    return DesdeResultado(estado);
}

int Recordset::EditMode() const { return s_->editMode; }
int Recordset::CursorType() const { return s_->cursorType; }
int Recordset::LockType() const { return s_->lockType; }
QString Recordset::Source() const { return s_->source; }
