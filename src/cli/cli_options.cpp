#include "cli/cli_options.h"

#include <algorithm>
#include <charconv>

namespace tellavine::cli {
namespace {

std::optional<int> parseInt(const std::string& text) {
    int value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

ParsedCommand usage(std::string error) {
    ParsedCommand parsed;
    parsed.kind = ParsedCommand::Kind::Usage;
    parsed.error = std::move(error);
    return parsed;
}

ParsedCommand parseBuild(const std::vector<std::string>& args, bool burn) {
    ParsedCommand parsed;
    parsed.kind = burn ? ParsedCommand::Kind::Burn : ParsedCommand::Kind::Build;
    BuildCommand& build = parsed.build;
    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string text;
        if (!burn && (arg == "-o" || arg == "--output")) {
            if (!value(build.cuePath)) return usage(arg + " needs a file name");
        } else if (burn && (arg == "-d" || arg == "--device")) {
            if (!value(build.device)) return usage(arg + " needs a device");
        } else if (burn && arg == "--speed") {
            // The index into the recorder's speed list, as the burn page offers it.
            if (!value(text)) return usage("--speed needs an index 0..6");
            const auto index = text == "max" ? std::optional<int>(6) : parseInt(text);
            if (!index || *index < 0 || *index > 6) return usage("--speed takes an index 0..6 (or max), not '" + text + "'");
            build.speedIndex = *index;
        } else if (burn && arg == "--simulate") {
            build.simulate = true;
        } else if (burn && arg == "--burn-proof") {
            build.burnProof = true;
        } else if (burn && (arg == "--mode" || arg == "--writing-mode")) {
            if (!value(text)) return usage("--mode needs auto, mmc or raw");
            if (text == "auto") build.writingMode = 0;
            else if (text == "mmc") build.writingMode = 1;
            else if (text == "raw") build.writingMode = 2;
            else return usage("--mode takes auto, mmc or raw, not '" + text + "'");
        } else if (arg == "--pal") {
            build.pal = true;
        } else if (arg == "--ntsc") {
            build.pal = false;
        } else if (arg == "--aspect") {
            if (!value(text)) return usage("--aspect needs none, 4:3 or 16:9");
            if (text == "none") build.aspect = 0;
            else if (text == "4:3") build.aspect = 1;
            else if (text == "16:9") build.aspect = 2;
            else return usage("--aspect takes none, 4:3 or 16:9, not '" + text + "'");
        } else if (arg == "--crop") {
            if (!value(text)) return usage("--crop needs a percentage");
            build.crop = parseInt(text);
            if (!build.crop || *build.crop < 0 || *build.crop > 20) return usage("--crop takes 0 to 20, not '" + text + "'");
        } else if (arg == "--label") {
            std::string label;
            if (!value(label)) return usage("--label needs a text");
            build.label = label;
        } else if (arg == "--no-photo-files") {
            build.noPhotoFiles = true;
        } else if (arg == "--no-audio-files") {
            build.noAudioFiles = true;
        } else if (arg == "--template") {
            std::string path;
            if (!value(path)) return usage("--template needs a template file");
            build.templatePath = path;
        } else if (arg == "--temp") {
            std::string path;
            if (!value(path)) return usage("--temp needs a folder");
            build.tempDir = path;
        } else if (arg == "--yes" || arg == "-y") {
            build.yes = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return usage("unknown option '" + arg + "' for " + (burn ? "burn" : "build"));
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 1) return usage(std::string(burn ? "burn" : "build") + " takes one project file");
    build.projectPath = positional[0];
    if (!burn && build.cuePath.empty()) return usage("build needs -o DISC.cue");
    return parsed;
}

ParsedCommand parseDeviceCommand(const std::vector<std::string>& args, ParsedCommand::Kind kind) {
    ParsedCommand parsed;
    parsed.kind = kind;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "-d" || args[i] == "--device") {
            if (i + 1 >= args.size()) return usage(args[i] + " needs a device");
            parsed.device.device = args[++i];
        } else if (kind == ParsedCommand::Kind::Erase && args[i] == "--full") {
            parsed.device.fullErase = true;
        } else if (kind == ParsedCommand::Kind::Erase && (args[i] == "--yes" || args[i] == "-y")) {
            parsed.device.yes = true;
        } else {
            return usage("unknown argument '" + args[i] + "' for " + args[0]);
        }
    }
    return parsed;
}

ParsedCommand parseInspect(const std::vector<std::string>& args) {
    ParsedCommand parsed;
    parsed.kind = ParsedCommand::Kind::Inspect;
    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--json") parsed.inspect.json = true;
        else if (args[i] == "--extract") {
            if (i + 1 >= args.size()) return usage("--extract needs a folder");
            parsed.inspect.extractDir = args[++i];
        }
        else if (!args[i].empty() && args[i][0] == '-') return usage("unknown option '" + args[i] + "' for inspect");
        else positional.push_back(args[i]);
    }
    if (positional.size() != 1) return usage("inspect takes one CUE file");
    parsed.inspect.cuePath = positional[0];
    return parsed;
}

}  // namespace

