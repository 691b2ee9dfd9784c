#pragma once
// The screenshot drivers' prompts: messages go to the terminal instead of a
// box, questions get one fixed answer, and dialogs are cancelled.
#include <cstdio>

#include "widgets/user_prompts.h"

namespace v2d::test {

class PrintedPrompts final : public UserPrompts {
public:
    explicit PrintedPrompts(PromptAnswer questions = PromptAnswer::Ok) : questions_(questions) {}
    PromptAnswer Message(QWidget*, const QString& text, PromptButtons buttons, PromptIcon) override {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : questions_;
    }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString OpenFileName(QWidget*, const QString&, const QString&) override { return {}; }

private:
    PromptAnswer questions_;
};

}  // namespace v2d::test
