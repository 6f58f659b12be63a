// Flow start-up: every one-time preparation of the flow fields and cell flags
// before the outer iterations.  Called by Initial after the initial surface
// and the block connection, and again by the transient free surface, the
// depth-averaged solver and the water-quality driver.  Fields are set only on
// a cold start (FlagInitialized 0); the column and block flags, roughness
// defaults, wall markers, relaxation factors and residual scales are rebuilt
// on every call.
//
//   i = 1 (ghost)    2 ... xnumber    xnumber+1 (ghost)
//   inflow profile | inner cells     | outflow
//   of k and eps     start from the inflow column
#include "engine/startup/flow_startup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "engine/common/boogie.h"
#include "engine/common/physics.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/flow3d/opening_faces.h"
#include "engine/grid/columns.h"
#include "engine/grid/multiblock.h"
#include "engine/input/text_scanner.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_porous.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"
#include "engine/turbulence/model_constants.h"

namespace zefra {

namespace {

// Strickler's roughness height from the Manning-Strickler coefficient.
double strickler_roughness(double m)
{
    return std::pow(26.0 / m, 6.0);
}

bool cold()
{
    return FlagInitialized == 0;
}

void area_check(Boogie& log)
{
    if (!cold() || debugging == 'Q') return;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            if (m_armap[i][j] <= 1e-20) {
                log.print("Error, negative areas for cell i=%d, j=%d\n", i, j);
                log.print("The error can be suppressed by specifying a Q on the F 1 data set.\n");
                log.print("However, the grid cell is distorted and computations using this grid will not run.\n");
                end_run(-5);
            }
}

// Inflow profile of k and epsilon: k falls linearly from its bed value
// u*^2 / sqrt(C_mu) to half of it at the surface; the eddy viscosity rises
// linearly from its bed value to 0.11 R u* at 0.3 of the depth.
void inflow_turbulence()
{
    const double v = avvelocity[1], r = radius[1], m = ManArray[0];
    const double tau = WaterDensity * Gravity * v * v / (std::pow(r, 0.3333) * m * m + 1e-20);
    const double ustar = std::sqrt(tau / WaterDensity);
    const double k_bed = tau / 300.0;
    const double nu_max = 0.11 * r * ustar * EddyMult;
    const double k0 = std::sqrt(EddyMult) * k_bed;
    for (int j = 2; j <= ynumber; ++j) {
        const double h = 0.5 * (zval[1][j - 1][znumber] - zval[1][j - 1][1] + zval[1][j][znumber] - zval[1][j][1]);
        auto height = [j](int k) {
            return 0.5 * (0.5 * (zval[1][j - 1][k] + zval[1][j - 1][k - 1]) - zval[1][j - 1][1] +
                          0.5 * (zval[1][j][k] + zval[1][j][k - 1]) - zval[1][j][1]);
        };
        const double y1 = height(2);
        const double eps_bed = ustar * ustar * ustar / (Kappa * y1 + 1e-20);
        const double nu_bed = CMu * k0 * k0 / (eps_bed + 1e-20);
        const double slope = (nu_max - nu_bed) / (0.3 * h - y1 + 1e-20);
        for (int k = 2; k <= znumber; ++k) {
            const double y = height(k);
            const double nu = std::max(std::min(nu_bed + slope * (y - y1), nu_max), nu_bed);
            double kin = k0 * (1.0 - 0.5 * (y - y1) / (h - y1 + 1e-20));
            double eps = CMu * kin * kin / (nu + 1e-20);
            if (one_equation_model()) kin = CMu * kin * kin / (eps + 1e-20);  // the k slot holds the eddy viscosity
            if (k_omega_model()) eps = eps / (CMu * kin + 1e-20);  // specific dissipation
            kinen[1][j][k] = kin;
            epsilon[1][j][k] = eps;
        }
    }
}

// Temperature of every cell from the vertical profile of G 40.
void temperature_profile()
{
    if (FlagTemp != 1 || NoVerttemp <= 0 || !temp) return;
    std::vector<std::pair<double, double>> table;
    for (int n = 0; n < NoVerttemp; ++n) table.emplace_back(Verttemp[n][0], Verttemp[n][1]);
    std::sort(table.begin(), table.end());
    auto at = [&table](double z) {
        if (z <= table.front().first) return table.front().second;
        if (z >= table.back().first) return table.back().second;
        auto hi = std::upper_bound(table.begin(), table.end(), std::make_pair(z, -1e300));
        auto lo = hi - 1;
        return lo->second + (hi->second - lo->second) * (z - lo->first) / (hi->first - lo->first);
    };
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) temp[i][j][k] = at(centre_level(i, j, k));
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) temp[1][j][k] = temp[2][j][k];
}

