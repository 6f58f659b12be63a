// SIMPLE / SIMPLEC coupling of pressure and velocity.
//
// pressure_source: the pressure-gradient force of the momentum equation now
// assembled.  pressure_correction: the equation for the pressure correction
// p' from the mass defect of every cell, with the face coefficients
// rho A^2 d (d the inverse central coefficient of the x momentum).
// SimpleCorrections: p' corrects the face fluxes, the cell velocities and the
// pressure.  PorositySolver: the pressure of porous cells from their
// neighbours.  Called by the outer iteration.
#include "engine/flow3d/pressure_correction.h"

#include <algorithm>
#include <cmath>

#include "engine/common/boogie.h"
#include "engine/common/physics.h"
#include "engine/common/run_exit.h"
#include "engine/flow3d/higher_order.h"
#include "engine/flow3d/out_blocks.h"
#include "engine/flow3d/slabs.h"
#include "engine/grid/columns.h"
#include "engine/grid/multiblock.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_porous.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"

namespace zefra {

namespace {

// Pressure difference across cell (i, j, k) along one index direction:
// central p(+1) - p(-1), or twice the one-sided difference at the ends of the
// domain, at walls (marker 1 on the low face, -1 on the high face) and
// against out-blocks.  A cell closed on both sides feels no net force.
inline double across(double low, double centre, double high, bool at_low_end, bool at_high_end)
{
    if (at_low_end && at_high_end) return 0.0;
    if (at_low_end) return 2.0 * (high - centre);
    if (at_high_end) return 2.0 * (centre - low);
    return high - low;
}

// The default form: differences across the cell times the summed area
// vectors of the cell's two faces in that direction.
void gradient_source_default(int equation, Layers layers, int i1, int i2)
{
    const int x = xnumber, y = ynumber, z = znumber;
    const bool vertical = !layers.column();
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= y; ++j) {
            for (int k = layers.first; k <= layers.last; ++k) {
                const double p = Pres[i][j][k];
                const double di = across(Pres[i - 1][j][k], p, Pres[i + 1][j][k], i == 2 || WallI[i][j][k] == 1 || out_block_cell(i - 1, j, k),
                                         i == x || WallI[i][j][k] == -1 || out_block_cell(i + 1, j, k));
                const double dj = across(Pres[i][j - 1][k], p, Pres[i][j + 1][k], j == 2 || WallJ[i][j][k] == 1 || out_block_cell(i, j - 1, k),
                                         j == y || WallJ[i][j][k] == -1 || out_block_cell(i, j + 1, k));
                const double dk = vertical ? across(Pres[i][j][k - 1], p, Pres[i][j][k + 1], k == 2 || WallK[i][j][k] == 1 || out_block_cell(i, j, k - 1),
                                                    k == z || WallK[i][j][k] == -1 || out_block_cell(i, j, k + 1))
                                           : 0.0;
                if (equation == 3) {
                    source[i][j][k] -= 0.5 * m_armap[i][j] * dk;
                    continue;
                }
                const int c = equation - 1;  // 0 x, 1 y
                const double ai = m_ar_x[i][j][k] * m_vec_x[i][j][c] + m_ar_x[i - 1][j][k] * m_vec_x[i - 1][j][c];
                const double aj = m_ar_y[i][j][k] * m_vec_y[i][j][c] + m_ar_y[i][j - 1][k] * m_vec_y[i][j - 1][c];
                const double ak = vertical ? m_ar_z[i][j][k] * m_vec_z[i][j][k][c] + m_ar_z[i][j][k - 1] * m_vec_z[i][j][k - 1][c] : 0.0;
                source[i][j][k] -= 0.25 * (di * ai + dj * aj + dk * ak);
            }
        }
}

// Multi-block form: half differences with the cell's own face areas; the
// neighbours across the joints are the partner cells.
void gradient_source_blocks(int equation, Layers layers, int i1, int i2)
{
    const int x = xnumber, y = ynumber, z = znumber;
    const bool vertical = !layers.column();
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = layers.first; k <= layers.last; ++k) {
                const double p = Pres[i][j][k];
                const JointNeighbours nb = neighbours_across_joints(Pres, i, j, k);
                const bool joint_i = ISkjotMB[i] == 1;  // the cell ends a block: nothing beyond it in i
                const bool i_low_end = (i == 2 && !nb.joint_i) || WallI[i][j][k] == 1 || out_block_cell(i - 1, j, k);
                const bool j_low_end = (j == 2 && !nb.joint_low_j) || WallJ[i][j][k] == 1 || out_block_cell(i, j - 1, k);
                const bool j_high_end = (j == y && !nb.joint_high_j) || WallJ[i][j][k] == -1 || out_block_cell(i, j + 1, k);
                const bool i_high_end = i == x || joint_i || WallI[i][j][k] == -1 || out_block_cell(i + 1, j, k);
                const double di = 0.5 * across(nb.low_i, p, Pres[i + 1][j][k], i_low_end, i_high_end);
                const double dj = 0.5 * across(nb.low_j, p, nb.high_j, j_low_end, j_high_end);
                const double dk = vertical ? 0.5 * across(Pres[i][j][k - 1], p, Pres[i][j][k + 1], k == 2 || WallK[i][j][k] == 1 || out_block_cell(i, j, k - 1),
                                                          k == z || WallK[i][j][k] == -1 || out_block_cell(i, j, k + 1))
                                           : 0.0;
                if (equation == 3) {
                    source[i][j][k] -= m_armap[i][j] * dk;
                    continue;
                }
                const int c = equation - 1;
                source[i][j][k] -= di * m_ar_x[i][j][k] * m_vec_x[i][j][c] + dj * m_ar_y[i][j][k] * m_vec_y[i][j][c] +
                                   dk * m_ar_z[i][j][k] * m_vec_z[i][j][k][c];
            }
}

