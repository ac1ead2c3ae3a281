#pragma once
// The one failure type: number, description and source, as the operator's
// error dialogs and the error logs show them.

#include <QString>

#include <cstdint>
#include <exception>
#include <string>

class Fallo : public std::exception {
public:
    Fallo(int32_t numero, QString descripcion, QString origen = {});

    int32_t Numero() const { return numero_; }
    const QString& Descripcion() const { return descripcion_; }
    const QString& Origen() const { return origen_; }

    const char* what() const noexcept override { return what_.c_str(); }

private:
    int32_t numero_;
    QString descripcion_;
    QString origen_;
    std::string what_;
};

// Failure numbers raised by the platform and by the program itself.
namespace NumeroFallo {
constexpr int32_t ArgumentoInvalido = 5;
constexpr int32_t Desbordamiento = 6;
constexpr int32_t SinMemoria = 7;
constexpr int32_t Subindice = 9;
constexpr int32_t NombreArchivoIncorrecto = 52;
constexpr int32_t ArchivoNoEncontrado = 53;
constexpr int32_t ArchivoYaAbierto = 55;
constexpr int32_t DiscoLleno = 61;
constexpr int32_t PermisoDenegado = 70;
constexpr int32_t RutaNoEncontrada = 76;
constexpr int32_t ObjetoNoEstablecido = 91;
constexpr int32_t OperacionNoPermitida = 3219;
constexpr int32_t ConexionCerrada = 3704;      // closing a closed object
constexpr int32_t ConexionAbierta = 3705;      // opening an open object
constexpr int32_t ConexionInvalida = 3709;     // using a closed or invalid connection
constexpr int32_t ProveedorFallo = static_cast<int32_t>(0x80004005);
constexpr int32_t ComandoConErrores = static_cast<int32_t>(0x80040E14);
constexpr int32_t TablaInexistente = static_cast<int32_t>(0x80040E37);
constexpr int32_t Integridad = static_cast<int32_t>(0x80040E2F);
}  // namespace NumeroFallo

// The failure being handled inside a catch block, whatever was thrown:
// a Fallo as it is, other standard exceptions with a number of their kind.
Fallo FalloActual();

// The running program's name (the source of the failures it raises itself,
// the "Proceso" of its error records). Set once by each executable.
QString NombrePrograma();
void EstableceNombrePrograma(const QString& nombre);