void column_flags()
{
    twoD.fill(1);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            if (2 * m_dist_z[i][j][0] / std::sqrt(std::max(m_armap[i][j], 1e-30)) < twoDratio) twoD[i][j] = 0;
}

// Blocked-out cells, and walls on the faces around the boxes that ask for them.
void out_blocks()
{
    OBlok.fill(1);
    for (IField3* w : {&WallI, &WallJ, &WallK}) w->fill(0);
    for (int n = 1; n <= OutBlockNo; ++n) {
        const OutBlockRecord& b = OutBlock[n];
        for (int i = b.i1; i <= b.i2; ++i)
            for (int j = b.j1; j <= b.j2; ++j)
                for (int k = b.k1; k <= b.k2; ++k) OBlok[i][j][k] = 0;
        if (b.type <= 0) continue;
        for (int i = b.i1; i <= b.i2; ++i)
            for (int k = b.k1; k <= b.k2; ++k) {
                if (b.j1 > 3) WallJ[i][b.j1 - 1][k] = -1;
                if (b.j2 < ynumber - 1) WallJ[i][b.j2 + 1][k] = 1;
            }
        for (int j = b.j1; j <= b.j2; ++j)
            for (int k = b.k1; k <= b.k2; ++k) {
                if (b.i1 > 3) WallI[b.i1 - 1][j][k] = -1;
                if (b.i2 < xnumber - 1) WallI[b.i2 + 1][j][k] = 1;
            }
        for (int i = b.i1; i <= b.i2; ++i)
            for (int j = b.j1; j <= b.j2; ++j) {
                if (b.type > 1 && b.k2 < znumber) WallK[i][j][b.k2 + 1] = 1;
                if (b.type == 3 && b.k1 > 3) WallK[i][j][b.k1 - 1] = -1;
            }
    }
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j)
            if (kblok[i][j] == 0)
                for (int k = 0; k <= znumber + 1; ++k) OBlok[i][j][k] = 0;
}

void roughness()
{
    Xkappa = Kappa;
    if (cold())
        for (int i = 1; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j) Xks[i][j] = XksWall > 0 ? XksWall : strickler_roughness(ManArray[i]);
    if (XksWall <= 0) XksWall = strickler_roughness(ManArray[0]);
    if (XksJ1 <= 0) XksJ1 = XksWall;
    if (XksJ2 <= 0) XksJ2 = XksWall;
}

// File `bedrough`: "B i j ks" lines give the bed roughness of single columns.
void bed_roughness_file(Boogie& log)
{
    TextScanner file("bedrough");
    if (!file) {
        log.print("Did not use file 'bedrough'\n");
        return;
    }
    int count = 0;
    const long limit = 20L * xnumber * ynumber;
    for (long taken = 0; taken < limit; ++taken) {
        const int c = file.get();
        if (c == EOF) break;
        if (c != 'B') continue;
        int i, j;
        double ks;
        if (file.scan("%d %d", &i, &j) != 2 || file.scan("%lf\n", &ks) != 1) continue;
        if (i > 1 && i <= xnumber && j > 1 && j <= ynumber) {
            Xks[i][j] = ks;
            ++count;
        }
    }
    log.print("Have read %d roughness points from file 'bedrough'\n", count);
}

