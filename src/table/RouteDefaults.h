#pragma once

namespace trekora {

class GpsTable;

// Fills route idents and route identifiers so every route point is named and
// every route has its own rident ("Rte1", "Route1", …).
void Set_RouteDefault(GpsTable& table);

} // namespace trekora
