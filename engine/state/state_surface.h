// Free-surface settings: the steady surface computation (G 6, K 1) and the
// transient free surface (F 36, F 58 and companions).
#pragma once

namespace zefra {

inline int iSurf = 0, jSurf = 0, kSurf = 0;  // G 6: fixed-level cell
inline double RelaxSurface = 1.0;
inline double ConvSurface = 0.01;
inline long IterSurface = 50000;             // K 1
inline double SurfaceConvergenceCrit = 0.001; // F 142
inline int SurfSmoothFlag = 0;               // F 154
inline double SurfSmoothVal = 0.0;
inline int FlagSuperCritical = 0;            // F 146

inline int FlagTFS = 0;            // F 36: transient free surface
inline int TFStimeterm = 1;        // F 58
inline int TFSpreszero = 0;
inline int TFSmovewall = 0;
inline int TFSfroudeforward = 1;
inline double TFSdiffratio = 0.02;
inline double TFSdampwall = 2.0;
inline double TFSdampobs = 2.0;
inline double TFStopvelocity = 0.0;
inline double TFSforcesource = 1.0;
inline double TFSuslope = 0.0;     // F 57, F 58
inline int TFSflagUpwater = 0;     // F 107
inline double TFSminDepth = 0.02;  // F 108

void default_surface_settings();

}  // namespace zefra