void clear_ghost_layers()
{
    for (Field3* f : {&xvel, &yvel, &zvel, &kinen, &epsilon})
        for (int i = 0; i <= xnumber + 2; ++i) {
            for (int k = 0; k <= znumber + 2; ++k) (*f)[i][1][k] = (*f)[i][ynumber + 1][k] = 0.0;
            for (int j = 0; j <= ynumber + 2; ++j) (*f)[i][j][1] = (*f)[i][j][znumber + 1] = 0.0;
        }
    for (int i = 0; i <= xnumber + 2; ++i)
        for (int j = 0; j <= ynumber + 2; ++j) epsilon[i][j][znumber + 1] = 1e-4;
}

// The openings of G 7: continuity of their discharges, then k, epsilon and a
// velocity of magnitude |Q| / A in the ghost cells of each one.  Returns the
// momentum flux sum ImpTot and sets the total mass flux.
double openings(Boogie& log, double& flux_total)
{
    if (!FlagPrint) log.print("IONo = %d\n", IONo);
    if (!FlagInZero && cold()) {
        for (Field3* f : {&xvel, &yvel, &zvel})
            for (int j = 0; j <= ynumber + 2; ++j)
                for (int k = 0; k <= znumber + 2; ++k) (*f)[1][j][k] = (*f)[xnumber + 1][j][k] = 0.0;
        log.print("Default inflow and outflow set to zero\n");
    }
    double flux_out = 0.0, flux_in = 0.0;
    for (int n = 1; n <= IONo; ++n) (IO[n].type == 1 ? flux_out : flux_in) += WaterDensity * std::fabs(IO[n].Q);
    flux_total = flux_in;
    if (FlagTFS != 1 && std::fabs(flux_in - flux_out) / (flux_out + flux_in + 1e-6) > 1e-6) {
        log.print("Error in continuity, IO\n");
        log.print("FluxUt = %lf, FluxTot = %lf\n", flux_out, flux_in);
        end_run(1);
    }
    double momentum = 0.0;
    for (int n = 1; n <= IONo; ++n) {
        const IORecord& r = IO[n];
        const std::vector<OpeningFace> faces = opening_faces(r);
        // The area the water passes at its speed: the faces projected on the
        // direction it takes, so that the opening carries its whole discharge.
        const double area = passage_area(faces);
        if (faces.empty()) continue;
        if (area <= 1e-12) {
            log.print("Warning: G 7 record %d points along its opening: no water can pass\n", n);
            continue;
        }
        const double speed = std::fabs(r.Q) / area;
        const double k = 0.0025 * speed * speed;
        const double eps = 0.8 * k * std::sqrt(k) / std::sqrt(area);
        momentum += 500.0 * r.Q * r.Q / area;
        if (!cold()) continue;
        start_opening(r, faces, r.Q);
        for (const OpeningFace& f : faces) {
            kinen[f.gi][f.gj][f.gk] = k;
            epsilon[f.gi][f.gj][f.gk] = eps;
        }
    }
    return momentum;
}

