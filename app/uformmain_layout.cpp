// The main window's components and their arrangement.
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/page_browser.h"
#include "app/picture_layer.h"
#include "app/uformmain.h"

namespace v2d {

namespace {

QToolButton* MakeButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    return button;
}

template <class T>
T* Named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

// The picture the product panel shows before any product is chosen: a woven
// sample that matches the built-in sample product ("布艺").
QImage DesignTimeProductPicture() {
    QImage image(128, 128, QImage::Format_RGB32);
    image.fill(QColor(0xd9, 0xc7, 0xa8));
    QPainter p(&image);
    for (int i = 0; i < 128; i += 8) {
        p.fillRect(i, 0, 4, 128, QColor(0xc4, 0xae, 0x8a));
        p.fillRect(0, i, 128, 3, QColor(0xb8, 0x9f, 0x78, 160));
    }
    return image;
}

// The scene picture before any scheme is opened.
QImage DesignTimeScenePicture() {
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(QColor(0xee, 0xee, 0xee));
    QPainter p(&image);
    p.setPen(QColor(0x99, 0x99, 0x99));
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(24);
    p.setFont(font);
    p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Vexel2D\n请打开方案或选择样板房"));
    return image;
}

}  // namespace

void TFormMain::BuildToolBar() {
    auto* bar = Named(new QToolBar(this), QStringLiteral("ToolBarMain"));
    bar->setMovable(false);
    bar->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, bar);
    auto add = [&](const char* name, const QString& caption) {
        QToolButton* button = MakeButton(QString::fromLatin1(name), caption, bar);
        bar->addWidget(button);
        return button;
    };
    add("SpeedButtonLocalTemp", QStringLiteral("本地模板"));
    add("SpeedButtonWebTemp", QStringLiteral("在线模板"));
    SpeedButtonOpenFile = add("SpeedButtonOpenFile", QStringLiteral("打开方案"));
    SpeedButtonSaveFile = add("SpeedButtonSaveFile", QStringLiteral("保存方案"));
    bar->addSeparator();
    add("SpeedButtonSelParts", QStringLiteral("选择材料"));
    add("SpeedButtonAdd", QStringLiteral("材料编辑"));
    SpeedButtonEffect = add("SpeedButtonEffect", QStringLiteral("特效"));
    add("SpeedButtonShadow", QStringLiteral("阴影"));
    bar->addSeparator();
    add("SpeedButtonSaveImage", QStringLiteral("保存效果图"));
    add("SpeedButtonReport", QStringLiteral("产品报表"));
    bar->addSeparator();
    QToolButton* undo = add("ToolButtonUndo", QStringLiteral("撤销"));
    add("ToolButtonExit", QStringLiteral("退出软件"));

    connect(SpeedButtonOpenFile, &QToolButton::clicked, this, [this] { SpeedButtonOpenFileClick(); });
    connect(SpeedButtonSaveFile, &QToolButton::clicked, this, [this] { SpeedButtonSaveFileClick(); });
    connect(undo, &QToolButton::clicked, this, [this] { if (hooks.undo) hooks.undo(); });
    connect(bar->findChild<QToolButton*>("ToolButtonExit"), &QToolButton::clicked, this, [this] { N2Click(); });
    SpeedButtonEffect->setEnabled(false);
}

QWidget* TFormMain::BuildPictureArea() {
    auto* area = Named(new QWidget(this), QStringLiteral("PanelView"));
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);

    PanelBack = Named(new QWidget(area), QStringLiteral("PanelBack"));
    PanelBack->setAutoFillBackground(true);
    QPalette back = PanelBack->palette();
    back.setColor(QPalette::Window, QColor(0x5a, 0x5f, 0x66));
    PanelBack->setPalette(back);
    PanelBack->setMinimumSize(200, 150);
    PanelBack->installEventFilter(this);

    PanelImage = Named(new QWidget(PanelBack), QStringLiteral("PanelImage"));
    PanelImage->setAttribute(Qt::WA_OpaquePaintEvent);
    Image2 = new PictureLayer(QStringLiteral("Image2"), PictureLayer::Keying::Opaque, PanelImage);
    Image3 = new PictureLayer(QStringLiteral("Image3"), PictureLayer::Keying::WhiteIsTransparent, PanelImage);
    Image3->setAttribute(Qt::WA_TransparentForMouseEvents);
    Image1 = new PictureLayer(QStringLiteral("Image1"), PictureLayer::Keying::WhiteIsTransparent, PanelImage);
    Image1->setMouseTracking(true);
    connect(Image1, &PictureLayer::mouseDown, this, &TFormMain::Image1MouseDown);
    connect(Image1, &PictureLayer::mouseMoved, this, &TFormMain::Image1MouseMove);
    connect(Image1, &PictureLayer::mouseUp, this, &TFormMain::Image1MouseUp);

    PanelHelp = Named(new QFrame(PanelBack), QStringLiteral("PanelHelp"));
    PanelHelp->setAutoFillBackground(true);
    QPalette white = PanelHelp->palette();
    white.setColor(QPalette::Window, Qt::white);
    PanelHelp->setPalette(white);
    auto* helpLayout = new QHBoxLayout(PanelHelp);
    helpLayout->setContentsMargins(6, 3, 6, 3);
    LabelHelp = Named(new QLabel(PanelHelp), QStringLiteral("LabelHelp"));
    helpLayout->addWidget(LabelHelp);
    PanelHelp->move(4, 4);

    ScrollBarX = Named(new QScrollBar(Qt::Horizontal, area), QStringLiteral("ScrollBarX"));
    ScrollBarY = Named(new QScrollBar(Qt::Vertical, area), QStringLiteral("ScrollBarY"));
    connect(ScrollBarX, &QScrollBar::valueChanged, this, &TFormMain::ScrollBarXScroll);
    connect(ScrollBarY, &QScrollBar::valueChanged, this, &TFormMain::ScrollBarYScroll);

    grid->addWidget(PanelBack, 0, 0);
    grid->addWidget(ScrollBarY, 0, 1);
    grid->addWidget(ScrollBarX, 1, 0);
    return area;
}

