#include "gimp/DrawablePixels.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "gimp/GimpHolders.h"

namespace gimphost {

standin::Image ReadPiece(gint32 drawable, const Babl* format, int32_t bitsPerSample, const Bounds& piece,
                         double resolution) {
    standin::Image image(piece.width, piece.height, babl_format_get_n_components(format), bitsPerSample, resolution);
    gint offsetX = 0;
    gint offsetY = 0;
    gimp_drawable_offsets(drawable, &offsetX, &offsetY);
    const BufferHolder buffer(gimp_drawable_get_buffer(drawable));
    // The piece in the drawable's own coordinates; the clamping abyss
    // repeats its edge pixels wherever the piece reaches past it.
    const GeglRectangle area{piece.x - offsetX, piece.y - offsetY, piece.width, piece.height};
    gegl_buffer_get(buffer.get(), &area, 1.0, format, image.Data(), static_cast<gint>(image.RowBytes()),
                    GEGL_ABYSS_CLAMP);
    return image;
}

int32_t ClampToSide(int64_t position, int32_t size) {
    return static_cast<int32_t>(std::clamp<int64_t>(position, 0, size - 1));
}

bool WriteFromPiece(gint32 drawable, const Babl* format, const standin::Image& reduced, int32_t originX,
                    int32_t originY) {
    gint offsetX = 0;
    gint offsetY = 0;
    if (!gimp_drawable_offsets(drawable, &offsetX, &offsetY)) return false;
    const gint width = gimp_drawable_width(drawable);
    const gint height = gimp_drawable_height(drawable);
    if (width < 1 || height < 1) return false;

    const size_t pixelBytes = reduced.PixelBytes();
    const size_t rowBytes = pixelBytes * static_cast<size_t>(width);
    std::vector<uint8_t> pixels(rowBytes * static_cast<size_t>(height));
    for (gint y = 0; y < height; ++y) {
        const int32_t sourceY = ClampToSide(int64_t{offsetY} - originY + y, reduced.Height());
        uint8_t* row = pixels.data() + rowBytes * static_cast<size_t>(y);
        for (gint x = 0; x < width; ++x) {
            const int32_t sourceX = ClampToSide(int64_t{offsetX} - originX + x, reduced.Width());
            std::memcpy(row + pixelBytes * static_cast<size_t>(x), reduced.PixelAt(sourceX, sourceY), pixelBytes);
        }
    }
    {
        const BufferHolder shadow(gimp_drawable_get_shadow_buffer(drawable));
        const GeglRectangle bounds{0, 0, width, height};
        gegl_buffer_set(shadow.get(), &bounds, 0, format, pixels.data(), static_cast<gint>(rowBytes));
        gegl_buffer_flush(shadow.get());
    }
    return gimp_drawable_merge_shadow(drawable, TRUE) && gimp_drawable_update(drawable, 0, 0, width, height);
}

}  // namespace gimphost