// Node-averaged form (FlagPresGrad other than 1): every node takes the mean
// pressure of the inner fluid cells around it (out-block cells left out), every face the mean of its four
// nodes, and the force on a cell is minus the sum of face pressure times area
// vector over its six faces (the divergence theorem).
double node_pressure(int i, int j, int k)
{
    double sum = 0.0;
    int count = 0;
    for (int a = i; a <= i + 1; ++a)
        for (int b = j; b <= j + 1; ++b)
            for (int c = k; c <= k + 1; ++c)
                if (a >= 2 && a <= xnumber && b >= 2 && b <= ynumber && c >= 2 && c <= znumber && !out_block_cell(a, b, c)) {
                    sum += 0.125 * Pres[a][b][c];
                    ++count;
                }
    return count == 8 ? sum : (count > 0 ? sum * 8.0 / count : 0.0);
}

void gradient_source_node_averaged(int equation, int i1, int i2)
{
    const int y = ynumber, z = znumber;
    const int c = equation - 1;
    auto i_face = [](int i, int j, int k) {
        return 0.25 * (node_pressure(i, j - 1, k - 1) + node_pressure(i, j, k - 1) + node_pressure(i, j - 1, k) + node_pressure(i, j, k));
    };
    auto j_face = [](int i, int j, int k) {
        return 0.25 * (node_pressure(i - 1, j, k - 1) + node_pressure(i, j, k - 1) + node_pressure(i - 1, j, k) + node_pressure(i, j, k));
    };
    auto k_face = [](int i, int j, int k) {
        return 0.25 * (node_pressure(i - 1, j - 1, k) + node_pressure(i, j - 1, k) + node_pressure(i - 1, j, k) + node_pressure(i, j, k));
    };
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = 2; k <= z; ++k) {
                double force = 0.0;
                if (c < 2) {
                    force += i_face(i, j, k) * m_ar_x[i][j][k] * m_vec_x[i][j][c] - i_face(i - 1, j, k) * m_ar_x[i - 1][j][k] * m_vec_x[i - 1][j][c];
                    force += j_face(i, j, k) * m_ar_y[i][j][k] * m_vec_y[i][j][c] - j_face(i, j - 1, k) * m_ar_y[i][j - 1][k] * m_vec_y[i][j - 1][c];
                }
                force += k_face(i, j, k) * m_ar_z[i][j][k] * m_vec_z[i][j][k][c] - k_face(i, j, k - 1) * m_ar_z[i][j][k - 1] * m_vec_z[i][j][k - 1][c];
                source[i][j][k] -= force;
            }
}

