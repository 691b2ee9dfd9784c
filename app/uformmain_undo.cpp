// "撤销" and Ctrl+Z: the newest undo entry is reverted and the scene redrawn
// from every record's cache.
#include <QListWidget>

#include "app/uformmain.h"
#include "document/scheme_session.h"

namespace v2d {

void TFormMain::SpeedButtonUndoClick() {
    const UndoOutcome outcome = UndoAndRedraw(renderer_, undoList_, ProgressCallback());
    if (!outcome.undone) return;
    ShowRenderedScene();
    if (outcome.listChanged) {
        RefreshRegionList();
        ListBoxPolyClick();
        return;
    }
    V2dPolygon* current = scene_.CurPoly;
    if (!outcome.redrawSelection || current == nullptr || outcome.target == nullptr) return;
    if (current != outcome.target && current->group != outcome.target) return;
    // The moved model's selection where it stands now: a part shows the
    // frame of the whole model, anything else its outline and handles.
    if (current->group == nullptr) DrawOutline(current);
    PlaceModelHandles(-2);
}

}  // namespace v2d
