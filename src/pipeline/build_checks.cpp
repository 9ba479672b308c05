#include "pipeline/build_checks.h"

#include "pipeline/disc_file_system_check.h"
#include "platform/text.h"
#include "project/messages.h"

namespace tellavine {

bool checkProjectForBuild(const BuildJob& job, const BuildInputs& inputs) {
    const Project& project = *inputs.project;
    if (project.albumCount() > 0 && job.itemsPerPage <= 0) {
        inputs.services.showText(formatText("The disc menu template \"%s\" has no album buttons (\"Items_count\"), so the "
                            "albums cannot be reached from the disc menu.\nPlease choose another template.",
                            project.menu().templatePath.c_str()));
        return false;
    }
    std::string empty;
    for (const Album& album : project.albums()) {
        // The album dialog keeps play times in range; a project file may not. Far beyond it
        // the music alone would be gigabytes and the stills' clock would run over.
        if (album.playTime < 0 || album.playTime > kMaxPlayTimeSeconds) {
            inputs.services.showText(formatText("The album \"%s\" shows each photo for %d seconds; the play time must be 0 to %d "
                                "seconds.\nPlease change it before making the disc.",
                                album.name.c_str(), album.playTime, kMaxPlayTimeSeconds));
            return false;
        }
        if (album.hasMusic() && album.slides.empty()) {
            inputs.services.showText(formatText("The album \"%s\" has background music but no photos.\nPlease add photos to it "
                                "or remove its music before making the disc.",
                                album.name.c_str()));
            return false;
        }
        if (!album.hasMusic() && album.slides.empty()) empty += "\n" + album.name;
    }
    if (const auto problem = discFileSystemProblem(project, inputs.options, job.itemsPerPage); !problem.empty()) {
        inputs.services.showText(problem + "\nPlease make the disc with fewer albums or photos, or without copies of the photo "
                           "and music files.");
        return false;
    }
    if (!empty.empty()) {
        const std::string warning = "These albums have no photos; their menu buttons will do nothing:" + empty;
        inputs.services.log(warning);
        inputs.services.showText(warning);
    }
    return true;
}

}  // namespace tellavine
