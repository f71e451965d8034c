// The procedure decimora-gimp registers with GIMP. Its name, parameters,
// image types and menu place are an interface scripts rely on:
//     (plug-in-decimora-reduce RUN-NONINTERACTIVE image drawable 4)
#pragma once

namespace gimphost {

constexpr const char* kProcedureName = "plug-in-decimora-reduce";
constexpr const char* kImageTypes = "RGB*, GRAY*";
constexpr const char* kMenuLabel = "Reduce without Moir\xc3\xa9\xe2\x80\xa6";  // "Reduce without Moiré…"
constexpr const char* kMenuPath = "<Image>/Image";

// Positions of the parameters (run-mode, image, drawable, factor).
constexpr int kRunModeParameter = 0;
constexpr int kImageParameter = 1;
constexpr int kDrawableParameter = 2;
constexpr int kFactorParameter = 3;
constexpr int kParameterCount = 4;

// Registers the procedure and its menu entry (the plug-in's query).
void RegisterProcedure();

}  // namespace gimphost
