#pragma once
// The windows' appearance: the style chosen for this computer, user and
// database, and the program's icon and toolbar style.

#include <QIcon>

class QWidget;

// The window takes the style sheet of the style number EstiloSkin() gives
// (frame/Apariencia.h). A missing sheet leaves the platform's look; every
// failure is ignored.
void AplicaSkin(QWidget& Ventana);

// The program's icon, from the resources under ":/ICONKORVANE/" (an SVG
// drawing, where the platform reads SVG, and its renderings from 16 to 256
// pixels).
QIcon IconoPrograma();

// The window takes the program's icon ("korvane.ico" of the current folder
// when the resource gives none). Unless its class is FRMMDI, it is handed to
// PreparaVentana and its toolbars named UtilKor1, TBarRep1 and Util0011
// get gFlatToolbars as their dynamic property "StyleBar" (which the toolbar
// control reads); then pending events get their turn once. Every failure is
// ignored.
void AsignaIcono(QWidget& Ventana);
