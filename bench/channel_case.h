// The straight river reach of the whole-case benchmarks: 5 m x 1 m cells,
// 2 m deep, 1 m/s, Strickler 35, its bed falling with the Manning-Strickler
// slope of that flow; `control` and `koordina` written into the current
// folder, with the extra data sets given, the run letters and the number of
// sediment sizes, and for model 3 a constant eddy viscosity (F 24 3, F 34 10).
#pragma once

#include <cmath>
#include <fstream>
#include <string>

inline void write_channel_case(int x, int y, int z, int model, const std::string& extra, const char* letters = "W", int sizes = 1)
{
    const double width = 1.0 * (y - 1), depth = 2.0, discharge = 1.0 * width * depth;
    const double radius = width * depth / (width + 2.0 * depth);
    const double root_slope = 1.0 / (35.0 * std::pow(radius, 2.0 / 3.0)), slope = root_slope * root_slope;
    const double length = 5.0 * (x - 1);
    std::ofstream grid("koordina");
    grid.precision(10);
    for (int i = 1; i <= x; ++i)
        for (int j = 1; j <= y; ++j) grid << i << ' ' << j << ' ' << 5.0 * (i - 1) << ' ' << 1.0 * (j - 1) << ' ' << 100.0 - slope * 5.0 * (i - 1) << '\n';
    std::ofstream control("control");
    control.precision(10);
    control << "G 1 " << x << ' ' << y << ' ' << z << ' ' << sizes << "\n";
    control << "G 3";
    for (int k = 1; k <= z; ++k) control << ' ' << 100.0 * (k - 1) / (z - 1);
    control << "\nW 1 35 " << discharge << ' ' << 100.0 - slope * length + depth << "\n";
    control << "F 2 " << letters << "\nK 1 20000 100000\n" << extra;
    if (model == 3) control << "F 24 3\nF 34 10\n";
}
