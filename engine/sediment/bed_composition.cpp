// Bed-surface composition of every column from the balance of its bed cell.
// For size l with arriving sediment In_l (volume flux times concentration
// from the neighbours and the cell above) and outflow coefficient O_l, the
// bed cell in balance holds c_bal = In_l / O_l; with the bed concentration of
// the formula c_bed and fraction f the bed offers K_l f with K_l = O_l c_bed.
#include "engine/sediment/bed_composition.h"

#include <algorithm>
#include <cmath>

#include "engine/sediment/size_equation.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"

namespace zefra {

namespace {

constexpr double Immobile = 1e-30;     // bed concentration of a size the flow cannot move
constexpr double Tolerance = 1e-4;     // inner iteration: |sum of fractions - 1|
constexpr int InnerIterations = 200;

struct Column {
    int sizes;
    double in[SizeCapacity], out[SizeCapacity], bed[SizeCapacity], c2[SizeCapacity], f[SizeCapacity], below[SizeCapacity];

    double net(int l) const { return in[l] - out[l] * c2[l]; }
    double gain() const
    {
        double sum = 0.0;
        for (int l = 1; l <= sizes; ++l) sum += net(l);
        return sum;
    }
};

// Scales t[1 ... n] to a sum of 1; false when there is nothing to scale.
bool normalise(double* t, int n)
{
    double sum = 0.0;
    for (int l = 1; l <= n; ++l) sum += t[l];
    if (!(sum > 0.0)) return false;
    for (int l = 1; l <= n; ++l) t[l] /= sum;
    return true;
}

// Method 1: the mobile sizes share what the immobile ones leave, in
// proportion to c_bal / c_bed.
bool equilibrium_ratio(const Column& c, double* t)
{
    double fixed = 0.0, sum = 0.0;
    for (int l = 1; l <= c.sizes; ++l) {
        const bool mobile = c.bed[l] > Immobile;
        t[l] = mobile ? c.in[l] / (c.out[l] + 1e-30) / c.bed[l] : c.f[l];
        (mobile ? sum : fixed) += t[l];
    }
    if (!(sum > 0.0)) return false;
    for (int l = 1; l <= c.sizes; ++l)
        if (c.bed[l] > Immobile) t[l] *= std::max(1.0 - fixed, 0.0) / sum;
    return true;
}

bool arriving(const Column& c, double* t)
{
    for (int l = 1; l <= c.sizes; ++l) t[l] = std::max(c.in[l], 0.0);
    return normalise(t, c.sizes);
}

bool deposit(const Column& c, double* t)
{
    for (int l = 1; l <= c.sizes; ++l) t[l] = std::max(c.net(l), 0.0);
    return normalise(t, c.sizes);
}

// Method 2: the stationary active layer, D_l = f_l S under deposition (S > 0)
// and D_l = b_l S under erosion, with D_l = In_l - K_l f_l and S the net
// exchange.  Erosion gives f_l = (In_l - b_l S) / K_l, linear in S; deposition
// f_l = In_l / (K_l + S), whose sum falls with S: bisection for the S at
// which the fractions add up to 1.
bool active_layer(const Column& c, double* t, double& remaining)
{
    const int n = c.sizes;
    double K[SizeCapacity], b[SizeCapacity], in_sum = 0.0, at_zero = 0.0, weight = 0.0;
    for (int l = 1; l <= n; ++l) {
        K[l] = c.out[l] * c.bed[l] + 1e-30;
        b[l] = c.below[l];
        in_sum += std::max(c.in[l], 0.0);
        at_zero += std::max(c.in[l], 0.0) / K[l];
        weight += b[l] / K[l];
    }
    remaining = 0.0;
    if (at_zero <= 1.0) {
        // Erosion (or balance): the closed form.
        if (!(weight > 0.0)) return false;
        const double S = (at_zero - 1.0) / weight;
        for (int l = 1; l <= n; ++l) t[l] = (std::max(c.in[l], 0.0) - b[l] * S) / K[l];
        return true;
    }
    auto sum_at = [&](double S) {
        double sum = 0.0;
        for (int l = 1; l <= n; ++l) sum += std::max(c.in[l], 0.0) / (K[l] + S);
        return sum;
    };
    double lo = 0.0, hi = in_sum;  // the sum is above 1 at lo and not above 1 at hi
    double S = hi;
    for (int m = 0; m < InnerIterations; ++m) {
        S = 0.5 * (lo + hi);
        const double sum = sum_at(S);
        remaining = sum - 1.0;
        if (std::fabs(remaining) < Tolerance) break;
        (sum > 1.0 ? lo : hi) = S;
    }
    for (int l = 1; l <= n; ++l) t[l] = std::max(c.in[l], 0.0) / (K[l] + S);
    return true;
}

}  // namespace

void update_bed_composition(Boogie& log, int method, double relax, double residual_sum)
{
    const int n = std::min(lnumber, SizeCapacity - 1);
    if (n < 2 || method < 1 || method > 6) return;
    if (method == 6 && !(residual_sum < 0.2 * n)) return;
    Column c{};
    c.sizes = n;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (OBlok[i][j][2] == 0) continue;
            double below_sum = 0.0;
            for (int l = 1; l <= n; ++l) {
                const CellExchange e = cell_exchange(l, i, j, 2);
                c.in[l] = e.in;
                c.out[l] = e.out_coefficients;
                c.bed[l] = conc[l][i][j][0];
                c.c2[l] = conc[l][i][j][2];
                c.f[l] = bedgrain[l][i][j];
                c.below[l] = BedGrainOriginal ? BedGrainOriginal[l][i][j] : 0.0;
                below_sum += c.below[l];
            }
            if (!(below_sum > 0.0))
                for (int l = 1; l <= n; ++l) c.below[l] = c.f[l];

            double t[SizeCapacity] = {}, remaining = 0.0;
            bool found = false;
            switch (method) {
            case 1: found = equilibrium_ratio(c, t); break;
            case 2:
            case 6:
                found = active_layer(c, t, remaining);
                if (std::fabs(remaining) >= Tolerance) log.print("Non-convergence for bed composition, %d %d %e\n", i, j, remaining);
                break;
            case 3: found = arriving(c, t); break;
            case 4: found = c.gain() > 0.0 && deposit(c, t); break;
            case 5: found = c.gain() > 0.0 ? deposit(c, t) : equilibrium_ratio(c, t); break;
            }
            if (!found) continue;
            double fresh[SizeCapacity] = {};
            for (int l = 1; l <= n; ++l) {
                fresh[l] = c.f[l] + relax * (std::max(t[l], 0.0) - c.f[l]);
                if (fresh[l] < 1e-50) fresh[l] = 0.0;
            }
            if (!normalise(fresh, n)) continue;
            for (int l = 1; l <= n; ++l) bedgrain[l][i][j] = fresh[l];
        }
}

}  // namespace zefra
