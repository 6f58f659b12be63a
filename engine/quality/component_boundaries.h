// Given values of the water-quality components: the fixed-value boxes of
// G 17 / G 18, the inflow values of the time series (`timei` M rows) and the
// ghost cells the solution does not depend on.
// Reads BorderSource, the time-series arrays (TimeInNo, TimeInTime,
// TimeInTimStep, Cinn, FlagTimeiConc, FlagJTime) and the neighbour
// coefficients; writes comp, wap, source and TimeStep.
#pragma once

namespace zefra {

// Central coefficient of a cell held at a value: with the source HeldCell * value
// every solver returns the value.
constexpr double HeldCell = 1e30;

// Sets every enabled box (component >= 0) to its value in all its cells,
// bounds and ghost cells included.
void impose_fixed_boxes();

// Holds the inner cells of component m's boxes at their values in the
// assembled equation (a huge central coefficient, as for blocked cells).
void hold_fixed_boxes(int m);

// The row of the time series whose inflow values serve the step that starts
// at `time`: the first row whose time is not below it, else the last; -1
// when the series holds no component values.
int inflow_series_row(double time);

// Gives the inflow ghost cells (i = 1, and i = 0 for schemes with second
// neighbours) the concentrations of series row n, and with J/M rows
// (FlagJTime = 1) takes the row's time step.
void apply_inflow_row(int n);

// Copies the nearest inner value into the ghost cells of the bed, the side
// walls and the outflow wherever no coefficient couples them to the inner
// cells, so that plots and result files show the concentration at the
// boundary instead of an unused zero.  Ghost cells that feed the domain (an
// inflow) and the layer above the top keep their values.
void fill_uncoupled_ghosts();

}  // namespace zefra
