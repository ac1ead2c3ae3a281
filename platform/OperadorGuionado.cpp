#include "platform/OperadorGuionado.h"

#include "platform/Fallo.h"

OperadorGuionado& OperadorGuionado::Responde(int codigo) {
    cola_.emplace_back(codigo);
    return *this;
}

OperadorGuionado& OperadorGuionado::RespondeEntrada(std::optional<QString> texto) {
    cola_.emplace_back(std::move(texto));
    return *this;
}

OperadorGuionado& OperadorGuionado::RespondeEleccion(int boton) {
    cola_.emplace_back(RespuestaEleccion{boton});
    return *this;
}

OperadorGuionado& OperadorGuionado::RespondeArchivo(RespuestaArchivo respuesta) {
    cola_.emplace_back(std::move(respuesta));
    return *this;
}

QStringList OperadorGuionado::Mensajes() const {
    QStringList r;
    for (const Aviso& a : transcripcion_)
        if (a.tipo == Aviso::Tipo::Mensaje) r.append(a.texto);
    return r;
}

void OperadorGuionado::Limpia() {
    cola_.clear();
    transcripcion_.clear();
    eventos_ = 0;
}

OperadorGuionado::Respuesta OperadorGuionado::Toma(const Aviso& aviso, std::size_t indice) {
    transcripcion_.push_back(aviso);
    if (!cola_.empty() && cola_.front().index() == indice) {
        Respuesta r = std::move(cola_.front());
        cola_.pop_front();
        return r;
    }
    if (respondedor_) {
        if (auto r = respondedor_(aviso); r && r->index() == indice) return *r;
    }
    if (alFaltar_) alFaltar_(aviso);
    throw SinRespuesta{aviso};
}

int OperadorGuionado::Mensaje(const QString& texto, int botones, const QString& titulo) {
    Aviso a;
    a.tipo = Aviso::Tipo::Mensaje;
    a.texto = texto;
    a.titulo = titulo;
    a.botones = botones;
    return std::get<int>(Toma(a, 0));
}

std::optional<QString> OperadorGuionado::Entrada(const QString& texto, const QString& titulo, const QString&) {
    Aviso a;
    a.tipo = Aviso::Tipo::Entrada;
    a.texto = texto;
    a.titulo = titulo;
    return std::get<std::optional<QString>>(Toma(a, 1));
}

RespuestaArchivo OperadorGuionado::Archivo(const PedidoArchivo& pedido) {
    Aviso a;
    a.tipo = Aviso::Tipo::Archivo;
    a.texto = pedido.titulo;
    a.titulo = pedido.titulo;
    a.pedido = pedido;
    return std::get<RespuestaArchivo>(Toma(a, 2));
}

bool OperadorGuionado::AbreDocumento(const QString& documento, int estadoVentana) {
    Aviso a;
    a.tipo = Aviso::Tipo::Documento;
    a.texto = documento;
    a.botones = estadoVentana;
    transcripcion_.push_back(a);
    return !sinVisor_;
}

int OperadorGuionado::EjecutaPrograma(const QString& programa, const QStringList& argumentos, bool espera,
                                      int estadoVentana) {
    Aviso a;
    a.tipo = Aviso::Tipo::Programa;
    a.texto = programa;
    a.argumentos = argumentos;
    a.botones = estadoVentana;
    transcripcion_.push_back(a);
    return espera ? codigoSalida_ : 0;
}

// ---- the process's operator -------------------------------------------------

namespace {
Operador*& actual() {
    static Operador* o = nullptr;
    return o;
}
}  // namespace

Operador& ElOperador() {
    static OperadorGuionado estricto;
    Operador* o = actual();
    return o ? *o : estricto;
}

void EstableceOperador(Operador* operador) { actual() = operador; }

int OperadorGuionado::Eleccion(const PedidoEleccion& pedido) {
    Aviso a;
    a.tipo = Aviso::Tipo::Eleccion;
    a.texto = pedido.texto;
    a.titulo = pedido.titulo;
    a.eleccion = pedido;
    const int boton = std::get<RespuestaEleccion>(Toma(a, 3)).boton;
    if (boton < 0 || boton >= pedido.botones.size() || !pedido.Habilitado(boton))
        throw Fallo(NumeroFallo::ArgumentoInvalido, QStringLiteral("Botón no disponible: ") + QString::number(boton));
    return boton;
}
