#pragma once
// "历史记录": the document's steps as a list; a click on a step takes the
// scene back (or forward) to just after it, the top entry to the scene as
// it was opened.
#include <QWidget>

class QUndoStack;

namespace v2d {

class HistoryPanel : public QWidget {
public:
    HistoryPanel(QUndoStack& history, QWidget* parent);
};

}  // namespace v2d