void TFormMain::BuildHandles() {
    static const char* const kNames[9] = {"node1", "node2", "node3", "node4", "node5",
                                          "node6", "node7", "node8", "NodeMove"};
    static const char* const kCaptions[9] = {"1", "2", "3", "4", "5", "6", "7", "8", "m"};
    static const Qt::CursorShape kCursors[9] = {
        Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeVerCursor,   Qt::SizeHorCursor,   Qt::SizeHorCursor,   Qt::SizeAllCursor};
    for (size_t i = 0; i < handles.size(); ++i) {
        auto* handle = Named(new QLabel(QString::fromLatin1(kCaptions[i]), PanelBack), QString::fromLatin1(kNames[i]));
        handle->setFrameShape(QFrame::Box);
        handle->setAlignment(Qt::AlignCenter);
        handle->setAutoFillBackground(true);
        QFont tiny = handle->font();
        tiny.setPixelSize(8);
        handle->setFont(tiny);
        handle->setFixedSize(10, 10);
        handle->setCursor(kCursors[i]);
        handle->hide();
        handles[i] = handle;
    }
}

QWidget* TFormMain::BuildProductPanel() {
    auto* panel = Named(new QGroupBox(QStringLiteral("当前产品"), this), QStringLiteral("PanelParts"));
    auto* column = new QVBoxLayout(panel);
    column->setSpacing(4);

    auto* top = new QHBoxLayout;
    ImageParts = Named(new QLabel(panel), QStringLiteral("ImageParts"));
    ImageParts->setFixedSize(96, 96);
    ImageParts->setFrameShape(QFrame::StyledPanel);
    ImageParts->setScaledContents(true);
    top->addWidget(ImageParts);
    auto* captions = new QVBoxLayout;
    LabelName = Named(new QLabel(QStringLiteral("名称："), panel), QStringLiteral("LabelName"));
    LabelNumber = Named(new QLabel(QStringLiteral("编号："), panel), QStringLiteral("LabelNumber"));
    LabelFact = Named(new QLabel(QStringLiteral("销售商："), panel), QStringLiteral("LabelFact"));
    LabelPrice = Named(new QLabel(QStringLiteral("价格："), panel), QStringLiteral("LabelPrice"));
    LabelPrice->hide();
    for (QLabel* label : {LabelName, LabelNumber, LabelFact, LabelPrice}) {
        label->setWordWrap(true);
        captions->addWidget(label);
    }
    captions->addStretch();
    top->addLayout(captions, 1);
    column->addLayout(top);

    auto* size = new QHBoxLayout;
    auto* sizeValidator = new QIntValidator(1, 1000000, panel);
    EditPartsWidth = Named(new QLineEdit(QStringLiteral("600"), panel), QStringLiteral("EditPartsWidth"));
    EditPartsHeight = Named(new QLineEdit(QStringLiteral("600"), panel), QStringLiteral("EditPartsHeight"));
    size->addWidget(new QLabel(QStringLiteral("宽(mm)"), panel));
    size->addWidget(EditPartsWidth);
    size->addWidget(new QLabel(QStringLiteral("高(mm)"), panel));
    size->addWidget(EditPartsHeight);
    for (QLineEdit* edit : {EditPartsWidth, EditPartsHeight}) edit->setValidator(sizeValidator), edit->setMaximumWidth(60);
    column->addLayout(size);

    auto* sliders = new QGridLayout;
    TrackBarLight = Named(new QSlider(Qt::Horizontal, panel), QStringLiteral("TrackBarLight"));
    TrackBarLight->setRange(-100, 400);
    EditLighten = Named(new QLineEdit(QStringLiteral("0"), panel), QStringLiteral("EditLighten"));
    LabelReflect = Named(new QLabel(QStringLiteral("反射"), panel), QStringLiteral("LabelReflect"));
    TrackBarReflect = Named(new QSlider(Qt::Horizontal, panel), QStringLiteral("TrackBarReflect"));
    TrackBarReflect->setRange(0, 100);
    EditReflect = Named(new QLineEdit(QStringLiteral("0"), panel), QStringLiteral("EditReflect"));
    for (QLineEdit* edit : {EditLighten, EditReflect}) edit->setMaximumWidth(48);
    sliders->addWidget(new QLabel(QStringLiteral("亮度调整"), panel), 0, 0);
    sliders->addWidget(TrackBarLight, 0, 1);
    sliders->addWidget(EditLighten, 0, 2);
    sliders->addWidget(LabelReflect, 1, 0);
    sliders->addWidget(TrackBarReflect, 1, 1);
    sliders->addWidget(EditReflect, 1, 2);
    column->addLayout(sliders);

    auto* checks = new QHBoxLayout;
    CheckBoxFit = Named(new QCheckBox(QStringLiteral("整铺"), panel), QStringLiteral("CheckBoxFit"));
    CheckBoxRot = Named(new QCheckBox(QStringLiteral("转90度"), panel), QStringLiteral("CheckBoxRot"));
    CheckBoxMirror = Named(new QCheckBox(QStringLiteral("镜像"), panel), QStringLiteral("CheckBoxMirror"));
    CheckBoxMix = Named(new QCheckBox(QStringLiteral("叠加底图"), panel), QStringLiteral("CheckBoxMix"));
    CheckBoxMix->setChecked(true);
    CheckBoxMix->hide();
    for (QCheckBox* box : {CheckBoxFit, CheckBoxRot, CheckBoxMirror, CheckBoxMix}) checks->addWidget(box);
    column->addLayout(checks);

    auto* colour = new QHBoxLayout;
    colour->addWidget(new QLabel(QStringLiteral("颜色"), panel));
    ShapeColor = Named(new QFrame(panel), QStringLiteral("ShapeColor"));
    ShapeColor->setFixedSize(28, 18);
    ShapeColor->setFrameShape(QFrame::Box);
    ShapeColor->setAutoFillBackground(true);
    QPalette fuchsia = ShapeColor->palette();
    fuchsia.setColor(QPalette::Window, QColor(0xff, 0x00, 0xff));
    ShapeColor->setPalette(fuchsia);
    colour->addWidget(ShapeColor);
    SButtonColor = MakeButton(QStringLiteral("SButtonColor"), QStringLiteral("色卡"), panel);
    colour->addWidget(SButtonColor);
    RadioButtonFront = Named(new QRadioButton(QStringLiteral("前景色"), panel), QStringLiteral("RadioButtonFront"));
    RadioButtonBack = Named(new QRadioButton(QStringLiteral("环境色"), panel), QStringLiteral("RadioButtonBack"));
    RadioButtonFront->setChecked(true);
    auto* colourMode = new QButtonGroup(panel);
    colourMode->addButton(RadioButtonFront);
    colourMode->addButton(RadioButtonBack);
    colour->addWidget(RadioButtonFront);
    colour->addWidget(RadioButtonBack);
    colour->addStretch();
    column->addLayout(colour);

    BitBtnApply = MakeButton(QStringLiteral("BitBtnApply"), QStringLiteral("开始铺贴"), panel);
    BitBtnApply->setAutoRaise(false);
    BitBtnApply->setMinimumHeight(32);
    BitBtnApply->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    BitBtnApply->setEnabled(false);
    connect(BitBtnApply, &QToolButton::clicked, this, [this] { if (hooks.applyProduct) hooks.applyProduct(); });
    column->addWidget(BitBtnApply);
    return panel;
}