// Face coefficient rho A^2 (d_P delta_N + d_N delta_P) / (delta_P + delta_N).
inline double face_coefficient(double area, double dp, double dn, double hp, double hn)
{
    return WaterDensity * area * area * (dp * hn + dn * hp) / (hp + hn + 1e-30);
}

// Whether column (i, j) counts as dry in the transient morphology.
bool dry_column(int i, int j)
{
    if (FlagTSCMinDepth < 2 || FlagTSCMinDepth > 4) return false;
    const double original = corner_mean(i, j, [](int a, int b) { return zval[a][b][0]; });
    return column_top(i, j) - TSCMinDepth < original;
}

// Flux through the low-i face of a side block's first-row cell (a, b): the
// main block's J-face it is joined to, as inflow into the cell.
bool joint_inflow(int a, int b, int k, double& inflow)
{
    const JointCell main = joint_low_i(a, b);
    if (!main) return false;
    inflow = main.j == 2 ? -flow2[main.i][1][k] : flow2[main.i][ynumber][k];
    return true;
}

// Velocity-correction coefficient: 1 / (ap - sum of neighbours) for SIMPLEC,
// 1 / ap for SIMPLE.  The pressure-correction equation and the corrections
// use the same one, so that the corrected fluxes satisfy the equation solved.
const Field3& correction_coefficient()
{
    return (simple != 'Y' && invAPC) ? invAPC : invAP;
}

}  // namespace

void add_pressure_gradient(int equation, Layers layers)
{
    if (equation < 1 || equation > 3) {
        log_append("Error in pressure_source, Equation = %d\n", equation);
        end_run(0);
    }
    // The node-averaged form needs the levels above and below: not on the
    // columns.  Every form works cell by cell: on threads in parallel mode.
    auto cells = [equation, layers](int i1, int i2) {
        if (MBNo > 0)
            gradient_source_blocks(equation, layers, i1, i2);
        else if (FlagPresGrad == 1 || layers.column())
            gradient_source_default(equation, layers, i1, i2);
        else
            gradient_source_node_averaged(equation, i1, i2);
    };
    if (layers.column())
        cells(2, xnumber);
    else
        split_cells(cells);
}

void pressure_source()
{
    add_pressure_gradient(Equation);
}

namespace {

// Clears the six coefficient arrays on the planes i1 ... i2, with the
// boundary planes for the first and last slab.
void clear_correction_coefficients(int i1, int i2)
{
    const int first = i1 == 2 ? 0 : i1, last = i2 == xnumber ? xnumber + 1 : i2;
    for (const Field3* a : {&ae, &aw, &an, &as, &wat, &wab}) {
        const std::size_t plane = a->size() / static_cast<std::size_t>(a->extent(0));
        double* p = (*a)[first].data();
        std::fill(p, p + plane * static_cast<std::size_t>(last - first + 1), 0.0);
    }
}

// The face coefficients rho A^2 d of the faces cells i1 ... i2 own.
void correction_faces(Layers layers, int i1, int i2)
{
    const int x = xnumber, y = ynumber, z = znumber, k1 = layers.first, k2 = layers.last;
    const Field3& d = correction_coefficient();
    for (int i = i1; i <= std::min(i2, x - 1); ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = k1; k <= k2; ++k)
                aw[i][j][k] = ae[i + 1][j][k] =
                    face_coefficient(m_ar_x[i][j][k], d[i][j][k], d[i + 1][j][k], m_dist_x[i][j][k], m_dist_x[i + 1][j][k]);
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= y - 1; ++j)
            for (int k = k1; k <= k2; ++k)
                an[i][j][k] = as[i][j + 1][k] =
                    face_coefficient(m_ar_y[i][j][k], d[i][j][k], d[i][j + 1][k], m_dist_y[i][j][k], m_dist_y[i][j + 1][k]);
    if (!layers.column())
        for (int i = i1; i <= i2; ++i)
            for (int j = 2; j <= y; ++j)
                for (int k = 2; k <= z - 1; ++k)
                    wat[i][j][k] = wab[i][j][k + 1] =
                        face_coefficient(m_ar_z[i][j][k], d[i][j][k], d[i][j][k + 1], m_dist_z[i][j][k], m_dist_z[i][j][k + 1]);
}

