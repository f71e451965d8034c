// decimora-gimp-probe: a GIMP plug-in program for the tests. It fills a
// drawable with a fixed pattern in float (so a float image gets values
// above 1) and dumps an image's state: size, resolution, whether it is
// dirty, its layers and masks (in the order decimora-gimp reduces them)
// with their bounds, and their raw pixels as GIMP stores them.
#include <libgimp/gimp.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "gimp/GimpHolders.h"
#include "gimp/ImageDrawables.h"
#include "gimp/SampleFormat.h"

namespace {

gchar* Text(const char* text) { return const_cast<gchar*>(text); }

void Query() {
    static const GimpParamDef fill[] = {
        {GIMP_PDB_INT32, Text("run-mode"), Text("run mode")},
        {GIMP_PDB_IMAGE, Text("image"), Text("image")},
        {GIMP_PDB_DRAWABLE, Text("drawable"), Text("the drawable to fill")},
        {GIMP_PDB_FLOAT, Text("peak"), Text("the largest colour value")},
    };
    static const GimpParamDef dump[] = {
        {GIMP_PDB_INT32, Text("run-mode"), Text("run mode")},
        {GIMP_PDB_IMAGE, Text("image"), Text("image")},
        {GIMP_PDB_STRING, Text("path"), Text("the dump's path; pixels go to PATH.N.raw")},
        {GIMP_PDB_INT32, Text("succeeded"), Text("whether the call before succeeded")},
        {GIMP_PDB_STRING, Text("message"), Text("its error message")},
    };
    gimp_install_procedure("plug-in-decimora-probe-fill", "test pattern", "", "", "", "", nullptr, "RGB*, GRAY*",
                           GIMP_PLUGIN, 4, 0, fill, nullptr);
    gimp_install_procedure("plug-in-decimora-probe-dump", "image dump", "", "", "", "", nullptr, "*", GIMP_PLUGIN,
                           5, 0, dump, nullptr);
}

// Colours 0 to `peak` in a fine diagonal pattern; alpha 0.5 to 1.
float PatternSample(int x, int y, int channel, int channels, float peak) {
    if (channels % 2 == 0 && channel == channels - 1) return 0.5f + 0.05f * static_cast<float>((x * 3 + y * 5) % 11);
    return peak * static_cast<float>((x * 7 + y * 13 + channel * 29) % 41) / 40.0f;
}

void Fill(gint32 drawable, float peak) {
    const Babl* format = gimphost::HostFormat(drawable, gimphost::HostSamples{32, "float"});
    const int channels = babl_format_get_n_components(format);
    const gint width = gimp_drawable_width(drawable);
    const gint height = gimp_drawable_height(drawable);
    std::vector<float> samples(static_cast<size_t>(width) * height * channels);
    for (gint y = 0; y < height; ++y)
        for (gint x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                samples[(static_cast<size_t>(y) * width + x) * channels + c] = PatternSample(x, y, c, channels, peak);
    const gimphost::BufferHolder buffer(gimp_drawable_get_buffer(drawable));
    const GeglRectangle bounds{0, 0, width, height};
    gegl_buffer_set(buffer.get(), &bounds, 0, format, samples.data(), GEGL_AUTO_ROWSTRIDE);
    gegl_buffer_flush(buffer.get());
    gimp_drawable_update(drawable, 0, 0, width, height);
}

void Dump(gint32 image, const std::string& path, int succeeded, const char* message) {
    std::ofstream out(path);
    gdouble xres = 0, yres = 0;
    gimp_image_get_resolution(image, &xres, &yres);
    gint topLayers = 0;
    g_free(gimp_image_get_layers(image, &topLayers));
    out << "image " << gimp_image_width(image) << " " << gimp_image_height(image) << " " << xres << " " << yres
        << " " << (gimp_image_is_dirty(image) ? 1 : 0) << " " << succeeded << " " << topLayers << "\n";
    const std::vector<gint32> drawables = gimphost::DrawablesToReduce(image);
    for (size_t index = 0; index < drawables.size(); ++index) {
        const gint32 drawable = drawables[index];
        gint ox = 0, oy = 0;
        gimp_drawable_offsets(drawable, &ox, &oy);
        const gint width = gimp_drawable_width(drawable);
        const gint height = gimp_drawable_height(drawable);
        const Babl* format = gimp_drawable_get_format(drawable);
        const bool mask = gimp_item_is_layer_mask(drawable);
        const gint32 layer = mask ? gimp_layer_from_mask(drawable) : drawable;
        const char* kind = mask ? "mask" : gimp_item_is_channel(drawable) ? "channel" : "layer";
        out << "drawable " << kind << " " << (gimp_item_get_parent(layer) != -1 ? 1 : 0) << " "
            << ox << " " << oy << " " << width << " " << height << " " << babl_format_get_bytes_per_pixel(format)
            << "\n";
        std::vector<char> pixels(static_cast<size_t>(width) * height * babl_format_get_bytes_per_pixel(format));
        const gimphost::BufferHolder buffer(gimp_drawable_get_buffer(drawable));
        const GeglRectangle bounds{0, 0, width, height};
        gegl_buffer_get(buffer.get(), &bounds, 1.0, format, pixels.data(), GEGL_AUTO_ROWSTRIDE, GEGL_ABYSS_NONE);
        std::ofstream(path + "." + std::to_string(index) + ".raw", std::ios::binary)
            .write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    }
    out << "message " << (message != nullptr ? message : "") << "\n";
}

void Run(const gchar* name, gint, const GimpParam* parameters, gint* returnCount, GimpParam** returnValues) {
    static GimpParam answer[1];
    answer[0].type = GIMP_PDB_STATUS;
    answer[0].data.d_status = GIMP_PDB_SUCCESS;
    *returnValues = answer;
    *returnCount = 1;
    gegl_init(nullptr, nullptr);
    if (std::string(name) == "plug-in-decimora-probe-fill") {
        Fill(parameters[2].data.d_drawable, static_cast<float>(parameters[3].data.d_float));
    } else {
        Dump(parameters[1].data.d_image, parameters[2].data.d_string, parameters[3].data.d_int32,
             parameters[4].data.d_string);
    }
}

const GimpPlugInInfo kPlugInInfo = {nullptr, nullptr, Query, Run};

}  // namespace

int main(int argc, char* argv[]) { return gimp_main(&kPlugInInfo, argc, argv); }