void residual_scales(Boogie& log)
{
    if (IONo > 0) {
        double flux_total = 0.0;
        const double imp_total = openings(log, flux_total);
        for (int e = 1; e <= 3; ++e) NormResidual[e] = imp_total;
        NormResidual[4] = flux_total;
        const double v = imp_total / (flux_total + 1e-5);
        const double ak = std::max(0.0025 * v * v, 0.001);
        const double ae = ak * std::sqrt(0.8 * ak / (flux_total * 0.001 / (v + 1e-20) + 1e-20));
        NormResidual[5] = ak * flux_total;
        NormResidual[6] = ae * flux_total;
        NormResidual[7] = 20.0 * flux_total;
        log.print("ImpTot = %lf, FluxTot = %lf, aK = %lf, aE = %lf\n", imp_total, flux_total, ak, ae);
        for (int n = 0; n <= 6; ++n) log.print("NormResidual(%d) = %lf\n", n, NormResidual[n]);
        return;
    }
    if (!FlagPrint) log.print("IONo = 0\n");
    auto inflow_sums = [](double& volume, double& momentum) {
        volume = momentum = 0.0;
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                const double a = m_ar_x[1][j][k], nx = m_vec_x[1][j][0], ny = m_vec_x[1][j][1];
                const double u = xvel[1][j][k], v = yvel[1][j][k];
                volume += std::fabs(a * (u * nx + v * ny));
                momentum += std::fabs(a * (u * u * nx + v * v * ny));
            }
    };
    double volume, momentum;
    inflow_sums(volume, momentum);
    if (cold()) {
        const double scale = std::fabs(discharge / (volume + 1e-30));
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                xvel[1][j][k] *= scale;
                yvel[1][j][k] *= scale;
                zvel[1][j][k] *= scale;
            }
    }
    if (FlagTFS) inflow_sums(volume, momentum);
    double k_mean = 0.0, eps_mean = 0.0;
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) {
            k_mean += kinen[1][j][k];
            eps_mean += epsilon[1][j][k];
        }
    k_mean /= znumber * ynumber;
    eps_mean /= znumber * ynumber;
    if (FlagNormSet == 1) {
        k_mean = NormK;
        eps_mean = NormEps;
    }
    const double mass = WaterDensity * volume;
    for (int e = 1; e <= 3; ++e) NormResidual[e] = WaterDensity * momentum;
    NormResidual[4] = mass;
    NormResidual[5] = k_mean * mass;
    NormResidual[6] = eps_mean * mass;
    NormResidual[7] = 20.0 * mass;
    if (k_mean <= 1e-20 || eps_mean <= 1e-22) {
        log.print("Error in setting of residual (sinit)\n");
        log.print("average k, eps = %e %e\n", k_mean, eps_mean);
        end_run(-2);
    }
}

// Wall markers: the bed, the roof of a closed conduit, the side walls, the
// extra walls of W 4; none along the joints of side blocks.
void wall_markers()
{
    Wall.fill(0);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            WallK[i][j][2] = 1;
            if (FlagRoof == 0) WallK[i][j][znumber] = -1;
        }
    if (FlagWall == 0 || FlagWall == 2)
        for (int i = 2; i <= xnumber; ++i)
            for (int k = 2; k <= znumber; ++k) {
                WallJ[i][2][k] = 1;
                if (FlagWall == 0) WallJ[i][ynumber][k] = -1;
            }
    if (MBNo > 0)
        for (int i = 2; i <= xnumber; ++i)
            for (int k = 2; k <= znumber; ++k) {
                if (joint_across_edge(i, 1)) WallJ[i][2][k] = 0;
                if (joint_across_edge(i, ynumber)) WallJ[i][ynumber][k] = 0;
            }
    for (int n = 1; n <= MWallNo; ++n) {
        const MWallRecord& w = MWall[n];
        for (int a = w.a1; a <= w.a2; ++a)
            for (int b = w.b1; b <= w.b2; ++b) {
                if (w.dir == 1) WallI[w.node][a][b] = w.posneg;
                if (w.dir == 2) WallJ[a][w.node][b] = w.posneg;
                if (w.dir == 3) WallK[a][b][w.node] = w.posneg;
            }
    }
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k)
                if (WallI[i][j][k] != 0 || WallJ[i][j][k] != 0 || WallK[i][j][k] != 0) Wall[i][j][k] = 1;
}

