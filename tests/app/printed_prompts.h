#pragma once
// The screenshot drivers' prompts: messages go to the terminal instead of a
// box, and dialogs are cancelled.
#include <cstdio>

#include "app/user_prompts.h"

namespace v2d::test {

class PrintedPrompts final : public UserPrompts {
public:
    PromptAnswer Message(QWidget*, const QString& text, PromptButtons, PromptIcon) override {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
        return PromptAnswer::Ok;
    }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString OpenFileName(QWidget*, const QString&, const QString&) override { return {}; }
};

}  // namespace v2d::test
