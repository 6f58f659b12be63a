// The column layer of the depth-averaged solver and the water cells above it.
//
//   k = znumber  [cell]  --+
//   ...          [cell]    |  depth averages (start_columns)
//   k = 2        [cell]  --+          |               ^
//   k = 0        [column] <-----------+               |
//                         ------ spread_columns ------+
//
// The solver itself reads and writes the columns only; the cells take the
// columns' values when results are written.
#include "engine/flow2d/column_fields.h"

#include <cmath>

#include "engine/flow2d/column_turbulence.h"
#include "engine/flow3d/layers.h"
#include "engine/startup/flow_startup.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_tables.h"
#include "engine/turbulence/model_constants.h"

namespace zefra {

namespace {

// Discharge (m3/s) through inflow face (1, j, k) with the ghost velocities.
double inflow(int j, int k)
{
    return m_ar_x[1][j][k] * (xvel[1][j][k] * m_vec_x[1][j][0] + yvel[1][j][k] * m_vec_x[1][j][1]);
}

// Each inflow column carries what its cells carry, also where the cells
// differ in height and the plain mean of their velocities would not.
void keep_inflow_discharge()
{
    for (int j = 2; j <= ynumber; ++j) {
        double cells = 0.0;
        for (int k = 2; k <= znumber; ++k) cells += inflow(j, k);
        const double column = inflow(j, 0);
        if (std::fabs(column) < 1e-20) continue;
        xvel[1][j][0] *= cells / column;
        yvel[1][j][0] *= cells / column;
    }
}

// The one-equation and k-omega models keep other quantities in the k and
// epsilon arrays: their columns start from the equilibrium with the bed.
void equilibrium_turbulence()
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) bed_equilibrium_turbulence(i, j, kinen[i][j][0], epsilon[i][j][0]);
    for (int j = 2; j <= ynumber; ++j)
        for (Field3* f : {&kinen, &epsilon}) {
            (*f)[1][j][0] = (*f)[2][j][0];
            (*f)[xnumber + 1][j][0] = (*f)[xnumber][j][0];
        }
}

// The marker a wall has on every cell of a column face, else 0.
int whole_depth(const IField3& marker, int i, int j)
{
    const int m = marker[i][j][2];
    for (int k = 3; k <= znumber; ++k)
        if (marker[i][j][k] != m) return 0;
    return m;
}

}  // namespace

void start_columns()
{
    if (FlagDepthAveraged) return;
    depth_average_flow();
    keep_inflow_discharge();
    if (one_equation_model() || k_omega_model()) equilibrium_turbulence();
    FlagDepthAveraged = 1;
}

void column_walls()
{
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j) {
            WallI[i][j][0] = whole_depth(WallI, i, j);
            WallJ[i][j][0] = whole_depth(WallJ, i, j);
            WallK[i][j][0] = 0;
            Wall[i][j][0] = WallI[i][j][0] != 0 || WallJ[i][j][0] != 0 ? 1 : 0;
        }
    for (int n = 1; n <= OutBlockNo; ++n) {
        const OutBlockRecord& b = OutBlock[n];
        const Layers box = box_layers(b.k1, b.k2, ColumnLayer);
        if (box.first > box.last) continue;
        for (int i = b.i1; i <= b.i2; ++i)
            for (int j = b.j1; j <= b.j2; ++j) OBlok[i][j][0] = 0;
    }
}

void spread_columns()
{
    const int x = xnumber, y = ynumber, z = znumber;
    for (int i = 1; i <= x + 1; ++i)
        for (int j = 1; j <= y + 1; ++j) {
            // The k and epsilon arrays of the one-equation and k-omega models
            // hold the eddy viscosity and omega.
            const double kk = kinen[i][j][0], eps = epsilon[i][j][0];
            double k_value = kk, eps_value = eps;
            if (one_equation_model()) k_value = CMu * kk * kk / (eps + 1e-20);
            if (k_omega_model()) eps_value = eps / (CMu * kk + 1e-20);
            for (int k = 2; k <= z; ++k) {
                xvel[i][j][k] = xvel[i][j][0];
                yvel[i][j][k] = yvel[i][j][0];
                zvel[i][j][k] = 0.0;
                Pres[i][j][k] = Pres[i][j][0];
                kinen[i][j][k] = k_value;
                epsilon[i][j][k] = eps_value;
                gama[i][j][k] = gamaV[i][j][k] = gama[i][j][0];
            }
        }
    for (int i = 1; i <= x; ++i)
        for (int j = 2; j <= y; ++j) {
            const double share = flow1[i][j][0] / (m_ar_x[i][j][0] + 1e-30);
            for (int k = 2; k <= z; ++k) flow1[i][j][k] = share * m_ar_x[i][j][k];
        }
    for (int i = 2; i <= x; ++i)
        for (int j = 1; j <= y; ++j) {
            const double share = flow2[i][j][0] / (m_ar_y[i][j][0] + 1e-30);
            for (int k = 2; k <= z; ++k) flow2[i][j][k] = share * m_ar_y[i][j][k];
        }
    for (int i = 2; i <= x; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = 1; k <= z; ++k) flow3[i][j][k] = 0.0;
}

}  // namespace zefra