// A G 7 opening on a face with a wall marker passes no water there, since the
// fluxes through walls are cleared: say which record it is and how to open
// the wall.
void openings_on_walls(Boogie& log)
{
    if (FlagPrint) return;
    const int x = xnumber, y = ynumber, z = znumber;
    for (int n = 1; n <= IONo; ++n) {
        const IORecord& r = IO[n];
        const int side = r.side;
        if (side == 0 || std::abs(side) > 3) continue;
        // The wall marker of the inner cell on the face of the opening, and the
        // W 4 direction and cell index that address that face.
        const int dir = std::abs(side) == 1 ? 1 : std::abs(side) == 2 ? 2 : 3;
        const int node = side > 0 ? 2 : (dir == 1 ? x : dir == 2 ? y : z);
        const int facing = side > 0 ? 1 : -1;
        int walls = 0, first_a = 0, first_b = 0;
        for (int a = r.a1; a <= r.a2; ++a)
            for (int b = r.b1; b <= r.b2; ++b) {
                const int marker = dir == 1 ? WallI[node][a][b] : dir == 2 ? WallJ[a][node][b] : WallK[a][b][node];
                if (marker != facing) continue;
                if (walls++ == 0) {
                    first_a = a;
                    first_b = b;
                }
            }
        if (walls == 0) continue;
        const int ci = dir == 1 ? node : first_a, cj = dir == 1 ? first_a : dir == 2 ? node : first_b, ck = dir == 3 ? node : first_b;
        log.print("Warning: G 7 record %d lies on a wall at %d of its %d faces, first at cell (%d,%d,%d); no water passes a wall\n", n, walls,
                  (r.a2 - r.a1 + 1) * (r.b2 - r.b1 + 1), ci, cj, ck);
        log.print("Open the wall with the data set: W 4 %d 0 %d %d %d %d %d\n", dir, node, r.a1, r.a2, r.b1, r.b2);
    }
}

// Relaxation factors, each only strictly inside its bounds.
void relaxation_factors(Boogie& log)
{
    auto within = [](double value, double low, double high) { return value > low && value < high ? value : low; };
    relaxVelocity = within(relax[1], 0.001, 2.0);
    relaxPressure = within(relax[4], 0.001, 2.0);
    relaxK = within(relax[5], 0.01, 2.0);
    relaxEpsilon = within(relax[6], 0.01, 2.0);
    if (!FlagPrint) log.print("Relaxation: %lf %lf %lf %lf\n", relaxVelocity, relaxPressure, relaxK, relaxEpsilon);
}

// Pressure of a cold start: zero, hydrostatic for the transient free surface,
// or a fraction InitPres of the hydrostatic pressure.
void initial_pressure()
{
    invAP.fill(0.0);
    Pres.fill(0.0);
    double factor = 0.0;
    if (FlagTFS == 1 || FlagTFS == 3) factor = 1.0;
    if (InitPres > 0.001) factor = InitPres;
    if (factor == 0.0) return;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k)
                Pres[i][j][k] = factor * WaterDensity * Gravity * (column_top(i, j) - centre_level(i, j, k));
}

// A single side block starts nearly at rest, with a push across into it.
void single_joint_start()
{
    if (MBNo != 1) return;
    for (int i = MBSkjot[1] + 1; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                xvel[i][j][k] = 0.1 * xvel[1][j][k];
                yvel[i][j][k] = 1.0;
            }
}

