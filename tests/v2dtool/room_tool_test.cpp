// The outline tool finds the whole room as a person asks for it: one draft
// per surface, named as the finder names them, one given up with Delete,
// the rest finished and saved as one scheme; a photo without a room says
// why and leaves the one-by-one clicks working.
#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTransform>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "demo/rendered_rooms.h"
#include "scene/scheme_file.h"
#include "v2dtool/outline_canvas.h"
#include "v2dtool/outline_window.h"

namespace v2d::tool {
namespace {

struct RoomTool : ::testing::Test {
    QTemporaryDir dir;
    QStringList messages;
    std::unique_ptr<TFormV2dTool> window;
    void Open(const QString& photo) {
        static int argc = 1;
        static char name[] = "v2dtool_tests", *argv[] = {name, nullptr};
        if (!qApp) new QApplication(argc, argv);
        window = std::make_unique<TFormV2dTool>([this](const QString& m) { messages << m; });
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(window->OpenFile(photo));
        window->canvas()->SetZoom(1.0);
    }
    void Press(const char* action) {
        QTest::mouseClick(window->findChild<QToolBar*>("ToolBarCommands")->widgetForAction(window->findChild<QAction*>(action)), Qt::LeftButton);
        Settle();
    }
    void Click(V2d_Point p) {
        QTest::mouseClick(window->canvas(), Qt::LeftButton, {}, window->canvas()->WidgetPoint(p));
        Settle();
    }
    // Until the room or surface being found on the pool is in.
    void Settle() {
        for (int i = 0; i < 2000 && window->finding(); ++i) QTest::qWait(5);
    }
    QStringList Listed() {
        QStringList texts;
        auto* list = window->findChild<QListWidget*>("ListRegions");
        for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
        return texts;
    }
};

TEST_F(RoomTool, AClickOnTheFloorGivesADraftPerSurfaceAndTheSchemeKeepsThoseLeft) {
    const auto room = demo::RenderRoom(demo::TestRooms().front(), "rendered-rooms", 480, 360);
    ASSERT_TRUE(room.ok()) << room.error();
    Open(QString::fromStdString(room->photo.string()));
    Press("ActionFindRoom");
    Click(room->click);
    const OutlineEditor& editor = window->editor();
    const std::vector<OutlineDraft>& drafts = editor.drafts();
    ASSERT_GE(drafts.size(), 3u) << messages.join("|").toStdString();
    QStringList names, shown;
    for (const OutlineDraft& d : drafts) {
        names << QString::fromStdString(d.name);
        shown << names.back() + QStringLiteral("（草稿）");
        EXPECT_TRUE(d.corners && !d.ends.empty() && d.realWidth > 0 && d.realHeight > 0) << d.name;
    }
    EXPECT_EQ(Listed(), shown);
    EXPECT_TRUE(names.front() == QStringLiteral("地面") && names.contains(QStringLiteral("后墙"))) << Listed().join("|").toStdString();
    EXPECT_EQ(editor.DraftAt(room->click), 0);

    // Pick the last surface on the photo, give it up with Delete, take it back and give it up again.
    V2d_Point inside{-1, -1};
    for (int y = 5; y < 360 && inside.x < 0; y += 10)
        for (int x = 5; x < 480 && inside.x < 0; x += 10)
            if (editor.DraftAt({x, y}) == int(drafts.size()) - 1) inside = {x, y};
    Click(inside);
    ASSERT_EQ(editor.currentDraft(), int(drafts.size()) - 1);
    QTest::keyClick(window->canvas(), Qt::Key_Delete);
    ASSERT_EQ(drafts.size(), size_t(names.size() - 1));
    QTest::keyClick(window->canvas(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(drafts.size(), size_t(names.size()));
    QTest::keyClick(window->canvas(), Qt::Key_Delete);
    names.removeLast();

    std::vector<size_t> rings;
    for (const OutlineDraft& d : drafts) rings.push_back(d.ends.size());

    QTest::keyClick(window->canvas(), Qt::Key_Return);
    EXPECT_EQ(Listed(), names);
    ASSERT_TRUE(window->SaveTo(dir.filePath("room.v2d")));
    Result<SchemeFile> read = ReadSchemeFile(dir.filePath("room.v2d").toStdString());
    ASSERT_TRUE(read.ok()) << read.error();
    ASSERT_EQ(read->scene.count(), int(names.size()));
    for (int i = 0; i < names.size(); ++i) {
        EXPECT_EQ(QString::fromStdString(read->scene.at(i)->name), names[i]);
        const V2dPolygon& r = *read->scene.at(i);
        EXPECT_EQ(r.indexList.size(), rings[size_t(i)]);
        QPolygonF quad;  // a laying fills the corners' quad: it covers the whole outline
        for (const V2d_Point& c : r.corners) quad << QPointF(c.x, c.y);
        QTransform toSquare;
        ASSERT_TRUE(QTransform::quadToSquare(quad, toSquare));
        for (const V2d_Point& p : r.points) {
            const QPointF q = toSquare.map(QPointF(p.x, p.y));
            EXPECT_TRUE(q.x() > -0.02 && q.x() < 1.02 && q.y() > -0.02 && q.y() < 1.02) << r.name << " " << p.x << "," << p.y;
        }
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    QTest::keyClick(window->canvas(), Qt::Key_Z, Qt::ControlModifier);  // the room's regions went in as one step
    EXPECT_EQ(editor.scene().count(), 0);
}

TEST_F(RoomTool, EscStopsTheRoomBeingFoundWithTheDraftsAsTheyWereAndTheNextClickFindsIt) {
    const auto room = demo::RenderRoom(demo::TestRooms().front(), "rendered-rooms", 480, 360);
    ASSERT_TRUE(room.ok()) << room.error();
    Open(QString::fromStdString(room->photo.string()));
    auto held = std::make_shared<std::atomic<bool>>(true);  // the finding waits here until let go or stopped
    window->SetFindHold([held](const CancelToken& cancel) {
        while (*held && !cancel.cancelled()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    });
    Press("ActionFindRoom");
    QTest::mouseClick(window->canvas(), Qt::LeftButton, {}, window->canvas()->WidgetPoint(room->click));
    ASSERT_TRUE(window->finding());
    auto* stop = window->findChild<QPushButton*>("ButtonCancelFind");
    EXPECT_TRUE(stop->isVisible());
    EXPECT_EQ(window->statusBar()->currentMessage(), QStringLiteral("正在识别房间……"));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(window->finding());
    EXPECT_TRUE(window->editor().drafts().empty());
    EXPECT_FALSE(window->editor().canUndo());
    EXPECT_FALSE(stop->isVisible());
    EXPECT_EQ(window->statusBar()->currentMessage(), QStringLiteral("已停止，草稿保持不变。"));
    *held = false;
    Click(room->click);
    EXPECT_GE(window->editor().drafts().size(), 3u);
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
}

TEST_F(RoomTool, ABlankPhotoSaysWhyAndTheClicksOneByOneStillWork) {
    QImage blank(400, 300, QImage::Format_RGB32);
    blank.fill(QColor(128, 128, 128));
    const QString photo = dir.filePath("blank.jpg");
    ASSERT_TRUE(WriteFileAtomically(photo.toStdString(), *EncodeJpeg(blank, 90)));
    Open(photo);
    Press("ActionFindRoom");
    Press("ActionFindRoom");  // again, without a click: the room without one
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("没有找到房间的墙角线")) ||
                messages[0].startsWith(QStringLiteral("照片太暗")) || messages[0].startsWith(QStringLiteral("照片模糊")))
        << messages[0].toStdString();
    EXPECT_FALSE(window->findChild<QAction*>("ActionFindRoom")->isChecked());
    Press("ActionNewRegion");
    for (V2d_Point p : {V2d_Point{10, 10}, {100, 10}, {100, 100}}) Click(p);
    EXPECT_EQ(window->editor().draft().size(), 3u);
}

}  // namespace
}  // namespace v2d::tool