// Block joints: no coupling along the joint line, coupling with the partner cells.
void correction_joints(Layers layers)
{
    if (MBNo <= 0) return;
    const int x = xnumber, y = ynumber, z = znumber;
    const Field3& d = correction_coefficient();
    for (int b = 1; b <= MBNo; ++b)
        for (int j = 0; j <= y + 1; ++j)
            for (int k = 0; k <= z + 1; ++k) aw[MBSkjot[b]][j][k] = ae[MBSkjot[b] + 1][j][k] = 0.0;
    for (int i = 2; i <= x; ++i)
        for (int edge : {1, y}) {
            const JointCell partner = joint_across_edge(i, edge);
            const int a = partner.i, b = partner.j, row = edge == 1 ? 2 : y;
            if (!partner) continue;
            for (int k = layers.first; k <= layers.last; ++k) {
                const double c = face_coefficient(m_ar_y[i][edge][k], d[i][row][k], d[a][b][k], m_dist_y[i][row][k], m_dist_x[a][b][k]);
                (edge == 1 ? as : an)[i][row][k] = c;
                ae[a][b][k] = c;
            }
        }
}

// Walls carry no correction; the source of every cell is its net mass inflow.
void correction_cells(Layers layers, int i1, int i2)
{
    const int y = ynumber, z = znumber, k1 = layers.first, k2 = layers.last;
    const bool vertical = !layers.column();
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = k1; k <= k2; ++k) {
                if (WallI[i][j][k] == 1) ae[i][j][k] = 0.0;
                if (WallI[i][j][k] == -1) aw[i][j][k] = 0.0;
                if (WallJ[i][j][k] == 1) as[i][j][k] = 0.0;
                if (WallJ[i][j][k] == -1) an[i][j][k] = 0.0;
                if (WallK[i][j][k] == 1) wab[i][j][k] = 0.0;
                if (WallK[i][j][k] == -1) wat[i][j][k] = 0.0;
            }
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = k1; k <= k2; ++k) {
                double low_i = flow1[i - 1][j][k], high_i = flow1[i][j][k];
                if (MBNo > 0) {
                    double joint;
                    if (joint_inflow(i, j, k, joint)) low_i = joint;
                    if (ISkjotMB[i] == 1) high_i = flow1[i][j][k];  // a block ends at its joint line: only an opening there passes water
                }
                if (vertical)
                    source[i][j][k] = -(high_i - low_i + flow2[i][j][k] - flow2[i][j - 1][k] + flow3[i][j][k] - flow3[i][j][k - 1]);
                else
                    source[i][j][k] = -(high_i - low_i + flow2[i][j][k] - flow2[i][j - 1][k]);
            }
    if (FlagTFS == 1 && vertical)
        for (int i = i1; i <= i2; ++i)
            for (int j = 2; j <= y; ++j) zvel[i][j][0] = source[i][j][z];
}

// Out-blocks pass no water: no correction through their faces either.
void correction_out_blocks(Layers layers)
{
    for (int n = 1; n <= OutBlockNo; ++n) {
        const OutBlockRecord& b = OutBlock[n];
        const Layers box = box_layers(b.k1, b.k2, layers);
        for (int i = b.i1; i <= b.i2; ++i)
            for (int j = b.j1; j <= b.j2; ++j)
                for (int k = box.first; k <= box.last; ++k) {
                    ae[i][j][k] = aw[i][j][k] = as[i][j][k] = an[i][j][k] = wab[i][j][k] = wat[i][j][k] = 0.0;
                    aw[i - 1][j][k] = ae[i + 1][j][k] = an[i][j - 1][k] = as[i][j + 1][k] = 0.0;
                    if (!layers.column()) wat[i][j][k - 1] = wab[i][j][k + 1] = 0.0;
                }
    }
}

}  // namespace

