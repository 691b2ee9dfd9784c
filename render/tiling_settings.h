#pragma once
// What the product panel and the effect window hold when a product is laid:
// plain values, read by the tiling operations.
#include <QImage>

#include <cstdint>
#include <string>

#include "layout/laying_pattern.h"
#include "library/product.h"
#include "render/picture_ops.h"

namespace v2d {

struct ProductPanelState {
    QImage picture;           // ImageParts: the map that is tiled
    Product product;          // the current product, its descriptor stored into what it lays
    bool isModelProduct = false;  // DragKind 1: a model is in the panel
    int widthMm = 600;        // EditPartsWidth
    int heightMm = 600;       // EditPartsHeight
    int lighten = 0;          // TrackBarLight
    int reflect = 0;          // TrackBarReflect
    bool fit = false;         // CheckBoxFit "整铺"
    bool rotate = false;      // CheckBoxRot "转90度"
    bool mirror = false;      // CheckBoxMirror "镜像"
    uint32_t colour = kFuchsia;  // ShapeColor, 0x00BBGGRR
    bool ambientColour = false;  // RadioButtonBack "环境色" (else "前景色")
    bool mixWithPhoto = true;    // CheckBoxMix "叠加底图"
    PatternSettings pattern;     // "铺贴方式", "缝宽(mm)", "缝色", "随机旋转", "起铺点"
};

// RadioGroupBump's item; the numbers are the group's item indices.
enum class ReliefChoice : int { NotChosen = -1, Flat = 0, Raised = 1, Sunken = 2 };

// The effect window's controls; they count only while it is shown.
struct EffectSettings {
    bool shown = false;
    int offsetX = 0;   // -100..100, per cent of a tile
    int offsetY = 0;
    ReliefChoice bump = ReliefChoice::NotChosen;
    int strength = 150;  // 100..300
};

// Everything a laying depends on besides the region itself: the product as
// the panel holds it and the effect window's settings. Laying the same
// settings into the same region gives the same picture.
struct LayingSettings {
    ProductPanelState panel;
    EffectSettings effect;
};


}  // namespace v2d
