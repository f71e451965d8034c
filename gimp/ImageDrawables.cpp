#include "gimp/ImageDrawables.h"

#include "gimp/GimpHolders.h"

namespace gimphost {

namespace {

void AddLayers(const gint32* layers, gint count, std::vector<gint32>* drawables);

void AddLayer(gint32 layer, std::vector<gint32>* drawables) {
    if (gimp_item_is_group(layer)) {
        gint count = 0;
        const IdArray children(gimp_item_get_children(layer, &count));
        AddLayers(children.get(), count, drawables);
    } else {
        drawables->push_back(layer);
    }
    const gint32 mask = gimp_layer_get_mask(layer);
    if (mask != -1) drawables->push_back(mask);
}

void AddLayers(const gint32* layers, gint count, std::vector<gint32>* drawables) {
    for (gint index = 0; index < count; ++index) AddLayer(layers[index], drawables);
}

}  // namespace

std::vector<gint32> DrawablesToReduce(gint32 image) {
    std::vector<gint32> drawables;
    gint count = 0;
    const IdArray layers(gimp_image_get_layers(image, &count));
    AddLayers(layers.get(), count, &drawables);
    const IdArray channels(gimp_image_get_channels(image, &count));
    drawables.insert(drawables.end(), channels.get(), channels.get() + count);
    return drawables;
}

}  // namespace gimphost