void pressure_correction_equation(Layers layers)
{
    Boogie log;
    if (log_unavailable(log)) return;
    coefficients_filled_by(-1);
    for (Field3* a : {&ae, &aw, &an, &as, &wat, &wab}) a->fill(0.0);
    correction_faces(layers, 2, xnumber);
    correction_joints(layers);
    correction_cells(layers, 2, xnumber);
    correction_out_blocks(layers);
}

void pressure_correctionOpenMP(int i1, int i2)
{
    correction_faces(water_layers(), i1, i2);
}

void pressure_correction_on_slabs()
{
    Boogie log;
    if (log_unavailable(log)) return;
    coefficients_filled_by(-1);
    const int n = slab_count();
    for_each_slab(n, [](Slab s) { clear_correction_coefficients(s.first, s.last); });
    for_each_slab(n, [](Slab s) { pressure_correctionOpenMP(s.first, s.last); });
    correction_joints(water_layers());
    for_each_slab(n, [](Slab s) { correction_cells(water_layers(), s.first, s.last); });
    correction_out_blocks(water_layers());
}

void pressure_correction()
{
    pressure_correction_equation(water_layers());
}

namespace {

// The part of the corrections that works cell by cell: the faces cells
// i1 ... i2 own (the I-faces on their high side, their J- and K-faces, their
// joint faces), their velocities and their pressure.
void correct_cells(const Field3& p, Layers layers, int i1, int i2)
{
    const int x = xnumber, y = ynumber, z = znumber, k1 = layers.first;
    const bool vertical = !layers.column();
    const Field3& d = correction_coefficient();
    const int top = vertical ? (FlagTFS == 1 ? z - 1 : z) : layers.last;

    // Face fluxes.
    for (int i = i1; i <= std::min(i2, x - 1); ++i) {
        if (MBNo > 0 && ISkjotMB[i] == 1) continue;  // the joint line is closed
        for (int j = 2; j <= y; ++j) {
            if (dry_column(i, j)) continue;
            for (int k = k1; k <= top; ++k)
                flow1[i][j][k] += face_coefficient(m_ar_x[i][j][k], d[i][j][k], d[i + 1][j][k], m_dist_x[i][j][k], m_dist_x[i + 1][j][k]) *
                                  (p[i][j][k] - p[i + 1][j][k]);
        }
    }
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= y - 1; ++j) {
            if (dry_column(i, j)) continue;
            for (int k = k1; k <= top; ++k)
                flow2[i][j][k] += face_coefficient(m_ar_y[i][j][k], d[i][j][k], d[i][j + 1][k], m_dist_y[i][j][k], m_dist_y[i][j + 1][k]) *
                                  (p[i][j][k] - p[i][j + 1][k]);
        }
    if (vertical)
        for (int i = i1; i <= i2; ++i)
            for (int j = 2; j <= y; ++j) {
                if (dry_column(i, j)) continue;
                for (int k = 2; k <= std::min(top, z - 1); ++k)
                    flow3[i][j][k] += face_coefficient(m_ar_z[i][j][k], d[i][j][k], d[i][j][k + 1], m_dist_z[i][j][k], m_dist_z[i][j][k + 1]) *
                                      (p[i][j][k] - p[i][j][k + 1]);
            }
    if (MBNo > 0)
        for (int i = i1; i <= i2; ++i)
            for (int edge : {1, y}) {
                const JointCell partner = joint_across_edge(i, edge);
                const int a = partner.i, b = partner.j, row = edge == 1 ? 2 : y;
                if (!partner) continue;
                for (int k = k1; k <= top; ++k) {
                    const double c = face_coefficient(m_ar_y[i][edge][k], d[i][row][k], d[a][b][k], m_dist_y[i][row][k], m_dist_x[a][b][k]);
                    // Positive towards higher j of the main block.
                    flow2[i][edge][k] += edge == 1 ? c * (p[a][b][k] - p[i][row][k]) : c * (p[i][row][k] - p[a][b][k]);
                }
            }