std::string usageText() {
    return "Usage: tellavine-cli COMMAND [OPTIONS]\n"
           "\n"
           "Author Video CDs of photo slideshows.\n"
           "\n"
           "Commands:\n"
           "  build PROJECT.ovp -o DISC.cue   author a CUE/BIN Video CD image of a project\n"
           "      --pal | --ntsc              television standard\n"
           "      --aspect none|4:3|16:9      aspect ratio correction\n"
           "      --crop 0..20                TV cropping in per cent\n"
           "      --label TEXT                volume label\n"
           "      --no-photo-files            leave the original photos off the disc\n"
           "      --no-audio-files            leave the original music files off the disc\n"
           "      --template FILE.ini         disc menu template (relative to the program's data)\n"
           "      --temp DIR                  temporary folder\n"
           "      --yes                       overwrite an existing image without asking\n"
           "  burn PROJECT.ovp [-d DEVICE]    burn the project's Video CD on a CD-R/RW (options as for build)\n"
           "      --speed 0..6                recording speed: 0 1x, 1 2x, 2 4x, 3 8x, 4 12x, 5 24x, 6 max\n"
           "      --simulate                  test run: nothing is written, the disc stays blank\n"
           "      --burn-proof                buffer under-run protection\n"
           "      --mode auto|mmc|raw         how the recorder is driven (default: config.ini)\n"
           "      --yes                       erase a written CD-RW without asking\n"
           "  devices                         list the CD recorders of this machine\n"
           "  erase [-d DEVICE] [--full] [--yes]  erase a CD-RW (quick unless --full)\n"
           "  eject [-d DEVICE]               open the recorder's tray\n"
           "  close-tray [-d DEVICE]          close the recorder's tray\n"
           "  inspect DISC.cue [--json]       list the tracks, files and menus of a Video CD image\n"
           "      --extract DIR               also copy every file and the MPEG tracks into DIR\n"
           "\n"
           "DEVICE is a CD device such as /dev/sr0, or emulated:FILE for the emulated recorder,\n"
           "which burns into FILE (add ?medium=cdrw for a rewritable disc).\n"
           "Options not given are taken from config.ini, as the desktop program would.\n"
           "  --help, -h      show this text\n"
           "  --version       show the version\n";
}

ParsedCommand parseCommandLine(const std::vector<std::string>& args) {
    if (args.empty()) return usage("no command given");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        ParsedCommand parsed;
        parsed.kind = ParsedCommand::Kind::Help;
        return parsed;
    }
    if (command == "--version" || command == "version") {
        ParsedCommand parsed;
        parsed.kind = ParsedCommand::Kind::Version;
        return parsed;
    }
    for (const auto& arg : args) {
        if (arg == "--help" || arg == "-h") {
            ParsedCommand parsed;
            parsed.kind = ParsedCommand::Kind::Help;
            parsed.helpTopic = command;
            return parsed;
        }
    }
    if (command == "build") return parseBuild(args, false);
    if (command == "burn") return parseBuild(args, true);
    if (command == "devices") return parseDeviceCommand(args, ParsedCommand::Kind::Devices);
    if (command == "erase") return parseDeviceCommand(args, ParsedCommand::Kind::Erase);
    if (command == "eject") return parseDeviceCommand(args, ParsedCommand::Kind::Eject);
    if (command == "close-tray") return parseDeviceCommand(args, ParsedCommand::Kind::CloseTray);
    if (command == "inspect") return parseInspect(args);
    return usage("unknown command '" + command + "'");
}

}  // namespace tellavine::cli
