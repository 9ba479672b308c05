#include "pipeline/disc_assembly.h"

#include "pipeline/disc_file_names.h"
#include "platform/numbered_messages.h"
#include "platform/text.h"
#include "project/messages.h"
#include "vcd/data_source.h"
#include "vcd/mpeg_stream.h"

#include <algorithm>

namespace tellavine {
namespace {

std::string nodeId(int number) { return formatText("Selection-%03d", number); }
std::string segmentId(int number) { return formatText("segment-00%02d", number); }

constexpr const char* kSequenceId = "Sequence-0001-01";
constexpr const char* kChapterId = "Chapter-0001-01";
constexpr double kMenuPagePauseSeconds = 5.0;
constexpr double kAlbumItemPauseSeconds = 0.0;

// The name of the only file copied into its folder.
std::string copyName(const std::string& path) { return DiscNameSet().claim(safeDiscName(fileNamePart(path))); }

// Opens a file of the disc; on failure tells the user and the progress window.
std::unique_ptr<vcd::DataSource> openOrReport(BuildJob& job, const BuildInputs& inputs, const std::string& path) {
    auto source = vcd::openFileDataSource(path);
    if (!source) {
        inputs.services.showText(formatText("Error while opening file %s for reading.", path.c_str()));
        job.window.post(WM_BUILD_FAILED);
    }
    return source;
}

// Scans a stage output or stock stream and hands it to the authoring object.
bool addMpegFile(BuildJob& job, const BuildInputs& inputs, const std::string& path, vcd::AuthoringObject& disc,
                 const std::string& segment, double pauseSeconds) {
    auto source = openOrReport(job, inputs, path);
    if (!source) return false;
    auto mpeg = vcd::createMpegSource(std::move(source));
    mpeg->scan(true);
    disc.appendSegmentItem(std::move(mpeg), segment);
    disc.addSegmentPause(segment, pauseSeconds);
    return true;
}

}  // namespace

int albumItemCount(const Album& album) {
    return album.hasMusic() ? 1 : static_cast<int>(album.slides.size());
}

std::vector<std::string> uniquePhotoNames(const Album& album) {
    DiscNameSet folder;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < album.slides.size(); ++i) {
        const std::string& name = album.slides[i]->displayName;
        int earlier = 0;
        for (std::size_t j = 0; j < i; ++j) {
            if (fileNamesEqualIgnoreCase(album.slides[j]->displayName, name)) ++earlier;
        }
        names.push_back(folder.claim(safeDiscName(name), earlier));
    }
    return names;
}

std::vector<std::string> albumFolderNames(const Project& project, const std::string& menuMusicName) {
    // Album folders share "Audio Files" with the menu music's copy.
    DiscNameSet folders;
    if (!menuMusicName.empty()) folders.claim(menuMusicName);
    std::vector<std::string> names;
    for (int k = 0; k < project.albumCount(); ++k) names.push_back(folders.claim(safeDiscName(project.album(k).name)));
    return names;
}

std::vector<DiscCopy> discCopies(const Project& project, const DiscOptions& options) {
    std::vector<DiscCopy> copies;
    const MenuSettings& menu = project.menu();
    const bool menuMusicCopy = !menu.musicPath.empty() && options.includeAudioFiles;
    const std::string menuMusicName = menuMusicCopy ? copyName(menu.musicPath) : "";
    if (menuMusicCopy) copies.push_back({"Audio Files/" + menuMusicName, menu.musicPath});
    const auto folders = albumFolderNames(project, menuMusicName);
    for (int k = 0; k < project.albumCount(); ++k) {
        const Album& album = project.album(k);
        if (album.hasMusic() && options.includeAudioFiles)
            copies.push_back({"Audio Files/" + folders[k] + "/" + copyName(album.musicPath), album.musicPath});
        if (!options.includePhotoFiles) continue;
        const auto names = uniquePhotoNames(album);
        for (std::size_t i = 0; i < album.slides.size(); ++i)
            copies.push_back({"Photo Files/" + folders[k] + "/" + names[i], album.slides[i]->path});
    }
    return copies;
}

