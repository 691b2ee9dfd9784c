#pragma once
// The main window's keys in one table: the actions take their shortcuts
// from it, the key filter matches the keys it handles itself against it,
// and "使用说明" (F1) lists it, so the help never misses a key.
#include <QKeySequence>
#include <QList>
#include <QString>

namespace v2d {

enum class MainKey {
    OpenScheme,
    SaveScheme,
    SaveSchemeAs,
    SavePicture,
    Undo,
    Redo,
    DeleteModel,
    NextRotationFrame,
    NudgeModel,
    ZoomIn,
    ZoomOut,
    ZoomToFit,
    ZoomWithWheel,
    BeforeAfter,
    Help,
};

struct KeyEntry {
    MainKey command;
    const char* keys;     // key sequences in portable text, "; " between them; empty for a mouse gesture
    const char* shownAs;  // what the list shows instead of the sequences (context "Keys"); null: the sequences
    const char* what;     // what the key does (context "Keys")
};

// In the order the help lists them.
const QList<KeyEntry>& MainKeyTable();

// The key sequences of a command, for QAction::setShortcuts.
QList<QKeySequence> KeysOf(MainKey command);

// True when the pressed key with its modifiers is one of the command's sequences.
bool IsKeyOf(MainKey command, int key, Qt::KeyboardModifiers modifiers);

// The text of "使用说明": how to work, then every key with what it does.
QString MainWindowHelpText();

}  // namespace v2d