    // Cell velocities: minus the gradient of p' over the cell, in index
    // space times the mean face areas and the cell's extent vectors.
    const bool cell_volume = FlagPresGrad >= 11 || MBNo > 0;
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = k1; k <= top; ++k) {
                const double c = p[i][j][k];
                JointNeighbours nb{p[i - 1][j][k], p[i][j - 1][k], p[i][j + 1][k]};
                if (MBNo > 0) nb = neighbours_across_joints(p, i, j, k);
                const bool i_low = (i == 2 && !nb.joint_i) || WallI[i][j][k] == 1 || out_block_cell(i - 1, j, k);
                const bool j_low = (j == 2 && !nb.joint_low_j) || WallJ[i][j][k] == 1 || out_block_cell(i, j - 1, k);
                const bool j_high = (j == y && !nb.joint_high_j) || WallJ[i][j][k] == -1 || out_block_cell(i, j + 1, k);
                const double low_i = nb.low_i, low_j = nb.low_j, high_j = nb.high_j;
                const bool i_high = i == x || WallI[i][j][k] == -1 || (MBNo > 0 && ISkjotMB[i] == 1) || out_block_cell(i + 1, j, k);
                const double di = 0.5 * across(low_i, c, p[i + 1][j][k], i_low, i_high);
                const double dj = 0.5 * across(low_j, c, high_j, j_low, j_high);
                // The low-i face of a side block's first row is the joint face.
                const double low_face = nb.joint_i ? joint_face_area(joint_low_i(i, j), k) : m_ar_x[i - 1][j][k];
                const double ai = 0.5 * (low_face + m_ar_x[i][j][k]);
                const double aj = 0.5 * (m_ar_y[i][j - 1][k] + m_ar_y[i][j][k]);
                // A column's volume is that of its whole depth.
                const double volume = cell_volume && vertical ? Volume[i][j][k] : 2.0 * m_armap[i][j] * m_dist_z[i][j][k];
                const double scale = d[i][j][k] / (volume + 1e-30);
                xvel[i][j][k] -= scale * (ai * ai * dx1[i][j] * di + aj * aj * dx2[i][j] * dj);
                yvel[i][j][k] -= scale * (ai * ai * dy1[i][j] * di + aj * aj * dy2[i][j] * dj);
                if (!vertical) continue;
                const double dk = 0.5 * across(p[i][j][k - 1], c, p[i][j][k + 1], k == 2 || WallK[i][j][k] == 1 || out_block_cell(i, j, k - 1),
                                               k == top || WallK[i][j][k] == -1 || out_block_cell(i, j, k + 1));
                const double ak = 0.5 * (m_ar_z[i][j][k - 1] + m_ar_z[i][j][k]);
                zvel[i][j][k] -= scale * (ai * ai * dz1[i][j][k] * di + aj * aj * dz2[i][j][k] * dj + ak * ak * dz3[i][j][k] * dk);
            }

    // Pressure.
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = k1; k <= top; ++k)
                if (Pnloops == 0 || !vertical || (Porosity && Porosity[i][j][k] >= Plimit)) Pres[i][j][k] += relaxPressure * p[i][j][k];
}

