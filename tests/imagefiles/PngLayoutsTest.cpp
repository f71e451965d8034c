// PNG files of every kind libpng writes: palette, low bit depths, a
// transparent colour, interlacing, animation; and what a PNG file states
// about its density and its EXIF block, read and written back.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "support/TemporaryFolder.h"
#include "imagefiles/ImageFile.h"

namespace {

using namespace imagefiles_test;
using test_support::TemporaryFolder;
using imagefiles::DensityKind;
using imagefiles::ImageFile;
using imagefiles::ImageFileError;
using imagefiles::ReadImageFile;
using imagefiles::WriteImageFile;

// A PNG file as libpng writes it; samples are the rows as the file stores
// them (packed below 8 bits, big-endian at 16).
struct RawPng {
    png_uint_32 width = 4;
    png_uint_32 height = 2;
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_GRAY;
    bool interlaced = false;
    std::vector<uint8_t> samples;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    std::optional<png_color_16> colourKey;
    std::vector<uint8_t> iccProfile;
    std::vector<uint32_t> phys;  // a pHYs chunk's unit, horizontal and vertical numbers
    uint32_t animationFrames = 0;  // an acTL chunk when not 0
    std::string textKey;
    std::string text;
    int textCompression = PNG_TEXT_COMPRESSION_NONE;
};

void AddAnimationChunk(png_structp png, png_infop info, uint32_t frames) {
    const png_byte name[] = "acTL";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, name, 1);
    png_byte data[8] = {};
    png_save_uint_32(data, frames);
    png_unknown_chunk chunk{};
    std::memcpy(chunk.name, name, 5);
    chunk.data = data;
    chunk.size = sizeof data;
    chunk.location = PNG_HAVE_IHDR;
    png_set_unknown_chunks(png, info, &chunk, 1);
}

