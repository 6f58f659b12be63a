// Water-quality components (run letter Q): dissolved substances carried by
// the frozen flow field, diffused by its eddy viscosity and reacting with
// each other through the Q data sets; steady or a sequence of time steps.
// Reads the flow state (starting it when no flow has run), the component
// settings and tables (F 50, Q, G 17 / G 18), the time series and the
// iteration settings; writes comp, comp_old, stime, the coefficient arrays,
// `timeo`, compres.new and the log.
#pragma once

namespace zefra {

void Components();

}  // namespace zefra
