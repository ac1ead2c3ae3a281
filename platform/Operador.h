#pragma once
// Every question to the operator goes through this interface: message
// boxes, input boxes, file dialogs, opening documents, starting programs
// and yielding to pending window events. Two implementations: the Qt one
// (platform/qt) and the scripted one (OperadorGuionado).

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// Message-box encoding: buttons + icon + default button.
constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbAbortRetryIgnore = 2;
constexpr int vbYesNoCancel = 3;
constexpr int vbYesNo = 4;
constexpr int vbRetryCancel = 5;
constexpr int vbCritical = 16;
constexpr int vbQuestion = 32;
constexpr int vbExclamation = 48;
constexpr int vbInformation = 64;
constexpr int vbDefaultButton1 = 0;
constexpr int vbDefaultButton2 = 256;
constexpr int vbDefaultButton3 = 512;

// Answer codes.
constexpr int vbOK = 1;
constexpr int vbCancel = 2;
constexpr int vbAbort = 3;
constexpr int vbRetry = 4;
constexpr int vbIgnore = 5;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

// Window states for starting programs and opening documents.
constexpr int vbHide = 0;
constexpr int vbNormalFocus = 1;
constexpr int vbMinimizedFocus = 2;
constexpr int vbMaximizedFocus = 3;
constexpr int vbNormalNoFocus = 4;
constexpr int vbMinimizedNoFocus = 6;

namespace BotonesMensaje {
inline int Juego(int botones) { return botones & 0x0F; }
inline int Icono(int botones) { return botones & 0xF0; }
inline int PorDefecto(int botones) { return (botones & 0xF00) >> 8; }  // 0-based
}  // namespace BotonesMensaje

struct PedidoArchivo {
    bool guardar = false;       // Save dialog; Open otherwise
    QString titulo;
    QString filtro;             // "description|pattern|description|pattern|"
    QString extension;          // default extension, e.g. ".htm"
    QString nombre;             // initial file name
    QString carpeta;            // initial folder
    bool opcion = false;        // overwrite prompt / file must exist
};

struct RespuestaArchivo {
    bool cancelado = true;
    QString nombre;             // the chosen file, full path
};

// A choice over a table: the operator reads the rows and presses a button.
struct PedidoEleccion {
    QString titulo;
    QString texto;                  // above the table
    QStringList columnas;           // captions
    QVector<QStringList> filas;
    QStringList botones;            // captions; "&" marks the access key
    QVector<bool> habilitados;      // per button; a missing entry is enabled
    int porDefecto = 0;
    int cancelar = -1;              // the button Escape and closing the window stand for
    bool Habilitado(int boton) const { return boton >= habilitados.size() || habilitados[boton]; }
};

class Operador {
public:
    virtual ~Operador() = default;

    // The answer code of the button pressed.
    virtual int Mensaje(const QString& texto, int botones = vbOKOnly, const QString& titulo = {}) = 0;
    // The text typed; nothing when the operator cancelled.
    virtual std::optional<QString> Entrada(const QString& texto, const QString& titulo = {},
                                           const QString& defecto = {}) = 0;
    virtual RespuestaArchivo Archivo(const PedidoArchivo& pedido) = 0;
    // Opens a file or an address with its associated program.
    virtual bool AbreDocumento(const QString& documento, int estadoVentana = vbNormalFocus) = 0;
    // Starts a program; when `espera`, waits and returns its exit code,
    // otherwise 0. -1 when it cannot be started.
    virtual int EjecutaPrograma(const QString& programa, const QStringList& argumentos, bool espera,
                                int estadoVentana = vbNormalFocus) = 0;
    // Lets the window system process pending events once.
    virtual void ProcesaEventos() = 0;
    // The index of the button pressed. Without a table of its own, the
    // choice is the cancelling button's.
    virtual int Eleccion(const PedidoEleccion& pedido) { return pedido.cancelar; }
};

// The process's operator. Until one is set, a strict scripted operator
// with no answers stands in, so an unexpected question never passes silently.
Operador& ElOperador();
// Sets the process's operator (not owned); nullptr restores the stand-in.
void EstableceOperador(Operador* operador);