void WriteRaw(const std::string& path, RawPng raw) {
    FILE* file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, raw.width, raw.height, raw.bitDepth, raw.colourType,
                 raw.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    if (!raw.palette.empty()) png_set_PLTE(png, info, raw.palette.data(), static_cast<int>(raw.palette.size()));
    if (!raw.paletteAlpha.empty() || raw.colourKey) {
        png_set_tRNS(png, info, raw.paletteAlpha.data(), static_cast<int>(raw.paletteAlpha.size()),
                     raw.colourKey ? &*raw.colourKey : nullptr);
    }
    if (!raw.iccProfile.empty()) {
        png_set_iCCP(png, info, "p", 0, raw.iccProfile.data(), static_cast<png_uint_32>(raw.iccProfile.size()));
    }
    if (raw.phys.size() == 3) png_set_pHYs(png, info, raw.phys[1], raw.phys[2], static_cast<int>(raw.phys[0]));
    if (raw.animationFrames != 0) AddAnimationChunk(png, info, raw.animationFrames);
    png_text text{};
    text.compression = raw.textCompression;
    text.key = raw.textKey.data();
    text.text = raw.text.data();
    if (!raw.textKey.empty()) png_set_text(png, info, &text, 1);
    png_write_info(png, info);
    if (raw.interlaced) png_set_interlace_handling(png);
    std::vector<png_bytep> rows;
    const size_t rowBytes = png_get_rowbytes(png, info);
    for (png_uint_32 y = 0; y < raw.height; ++y) rows.push_back(raw.samples.data() + y * rowBytes);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

// The samples of one channel, row after row.
std::vector<uint32_t> Channel(const standin::Image& image, int32_t channel) {
    std::vector<uint32_t> samples;
    for (int32_t y = 0; y < image.Height(); ++y) {
        for (int32_t x = 0; x < image.Width(); ++x) samples.push_back(image.Sample(x, y, channel));
    }
    return samples;
}

// Writes the file back as PNG and reads that: the same pixels, from a PNG
// without a palette or tRNS chunk.
void ExpectWrittenBackTheSame(const TemporaryFolder& folder, const ImageFile& file) {
    const std::string path = folder.File("back.png");
    imagefiles::WriteOptions options;
    options.overwrite = true;
    WriteImageFile(path, file.image, file.info, options);
    const ImageFile again = ReadImageFile(path);
    ASSERT_EQ(again.image.Channels(), file.image.Channels());
    ASSERT_EQ(again.image.BitsPerSample(), file.image.BitsPerSample());
    for (int32_t c = 0; c < file.image.Channels(); ++c) EXPECT_EQ(Channel(again.image, c), Channel(file.image, c));
    const std::vector<std::string> chunks = PngChunks(ReadBytes(path));
    EXPECT_EQ(std::count(chunks.begin(), chunks.end(), "PLTE") + std::count(chunks.begin(), chunks.end(), "tRNS"), 0);
}

TEST(ImageFilesPngLayouts, PalettesBecomeGrayOrColourWithTheirTransparency) {
    TemporaryFolder folder;
    // Two bits an index, interlaced: indices 0 1 2 3 0 / 3 2 1 0 3 / ...
    RawPng colour;
    colour.width = 5;
    colour.height = 3;
    colour.bitDepth = 2;
    colour.colourType = PNG_COLOR_TYPE_PALETTE;
    colour.interlaced = true;
    colour.samples = {0x1B, 0x00, 0xE4, 0xC0, 0x1B, 0x00};
    colour.palette = {{10, 20, 30}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    colour.paletteAlpha = {255, 128, 0};  // the last entry is opaque
    WriteRaw(folder.File("colour.png"), colour);
    const ImageFile rgba = ReadImageFile(folder.File("colour.png"));
    ASSERT_EQ(rgba.image.Channels(), 4);
    EXPECT_EQ(rgba.image.BitsPerSample(), 8);
    EXPECT_EQ(rgba.info.layout.alpha, imagefiles::AlphaKind::unassociated);
    EXPECT_EQ(Channel(rgba.image, 0), (std::vector<uint32_t>{10, 255, 0, 0, 10, 0, 0, 255, 10, 0, 10, 255, 0, 0, 10}));
    EXPECT_EQ(Channel(rgba.image, 3),
              (std::vector<uint32_t>{255, 128, 0, 255, 255, 255, 0, 128, 255, 255, 255, 128, 0, 255, 255}));
    ExpectWrittenBackTheSame(folder, rgba);

    RawPng grey = colour;
    grey.palette = {{0, 0, 0}, {85, 85, 85}, {170, 170, 170}, {255, 255, 255}};
    WriteRaw(folder.File("grey-alpha.png"), grey);
    const ImageFile grayAlpha = ReadImageFile(folder.File("grey-alpha.png"));
    ASSERT_EQ(grayAlpha.image.Channels(), 2);
    EXPECT_EQ(Channel(grayAlpha.image, 0),
              (std::vector<uint32_t>{0, 85, 170, 255, 0, 255, 170, 85, 0, 255, 0, 85, 170, 255, 0}));
    EXPECT_EQ(Channel(grayAlpha.image, 1), Channel(rgba.image, 3));
    ExpectWrittenBackTheSame(folder, grayAlpha);

    grey.paletteAlpha.clear();
    WriteRaw(folder.File("grey.png"), grey);
    EXPECT_EQ(ReadImageFile(folder.File("grey.png")).image.Channels(), 1);
    // The RGB profile a palette carries cannot go with gray samples.
    grey.iccProfile = IccProfile("RGB ", 200);
    WriteRaw(folder.File("grey-profiled.png"), grey);
    const ImageFile profiled = ReadImageFile(folder.File("grey-profiled.png"));
    EXPECT_EQ(profiled.image.Channels(), 3);
    ExpectWrittenBackTheSame(folder, profiled);

    WritePalettePng(folder.File("helper-palette.png"));  // every pixel red, 8 bits an index
    const ImageFile red = ReadImageFile(folder.File("helper-palette.png"));
    ASSERT_EQ(red.image.Channels(), 3);
    EXPECT_EQ(red.image.Sample(7, 3, 0), 255u);
    EXPECT_EQ(red.image.Sample(7, 3, 1), 0u);
}

TEST(ImageFilesPngLayouts, LowBitGrayIsScaledToEightBits) {
    TemporaryFolder folder;
    WriteOneBitPng(folder.File("one.png"));  // 0xA5 in every row
    const ImageFile one = ReadImageFile(folder.File("one.png"));
    ASSERT_EQ(one.image.Channels(), 1);
    EXPECT_EQ(one.image.BitsPerSample(), 8);
    const std::vector<uint32_t> ones = Channel(one.image, 0);
    ASSERT_EQ(ones.size(), 32u);
    EXPECT_EQ(std::vector<uint32_t>(ones.begin(), ones.begin() + 8),
              (std::vector<uint32_t>{255, 0, 255, 0, 0, 255, 0, 255}));
    for (int bits : {2, 4}) {
        RawPng raw;
        raw.bitDepth = bits;
        raw.samples = bits == 2 ? std::vector<uint8_t>{0x1B, 0xE4} : std::vector<uint8_t>{0x0F, 0x8A, 0x70, 0x01};
        WriteRaw(folder.File("low.png"), raw);
        const ImageFile low = ReadImageFile(folder.File("low.png"));
        ASSERT_EQ(low.image.BitsPerSample(), 8) << bits;
        const std::vector<uint32_t> expected = bits == 2 ? std::vector<uint32_t>{0, 85, 170, 255, 255, 170, 85, 0}
                                                         : std::vector<uint32_t>{0, 255, 136, 170, 119, 0, 0, 17};
        EXPECT_EQ(Channel(low.image, 0), expected) << bits;
        ExpectWrittenBackTheSame(folder, low);
    }
}

TEST(ImageFilesPngLayouts, ATransparentColourBecomesAlpha) {
    TemporaryFolder folder;
    RawPng gray;
    gray.samples = {7, 8, 7, 9, 0, 7, 255, 7};
    gray.colourKey = png_color_16{0, 0, 0, 0, 7};
    WriteRaw(folder.File("gray.png"), gray);
    const ImageFile grayAlpha = ReadImageFile(folder.File("gray.png"));
    ASSERT_EQ(grayAlpha.image.Channels(), 2);
    EXPECT_EQ(Channel(grayAlpha.image, 1), (std::vector<uint32_t>{0, 255, 0, 255, 255, 0, 255, 0}));
    ExpectWrittenBackTheSame(folder, grayAlpha);

    RawPng deep;  // 16-bit RGB, key (0x0102, 0x0304, 0x0506)
    deep.width = 2;
    deep.height = 1;
    deep.bitDepth = 16;
    deep.colourType = PNG_COLOR_TYPE_RGB;
    deep.samples = {1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 7};
    deep.colourKey = png_color_16{0, 0x0102, 0x0304, 0x0506, 0};
    WriteRaw(folder.File("deep.png"), deep);
    const ImageFile rgba = ReadImageFile(folder.File("deep.png"));
    ASSERT_EQ(rgba.image.Channels(), 4);
    EXPECT_EQ(rgba.image.BitsPerSample(), 16);
    EXPECT_EQ(Channel(rgba.image, 2), (std::vector<uint32_t>{0x0506, 0x0507}));
    EXPECT_EQ(Channel(rgba.image, 3), (std::vector<uint32_t>{0, 65535}));
    ExpectWrittenBackTheSame(folder, rgba);
}

TEST(ImageFilesPngLayouts, AnAnimatedPngIsRefusedByName) {
    TemporaryFolder folder;
    RawPng raw;
    raw.samples.assign(8, 0);
    raw.animationFrames = 3;
    WriteRaw(folder.File("animated.png"), raw);
    try {
        ReadImageFile(folder.File("animated.png"));
        ADD_FAILURE() << "an animated PNG was read";
    } catch (const ImageFileError& error) {
        EXPECT_EQ(error.Problem(), imagefiles::ImageFileProblem::unsupportedLayout);
        EXPECT_NE(error.Reason().find("animated PNG (3 frames)"), std::string::npos) << error.Reason();
    }
}

// The data of the first chunk of that type in a PNG file (whose chunks
// here are all shorter than 64 KB); empty when there is none.
std::vector<uint8_t> ChunkData(const std::vector<uint8_t>& bytes, const char* type) {
    const auto at = std::search(bytes.begin(), bytes.end(), type, type + 4);
    if (at == bytes.end()) return {};
    const size_t length = size_t{at[-2]} << 8 | at[-1];
    return std::vector<uint8_t>(at + 4, at + 4 + static_cast<long>(length));
}

// The pHYs chunk of a PNG file, as RawPng::phys holds one.
std::vector<uint32_t> PhysOfFile(const std::string& path) {
    const std::vector<uint8_t> data = ChunkData(ReadBytes(path), "pHYs");
    if (data.size() != 9) return {};
    return {data[8], png_get_uint_32(data.data()), png_get_uint_32(data.data() + 4)};
}

// A little-endian EXIF block stating XResolution = YResolution = 200 dpi.
std::vector<uint8_t> ExifAt200Dpi() {
    return {'I', 'I', 42, 0, 8, 0, 0, 0, 3, 0,
            0x1A, 0x01, 5, 0, 1, 0, 0, 0, 50, 0, 0, 0,  // XResolution at 50
            0x1B, 0x01, 5, 0, 1, 0, 0, 0, 58, 0, 0, 0,  // YResolution at 58
            0x28, 0x01, 3, 0, 1, 0, 0, 0, 2, 0, 0, 0,   // ResolutionUnit: inch
            0, 0, 0, 0,
            200, 0, 0, 0, 1, 0, 0, 0, 200, 0, 0, 0, 1, 0, 0, 0};
}

ImageFile WrittenBack(const TemporaryFolder& folder, const ImageFile& file, double resolution) {
    ImageFile out = file;
    out.image.SetResolution(resolution);
    imagefiles::WriteOptions options;
    options.overwrite = true;
    WriteImageFile(folder.File("out.png"), out.image, out.info, options);
    return ReadImageFile(folder.File("out.png"));
}

TEST(ImageFilesPngLayouts, DensityIsWhatTheFileStates) {
    TemporaryFolder folder;
    RawPng raw;
    raw.samples.assign(8, 0);
    WriteRaw(folder.File("none.png"), raw);
    const ImageFile none = ReadImageFile(folder.File("none.png"));
    EXPECT_EQ(none.info.density.kind, DensityKind::none);
    EXPECT_DOUBLE_EQ(none.image.Resolution(), 72.0);
    WrittenBack(folder, none, 36.0);
    EXPECT_TRUE(PhysOfFile(folder.File("out.png")).empty());

    raw.phys = {PNG_RESOLUTION_UNKNOWN, 2, 3};
    WriteRaw(folder.File("aspect.png"), raw);
    const ImageFile aspect = ReadImageFile(folder.File("aspect.png"));
    EXPECT_EQ(aspect.info.density.kind, DensityKind::aspectRatio);
    WrittenBack(folder, aspect, 36.0);
    EXPECT_EQ(PhysOfFile(folder.File("out.png")), (std::vector<uint32_t>{PNG_RESOLUTION_UNKNOWN, 2, 3}));

    raw.phys = {PNG_RESOLUTION_METER, 11811, 23622};
    WriteRaw(folder.File("tall.png"), raw);
    const ImageFile tall = ReadImageFile(folder.File("tall.png"));
    EXPECT_DOUBLE_EQ(tall.image.Resolution(), 300.0);
    EXPECT_DOUBLE_EQ(tall.info.density.verticalOverHorizontal, 2.0);
    WrittenBack(folder, tall, 150.0);
    EXPECT_EQ(PhysOfFile(folder.File("out.png")), (std::vector<uint32_t>{PNG_RESOLUTION_METER, 5906, 11812}));

    PngSpec exifOnly;
    exifOnly.physical = false;
    exifOnly.exif = ExifAt200Dpi();
    WritePngWithLibpng(folder.File("exif.png"), Patterned(4, 2, 1, 8), exifOnly);
    const ImageFile exif = ReadImageFile(folder.File("exif.png"));
    EXPECT_EQ(exif.info.density.kind, DensityKind::resolution);
    EXPECT_DOUBLE_EQ(exif.image.Resolution(), 200.0);
    EXPECT_DOUBLE_EQ(WrittenBack(folder, exif, 100.0).image.Resolution(), 100.0);
    EXPECT_EQ(PhysOfFile(folder.File("out.png")), (std::vector<uint32_t>{PNG_RESOLUTION_METER, 3937, 3937}));
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        text += pair;
        if (i % 36 == 35) text += '\n';
    }
    return text;
}

TEST(ImageFilesPngLayouts, TheExifBlockOfARawProfileTextChunkIsTaken) {
    TemporaryFolder folder;
    std::vector<uint8_t> app1 = {'E', 'x', 'i', 'f', 0, 0};
    const std::vector<uint8_t> block = ExifAt200Dpi();
    app1.insert(app1.end(), block.begin(), block.end());
    RawPng raw;
    raw.samples.assign(8, 0);
    raw.textKey = "Raw profile type exif";
    raw.text = "\nexif\n      " + std::to_string(app1.size()) + "\n" + Hex(app1) + "\n";
    raw.textCompression = PNG_TEXT_COMPRESSION_zTXt;
    WriteRaw(folder.File("text.png"), raw);
    const ImageFile file = ReadImageFile(folder.File("text.png"));
    EXPECT_EQ(file.info.metadata.exif, block);
    EXPECT_DOUBLE_EQ(file.image.Resolution(), 200.0);
    WrittenBack(folder, file, 200.0);
    const std::vector<std::string> chunks = PngChunks(ReadBytes(folder.File("out.png")));
    EXPECT_EQ(std::count(chunks.begin(), chunks.end(), "eXIf"), 1);

    // Fewer digits than the length claims, or a block that is not TIFF-structured.
    for (const std::string& text : {"\nexif\n   70\n" + Hex(block), std::string("\nAPP1\n   4\n3c3f7870\n")}) {
        raw.text = text;
        raw.textKey = "Raw profile type APP1";
        WriteRaw(folder.File("bad.png"), raw);
        EXPECT_TRUE(ReadImageFile(folder.File("bad.png")).info.metadata.exif.empty()) << text;
    }
}

// libpng 1.6.39 drops an iCCP chunk under 92 bytes, which a profile of
// mostly zeros compresses to; the reader reads it itself.
TEST(ImageFilesPngLayouts, AShortIccChunkKeepsItsProfile) {
    TemporaryFolder folder;
    RawPng raw;
    raw.samples.assign(8, 0);
    raw.iccProfile = IccProfile("GRAY", 400);
    std::fill(raw.iccProfile.begin() + 144, raw.iccProfile.end(), uint8_t{0});
    WriteRaw(folder.File("short.png"), raw);
    const size_t chunkLength = ChunkData(ReadBytes(folder.File("short.png")), "iCCP").size();
    ASSERT_TRUE(chunkLength > 0 && chunkLength < 92) << chunkLength;
    EXPECT_EQ(ReadImageFile(folder.File("short.png")).info.metadata.iccProfile, raw.iccProfile);

    // A name libpng cannot write (a control character) gives way to the
    // usual one instead of failing the write.
    std::vector<uint8_t> bytes = ReadBytes(folder.File("short.png"));
    const auto type = std::search(bytes.begin(), bytes.end(), "iCCP", "iCCP" + 4);
    type[4] = 0x01;  // the one-letter name "p"
    const auto end = type + 4 + static_cast<long>(chunkLength);
    const auto crc = static_cast<uint32_t>(crc32(0, &*type, static_cast<uInt>(end - type)));
    for (int i = 0; i < 4; ++i) end[i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    WriteBytes(folder.File("control.png"), bytes);
    const ImageFile named = ReadImageFile(folder.File("control.png"));
    EXPECT_EQ(WrittenBack(folder, named, 72.0).info.metadata.iccProfile, raw.iccProfile);
}

// libpng's warnings count while the profile is set (a "known incorrect"
// sRGB profile is written with a warning); a profile it will not take must
// still fail the write, not leave the file without it.
TEST(ImageFilesPngLayouts, AProfileLibpngRefusesStillFailsTheWrite) {
    TemporaryFolder folder;
    imagefiles::ImageFileInfo info;
    info.format = imagefiles::ImageFormat::png;
    info.metadata.iccProfile = IccProfile("GRAY", 200);
    EXPECT_THROW(WriteImageFile(folder.File("out.png"), Patterned(4, 2, 3, 8), info), ImageFileError);
    EXPECT_TRUE(folder.Names().empty());
    info.metadata.iccProfile = IccProfile("RGB ", 200);
    EXPECT_TRUE(WriteImageFile(folder.File("out.png"), Patterned(4, 2, 3, 8), info).empty());
}

}  // namespace
