#pragma once
// The driver's side of the fault injection: each call counts an attempt and
// hands over the failure to report when one is pending.

#include "db/platform/InyeccionFallas.h"

#include <QString>

namespace InyeccionFallas {
bool TomaApertura(Falla& falla);
bool TomaEjecucion(Falla& falla, const QString& texto);
}  // namespace InyeccionFallas