// File `innflow`: velocities (E) or velocities with k and epsilon (D) of the
// inflow cells.
void inflow_file(Boogie& log)
{
    TextScanner file("innflow");
    if (!file) {
        log.print("File 'innflow' not used      \n");
        return;
    }
    int count = 0;
    const long limit = 10L * ynumber * znumber;
    for (long taken = 0; taken < limit; ++taken) {
        const int c = file.get();
        if (c == EOF) break;
        if (c != 'E' && c != 'D') continue;
        int j, k;
        double u, v, w, kin = 0.0, eps = 0.0;
        if (file.scan("%d%d", &j, &k) != 2) continue;
        const bool complete = c == 'E' ? file.scan("%lf %lf %lf\n", &u, &v, &w) == 3
                                       : file.scan("%lf %lf %lf %lf %lf\n", &u, &v, &w, &kin, &eps) == 5;
        if (!complete || j <= 1 || j > ynumber || k <= 1 || k > znumber) continue;
        xvel[1][j][k] = u;
        yvel[1][j][k] = v;
        zvel[1][j][k] = w;
        if (c == 'D') {
            kinen[1][j][k] = kin;
            epsilon[1][j][k] = eps;
        }
        ++count;
    }
    log.print("Have read %d velocity data sets from file 'innflow'\n", count);
    const int cells = (ynumber - 1) * (znumber - 1);
    if (count > cells) log.print("Warning: Too many data sets in 'innflow' file\n");
    if (count < cells) log.print("Warning: Fewer data in 'innflow' file than cells in the cross-section\n");
}

void region_velocities()
{
    for (int n = 1; n <= MInitNo; ++n) {
        const MInitRecord& r = MInit[n];
        for (int i = std::max(r.i1, 2); i <= std::min(r.i2, xnumber); ++i)
            for (int j = std::max(r.j1, 2); j <= std::min(r.j2, ynumber); ++j)
                for (int k = std::max(r.k1, 2); k <= std::min(r.k2, znumber); ++k) {
                    xvel[i][j][k] = r.u;
                    yvel[i][j][k] = r.v;
                    zvel[i][j][k] = r.w;
                }
    }
}

// Depth-averaged mode: level 0 of the fields holds the depth average, the
// wall markers only the horizontal walls.
void depth_averages()
{
    depth_average_flow();
    WallK.fill(0);
    Wall.fill(0);
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k)
                if (WallI[i][j][k] != 0 || WallJ[i][j][k] != 0) Wall[i][j][k] = 1;
}

}  // namespace

void depth_average_flow()
{
    const double share = 1.0 / (znumber - 1);
    auto column = [share](Field3 a, bool whole) {
        for (int i = 0; i < a.extent(0); ++i)
            for (int j = 0; j < a.extent(1); ++j) {
                double sum = 0.0;
                for (int k = 2; k <= znumber; ++k) sum += a[i][j][k];
                a[i][j][0] = whole ? sum : sum * share;
            }
    };
    for (Field3* a : {&xvel, &yvel, &Pres, &kinen, &epsilon}) column(*a, false);
    // A column's flux is what passes through its whole depth.
    for (Field3* a : {&flow1, &flow2, &flow3}) column(*a, true);
}

void startup()
{
    Boogie log;
    if (log_unavailable(log)) return;
    area_check(log);
    if (!avvelocity) {
        log.print("Error: In sinit: have not allocated arrays\n");
        end_run(-3);
    }
    if (cold()) inflow_turbulence();
    D90a.fill(0.0);
    temperature_profile();
    column_flags();
    out_blocks();
    if (cold()) {
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k) {
                    kinen[i][j][k] = kinen[1][j][k];
                    epsilon[i][j][k] = epsilon[1][j][k];
                }
        for (int i = 2; i <= xnumber + 2; ++i)
            for (int j = 0; j <= ynumber + 2; ++j)
                for (int k = 0; k <= znumber + 2; ++k) yvel[i][j][k] = zvel[i][j][k] = 0.0;
        // Cells taken out of the flow start without velocity.
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k)
                    if (OBlok[i][j][k] == 0) xvel[i][j][k] = 0.0;
    }
    roughness();
    if (cold()) bed_roughness_file(log);
    if (cold()) clear_ghost_layers();
    residual_scales(log);
    wall_markers();
    openings_on_walls(log);
    relaxation_factors(log);
    if (cold()) {
        initial_pressure();
        single_joint_start();
        inflow_file(log);
        region_velocities();
    }
    if (Flag2Dim == 1 && cold()) depth_averages();
}

}  // namespace zefra
