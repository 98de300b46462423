#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace korvane::testing {

MsgResult ScriptedUi::message(const MessageRequest& request) {
    RecordedCall call;
    call.kind = "message";
    call.message = request;
    calls.push_back(call);
    if (!messageAnswers.empty()) {
        MsgResult answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    // A notice with only Ok has nothing to choose; anything else unanswered means the test took a path
    // its author did not script, and guessing an answer would hide that.
    if (request.buttons != MsgButtons::Ok) {
        ADD_FAILURE() << "unscripted question: \"" << request.prompt << "\" (title \"" << request.title
                      << "\")";
    }
    return request.buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
}

std::optional<std::string> ScriptedUi::input(const InputRequest& request) {
    RecordedCall call;
    call.kind = "input";
    call.input = request;
    calls.push_back(call);
    if (inputAnswers.empty()) {
        ADD_FAILURE() << "unscripted input box: \"" << request.prompt << "\" (title \"" << request.title
                      << "\")";
        return std::nullopt;
    }
    auto answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

std::optional<FileDialogResult> ScriptedUi::openFile(const FileDialogRequest& request) {
    RecordedCall call;
    call.kind = "open";
    call.fileDialog = request;
    calls.push_back(call);
    if (fileAnswers.empty()) {
        ADD_FAILURE() << "unscripted open dialog: \"" << request.title << "\"";
        return std::nullopt;
    }
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<FileDialogResult> ScriptedUi::saveFile(const FileDialogRequest& request) {
    RecordedCall call;
    call.kind = "save";
    call.fileDialog = request;
    calls.push_back(call);
    if (fileAnswers.empty()) {
        ADD_FAILURE() << "unscripted save dialog: \"" << request.title << "\"";
        return std::nullopt;
    }
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

void ScriptedUi::beep() {
    RecordedCall call;
    call.kind = "beep";
    calls.push_back(call);
}

void ScriptedUi::setBusy(bool busy) {
    RecordedCall call;
    call.kind = "busy";
    call.busy = busy;
    calls.push_back(call);
    busyDepth_ += busy ? 1 : -1;
    EXPECT_GE(busyDepth_, 0) << "busy pointer restored more often than it was shown";
}

bool ScriptedUi::copyImageToClipboard(const ImageView& image) {
    RecordedCall call;
    call.kind = "clipboard";
    call.imageWidth = image.width;
    call.imageHeight = image.height;
    calls.push_back(call);
    return clipboardSucceeds;
}

bool ScriptedUi::openUrl(const std::string& url) {
    RecordedCall call;
    call.kind = "url";
    call.url = url;
    calls.push_back(call);
    return browserStarts;
}

void ScriptedUi::processEvents() {
    RecordedCall call;
    call.kind = "events";
    calls.push_back(call);
    if (duringEvents) {
        duringEvents();
    }
}

std::vector<MessageRequest> ScriptedUi::messages() const {
    std::vector<MessageRequest> result;
    for (const auto& call : calls) {
        if (call.kind == "message") {
            result.push_back(call.message);
        }
    }
    return result;
}

std::vector<FileDialogRequest> ScriptedUi::fileDialogs() const {
    std::vector<FileDialogRequest> result;
    for (const auto& call : calls) {
        if (call.kind == "open" || call.kind == "save") {
            result.push_back(call.fileDialog);
        }
    }
    return result;
}

int ScriptedUi::count(const std::string& kind) const {
    int n = 0;
    for (const auto& call : calls) {
        n += call.kind == kind ? 1 : 0;
    }
    return n;
}

}  // namespace korvane::testing
