// Output settings: print intervals, plot scales and nodes, contour levels.
#pragma once

namespace zefra {

inline int PrintIterBoogie = 100;  // F 53
inline int PrintIterRes = 100;
inline int PrintIterForce = 1;
inline int PrintIterTime = 1;
inline int PrintIterSurf = 100;
inline int PrintRes = 0;           // P 10: numbered series of result plots
inline int FlagPrint = 0;
inline int FlagPlotVertical = 0;   // F 7 V
inline int FlagInterpolVal = 0;    // F 48: kind of plot file
inline double InterLimit = 0.05;   // F 47

inline char graph = 'g';           // P 4
inline char rungraph = 'N';
inline char VerHorPar = 0;         // P 7
inline double xscale = 1.0, yscale = 1.0, zscale = 1.0;  // P 2
inline double movex = 0.0, movey = 0.25;
inline double MouseScale = 1.0;    // G 15
inline double cgscale = 1.0, dgscale = 1.0, kgscale = 1.0, vgscale = 1.0;
inline int xnode = 2, ynode = 2, znode = 2, lnode = 1;  // P 3

constexpr int ContourCapacity = 20;
inline int contourNo = 0;          // L
inline double contourLevels[ContourCapacity];

// Points of the point report `interres` (F 48 1 ... 4), read from `interpol`
// at the first report of a run: M points are reported at every write, T points
// at the writes within 0.1 s of their time.
struct InterpolPoint {
    double time, x, y;
    bool outside_logged;  // the log has said once that it lies outside the grid
};
constexpr int InterpolCapacity = 999;
inline int InterpolNo = -1;           // -1: `interpol` not read yet in this run
inline InterpolPoint Interpol[InterpolCapacity];
inline bool InterresStarted = false;  // `interres` emptied in this run, then appended to

void default_output_settings();

}  // namespace zefra
