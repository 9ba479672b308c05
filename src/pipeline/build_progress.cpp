#include "pipeline/build_progress.h"

#include "platform/numbered_messages.h"
#include "platform/text.h"

namespace tellavine {

BuildProgress::BuildProgress(const BuildJob& job, bool simulate) : job_(job), simulate_(simulate) {}

void BuildProgress::waiting(const char* status) {
    if (status) view_.status = status;
    view_.position = 0;
    view_.barText = "Please Wait...";
}

void BuildProgress::finish(const std::string& status, bool succeeded, bool closeLabel) {
    view_.status = status;
    view_.barVisible = false;
    view_.done = true;
    view_.succeeded = succeeded;
    view_.closeLabel = closeLabel;
}

bool BuildProgress::handle(const Message& message) {
    const MessageParam wParam = message.wParam;
    const MessageParam lParam = message.lParam;
    switch (message.id) {
        case WM_MENU_ENCODE_BEGIN:
            waiting("Encoding disc menu....");
            return true;
        case WM_MENU_ENCODE_END:
            view_.status = "Encoding disc menu end.";
            return true;
        case WM_SLIDE_PROGRESS: {
            const long long done = wParam;
            const long long total = lParam > 0 ? lParam : 100;
            const long long permille = (done * 1000 + 1000) / total;
            view_.status = "Encoding album photos...";
            view_.barText = formatText("%2lld.%lld%%", permille / 10, permille % 10);
            view_.position = static_cast<int>((done * 100 + 100) / total);
            return true;
        }
        case WM_BURN_PREPARE:
            waiting("Initalizing cd recorder...");
            return true;
        case WM_BURN_START:
            waiting("Writing lead in...");
            return true;
        case WM_BURN_PROGRESS: {
            const long long total = lParam != 0 ? lParam : 100;
            const long long permille = (static_cast<long long>(wParam) * 1000 + 1000) / total;
            view_.status = "Writing CD...";
            view_.barText = formatText("%lld.%lld%%", permille / 10, permille % 10);
            view_.position = static_cast<int>(permille / 10);
            return true;
        }
        case WM_BURN_FINISHING:
            waiting("Writing lead out...");
            return true;
        case WM_BURN_DONE:
            finish(simulate_ ? "The simulation is successfully finished, please click the <Burn Now> button to "
                               "write the albums to the disc."
                             : "Congratulations! Your photo album CD has been made. You may play it on TV with "
                               "DVD/VCD player.",
                   true, true);
            return true;
        case WM_BURN_ERROR:
            finish("The burning process failed. Error message :\n" + message.text, false, false);
            return true;
        case WM_RECORDER_WAIT:
            view_.position = 0;
            view_.barText = "Please waiting...";
            return true;
        case WM_FLUSH_CACHE:
            waiting("Flush cache...");
            return true;
        case WM_IMAGE_SECTOR: {
            const long long sectors = job_.imageSectors.load();
            const long long permille = sectors > 0 ? imageMessages_ * 1000 / sectors : 0;
            ++imageMessages_;
            view_.status = "Writing data to disc image file...";
            view_.position = static_cast<int>(permille / 10);
            view_.barText = formatText("%lld.%lld%%", permille / 10, permille % 10);
            return true;
        }
        case WM_IMAGE_DONE:
            finish("Disc image file was successfully written to:\n\n" + job_.cuePath, true, true);
            return true;
        case WM_BUILD_FAILED:
            finish("An error occurred while processing.", false, true);
            return true;
        default:
            return false;
    }
}

}  // namespace tellavine
