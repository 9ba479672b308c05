// Playback control and ISO layout of the largest disc the program makes: 99 albums of
// 19 photos, a menu page per album and a main menu; 1980 segment play items.
//   build/default/bin/bench_vcd_layout --benchmark_repetitions=5

#include "vcd/control_files.h"
#include "vcd/iso_tree.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace tellavine::vcd;

constexpr int kAlbums = 99;
constexpr int kPhotosPerAlbum = 19;

std::string itemName(int album, int photo) {
    char name[32];
    std::snprintf(name, sizeof name, "item-%02d-%02d", album, photo);
    return name;
}

std::vector<PbcNode> discNodes() {
    std::vector<PbcNode> nodes;
    PbcNode main = createPbcNode(PbcNodeKind::SelectionList);
    main.id = "main";
    main.itemId = "menu-main";
    for (int album = 0; album < kAlbums; ++album) main.selections.push_back("album-" + std::to_string(album));
    nodes.push_back(main);
    for (int album = 0; album < kAlbums; ++album) {
        PbcNode page = createPbcNode(PbcNodeKind::SelectionList);
        page.id = "album-" + std::to_string(album);
        page.itemId = itemName(album, 0);
        page.returnId = "main";
        for (int photo = 1; photo < kPhotosPerAlbum; ++photo)
            page.selections.push_back("photo-" + std::to_string(album) + "-" + std::to_string(photo));
        nodes.push_back(page);
        for (int photo = 1; photo < kPhotosPerAlbum; ++photo) {
            PbcNode list = createPbcNode(PbcNodeKind::PlayList);
            list.id = "photo-" + std::to_string(album) + "-" + std::to_string(photo);
            list.items = {itemName(album, photo)};
            list.waitTime = 5;
            list.returnId = page.id;
            nodes.push_back(list);
        }
    }
    PbcNode end = createPbcNode(PbcNodeKind::EndList);
    end.id = "end";
    nodes.push_back(end);
    return nodes;
}

void BM_PsdLayoutOf99Albums(benchmark::State& state) {
    const auto templateNodes = discNodes();
    std::vector<std::uint8_t> psd, extendedPsd, lot(kLotSize), extendedLot(kLotSize);
    for (auto _ : state) {
        auto nodes = templateNodes;
        const PsdSizes sizes = layoutPsd(nodes);
        DiscDescription disc;
        disc.nodes = &nodes;
        disc.psdSize = sizes.psd;
        disc.extendedPsd = true;
        disc.playItemNumber = [](std::string_view) -> std::uint16_t { return 1000; };
        psd.assign(sizes.psd, 0);
        extendedPsd.assign(sizes.extendedPsd, 0);
        buildPsd(psd, disc, false);
        buildPsd(extendedPsd, disc, true);
        buildLot(lot, nodes, false);
        buildLot(extendedLot, nodes, true);
        benchmark::DoNotOptimize(psd.data());
    }
    state.counters["nodes"] = static_cast<double>(templateNodes.size());
}

void BM_IsoLayoutOf99Albums(benchmark::State& state) {
    std::vector<std::uint8_t> directories, lTable(2048), mTable(2048);
    for (auto _ : state) {
        IsoTree tree;
        for (const char* folder : {"CDI", "EXT", "MPEGAV", "SEGMENT", "VCD"}) makeDirectory(tree, folder);
        std::uint32_t extent = 300;
        for (int item = 1; item <= kAlbums * (kPhotosPerAlbum + 1); ++item) {
            char name[32];
            std::snprintf(name, sizeof name, "SEGMENT/ITEM%04d.MPG", item);
            addFileEntry(tree, name, extent, 150 * 2324, true, 1);
            extent += 150;
        }
        for (const char* file : {"VCD/INFO.VCD", "VCD/ENTRIES.VCD", "VCD/LOT.VCD", "VCD/PSD.VCD", "EXT/LOT_X.VCD",
                                 "EXT/PSD_X.VCD"}) {
            addFileEntry(tree, file, extent, 65536, false, 0);
            extent += 32;
        }
        const std::uint32_t sectors = layoutDirectories(tree, 18);
        directories.assign(static_cast<std::size_t>(sectors) * 2048, 0);
        writeDirectories(tree, 18, directories);
        benchmark::DoNotOptimize(writePathTables(tree, lTable, mTable));
    }
}

BENCHMARK(BM_PsdLayoutOf99Albums)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IsoLayoutOf99Albums)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
