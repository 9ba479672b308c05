#include "ui/pages/progress_messages.h"

#include "platform/text.h"

#include <memory>

namespace tellavine::ui {
namespace {

constexpr const char* kPleaseWait = "Please Wait...";

void waiting(ProgressView& view, const char* status) {
    if (status) view.status = status;
    view.position = 0;
    view.barText = kPleaseWait;
}

void finished(ProgressView& view, std::string status, bool closeLabel) {
    view.status = std::move(status);
    view.barVisible = false;
    view.done = true;
    if (closeLabel) view.buttonText = "&Close";
}

// Per mille as "12.3%".
std::string perMilleText(long long perMille, const char* format) {
    return formatText(format, static_cast<int>(perMille / 10), static_cast<int>(perMille % 10));
}

}  // namespace

bool takeProgressMessageText(unsigned message, MessageParam wParam, std::string& text) {
    if (message != WM_BURN_ERROR) return false;
    std::unique_ptr<char[]> buffer(reinterpret_cast<char*>(wParam));
    text = buffer ? std::string(buffer.get()) : std::string();
    return true;
}

bool applyProgressMessage(ProgressView& view, unsigned message, MessageParam wParam, MessageParam lParam,
                          const std::string& text, const ProgressContext& context) {
    switch (message) {
    case WM_MENU_ENCODE_BEGIN:
        waiting(view, "Encoding disc menu....");
        return true;
    case WM_MENU_ENCODE_END:
        view.status = "Encoding disc menu end.";
        return true;
    case WM_SLIDE_PROGRESS: {
        const long long i = wParam;
        const long long n = lParam > 0 ? lParam : 100;
        const long long perMille = (i * 1000 + 1000) / n;
        view.status = "Encoding album photos...";
        view.barText = perMilleText(perMille, "%2d.%d%%");
        view.position = static_cast<int>((i * 100 + 100) / n);
        return true;
    }
    case WM_BURN_PREPARE:
        waiting(view, "Initalizing cd recorder...");
        return true;
    case WM_BURN_START:
        waiting(view, "Writing lead in...");
        return true;
    case WM_BURN_PROGRESS: {
        const long long total = lParam != 0 ? lParam : 100;
        const long long perMille = (static_cast<long long>(wParam) * 1000 + 1000) / total;
        view.status = "Writing CD...";
        view.barText = perMilleText(perMille, "%d.%d%%");
        view.position = static_cast<int>(perMille / 10);
        return true;
    }
    case WM_BURN_FINISHING:
        waiting(view, "Writing lead out...");
        return true;
    case WM_BURN_DONE:
        finished(view,
                 context.simulate
                     ? "The simulation is successfully finished, please click the <Burn Now> button to write the "
                       "albums to the disc."
                     : "Congratulations! Your photo album CD has been made. You may play it on TV with DVD/VCD "
                       "player.",
                 true);
        return true;
    case WM_BURN_ERROR:
        finished(view, "The burning process failed. Error message :\n" + text, false);
        return true;
    case WM_RECORDER_WAIT:
        view.position = 0;
        view.barText = "Please waiting...";
        return true;
    case WM_FLUSH_CACHE:
        waiting(view, "Flush cache...");
        return true;
    case WM_IMAGE_BEGIN:
        view.imageSectorCount = 0;
        return true;
    case WM_IMAGE_SECTOR: {
        const long long perMille =
            context.imageSectors > 0 ? static_cast<long long>(view.imageSectorCount) * 1000 / context.imageSectors : 0;
        ++view.imageSectorCount;
        view.status = "Writing data to disc image file...";
        view.position = static_cast<int>(perMille / 10);
        view.barText = perMilleText(perMille, "%d.%d%%");
        return true;
    }
    case WM_IMAGE_DONE:
        finished(view, "Disc image file was successfully written to:\n\n" + context.cuePath, true);
        return true;
    case WM_BUILD_FAILED:
        finished(view, "An error occurred while processing.", true);
        return true;
    default:
        return false;
    }
}

}  // namespace tellavine::ui
