// Faces of the G 7 openings.  Used by the flow start-up, which gives the
// openings their first velocities, and by the boundary values, which keep
// them at their discharges.
//
//   side  1 / -1: I-faces on node line 1 / xnumber, patch (j, k), ghost i = 1 / xnumber+1
//   side  2 / -2: J-faces on node line 1 / ynumber, patch (i, k), ghost j = 1 / ynumber+1
//   side  3 / -3: K-faces at the bed / surface,     patch (i, j), ghost k = 1 / znumber+1
#include "engine/flow3d/opening_faces.h"

#include <cmath>
#include <cstdlib>

#include "engine/state/fields.h"
#include "engine/state/state_grid.h"

namespace zefra {

namespace {

double dot(const double a[3], const double b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Scales v to unit length; false for a vector of no length.
bool unit(double v[3])
{
    const double l = std::sqrt(dot(v, v));
    if (l < 1e-12) return false;
    for (int c = 0; c < 3; ++c) v[c] /= l;
    return true;
}

// Plan direction of the mean i-edge of cell (i, j).
void i_edge(int i, int j, double d[3])
{
    d[0] = 0.5 * (xval[i][j] - xval[i - 1][j] + xval[i][j - 1] - xval[i - 1][j - 1]);
    d[1] = 0.5 * (yval[i][j] - yval[i - 1][j] + yval[i][j - 1] - yval[i - 1][j - 1]);
    d[2] = 0.0;
}

// Plan direction of the mean j-edge of cell (i, j).
void j_edge(int i, int j, double d[3])
{
    d[0] = 0.5 * (xval[i][j] - xval[i][j - 1] + xval[i - 1][j] - xval[i - 1][j - 1]);
    d[1] = 0.5 * (yval[i][j] - yval[i][j - 1] + yval[i - 1][j] - yval[i - 1][j - 1]);
    d[2] = 0.0;
}

// The direction of the opening's velocity through face p, turned to point
// out of the domain.  A direction of no length falls back to the normal.
void direction(const IORecord& r, OpeningFace& p)
{
    double d[3] = {p.n[0], p.n[1], p.n[2]};
    if (r.paralell == 1) {
        switch (std::abs(r.side)) {
        case 1: i_edge(p.ii, p.ij, d); break;
        case 2: j_edge(p.ii, p.ij, d); break;
        default:  // grid lines are vertical
            d[0] = d[1] = 0.0;
            d[2] = 1.0;
            break;
        }
    } else if (r.paralell == 2) {
        // A component greater than 1 is not prescribed: it counts as zero.
        const double given[3] = {r.x, r.y, r.z};
        for (int c = 0; c < 3; ++c) d[c] = given[c] <= 1.0 ? given[c] : 0.0;
    }
    if (!unit(d))
        for (int c = 0; c < 3; ++c) d[c] = p.n[c];
    const double sign = dot(d, p.n) < 0.0 ? -1.0 : 1.0;
    for (int c = 0; c < 3; ++c) p.d[c] = sign * d[c];
}

}  // namespace

std::vector<OpeningFace> opening_faces(const IORecord& r)
{
    std::vector<OpeningFace> faces;
    const int x = xnumber, y = ynumber, z = znumber;
    for (int a = r.a1; a <= r.a2; ++a)
        for (int b = r.b1; b <= r.b2; ++b) {
            OpeningFace p{};
            switch (r.side) {
            case 1: p = {1, a, b, 2, a, b, m_ar_x[1][a][b], {-m_vec_x[1][a][0], -m_vec_x[1][a][1], 0.0}, {}}; break;
            case -1: p = {x + 1, a, b, x, a, b, m_ar_x[x][a][b], {m_vec_x[x][a][0], m_vec_x[x][a][1], 0.0}, {}}; break;
            case 2: p = {a, 1, b, a, 2, b, m_ar_y[a][1][b], {-m_vec_y[a][1][0], -m_vec_y[a][1][1], 0.0}, {}}; break;
            case -2: p = {a, y + 1, b, a, y, b, m_ar_y[a][y][b], {m_vec_y[a][y][0], m_vec_y[a][y][1], 0.0}, {}}; break;
            case 3: {
                const double* n = m_vec_z[a][b][1].data();
                p = {a, b, 1, a, b, 2, m_ar_z[a][b][1], {-n[0], -n[1], -n[2]}, {}};
                break;
            }
            case -3: {
                const double* n = m_vec_z[a][b][z].data();
                p = {a, b, z + 1, a, b, z, m_ar_z[a][b][z], {n[0], n[1], n[2]}, {}};
                break;
            }
            default: continue;  // block joints carry no ghost cells
            }
            direction(r, p);
            faces.push_back(p);
        }
    return faces;
}

double passage_area(const std::vector<OpeningFace>& faces)
{
    double area = 0.0;
    for (const OpeningFace& p : faces) area += p.area * dot(p.d, p.n);
    return area;
}

bool in_opening(int side, int a, int b)
{
    for (int r = 1; r <= IONo; ++r) {
        const IORecord& o = IO[r];
        if (o.side == side && a >= o.a1 && a <= o.a2 && b >= o.b1 && b <= o.b2) return true;
    }
    return false;
}

double start_opening(const IORecord& r, const std::vector<OpeningFace>& faces, double q)
{
    const double area = passage_area(faces);
    const double speed = area > 1e-12 ? std::fabs(q) / area : 0.0;
    const double sign = r.type == 1 ? 1.0 : -1.0;  // an outflow leaves, an inflow enters
    for (const OpeningFace& p : faces) {
        xvel[p.gi][p.gj][p.gk] = sign * speed * p.d[0];
        yvel[p.gi][p.gj][p.gk] = sign * speed * p.d[1];
        zvel[p.gi][p.gj][p.gk] = sign * speed * p.d[2];
    }
    return speed;
}

}  // namespace zefra
