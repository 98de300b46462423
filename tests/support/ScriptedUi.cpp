#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace korvane::testing {
namespace {

RecordedCall& record(std::vector<RecordedCall>& calls, const char* kind) {
    calls.emplace_back().kind = kind;
    return calls.back();
}

// Nothing queued means the test took a path its author did not script; guessing an answer would hide that.
template <typename T>
T next(std::deque<T>& answers, const std::string& call, T cancel = T{}) {
    if (answers.empty()) {
        ADD_FAILURE() << "unscripted " << call;
        return cancel;
    }
    T answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace

MsgResult ScriptedUi::message(const MessageRequest& request) {
    record(calls, "message").message = request;
    messages_.push_back(request);
    if (request.buttons == MsgButtons::Ok && messageAnswers.empty()) {
        return MsgResult::Ok;  // a notice has nothing to choose
    }
    return next(messageAnswers, "question: \"" + request.prompt + "\" (title \"" + request.title + "\")",
                MsgResult::Cancel);
}

std::optional<std::string> ScriptedUi::input(const InputRequest& request) {
    record(calls, "input").input = request;
    return next(inputAnswers, "input box: \"" + request.prompt + "\" (title \"" + request.title + "\")");
}

std::optional<FileDialogResult> ScriptedUi::openFile(const FileDialogRequest& request) {
    record(calls, "open").fileDialog = request;
    fileDialogs_.push_back(request);
    return next(fileAnswers, "open dialog: \"" + request.title + "\"");
}

std::optional<FileDialogResult> ScriptedUi::saveFile(const FileDialogRequest& request) {
    record(calls, "save").fileDialog = request;
    fileDialogs_.push_back(request);
    return next(fileAnswers, "save dialog: \"" + request.title + "\"");
}

void ScriptedUi::beep() {
    record(calls, "beep");
}

void ScriptedUi::setBusy(bool busy) {
    record(calls, "busy");
    busyDepth_ += busy ? 1 : -1;
    EXPECT_GE(busyDepth_, 0) << "busy pointer restored more often than it was shown";
}

bool ScriptedUi::copyImageToClipboard(const ImageView&) {
    record(calls, "clipboard");
    return true;
}

bool ScriptedUi::openUrl(const std::string& url) {
    record(calls, "url").url = url;
    return browserStarts;
}

void ScriptedUi::processEvents() {
    record(calls, "events");
    if (duringEvents) {
        duringEvents();
    }
}

int ScriptedUi::count(const std::string& kind) const {
    return int(
        std::count_if(calls.begin(), calls.end(), [&](const RecordedCall& c) { return c.kind == kind; }));
}

}  // namespace korvane::testing