QWidget* TFormMain::BuildSidePanel() {
    auto* side = Named(new QWidget(this), QStringLiteral("PanelRight"));
    side->setFixedWidth(300);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(4, 4, 4, 4);

    GroupBoxPoly = Named(new QGroupBox(QStringLiteral("装饰部位"), side), QStringLiteral("GroupBoxPoly"));
    auto* listColumn = new QVBoxLayout(GroupBoxPoly);
    ListBoxPoly = Named(new QListWidget(GroupBoxPoly), QStringLiteral("ListBoxPoly"));
    ListBoxPoly->setSelectionMode(QAbstractItemView::ExtendedSelection);
    listColumn->addWidget(ListBoxPoly);
    auto* listButtons = new QHBoxLayout;
    SpeedButtonClear = MakeButton(QStringLiteral("SpeedButtonClear"), QStringLiteral("取消选择"), GroupBoxPoly);
    SpeedButtonClear->setAutoRaise(false);
    CheckBoxHelp = Named(new QCheckBox(QStringLiteral("隐藏提示"), GroupBoxPoly), QStringLiteral("CheckBoxHelp"));
    listButtons->addWidget(SpeedButtonClear);
    listButtons->addStretch();
    listButtons->addWidget(CheckBoxHelp);
    listColumn->addLayout(listButtons);
    connect(ListBoxPoly, &QListWidget::itemClicked, this, [this] { ListBoxPolyClick(); });
    connect(SpeedButtonClear, &QToolButton::clicked, this, [this] { SpeedButtonClearClick(); });
    connect(CheckBoxHelp, &QCheckBox::clicked, this, [this] { CheckBoxHelpClick(); });

    column->addWidget(GroupBoxPoly, 1);
    column->addWidget(BuildProductPanel());
    return side;
}

