// Turbulence and wall settings: the turbulence model, eddy-viscosity
// multipliers, wall roughness and wall-law switches, stress terms.
#pragma once

namespace zefra {

inline int TurbulenceModel = 0;   // F 24
inline double EddyMult = 1.0;     // F 9
inline double ArtDiff = 0.0;      // F 14: artificial viscosity
inline double ArtEddyVisc = 0.0;  // F 34: constant eddy viscosity added
inline double TurbMultVert = 1.0; // F 149
inline double TurbMultHor = 1.0;
inline double TurbCoeffVeg = 0.0; // F 194
inline double relaxDensityTurb = 0.0;  // F 40
inline int FlagFluxTurb = 0;      // F 161
inline int DESFlag = 0;           // F 197
inline int FlagStrat = 0;
inline int FlagDensCurr = 0;
inline double SourDens = 0.0;     // F 18

// Stress terms.
inline double StressDiff = 0.0;  // F 13
inline int StressFlag = 0;       // F 100
inline int NoLoopStress = 0;     // F 207

// Walls and roughness.
inline int FlagWall = 0;          // K 2
inline int FlagWallAll = 0;       // F 15
inline double XksWall = -2.0;     // F 16: side-wall roughness (negative: as the bed)
inline double XksJ1 = -2.0;       // F 195
inline double XksJ2 = -2.0;
inline double MinUPlus = 1.0;     // F 139
inline double MinUPlusK = 1.0;
inline int FlagScotti = 0;        // F 189
inline double ParamScotti = 0.5;
inline int FlagSurfEps = 0;       // F 185
inline double SurfEpsCoeff = 0.43;
inline int FlagZ0Small = 0;       // F 7 Z
inline int FlagRoughness = 0;     // F 90
inline int Flag2BedRoughness = 0; // F 103
inline int FlagRoughSmooth = 0;   // F 167
inline int WallChoiseForm = 0;    // F 150
inline int WallChoiseSed = 0;
inline double Xkappa = 0.0;       // von Karman constant in use (set by the start-up)
inline double HRmulmin = 0.01;
inline double HRzmax = 2.0;

void default_turbulence_settings();

}  // namespace zefra
