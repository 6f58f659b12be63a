// Tables of data-set records from the control file, each with its counter.
// Capacities are fixed; the readers check the counters before they store.
#pragma once

namespace zefra {

// G 7: inflow and outflow openings (records 1 ... 19).
struct IORecord {
    int type, side, a1, a2, b1, b2, paralell, update;
    double Q, x, y, z;
};
constexpr int IOCapacity = 20;
inline int IONo = 0;
inline IORecord IO[IOCapacity];

// G 8: regions with given initial velocities (records 1 ... 19).
struct MInitRecord {
    int i1, i2, j1, j2, k1, k2;
    double u, v, w;
};
constexpr int MInitCapacity = 20;
inline int MInitNo = 0;
inline MInitRecord MInit[MInitCapacity];

// G 10, G 11: volume sources in a box of cells.
struct VolSourceRecord {
    int i1, i2, j1, j2, k1, k2;
    double value1, value2;
};
constexpr int VolSourceCapacity = 101;
inline int VolSourceNo = 0;
inline VolSourceRecord VolSource[VolSourceCapacity];

// G 12: sediment sources, one concentration per size.
struct SedSourceRecord {
    int code;
    double conc[11];  // entries 1 ... 10
};
constexpr int SedSourceCapacity = 20;
inline int SedSourceNo = 0;
inline SedSourceRecord SedSource[SedSourceCapacity];

// G 13: blocked-out regions.
struct OutBlockRecord {
    int type, i1, i2, j1, j2, k1, k2;
};
constexpr int OutBlockCapacity = 50;
inline int OutBlockNo = 0;
inline OutBlockRecord OutBlock[OutBlockCapacity];

// G 14: cells whose equation coefficients are dumped to the log.
struct DebugDumpRecord {
    int equation, i, j, k;
};
constexpr int DebugDumpCapacity = 30;
inline int DebugDumpNo = 0;
inline DebugDumpRecord DebugDump[DebugDumpCapacity];

// G 16: local vertical distributions (per-cent levels for k = 1 ... znumber).
struct DistributionRecord {
    int i1, i2, j1, j2;
    double level[40];
};
constexpr int DistributionCapacity = 32;
inline int DistribNo = 0;
inline DistributionRecord Distribution[DistributionCapacity];

// G 17, G 18: fixed-value boxes at the borders.
struct BorderSourceRecord {
    int i1, i2, j1, j2, k1, k2, component;
    double value, lower, upper;
    int data_set;  // 17 or 18, for the messages
};
constexpr int BorderSourceCapacity = 100;
inline int BorderSourceNo = 0;
inline BorderSourceRecord BorderSource[BorderSourceCapacity];

// G 19: plot planes.
struct PlaneRecord {
    int position, direction, a1, a2, b1, b2, c1, c2;
};
constexpr int PlaneCapacity = 50;
inline int sOpenGL3DNo = 0;
inline PlaneRecord sOpenGl3D[PlaneCapacity];

// G 20: area sources.
struct AreaSourceRecord {
    int i1, i2, j1, j2, k1, k2, size;
    double value;
};
constexpr int AreaSourceCapacity = 50;
inline int AreaSourceNo = 0;
inline AreaSourceRecord AreaSource[AreaSourceCapacity];

// G 21: concentration print planes.
struct PrintConcRecord {
    int direction, position, a1, a2, b1, b2;
    double flux;  // sediment flux through the plane, summed by the sediment solver
};
constexpr int PrintConcCapacity = 20;
inline int PrintConcNo = 0;
inline PrintConcRecord PrintConc[PrintConcCapacity];

// G 23: lower fixed bed levels.
struct LowFixLevRecord {
    int i1, i2, j1, j2, k;
};
constexpr int LowFixLevCapacity = 10;
inline int NoLowFixLev = 0;
inline LowFixLevRecord LowFixLev[LowFixLevCapacity];

// G 24: extra plot variables.
struct TecStrucRecord {
    int level, size;
    char code;
};
constexpr int TecStrucCapacity = 300;
inline int TecStrucNo = 0;
inline TecStrucRecord TecStruc[TecStrucCapacity];

// G 40: vertical temperature profile (level, temperature).
constexpr int VerttempCapacity = 50;
inline int NoVerttemp = 0;
inline double Verttemp[VerttempCapacity][2];

// W 4: extra walls.
struct MWallRecord {
    int dir, posneg, node, a1, a2, b1, b2;
};
constexpr int MWallCapacity = 300;
inline int MWallNo = 0;
inline MWallRecord MWall[MWallCapacity];

// W 6: cells of the fast routine (entries 1 ... 1999).
constexpr int FastCapacity = 2000;
inline int FastNo = 0;
inline int iFast[FastCapacity];
inline int jFast[FastCapacity];

// W 7: attraction records (entries 1 ... 1999).
struct AttractRecord {
    int a, b, c;
    double value1, value2;
};
constexpr int AttractCapacity = 2000;
inline int AttractNo = 0;
inline AttractRecord Attract[AttractCapacity];

// Time-series print requests (O and P records of `timei`): the points whose
// values are written to `timeo` while the simulated time lies in the window.
struct TimePrintPoint {
    char letter;
    int i, j, k, index;
};
constexpr int TimePrintCapacity = 50;
constexpr int TimePrintPoints = 3000;
struct TimePrintRecord {
    double start, end;
    int count;
    TimePrintPoint points[TimePrintPoints];
};
inline TimePrintRecord TimePrint[TimePrintCapacity];  // count in TimePrintNo

// Empties every table and sets every counter to 0.
void clear_tables();

}  // namespace zefra
