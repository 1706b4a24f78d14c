// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialog_test_support.h"

#include "net_test_support.h"

namespace brisklo::test {
using namespace std::chrono_literals;

dialogs::DialogEnvironment DesktopRecorder::Environment() {
    dialogs::DialogEnvironment environment;
    environment.boxes.ask = [this](QWidget* owner, const QString& text) {
        boxes.push_back({true, text, owner, owner && owner->isVisible()});
        return answer;
    };
    environment.boxes.tell = [this](QWidget* owner, const QString& text) {
        boxes.push_back({false, text, owner, owner && owner->isVisible()});
    };
    environment.openUrl = [this](const QUrl& url) {
        opened.push_back(url);
        return openSucceeds;
    };
    environment.exitProgram = [this](int code) { exitCodes.push_back(code); };
    environment.http.caFile = TestPki::Get().caFile();
    environment.http.connectTimeout = 2s;
    environment.http.timeout = 3s;
    environment.downloadFolder = downloadFolder();
    return environment;
}

}  // namespace brisklo::test
