#pragma once
// The three hourly graphs of the main window, named for what they count.

namespace pomurina {

enum class GraphId {
    Connections,     // Image1, on "接続": every line
    GetRequests,     // Image2, on "要求ログ": GET requests
    PostReceptions,  // Image3, on "受信ログ": POST receptions
};
constexpr int kGraphCount = 3;

// Every graph, in the order of GraphId.
constexpr GraphId GraphAt(int index) {
    return static_cast<GraphId>(index);
}

// The number of the graph's surface: 1 for Image1 .. 3 for Image3.
constexpr int GraphNumber(GraphId graph) {
    return static_cast<int>(graph) + 1;
}

}  // namespace pomurina
