// Writes a project of one album holding the given photos, for timing whole builds.
//
// Usage: bench_project <project.ovp> <photo>...

#include "project/model.h"
#include "project/project_file.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_project <project.ovp> <photo>...\n");
        return 2;
    }
    tellavine::Project project;
    const int album = project.addAlbum("Bench");
    for (int i = 2; i < argc; ++i) project.addSlide(album, argv[i], "photo", 0);
    return tellavine::saveProject(project, argv[1]) ? 0 : 1;
}
