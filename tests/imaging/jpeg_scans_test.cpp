// Progressive JPEGs made here with libjpeg's own encoder and a scan script of our choosing.
#include "imaging/codec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace tellavine {
namespace {

// A 64 x 64 grey gradient, progressive; `script` empty means libjpeg's usual progression.
std::vector<std::uint8_t> progressiveJpeg(const std::vector<jpeg_scan_info>& script) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = 64;
    cinfo.image_height = 64;
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_simple_progression(&cinfo);
    if (!script.empty()) {
        cinfo.scan_info = script.data();
        cinfo.num_scans = static_cast<int>(script.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(64);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < 64; ++x) row[x] = static_cast<JSAMPLE>(x * 4 + cinfo.next_scanline);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

// Every coefficient sent bit by bit: the DC, then each AC coefficient on its own, each
// first with its 10 low bits held back (libjpeg's most for 8-bit samples) and then refined
// one bit per scan: 704 scans.
std::vector<jpeg_scan_info> bitByBitScript() {
    std::vector<jpeg_scan_info> script;
    for (int coefficient = 0; coefficient < 64; ++coefficient) {
        for (int shift = 10; shift >= 0; --shift) {
            jpeg_scan_info scan{};
            scan.comps_in_scan = 1;
            scan.component_index[0] = 0;
            scan.Ss = coefficient;
            scan.Se = coefficient;
            scan.Ah = shift == 10 ? 0 : shift + 1;
            scan.Al = shift;
            script.push_back(scan);
        }
    }
    return script;
}

TEST(JpegScans, ProgressivePicturesDecodeButThousandsOfScansAreRefused) {
    const PictureLoad usual = decodePicture(progressiveJpeg({}));
    ASSERT_TRUE(usual.ok()) << usual.error;
    EXPECT_EQ(usual.picture.width(), 64);

    const auto script = bitByBitScript();
    ASSERT_EQ(script.size(), 704u);
    const PictureLoad many = decodePicture(progressiveJpeg(script));
    EXPECT_FALSE(many.ok());
    EXPECT_NE(many.error.find("more than 500 scans"), std::string::npos) << many.error;
}

}  // namespace
}  // namespace tellavine
