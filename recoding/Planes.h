#pragma once
// The statement plan of one article code: the texts that move every
// reference from the old code to the new one, sent as one batch.

#include <QString>
#include <array>
#include <cstdint>

enum class TipoPlan { Estadisticas, Fusion, Copia, EnSitio };

// The name of the kind, for messages and the dry run.
QString NombreTipoPlan(TipoPlan tipo);

struct Plan {
    TipoPlan Tipo = TipoPlan::Estadisticas;
    std::array<QString, 31> Sentencias;  // indexes 0..30
    int16_t Cantidad = 0;

    // Empties the list: a new plan starts again at count 0.
    void Reinicia();
    // Stores the text at index Cantidad and advances it.
    void Agrega(const QString& sentencia);
    // Each statement preceded by CR LF, in index order; no trailing CR LF.
    QString Lote() const;
    // The same for the statements [desde, hasta).
    QString Lote(int desde, int hasta) const;
};

// The statement that opens a code's transaction: the first of every plan.
inline const QString kAbreTransaccion = QStringLiteral(" BEGIN TRANSACTION ");
inline const QString kAbreTransaccionEstadisticas = QStringLiteral("BEGIN TRANSACTION ");

// The options read while a plan is built.
struct OpcionesPlan {
    bool ChkEstadisticas = false;
    bool ChkSoloMaestro = false;
    bool CargaPorPrefijo = false;
    QString TxtPrefijoNvo;  // the rubro, as typed
    // False when the rubro does not fit its column: the rubro statements
    // keep each article's rubro (same statements, same positions).
    bool CambiaRubro = true;
};

// The kind the options and codes call for; `existeNuevo` decides between
// merge and copy only.
TipoPlan TipoSegun(const QString& O, const QString& N, const OpcionesPlan& op, bool existeNuevo);

// A code formatted to `ancho` as the statements take it. A code that starts
// with a blank is the master's stored form (an article kept with leading
// blanks): it keeps them, or the statements would match no row.
QString FormatoGuardado(const QString& codigo, int ancho);

// Builds into `plan` (from count 0) the plan for the old code O and the new
// code N, both already formatted to 25 (or in their stored form). `L` is the
// master's column list without the code and ID (used by the copy plan only).
// Quotes of the codes and the rubro are doubled.
void ArmaPlan(Plan& plan, const QString& O, const QString& N, const OpcionesPlan& op, bool existeNuevo,
              const QString& L);
Plan ArmaPlan(const QString& O, const QString& N, const OpcionesPlan& op, bool existeNuevo, const QString& L);

// The probe on the main session: does an article with code N (formatted,
// or in its stored form) exist?
bool ExisteArticulo(const QString& N);

// The master's column list the copy plan takes (`L` of ArmaPlan), read
// through the main session.
QString ColumnasDeCopia();

// Chooses the plan as the run does: the statistics plan consults nothing,
// equal codes (trimmed, ignoring case) give the in-place plan, otherwise
// the probe decides merge or copy; the copy lists the master's columns.
// Failures of the probe or the listing are raised to the caller. With
// `columnas`, the list is read once into it and taken from it afterwards
// (a run's codes share it).
void EligePlan(Plan& plan, const QString& O, const QString& N, const OpcionesPlan& op,
               QString* columnas = nullptr);
