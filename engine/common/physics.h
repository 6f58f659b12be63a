// Physical constants shared by the start-up and the solvers.
#pragma once

namespace zefra {

constexpr double Gravity = 9.81;         // m/s2
constexpr double WaterDensity = 1000.0;  // kg/m3
constexpr double Kappa = 0.4;            // von Karman constant of the log law
constexpr double CMu = 0.09;             // k-epsilon constant of the eddy viscosity

}  // namespace zefra
