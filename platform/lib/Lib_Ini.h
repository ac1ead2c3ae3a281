#pragma once
// INI files in Windows-1252: "[section]" lines and "key=value" lines.

#include <QString>

class Lib_Ini {
  public:
    // The key's value, trimmed and without surrounding quotes, or
    // `defecto` when the file, the section or the key is missing. A bare
    // file name is looked for in the application folder without regard to
    // case; a path with a folder is used as it is. Sections and keys are
    // compared without regard to case; the first section found counts.
    QString LeeIni(const QString& archivo, const QString& seccion, const QString& clave,
                   const QString& defecto = {}) const;
};

Lib_Ini& LibIni();
