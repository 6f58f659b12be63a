#include "engine/flow3d/joint_openings.h"

#include <cmath>

#include "engine/common/physics.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_tables.h"

namespace zefra {

namespace {

bool joint_record(const IORecord& r)
{
    return r.side > 10 && r.side - 10 <= MBNo;
}

}  // namespace

void joint_openings(Layers layers)
{
    if (MBNo <= 0 || !MBFlow) return;
    MBFlow.fill(0.0);
    for (int n = 1; n <= IONo; ++n) {
        const IORecord& r = IO[n];
        if (!joint_record(r)) continue;
        const int b = r.side - 10, line = MBSkjot[b];
        const double q = std::fabs(r.Q);
        const Layers opening = box_layers(r.b1, r.b2, layers);
        double area = 0.0, carried = 0.0;
        for (int j = r.a1; j <= r.a2; ++j)
            for (int k = opening.first; k <= opening.last; ++k) {
                const double a = m_ar_x[line][j][k];
                area += a;
                const double un = xvel[line][j][k] * m_vec_x[line][j][0] + yvel[line][j][k] * m_vec_x[line][j][1];
                if (r.type == 1 && un > 0.0) carried += a * un;
            }
        if (area <= 1e-20) continue;
        const bool even = r.type == 0 || carried <= 1e-12 * q;
        for (int j = r.a1; j <= r.a2; ++j)
            for (int k = opening.first; k <= opening.last; ++k) {
                const double a = m_ar_x[line][j][k];
                const double nx = m_vec_x[line][j][0], ny = m_vec_x[line][j][1];
                if (r.type == 1) {
                    const double un = xvel[line][j][k] * nx + yvel[line][j][k] * ny;
                    const double share = even ? a / area : (un > 0.0 ? a * un / carried : 0.0);
                    MBFlow[b][0][j][k] = -WaterDensity * q * share;
                } else {
                    // Inflow along the inward normal at the mean speed; k and
                    // epsilon enter with the values of the cell they enter.
                    const double speed = q / area, entering = WaterDensity * q * a / area;
                    MBFlow[b][0][j][k] = entering;
                    MBFlow[b][1][j][k] = -entering * speed * nx;
                    MBFlow[b][2][j][k] = -entering * speed * ny;
                    MBFlow[b][5][j][k] = entering * kinen[line][j][k];
                    MBFlow[b][6][j][k] = entering * epsilon[line][j][k];
                }
            }
    }
}

void joint_opening_fluxes()
{
    for (int b = 1; b <= MBNo; ++b) {
        const int line = MBSkjot[b];
        for (int j = 0; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k) flow1[line][j][k] = MBFlow ? -MBFlow[b][0][j][k] : 0.0;
    }
}

}  // namespace zefra
