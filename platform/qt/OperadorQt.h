#pragma once
// The operator interface on real Qt dialogs, with Spanish captions.

#include <QUrl>

#include "platform/Operador.h"

class QMessageBox;
class QTableView;
class QWidget;

class OperadorQt : public Operador {
  public:
    int Mensaje(const QString& texto, int botones = vbOKOnly, const QString& titulo = {}) override;
    std::optional<QString> Entrada(const QString& texto, const QString& titulo = {},
                                   const QString& defecto = {}) override;
    RespuestaArchivo Archivo(const PedidoArchivo& pedido) override;
    bool AbreDocumento(const QString& documento, int estadoVentana = vbNormalFocus) override;
    // The window state is not applied: Qt cannot choose how another
    // program shows its window.
    int EjecutaPrograma(const QString& programa, const QStringList& argumentos, bool espera,
                        int estadoVentana = vbNormalFocus) override;
    void ProcesaEventos() override;
    // A dialog with the text, a read-only table and the buttons in a row.
    int Eleccion(const PedidoEleccion& pedido) override;
};

// A question to the operator stays above the progress sign, which is kept
// on top of the other windows while a long task runs.
void PorEncimaDelCartel(QWidget& dialogo);

// The width a dialog needs for its whole title to show in the window
// manager's bar, up to what a message box may take of the screen.
int AnchoDelTitulo(const QWidget& w);
// A message box at least that wide (its text wraps within it).
void AnchoParaElTitulo(QMessageBox& box);

// A table of texts to read: every column but the last as wide as its text
// (at most 260 pixels); the last one takes the rest of the width and wraps,
// each row as tall as its text. Call it once the model is filled.
void UltimaColumnaEnvuelve(QTableView& tabla);

// The filter "description|pattern|description|pattern|" in Qt's form
// "description (pattern)" joined by ";;". Patterns separated by ";" become
// blank-separated; a description without its pattern gets "*".
QString FiltroQt(const QString& filtro);

// A document or an address as a URL: texts with a scheme of two or more
// letters ("http:", "mailto:", "file:") are addresses, anything else a
// local file (surrounding double quotes removed).
QUrl UrlDocumento(const QString& documento);
