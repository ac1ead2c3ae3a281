#pragma once
// The embedded engine's own catalogue: what SQL Server knows and the engine
// does not (constraint names, identity columns, switched-off triggers).

inline constexpr const char* kCatalogoEmbebido =
    "CREATE TABLE IF NOT EXISTS __kv_restricciones (nombre TEXT NOT NULL COLLATE NOCASE, "
    "tabla TEXT NOT NULL COLLATE NOCASE, tipo TEXT NOT NULL, columnas TEXT);"
    "CREATE TABLE IF NOT EXISTS __kv_identidad (tabla TEXT PRIMARY KEY COLLATE NOCASE, columna TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS __kv_disparadores (tabla TEXT NOT NULL COLLATE NOCASE, "
    "disparador TEXT NOT NULL COLLATE NOCASE, PRIMARY KEY (tabla, disparador));";
