#pragma once
// A raster drawing surface, as the hourly graphs use it: a pen for lines and
// outlines, a brush for fills and text backgrounds, both kept between calls.
#include <cstdint>
#include <string_view>

namespace pomurina {

struct Color {
    std::uint8_t red, green, blue;
    // Packed with red in the lowest byte.
    std::uint32_t Packed() const {
        return std::uint32_t{red} | std::uint32_t{green} << 8 | std::uint32_t{blue} << 16;
    }
    bool operator==(const Color&) const = default;
};

enum class PenStyle { Solid, Dotted };

class Surface {
public:
    virtual ~Surface() = default;
    virtual void SetPenColor(Color color) = 0;
    virtual void SetPenStyle(PenStyle style) = 0;
    virtual void SetBrushColor(Color color) = 0;
    // Filled with the brush and outlined with the pen; right and bottom edges excluded.
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void MoveTo(int x, int y) = 0;
    // From the current point; the end point is excluded.
    virtual void LineTo(int x, int y) = 0;
    // The point is the text's top-left corner; its cell is filled with the brush.
    virtual void TextOut(int x, int y, std::string_view text) = 0;
};

}  // namespace pomurina