std::unique_ptr<vcd::AuthoringObject> assembleDisc(BuildJob& job, const BuildInputs& inputs) {
    const Project& project = *inputs.project;
    const DiscOptions& options = inputs.options;
    const int albums = project.albumCount();
    const int perPage = job.itemsPerPage;
    const int pages = menuPageCount(albums, perPage);

    auto disc = vcd::createAuthoringObject(static_cast<int>(vcd::DiscType::Vcd20));
    disc->setTextParameter(vcd::TextParameter::AlbumId, options.volumeLabel);
    disc->setNumberParameter(vcd::NumberParameter::VolumeNumber, 1);
    disc->setNumberParameter(vcd::NumberParameter::VolumeCount, 1);
    disc->setNumberParameter(vcd::NumberParameter::Restriction, 0);
    disc->setTextParameter(vcd::TextParameter::VolumeId, options.volumeLabel);
    disc->setTextParameter(vcd::TextParameter::PublisherId, "Tellavine");

    // Menu pages: keys 1.. select the albums of the page by their first item's node.
    int firstItemNode = pages + 1;
    for (int p = 0; p < pages; ++p) {
        vcd::PbcNode node = vcd::createPbcNode(vcd::PbcNodeKind::SelectionList);
        node.id = nodeId(p + 1);
        node.bsn = 1;
        node.loopCount = 1;
        node.itemId = segmentId(p);
        if (p > 0) node.prevId = nodeId(p);
        if (p + 1 < pages) node.nextId = nodeId(p + 2);
        node.defaultKind = 0;
        node.defaultId = node.id;
        node.timeoutId = node.id;
        node.timeoutTime = -1;
        node.jumpDelayed = false;
        for (int k = p * perPage; k < std::min((p + 1) * perPage, albums); ++k) {
            const int items = albumItemCount(project.album(k));
            // An album with nothing to play gets a key that does nothing, rather than
            // one that opens the next album.
            node.selections.push_back(items > 0 ? nodeId(firstItemNode) : std::string());
            firstItemNode += items;
        }
        disc->appendPbcNode(std::move(node));
    }

    // Album items: each steps to the next by itself; the last leads back to the menu.
    int number = pages + 1;
    for (int k = 0; k < albums; ++k) {
        const Album& album = project.album(k);
        const int items = albumItemCount(album);
        for (int j = 0; j < items; ++j, ++number) {
            vcd::PbcNode node = vcd::createPbcNode(vcd::PbcNodeKind::SelectionList);
            node.id = nodeId(number);
            node.bsn = 1;
            node.loopCount = 1;
            node.itemId = segmentId(number - 1);
            if (j > 0) node.prevId = nodeId(number - 1);
            node.nextId = j + 1 < items ? nodeId(number + 1) : nodeId(1);
            if (j + 1 < items) node.timeoutId = nodeId(number + 1);
            node.returnId = nodeId(1);
            node.timeoutTime = album.hasMusic() ? 0 : std::max(0, album.playTime);
            node.jumpDelayed = !album.hasMusic();
            disc->appendPbcNode(std::move(node));
        }
    }

    // Copies of the music and photos.
    for (const DiscCopy& copy : discCopies(project, options)) {
        auto data = openOrReport(job, inputs, copy.source);
        if (!data) return nullptr;
        disc->addCustomFile(copy.isoPath, std::move(data), false);
    }

    // Segments: the menu pages, then every album item in node order.
    for (int p = 0; p < pages; ++p) {
        const auto path = formatText("%smenu_%02d.mpg", inputs.tempDir.c_str(), p + 1);
        if (!addMpegFile(job, inputs, path, *disc, segmentId(p), kMenuPagePauseSeconds)) return nullptr;
    }
    int segment = pages;
    for (int k = 0; k < albums; ++k) {
        const int items = albumItemCount(project.album(k));
        for (int j = 0; j < items; ++j, ++segment) {
            const auto path = formatText("%smenu_%02d_pic_%02d.mpg", inputs.tempDir.c_str(), k + 1, j + 1);
            if (!addMpegFile(job, inputs, path, *disc, segmentId(segment), kAlbumItemPauseSeconds)) return nullptr;
        }
    }

    // The short video track every disc carries.
    const auto sequencePath = inputs.programDir + (options.tvStandard == TvStandard::PAL ? "avseq01.npal" : "avseq01.ntsc");
    auto source = openOrReport(job, inputs, sequencePath);
    if (!source) return nullptr;
    auto mpeg = vcd::createMpegSource(std::move(source));
    mpeg->scan(true);
    disc->appendSequenceItem(std::move(mpeg), std::string(kSequenceId), std::string(kChapterId));
    return disc;
}

}  // namespace tellavine
