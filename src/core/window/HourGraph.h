#pragma once
// One hourly graph: draws the empty grid and the bars onto its surface and
// remembers what it shows.
#include <array>

#include "window/HourBars.h"
#include "window/Surface.h"

namespace pomurina {

class HourGraph {
public:
    enum class State { None, Grid, Bars };

    // surface may be null: the graph then only keeps its state.
    explicit HourGraph(Surface* surface = nullptr) : m_surface(surface) {}

    // Wipes the surface and draws the empty grid.
    void DrawGrid();
    // Draws the 24 bars and their labels onto the grid.
    void DrawBars(const HourCounts& counts, std::int64_t total);

    State GetState() const { return m_state; }
    const std::array<HourBar, 24>& Bars() const { return m_bars; }

private:
    Surface* m_surface;
    State m_state = State::None;
    std::array<HourBar, 24> m_bars{};
};

}  // namespace pomurina
