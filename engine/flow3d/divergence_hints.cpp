// The lines that follow a stop of the flow solver on a diverging flow.  A
// shallow cell, typically on a shelf of minimum depth dug into a dry bank,
// is where a run with raised relaxation factors comes apart first: it loses
// water through every face, its central coefficient falls to zero and the
// run stops.  The bare stop line says neither that nor what to change.
#include "engine/flow3d/divergence_hints.h"

#include <cstdio>

#include "engine/flow3d/residuals.h"
#include "engine/grid/columns.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"

namespace zefra {

namespace {

constexpr const char* Remedy = "lower relaxation factors in K 3 (or a larger minimum depth in F 23) help";

const char* equation_name(int equation)
{
    switch (equation) {
    case 1: return "x velocity";
    case 2: return "y velocity";
    case 3: return "z velocity";
    case 4: return "pressure correction";
    case 5: return "k";
    case 6: return "epsilon";
    default: return "other";
    }
}

}  // namespace

std::string zero_central_coefficient_hint(int i, int j, int k)
{
    // Mass fluxes are positive towards the higher index: turned into flows
    // into the cell, a negative one carries water out (+ 0.0 keeps a closed
    // face from printing as -0).
    const double in[6] = {flow1[i - 1][j][k], -flow1[i][j][k] + 0.0, flow2[i][j - 1][k], -flow2[i][j][k] + 0.0, flow3[i][j][k - 1], -flow3[i][j][k] + 0.0};
    int leaving = 0, entering = 0;
    for (double q : in) {
        leaving += q < 0.0 ? 1 : 0;
        entering += q > 0.0 ? 1 : 0;
    }
    char line[600];
    std::snprintf(line, sizeof line,
                  "Column depth %.3f m; flows into the cell (kg/s) through its faces at lower i %.3e, higher i %.3e, lower j %.3e, "
                  "higher j %.3e, below %.3e, above %.3e: water leaves it through %d faces and enters through %d. A cell that loses "
                  "water through every open face means the run is diverging; %s\n",
                  column_depth(i, j), in[0], in[1], in[2], in[3], in[4], in[5], leaving, entering, Remedy);
    return line;
}

std::string divergence_hint(int equation)
{
    const ResidualPeak peak = largest_cell_residual(equation);
    char line[400];
    if (peak.i == 0) {
        std::snprintf(line, sizeof line, "Largest residual in equation %d (%s). The run is diverging; %s\n", equation, equation_name(equation), Remedy);
        return line;
    }
    // The cell's share on the scale of the "Iter:" lines.
    const double scaled = peak.value / NormResidual[equation];
    std::snprintf(line, sizeof line,
                  "Largest residual in equation %d (%s): %.2e in cell (%d,%d,%d), column depth %.3f m. The run is diverging; %s\n", equation,
                  equation_name(equation), scaled, peak.i, peak.j, peak.k, column_depth(peak.i, peak.j), Remedy);
    return line;
}

}  // namespace zefra
