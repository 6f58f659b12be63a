// The column layer (index 0) of the depth-averaged solver and the water cells
// above it: the start of the columns from the cells, the column walls and
// blocked columns, and the cells from the columns for the result and plot
// files.
// Reads and writes the flow fields, the wall and block markers and
// FlagDepthAveraged.
#pragma once

namespace zefra {

// Starts the columns from the water cells when they do not hold the flow of
// the depth-averaged solver yet (its first run, or after a result file was
// read): depth averages of the cells, the inflow of each column scaled to the
// discharge of its cells, and k and epsilon in equilibrium with the bed
// friction for the models whose 3D k and epsilon arrays hold other quantities.
void start_columns();

// The column walls and blocked columns, after every start-up: WallI and WallJ
// at index 0 where a wall marker covers the whole depth of a column face,
// Wall at index 0 where a column has one, and OBlok at index 0 zero where an
// out-block fills a column from the bed to the surface.
void column_walls();

// The water cells k = 2 ... znumber (and the inflow and outflow ghost cells)
// take the values of their columns, so that the result and plot files and a
// later 3D run show the depth-averaged flow: u, v, p, k, epsilon and the
// diffusivity uniform over the depth, w = 0, and each cell face its share of
// the column face's flux by area.
void spread_columns();

}  // namespace zefra
