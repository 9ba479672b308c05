#include "cli/cli_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <map>

namespace tellavine::cli {
namespace {

const char* const kDeviceFooter =
    "DEVICE is a CD device such as /dev/sr0, or emulated:FILE for the emulated recorder,\n"
    "which burns into FILE (add ?medium=cdrw for a rewritable disc).";
const char* const kSettingsFooter = "Options not given are taken from config.ini, as the desktop program would.";
const char* const kGeneralFooter =
    "Options not given are taken from config.ini, as the desktop program would.\n"
    "'tellavine-cli COMMAND --help' shows one command's options.";

// An option that takes one of a few words, each standing for a value.
template <typename Value>
CLI::Option* addChoice(CLI::App& command, const std::string& name, const std::map<std::string, Value>& words,
                       std::function<void(Value)> store, const std::string& description) {
    std::vector<std::string> names;
    for (const auto& entry : words) names.push_back(entry.first);
    return command
        .add_option_function<std::string>(
            name, [words, store](const std::string& word) { store(words.at(word)); }, description)
        ->check(CLI::IsMember(names));
}

void addFolderOptions(CLI::App& command, FolderCommand& folder) {
    addChoice<PhotoOrder>(
        command, "--sort", {{"name", PhotoOrder::Name}, {"date", PhotoOrder::DateTaken}},
        [&folder](PhotoOrder order) {
            folder.options.order = order;
            folder.given = true;
        },
        "folder: photos in name order, or by the date taken (EXIF; undated ones last)");
    command
        .add_option_function<int>(
            "--play-time",
            [&folder](const int& seconds) {
                folder.options.playTime = seconds;
                folder.given = true;
            },
            "folder: seconds each photo is shown (default: config.ini's WaitTime)")
        ->check(CLI::Range(0, kMaxPlayTimeSeconds));
    addChoice<CaptionSource>(
        command, "--captions", {{"none", CaptionSource::None}, {"name", CaptionSource::FileName}},
        [&folder](CaptionSource source) {
            folder.options.captions = source;
            folder.given = true;
        },
        "folder: no captions, or each photo's file name without extension");
}

void addBuildOptions(CLI::App& command, BuildCommand& build, bool burn) {
    command.add_option("PROJECT", build.projectPath, "a project file (.ovp, .orx) or a folder of photos")->required();
    if (!burn) {
        command.add_option("-o,--output", build.cuePath, "the CUE file of the image (the BIN goes beside it)")
            ->required();
    }
    command.add_flag_callback(
        "--pal", [&build] { build.pal = true; }, "PAL television standard");
    command.add_flag_callback(
        "--ntsc", [&build] { build.pal = false; }, "NTSC television standard");
    addChoice<int>(
        command, "--aspect", {{"none", 0}, {"4:3", 1}, {"16:9", 2}}, [&build](int aspect) { build.aspect = aspect; },
        "aspect ratio correction: none, 4:3 or 16:9");
    command
        .add_option_function<int>(
            "--crop", [&build](const int& crop) { build.crop = crop; }, "TV cropping in per cent, 0 to 20")
        ->check(CLI::Range(0, 20));
    command.add_option_function<std::string>(
        "--label", [&build](const std::string& label) { build.label = label; }, "volume label");
    command.add_flag("--no-photo-files", build.noPhotoFiles, "leave the original photos off the disc");
    command.add_flag("--no-audio-files", build.noAudioFiles, "leave the original music files off the disc");
    command.add_option_function<std::string>(
        "--template", [&build](const std::string& path) { build.templatePath = path; },
        "disc menu template FILE.ini (relative to the program's data)");
    command.add_option_function<std::string>(
        "--temp", [&build](const std::string& path) { build.tempDir = path; }, "temporary folder");
    addFolderOptions(command, build.folder);
    if (burn) {
        command.add_option("-d,--device", build.device, "the recorder (default: the first one found)");
        std::map<std::string, int> speeds{{"max", 6}};
        for (int index = 0; index <= 6; ++index) speeds[std::to_string(index)] = index;
        addChoice<int>(
            command, "--speed", speeds, [&build](int index) { build.speedIndex = index; },
            "recording speed: 0 1x, 1 2x, 2 4x, 3 8x, 4 12x, 5 24x, 6 or max the fastest");
        command.add_flag("--simulate", build.simulate, "test run: nothing is written, the disc stays blank");
        command.add_flag_callback(
            "--burn-proof", [&build] { build.burnProof = true; }, "buffer under-run protection");
        addChoice<int>(
            command, "--mode,--writing-mode", {{"auto", 0}, {"mmc", 1}, {"raw", 2}},
            [&build](int mode) { build.writingMode = mode; },
            "how the recorder is driven: auto, mmc or raw (default: config.ini)");
        command.add_flag("-y,--yes", build.yes, "erase a written CD-RW without asking");
    } else {
        command.add_flag("-y,--yes", build.yes, "overwrite an existing image without asking");
    }
}

void addDeviceCommand(CLI::App& app, const std::string& name, const std::string& description, DeviceCommand& device,
                      bool erase) {
    CLI::App& command = *app.add_subcommand(name, description);
    command.footer(kDeviceFooter);
    command.add_option("-d,--device", device.device, "the recorder (default: the first one found)");
    if (erase) {
        command.add_flag("--full", device.fullErase, "erase the whole disc, not only its table of contents");
        command.add_flag("-y,--yes", device.yes, "erase without asking");
    }
}

// The commands, their options bound to `parsed`.
void defineCommands(CLI::App& app, ParsedCommand& parsed) {
    app.require_subcommand(1);
    app.footer(kGeneralFooter);
    // Taken out by takeLanguageOption before parsing; here for the help text.
    app.add_option_function<std::string>(
        "--language", [](const std::string&) {},
        "the language of the messages: en or de (default: config.ini's [Options] Language, else LANGUAGE or LANG)");

    CLI::App& create = *app.add_subcommand("new", "make a project from a folder: each sub-folder is an album");
    create.footer(
        "Pictures directly in DIR make one album named after it; one MP3 or WAV in an album's folder\n"
        "is its music, one in DIR the menu music. Hidden files are skipped.");
    create.add_option("DIR", parsed.create.folderPath, "the folder of photos")->required();
    create.add_option("-o,--output", parsed.create.projectPath, "the project file to write (.ovp)")->required();
    create.add_option_function<std::string>(
        "--template", [&parsed](const std::string& path) { parsed.create.templatePath = path; },
        "disc menu template FILE.ini (relative to the program's data)");
    addFolderOptions(create, parsed.create.folder);
    create.add_flag("-y,--yes", parsed.create.yes, "replace an existing project file");

    CLI::App& build = *app.add_subcommand("build", "author a CUE/BIN Video CD image of a project or a folder");
    build.footer(kSettingsFooter);
    addBuildOptions(build, parsed.build, false);
    CLI::App& burn = *app.add_subcommand("burn", "burn the Video CD of a project or a folder on a CD-R/RW");
    burn.footer(std::string(kSettingsFooter) + "\n" + kDeviceFooter);
    addBuildOptions(burn, parsed.build, true);

    CLI::App& show = *app.add_subcommand("show", "list a project: albums, photos, music, menu and disc size");
    show.footer(kSettingsFooter);
    show.add_option("PROJECT", parsed.show.projectPath, "the project file")->required();
    show.add_flag("--json", parsed.show.json, "as JSON (the form import reads; see docs/project-json.md)");

    CLI::App& import = *app.add_subcommand("import", "write a project file from JSON");
    import.add_option("JSON", parsed.import.jsonPath, "the project as JSON (see docs/project-json.md)")->required();
    import.add_option("-o,--output", parsed.import.projectPath, "the project file to write (.ovp)")->required();
    import.add_flag("-y,--yes", parsed.import.yes, "replace an existing project file");

    CLI::App& inspect = *app.add_subcommand("inspect", "list the tracks, files and menus of a Video CD image");
    inspect.add_option("DISC", parsed.inspect.cuePath, "the CUE file of the image")->required();
    inspect.add_flag("--json", parsed.inspect.json, "as JSON");
    inspect.add_option("--extract", parsed.inspect.extractDir, "also copy every file and the MPEG tracks into DIR");

    addDeviceCommand(app, "devices", "list the CD recorders of this machine", parsed.device, false);
    addDeviceCommand(app, "erase", "erase a CD-RW (quick unless --full)", parsed.device, true);
    addDeviceCommand(app, "eject", "open the recorder's tray", parsed.device, false);
    addDeviceCommand(app, "close-tray", "close the recorder's tray", parsed.device, false);
}

const std::map<std::string, ParsedCommand::Kind>& commandKinds() {
    using Kind = ParsedCommand::Kind;
    static const std::map<std::string, Kind> kinds{
        {"new", Kind::New},       {"build", Kind::Build},         {"burn", Kind::Burn},       {"show", Kind::Show},
        {"import", Kind::Import}, {"inspect", Kind::Inspect},     {"devices", Kind::Devices}, {"erase", Kind::Erase},
        {"eject", Kind::Eject},   {"close-tray", Kind::CloseTray}};
    return kinds;
}

ParsedCommand usage(std::string error) {
    ParsedCommand parsed;
    parsed.kind = ParsedCommand::Kind::Usage;
    parsed.error = std::move(error);
    return parsed;
}

CLI::App makeApp() {
    return CLI::App("Author Video CDs of photo slideshows.", "tellavine-cli");
}

// Removes "--language X" or "--language=X" wherever it stands: it belongs to no command.
// False when the option has no value.
bool takeLanguageOption(std::vector<std::string>& arguments, std::string& language) {
    for (auto at = arguments.begin(); at != arguments.end();) {
        if (*at == "--") break;
        if (*at == "--language") {
            if (at + 1 == arguments.end()) return false;
            language = *(at + 1);
            at = arguments.erase(at, at + 2);
        } else if (at->rfind("--language=", 0) == 0) {
            language = at->substr(std::string("--language=").size());
            at = arguments.erase(at);
        } else {
            ++at;
        }
    }
    return true;
}

ParsedCommand parseCommandWords(const std::vector<std::string>& arguments);

}  // namespace

std::string usageText() {
    ParsedCommand parsed;
    CLI::App app = makeApp();
    defineCommands(app, parsed);
    return app.help();
}

ParsedCommand parseCommandLine(const std::vector<std::string>& givenArguments) {
    std::vector<std::string> arguments = givenArguments;
    std::string language;
    if (!takeLanguageOption(arguments, language)) return usage("--language needs a value");
    ParsedCommand parsed = parseCommandWords(arguments);
    parsed.language = language;
    return parsed;
}

namespace {

ParsedCommand parseCommandWords(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return usage("no command given");
    const std::string& first = arguments[0];
    if (first == "help") return parseCommandLine({"--help"});
    if (first == "--version" || first == "version") {
        ParsedCommand parsed;
        parsed.kind = ParsedCommand::Kind::Version;
        return parsed;
    }
    const auto kind = commandKinds().find(first);
    if (kind == commandKinds().end() && first != "--help" && first != "-h") {
        return usage("unknown command '" + first + "'");
    }

    ParsedCommand parsed;
    CLI::App app = makeApp();
    defineCommands(app, parsed);
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());  // CLI11 takes them last first
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        parsed.kind = ParsedCommand::Kind::Help;
        parsed.helpText = app.help();
        return parsed;
    } catch (const CLI::ParseError& error) {
        ParsedCommand failed = usage(first + ": " + error.what());
        failed.command = first;
        return failed;
    }
    parsed.kind = kind->second;
    return parsed;
}

}  // namespace

}  // namespace tellavine::cli