// What needs the corrected fluxes of every cell: the direction check, the
// out-blocks and dry columns, the pressure of porous and blocked cells and
// under a moving surface.
void correct_rest(Layers layers, Boogie& log)
{
    const int x = xnumber, y = ynumber, z = znumber;
    const bool vertical = !layers.column();

    // A cell that only loses water: the first of its faces turns round.
    if (FlagFlowDirCor == 1 && MBNo == 0 && vertical)
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j)
                for (int k = 2; k <= z; ++k) {
                    if (Wall[i][j][k] != 0) continue;
                    if (flow1[i][j][k] >= 0 && flow1[i - 1][j][k] <= 0 && flow2[i][j][k] >= 0 && flow2[i][j - 1][k] <= 0 && flow3[i][j][k] >= 0 &&
                        flow3[i][j][k - 1] <= 0) {
                        flow1[i][j][k] = -flow1[i][j][k];
                        log.print("Warning, corrected direction of flow1(%d,%d,%d) = %lf\n", i, j, k, flow1[i][j][k]);
                    }
                }

    // Out-blocks neither move nor pass water.
    for (int n = 1; n <= OutBlockNo; ++n) {
        const OutBlockRecord& b = OutBlock[n];
        const Layers box = box_layers(b.k1, b.k2, layers);
        for (int i = b.i1; i <= b.i2; ++i)
            for (int j = b.j1; j <= b.j2; ++j)
                for (int k = box.first; k <= box.last; ++k) {
                    xvel[i][j][k] = yvel[i][j][k] = 0.0;
                    flow1[i - 1][j][k] = flow1[i][j][k] = flow2[i][j - 1][k] = flow2[i][j][k] = 0.0;
                    if (vertical) zvel[i][j][k] = flow3[i][j][k - 1] = flow3[i][j][k] = 0.0;
                }
    }
    if (FlagTFS && vertical)
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j) {
                if (kblok[i][j] != 0) continue;
                for (int k = 2; k <= z; ++k)
                    flow1[i - 1][j][k] = flow1[i][j][k] = flow2[i][j - 1][k] = flow2[i][j][k] = flow3[i][j][k - 1] = flow3[i][j][k] = 0.0;
            }

    if (Pnloops != 0 && vertical) PorositySolver();
    if (vertical) out_block_pressure();

    // Transient free surface: the top pressure runs linearly to zero at the surface.
    if (FlagTFS == 1 && vertical)
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j) {
                const double h = m_dist_z[i][j][z], below = m_dist_z[i][j][z - 1];
                Pres[i][j][z] = Pres[i][j][z - 1] * h / (2.0 * h + below + 1e-30);
                for (int k = z - 2; k >= 2; --k) {
                    if (OBlok[i][j][k] != 0) continue;
                    // Straight line through the two cell centres above.
                    const double d1 = m_dist_z[i][j][k] + m_dist_z[i][j][k + 1], d2 = m_dist_z[i][j][k + 1] + m_dist_z[i][j][k + 2];
                    Pres[i][j][k] = Pres[i][j][k + 1] + (Pres[i][j][k + 1] - Pres[i][j][k + 2]) * d1 / (d2 + 1e-30);
                }
            }
}

}  // namespace

void correct_flow(const Field3& p, Layers layers)
{
    Boogie log;
    if (log_unavailable(log)) return;
    correct_cells(p, layers, 2, xnumber);
    correct_rest(layers, log);
}

void SimpleCorrectionsOpenMP(int i1, int i2)
{
    correct_cells(f, water_layers(), i1, i2);
}

void correct_flow_on_slabs(const Field3& p)
{
    Boogie log;
    if (log_unavailable(log)) return;
    for_each_slab(slab_count(), [&p](Slab s) { correct_cells(p, water_layers(), s.first, s.last); });
    correct_rest(water_layers(), log);
}

void SimpleCorrections()
{
    correct_flow(f);
}

void PorositySolver()
{
    const int x = xnumber, y = ynumber, z = znumber;
    if (!Porosity) return;
    auto porous = [](int i, int j, int k) { return Porosity[i][j][k] < Plimit; };
    for (int j = 2; j <= y; ++j)
        for (int k = 2; k <= z; ++k) {
            if (porous(2, j, k))
                ae[2][j][k] = 0.0;
            else
                Pres[1][j][k] = Pres[2][j][k];
            if (porous(x, j, k))
                aw[x][j][k] = 0.0;
            else
                Pres[x + 1][j][k] = Pres[x][j][k];
        }
    auto update = [&](int i, int j, int k) {
        if (!porous(i, j, k)) return;
        const double sum = ae[i][j][k] + aw[i][j][k] + as[i][j][k] + an[i][j][k] + wab[i][j][k] + wat[i][j][k];
        Pres[i][j][k] = (ae[i][j][k] * Pres[i - 1][j][k] + aw[i][j][k] * Pres[i + 1][j][k] + as[i][j][k] * Pres[i][j - 1][k] +
                         an[i][j][k] * Pres[i][j + 1][k] + wab[i][j][k] * Pres[i][j][k - 1] + wat[i][j][k] * Pres[i][j][k + 1]) /
                        (sum + 1e-20);
    };
    for (int n = 0; n <= Pnloops && Pnloops >= 0; ++n) {
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j)
                for (int k = 2; k <= z; ++k) update(i, j, k);
        for (int i = x; i >= 2; --i)
            for (int j = y; j >= 2; --j)
                for (int k = z; k >= 2; --k) update(i, j, k);
    }
}

}  // namespace zefra
