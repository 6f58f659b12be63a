// Values of the ghost cells around the domain before the flow equations are
// assembled: the default outflow scaled to continuity, the cyclic inflow, the
// free surface (and roof openings), the G 7 openings with their discharges,
// and lateral boundaries without walls.  Walls are the wall laws' business.
//
//   i = 1        2   ...   xnumber   xnumber+1
//   [inflow] | inner cells          | [outflow: copied from i = xnumber,
//                                      scaled so that out equals in]
//   k = znumber+1 above the top cells: the free surface, no flow through it
//
// Called once per outer iteration, after the grid moves and by the sediment
// and water-quality drivers.
#include "engine/flow3d/boundary_values.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/common/arith.h"
#include "engine/common/boogie.h"
#include "engine/common/run_exit.h"
#include "engine/flow3d/joint_openings.h"
#include "engine/flow3d/opening_faces.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"

namespace zefra {

namespace {

// Volume flux A (u n_x + v n_y) through I-face (i, j, k) with the velocity of cell (c, j, k).
double i_face_flux(int i, int c, int j, int k)
{
    return m_ar_x[i][j][k] * (xvel[c][j][k] * m_vec_x[i][j][0] + yvel[c][j][k] * m_vec_x[i][j][1]);
}

// Outflow through the downstream end: zero gradient, backflow turned into a
// small outflow, everything scaled to the inflow.
void default_outflow(Boogie& log, Layers layers)
{
    const int x = xnumber, y = ynumber, k1 = layers.first, k2 = layers.last;
    const bool vertical = !layers.column();
    double inflow = 0.0, outflow = 0.0;
    for (int j = 2; j <= y; ++j)
        for (int k = k1; k <= k2; ++k) {
            kinen[x + 1][j][k] = kinen[x][j][k];
            epsilon[x + 1][j][k] = epsilon[x][j][k];
            inflow += i_face_flux(1, 1, j, k);
            double f = i_face_flux(x, x, j, k);
            if (f <= 0.0) {
                const double speed = 0.1 * std::hypot(xvel[x][j][k], yvel[x][j][k]);
                xvel[x + 1][j][k] = speed * m_vec_x[x][j][0];
                yvel[x + 1][j][k] = speed * m_vec_x[x][j][1];
                if (vertical) zvel[x + 1][j][k] = 0.0;
                f = i_face_flux(x, x + 1, j, k);
            } else {
                xvel[x + 1][j][k] = xvel[x][j][k];
                yvel[x + 1][j][k] = yvel[x][j][k];
                if (vertical) zvel[x + 1][j][k] = 0.5 * (zvel[x + 1][j][k] + zvel[x][j][k]);
            }
            outflow += f;
        }
    // The cells the messages show: k = 2 and 3 among the water cells, the column.
    const int shown_face = vertical ? 2 : 0, shown_cell = vertical ? 3 : 0;
    if (outflow <= 1e-20) {
        log.print("sbound: Error, zero flux out !\n");
        log.print("This error may be corrected with the use of G 7 data sets\n");
        log.print("A,vec(xnu,2,2)= %e %e %e\n", m_ar_x[x][2][shown_face], m_vec_x[x][2][0], m_vec_x[x][2][1]);
        log.print("Velocity-out:%lf %lf\n", xvel[x + 1][3][shown_cell], yvel[x + 1][3][shown_cell]);
        end_run(1);
    }
    if (FlagTFS != 1) {
        const double ratio = inflow / (outflow + 1e-30);
        for (int j = 2; j <= y; ++j)
            for (int k = k1; k <= k2; ++k) {
                xvel[x + 1][j][k] *= ratio;
                yvel[x + 1][j][k] *= ratio;
            }
        if (std::fabs(ratio - 1.0) > 0.1) {
            log.print("Utvel:%lf %lf\n", xvel[x + 1][3][shown_cell], yvel[x + 1][3][shown_cell]);
            log.print("FluxUt:%lf FluxInn:%lf \n", outflow, inflow);
        }
    }
    // Cyclic inflow: the last column is fed back to the inflow with the same discharge.
    if (FlagCyclic >= 1 && is_multiple(static_cast<double>(Iter), FlagCyclic) && y > 2) {
        double recycled = 0.0;
        for (int j = 2; j <= y; ++j)
            for (int k = k1; k <= k2; ++k) {
                for (Field3* field : {&xvel, &yvel, &zvel, &kinen, &epsilon}) (*field)[1][j][k] = (*field)[x][j][k];
                recycled += i_face_flux(1, 1, j, k);
            }
        const double scale = inflow / (recycled + 1e-30);
        for (int j = 2; j <= y; ++j)
            for (int k = k1; k <= k2; ++k) {
                xvel[1][j][k] *= scale;
                yvel[1][j][k] *= scale;
            }
    }
}

// Ghost layer above the top cells: velocities along the surface, no k.
void free_surface()
{
    const int z = znumber;
    const bool roof_openings = FlagRoof == 0 && MWallNo >= 1;
    if (FlagRoof != 1 && !roof_openings) return;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (roof_openings && WallK[i][j][z] != 0) continue;
            if (in_opening(-3, i, j)) continue;  // a G 7 opening keeps its own ghost values
            xvel[i][j][z + 1] = xvel[i][j][z];
            yvel[i][j][z + 1] = yvel[i][j][z];
            kinen[i][j][z + 1] = 0.0;
            epsilon[i][j][z + 1] = epsilon[i][j][z];
            if (FlagTFS == 1 && !roof_openings) continue;
            const double nx = m_vec_z[i][j][z][0], ny = m_vec_z[i][j][z][1], nz = m_vec_z[i][j][z][2];
            zvel[i][j][z + 1] = -(xvel[i][j][z + 1] * nx + yvel[i][j][z + 1] * ny) / (nz + (nz < 0 ? -1e-20 : 1e-20));
        }
}

// Discharge of record r now: its own, or interpolated in the time series.
// Before the first row and after the last the series holds that row's value
// (a line continued past the end would turn an inflow into an outflow).
double record_discharge(int r)
{
    if (FlagDischargeTime != 1 || TimeInNo < 1 || !TimeInTime || !QDinn || r >= QDinn.extent(1)) return IO[r].Q;
    int n = 1;
    while (n < TimeInNo - 1 && TimeInTime[n] < stime) ++n;
    if (TimeInNo == 1) return QDinn[0][r];
    const double t = std::clamp((TimeInTime[n] - stime) / (TimeInTime[n] - TimeInTime[n - 1] + 1e-20), 0.0, 1.0);
    return t * QDinn[n - 1][r] + (1.0 - t) * QDinn[n][r];
}

// G 7 openings that follow the flow (update 1 for outflows, 2, or a
// discharge time series).  The ghost velocity of each face takes the normal
// component of the inner cell and the mean of its own and the inner
// tangential part.  A face whose flux runs against the opening is closed: its
// normal component goes, the tangential part stays, so that the closed face
// neither passes water nor acts as a no-slip wall without a wall law.  The
// open faces are scaled to the discharge.  An opening that carries nothing
// (a cold start, where the inner cells next to a side or bed opening are at
// rest) starts from its discharge spread over its area, as at the start-up.
// The faces of an opening on the given layers: on the column layer each
// column face of a side opening once, with the area of the whole column; the
// bed and the surface have no column faces.
std::vector<OpeningFace> faces_on(const IORecord& r, Layers layers)
{
    std::vector<OpeningFace> faces = opening_faces(r);
    if (!layers.column()) return faces;
    std::vector<OpeningFace> columns;
    if (std::abs(r.side) == 3) return columns;
    for (const OpeningFace& p : faces) {
        if (p.gk != r.b1) continue;
        OpeningFace c = p;
        c.gk = c.ik = 0;
        c.area = std::abs(r.side) == 1 ? m_ar_x[r.side == 1 ? 1 : xnumber][p.gj][0] : m_ar_y[p.gi][r.side == 2 ? 1 : ynumber][0];
        columns.push_back(c);
    }
    return columns;
}

void openings(Layers layers)
{
    for (int r = 1; r <= IONo; ++r) {
        const IORecord& rec = IO[r];
        const bool active = rec.update == 2 || (rec.update == 1 && rec.type == 1) || FlagDischargeTime >= 1;
        if (!active) continue;
        // The type says which way the water goes, the discharge how much.
        const double q = std::fabs(record_discharge(r));
        const std::vector<OpeningFace> faces = faces_on(rec, layers);
        Field3* fields[3] = {&xvel, &yvel, &zvel};
        std::vector<char> open(faces.size(), 0);
        auto normal = [](const double u[3], const OpeningFace& p) { return u[0] * p.n[0] + u[1] * p.n[1] + u[2] * p.n[2]; };
        // Sets the ghost velocities (following the inner cells or as they
        // are) and returns the discharge of the open faces.
        auto open_faces = [&](bool follow_inner) {
            double sum = 0.0;
            for (std::size_t m = 0; m < faces.size(); ++m) {
                const OpeningFace& p = faces[m];
                double u[3], inner[3];
                for (int c = 0; c < 3; ++c) {
                    u[c] = (*fields[c])[p.gi][p.gj][p.gk];
                    inner[c] = (*fields[c])[p.ii][p.ij][p.ik];
                }
                const double un = normal(u, p), in = normal(inner, p);
                if (follow_inner)
                    for (int c = 0; c < 3; ++c) u[c] = in * p.n[c] + 0.5 * (u[c] - un * p.n[c] + inner[c] - in * p.n[c]);
                const double f = p.area * normal(u, p);  // positive out of the domain
                open[m] = rec.type == 1 ? f > 0.0 : f < 0.0;
                const double closing = open[m] ? 0.0 : normal(u, p);
                for (int c = 0; c < 3; ++c) (*fields[c])[p.gi][p.gj][p.gk] = u[c] - closing * p.n[c];
                if (open[m]) sum += std::fabs(f);
            }
            return sum;
        };
        double sum = FlagInitialized == 0 ? 0.0 : open_faces(true);
        if (sum <= 1e-12 * q) {
            start_opening(rec, faces, q);
            sum = open_faces(false);
        }
        const double scale = q / (sum + 1e-20);
        for (std::size_t m = 0; m < faces.size(); ++m)
            if (open[m])
                for (Field3* field : fields) (*field)[faces[m].gi][faces[m].gj][faces[m].gk] *= scale;
    }
}

// Side boundaries without walls: the flow slides along the boundary line.
void open_sides(Layers layers)
{
    const int y = ynumber;
    // A column face lies in an opening when any of its cells does.
    auto opening_at = [layers](int side, int i, int k) {
        if (!layers.column()) return in_opening(side, i, k);
        for (int m = 2; m <= znumber; ++m)
            if (in_opening(side, i, m)) return true;
        return false;
    };
    for (int i = 2; i <= xnumber; ++i)
        for (int k = layers.first; k <= layers.last; ++k)
            for (int edge : {1, y}) {
                const int ghost = edge == 1 ? 1 : y + 1, inner = edge == 1 ? 2 : y;
                if (WallJ[i][inner][k] != 0) continue;
                if (opening_at(edge == 1 ? 2 : -2, i, k)) continue;  // a G 7 opening keeps its own ghost values
                const double nx = m_vec_y[i][edge][0], ny = m_vec_y[i][edge][1];
                const double u = xvel[i][inner][k], v = yvel[i][inner][k];
                const double speed = std::hypot(u, v);
                double cu = ny * speed, cv = -nx * speed;
                const bool same = std::fabs(ny) >= std::fabs(nx) ? (u >= 0) == (cu >= 0) : (v >= 0) == (cv >= 0);
                if (!same) {
                    cu = -cu;
                    cv = -cv;
                }
                xvel[i][ghost][k] = cu;
                yvel[i][ghost][k] = cv;
                zvel[i][ghost][k] = zvel[i][inner][k];
            }
}

}  // namespace

void boundary_values(Layers layers)
{
    Boogie log;
    log.require(-3);
    if (IONo == 0) default_outflow(log, layers);
    if (!layers.column()) free_surface();
    if (IONo >= 1) openings(layers);
    if (MBNo > 0 && IONo >= 1) joint_openings(layers);
    if (FlagWall == 1) open_sides(layers);
}

void boundary()
{
    boundary_values(water_layers());
}

}  // namespace zefra
