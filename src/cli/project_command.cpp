#include "cli/project_command.h"

#include "cli/build_input_checks.h"
#include "cli/project_json.h"
#include "cli/project_source.h"
#include "pipeline/disc_estimate.h"
#include "platform/regular_file.h"
#include "platform/text.h"
#include "project/text_catalog.h"

#include <cstdio>
#include <filesystem>

namespace tellavine::cli {
namespace {

constexpr std::uint64_t kMaxProjectJsonBytes = 256u << 20;  // every field of the largest project, indented

int fail(const std::string& message) {
    std::fprintf(stderr, "tellavine-cli: %s\n", message.c_str());
    return kExitFailure;
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    return std::filesystem::absolute(path, ec).lexically_normal().string();
}

// Writes the project; the model has shown why when it could not.
int writeProject(const Project& project, const std::string& path) {
    if (!saveProject(project, absolutePath(path))) return kExitFailure;
    std::printf("%s: %s\n", path.c_str(), project.statusLine().c_str());
    return kExitSuccess;
}

std::string minutesText(std::int32_t musicLength) {
    const int seconds = (musicLength + kMusicBytesPerSecond - 1) / kMusicBytesPerSecond;
    return formatText("%d:%02d", seconds / 60, seconds % 60);
}

std::string musicText(const std::string& path, std::int32_t length) {
    return path.empty() ? std::string("none") : path + " (" + minutesText(length) + ")";
}

void printProject(const Project& project, const DiscSummary& disc) {
    const MenuSettings& menu = project.menu();
    std::printf("Menu: template %s, %d albums a page\n", menu.templatePath.c_str(), project.itemsPerPage());
    std::printf("      music %s\n", musicText(menu.musicPath, menu.musicLength).c_str());
    std::printf("      background %s\n",
                menu.backgroundPicturePath.empty() ? "the template's own" : menu.backgroundPicturePath.c_str());
    for (int a = 0; a < project.albumCount(); ++a) {
        const Album& album = project.album(a);
        std::printf("Album %d \"%s\": %zu photos, %d s each, music %s\n", a + 1, album.name.c_str(),
                    album.slides.size(), album.playTime, musicText(album.musicPath, album.musicLength).c_str());
        for (std::size_t s = 0; s < album.slides.size(); ++s) {
            const Slide& slide = *album.slides[s];
            std::string notes;
            if (slide.rotation != 0) notes += formatText(", turned %d degrees", slide.rotation);
            if (slide.hasCaption) {
                notes += ", caption \"" + slide.caption.text + "\" (" + captionAlignLabel(slide.caption.align) + ")";
            }
            std::printf("  %4zu  %s%s\n", s + 1, slide.path.c_str(), notes.c_str());
        }
    }
    std::printf("%s\n", project.statusLine().c_str());
    const auto fits = [](bool fit) { return fit ? "fits" : "does not fit"; };
    std::printf("Disc: about %llu MB (%u sectors); %s a 74-minute disc, %s an 80-minute disc.\n",
                static_cast<unsigned long long>(disc.sectors) * 2352 / 1000000, disc.sectors, fits(disc.fits74),
                fits(disc.fits80));
}

}  // namespace

int runNewCommand(const NewCommand& command) {
    CliSession session;
    if (auto problem = startSession(session, command.yes); !problem.empty()) return fail(problem);
    if (auto problem = existingFileProblem(command.projectPath, command.yes); !problem.empty()) return fail(problem);
    Project project;
    prepareProject(project, session);
    if (command.templatePath) {
        const std::string file = programFilePath(session.programDir, *command.templatePath);
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec)) {
            return fail(fillArguments(translated("there is no menu template %1 in %2."), {*command.templatePath, session.programDir}));
        }
        if (auto problem = menuTemplateProblem(file); !problem.empty()) return fail(problem);
        MenuSettings menu = project.menu();
        menu.templatePath = *command.templatePath;
        project.setMenu(menu);
    }
    if (auto problem = makeProjectFromFolder(project, command.folderPath, command.folder.options); !problem.empty()) {
        return fail(problem);
    }
    return writeProject(project, command.projectPath);
}

int runShowCommand(const ShowCommand& command) {
    CliSession session;
    if (auto problem = startSession(session, false); !problem.empty()) return fail(problem);
    Project project;
    prepareProject(project, session);
    // The template path as the file has it, so that import writes the same file back.
    if (auto problem = readProjectFile(project, command.projectPath, session, MissingTemplate::Keep);
        !problem.empty()) {
        return fail(problem);
    }
    EstimateOptions estimate;
    estimate.includePhotoFiles = session.settings.writePhotoFiles;
    estimate.includeAudioFiles = session.settings.writeAudioFiles;
    estimate.tvStandard = session.settings.pal ? TvStandard::PAL : TvStandard::NTSC;
    const DiscSummary disc = discSummary(estimateDiscSectors(project, estimate));
    if (command.json)
        std::fputs(projectToJson(project, disc).c_str(), stdout);
    else
        printProject(project, disc);
    return kExitSuccess;
}

int runImportCommand(const ImportCommand& command) {
    CliSession session;
    if (auto problem = startSession(session, command.yes); !problem.empty()) return fail(problem);
    if (auto problem = existingFileProblem(command.projectPath, command.yes); !problem.empty()) return fail(problem);
    std::string text, error;
    if (!readRegularFile(command.jsonPath, kMaxProjectJsonBytes, text, error)) {
        return fail("cannot read " + command.jsonPath + ": " + error + ".");
    }
    Project project;
    prepareProject(project, session);
    if (!projectFromJson(project, text, error)) {
        return fail(command.jsonPath + ": " + error + "; nothing written.");
    }
    return writeProject(project, command.projectPath);
}

}  // namespace tellavine::cli
