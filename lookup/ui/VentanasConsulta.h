#pragma once
// The program's lookup windows: the engine creates them through the factory
// of lookup/VentanaConsulta.h.

// Registers the list window (TipoVentanaConsulta::Lista) and the tree window
// (TipoVentanaConsulta::Arbol), each shown modally on Qt Widgets.
void UsaVentanasConsulta();
