#pragma once
// The embedded engine's database files: the database X is the file X.db in
// the data folder (CarpetaDatos()), found without regard to letter case.

#include <QString>

QString RutaBaseEmbebida(const QString& nombre);
bool ExisteBaseEmbebida(const QString& nombre);
// Creates an empty database, ready for the embedded driver. False with
// `motivo` when the name is not valid, the file exists or cannot be written.
bool CreaBaseEmbebida(const QString& nombre, QString* motivo = nullptr);

// The settings the embedded driver gives every connection it opens.
inline constexpr const char* kAjustesConexionEmbebida =
    "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON; "
    "PRAGMA temp_store=MEMORY; PRAGMA cache_size=-16000;";
