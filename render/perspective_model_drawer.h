#pragma once
// The drawing of placed models: a picture model toned by its own source
// picture, warped onto its four corners, scaled, mixed with the scene by its
// reflection and filled through its outline; a cut-out model drawn with its
// alpha at its scale and brightness.
#include "render/cast_shadow.h"
#include "render/model_drawer.h"

namespace v2d {

class PerspectiveModelDrawer final : public ModelDrawer {
public:
    void RenderModel(const V2dPolygon& model, QImage& displayed, const DrawContext& context) override;
    void QuickDrawModel(const V2dPolygon& model, QImage& displayed, const DrawContext& context) override;
    QImage PartsPicture(const V2dPolygon& owner, const DrawContext& context,
                        const LaidPart& laid = {}) const override;
    QRect DrawnArea(const V2dPolygon& model, const DrawContext& context) override;

private:
    // A model's drop shadow goes under it before it is drawn.
    void CastShadowOf(const V2dPolygon& model, QImage& displayed, const DrawContext& context);
    ModelShadows shadows_;
};

// The picture of DrawPictureModel before compositing: toned, warped onto
// the corners when they differ from the outline's box, then scaled.
QImage PictureModelImage(const V2dPolygon& model, const ImageOperations& ops);

// Draws a cut-out model at its origin and scale; brightness within ±400
// multiplies red, green and blue by 1 + lighten / 100 (kept within 0..2).
void DrawCutoutModel(const V2dPolygon& model, QImage& displayed, const QRect& clip = {});

// Draws each part's picture, clipped to the part's outline, onto the
// canvas whose top-left pixel is `canvasOrigin` in picture coordinates.
void DrawPartPictures(QImage& canvas, QPoint canvasOrigin, const std::vector<const V2dPolygon*>& parts,
                      Picture V2dPolygon::*picture);

}  // namespace v2d
