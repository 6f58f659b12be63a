// Flow start-up: inflow profiles, wall markers, roughness, residual scales.
#pragma once

namespace zefra {

void startup();

}  // namespace zefra