QWidget* TFormMain::BuildBottomBar() {
    auto* bar = Named(new QFrame(this), QStringLiteral("PanelBottom"));
    bar->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    LabelPro = Named(new QLabel(QStringLiteral("处理进度"), bar), QStringLiteral("LabelPro"));
    ProgressBar1 = Named(new QProgressBar(bar), QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setFixedWidth(180);
    SpeedButtonUndo = MakeButton(QStringLiteral("SpeedButtonUndo"), QStringLiteral("撤销"), bar);
    SpeedButtonVedio = MakeButton(QStringLiteral("SpeedButtonVedio"), QStringLiteral("视频教学"), bar);
    CppWebBrowserAd = new TCppWebBrowser(QStringLiteral("CppWebBrowserAd"), bar);
    CppWebBrowserAd->setFixedHeight(34);
    CppWebBrowserAd->setFrameShape(QFrame::NoFrame);
    CppWebBrowserAd->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CppWebBrowserAd->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    row->addWidget(LabelPro);
    row->addWidget(ProgressBar1);
    row->addWidget(SpeedButtonUndo);
    row->addWidget(SpeedButtonVedio);
    row->addWidget(CppWebBrowserAd, 1);
    connect(SpeedButtonUndo, &QToolButton::clicked, this, [this] { if (hooks.undo) hooks.undo(); });
    connect(SpeedButtonVedio, &QToolButton::clicked, this, [this] { SpeedButtonVedioClick(); });
    connect(CppWebBrowserAd, &TCppWebBrowser::navigateError, this, [this] { CppWebBrowserAdNavigateError(); });
    connect(CppWebBrowserAd, &TCppWebBrowser::navigateComplete, this, [this] { CppWebBrowserAdNavigateComplete(); });
    return bar;
}

void TFormMain::BuildMenus() {
    PopupMenu2 = Named(new QMenu(this), QStringLiteral("PopupMenu2"));
    PopupMenu2->addAction(QStringLiteral("编辑模板"))->setObjectName("N3");
    PopupMenu2->addAction(QStringLiteral("保存为模板"))->setObjectName("N4");
    QAction* open = PopupMenu2->addAction(QStringLiteral("打开方案"));
    QAction* save = PopupMenu2->addAction(QStringLiteral("保存方案"));
    PopupMenu2->addSeparator();
    QAction* exit = PopupMenu2->addAction(QStringLiteral("退出软件"));
    exit->setObjectName("N2");
    connect(open, &QAction::triggered, this, [this] { SpeedButtonOpenFileClick(); });
    connect(save, &QAction::triggered, this, [this] { SpeedButtonSaveFileClick(); });
    connect(exit, &QAction::triggered, this, [this] { N2Click(); });
    // The model operations fill this menu.
    PopupMenuModel = Named(new QMenu(this), QStringLiteral("PopupMenuModel"));
    contextMenu_ = PopupMenu2;

    TimerShowWeb = Named(new QTimer(this), QStringLiteral("TimerShowWeb"));
    TimerShowWeb->setSingleShot(true);
    TimerShowWeb->setInterval(setup_.templateBrowserDelayMs);
    connect(TimerShowWeb, &QTimer::timeout, this, [this] { if (hooks.showTemplateBrowser) hooks.showTemplateBrowser(); });
}

void TFormMain::BuildComponents() {
    BuildToolBar();
    auto* central = Named(new QWidget(this), QStringLiteral("PanelMain"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(BuildPictureArea(), 1);
    row->addWidget(BuildSidePanel());
    column->addLayout(row, 1);
    column->addWidget(BuildBottomBar());
    setCentralWidget(central);
    BuildHandles();
    BuildMenus();
    ConnectRenderingControls();

    scene_.background = DesignTimeScenePicture();
    setProductPicture(DesignTimeProductPicture());
    resize(1280, 860);
}

}  // namespace v2d
