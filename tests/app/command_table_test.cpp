#include "CommandRig.h"
#include "TestImages.h"

#include "app/EditMenu.h"
#include "app/ribbon/CommandActions.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include "app/commands/CommandNames.h"
#include "app/commands/Rows.h"
#include "app/ribbon/RibbonLayout.h"
#include "pipeline/PictureModel.h"
#include "pipeline/capture/TestSceneFace.h"

#include <QRegularExpression>

#include <map>
#include <set>

namespace {

// Every ribbon command with its value, caption and tooltip entry.
struct Entry {
    CommandId id;
    int value;
    const char* caption; // "" for the sliders, which have none
    const char* title;   // "" when the command has no tooltip entry
    const char* description;
};

const Entry kEntries[] = {
    { ID_BUTTON_CAM_MANGER, 32775, "开启摄像机", "开启或关闭摄像头", "切换摄像机状态,亦可双击图像区切换" },
    { ID_BUTTON_IMAGE_SIZE, 32786, "图像显示尺寸", "改变图像窗口大小", "选择不同大小" },
    { ID_BUTTON_SIZE1, 32787, "原始尺寸", "", "" },
    { ID_BUTTON_SIZE2, 32788, "中等尺寸(0.75)", "", "" },
    { ID_BUTTON_SIZE3, 32789, "较小尺寸(0.5)", "", "" },
    { ID_BUTTON_LOOGO, 32852, "LOOGO状态：显示", "显示或隐藏 Loogo", "单击按钮切换" },
    { ID_BUTTON_PHOTO_CLICK, 32853, "单击图像区拍照", "立即拍照", "单击按钮，高亮后鼠标在图像区单击可拍照" },
    { ID_BUTTON_PHOTO_DELAY, 32779, "延时拍照", "拍照选项", "延时拍摄" },
    { ID_BUTTON_TIME_SET, 32851, "延时时间设置", "", "" },
    { ID_SLIDER_B0, 32876, "", "亮度", "通道1" },
    { ID_SLIDER_B1, 32877, "", "亮度", "通道2" },
    { ID_SLIDER_B2, 32878, "", "亮度", "通道3" },
    { ID_SLIDER_C0, 32879, "", "对比度", "通道1" },
    { ID_SLIDER_C1, 32880, "", "对比度", "通道2" },
    { ID_SLIDER_C2, 32870, "", "对比度", "通道3" },
    { ID_BUTTON_DEFUALT_COLOR, 32881, "通道状态：默认设置", "通道参数设置", "点此按钮可恢复默认设置" },
    { ID_CHECK_RGB, 32872, "RGB", "色彩模式", "最常见的RGB色彩模式" },
    { ID_CHECK_HSV, 32875, "HSV", "", "" },
    { ID_CHECK_HLS, 32874, "HLS", "", "" },
    { ID_CHECK_YCRCB, 32873, "YCrCb", "", "" },
    { ID_BUTTON_BLACKWHITE, 32854, "黑白", "特效风格", "使图像变为黑白色" },
    { ID_BUTTON_INVERT, 32855, "底片", "特效风格", "模仿胶片底色的效果" },
    { ID_BUTTON_SKETCH, 32858, "素描", "特效风格", "极力推荐的实时素描特写，试试吧！" },
    { ID_BUTTON_SMOOTH_SKETCH, 32860, "细腻轮廓", "特效风格", "彩色亮化的边缘" },
    { ID_BUTTON_ERODE, 32857, "腐蚀", "特效风格", "图像腐蚀的效果" },
    { ID_BUTTON_GRAIN, 32859, "磨砂颗粒", "特效风格", "带有杂色的磨砂风格" },
    { ID_BUTTON_ROI, 32829, "放大选区图像", "细节放大", "点击按钮后在图像区鼠标选取感兴趣区域后即可放大该区域" },
    { ID_BUTTON_CANCEL_ROI, 32830, "原始图像", "", "" },
    { ID_BUTTON_EFFECT_ROI, 32831, "为选区应用特效", "为特定选取应用特效",
        "点击按钮后鼠标选取感兴趣区域后，特效功能仅在该区域有效" },
    { ID_BUTTON_DEFUALT_EFFECT, 32832, "原始特效", "", "" },
    { ID_BUTTON_H_FLIP, 32800, "左右翻转", "图像翻转", "点此按钮图像左右方向切换" },
    { ID_BUTTON_V_FLIP, 32801, "上下翻转", "图像翻转", "点此按钮图像上下方向切换" },
    { ID_BUTTON_HV_FLIP, 32802, "全部翻转", "图像翻转", "点此按钮图像上下左右方向切换" },
    { ID_BUTTON_LIGHTFLOW_AUTO, 32803, "点此开始光流", "光流互动娱乐", "点此按钮可自动添加光流" },
    { ID_BUTTON_LIGHTFLOW_MANUAL, 32804, "鼠标添加", "光流互动娱乐", "点此按钮可通过鼠标自定义添加光流点" },
    { ID_BUTTON_LIGHTFLOW_NIGHT, 32885, "夜晚模式", "光流互动娱乐", "点此按钮可切换到夜晚模式，再次点击后恢复" },
    { ID_BUTTON_FLOW_COLOR, 32811, "光流色板", "光流互动娱乐", "为光流点选择不同的颜色" },
    { ID_BUTTON_ESC_LIGHTFLOW, 32807, "退出光流", "光流互动娱乐", "退出光流娱乐互动" },
    { ID_BUTTON_MOUSE_PAINT, 32883, "点此开始涂鸦", "", "" },
    { ID_BUTTON_PAINT_COLOR, 32886, "颜料桶", "挥毫泼墨", "换个画笔颜色" },
    { ID_BUTTON_PAINT_SET, 32826, "涂鸦设置", "挥毫泼墨", "隐藏或者去除当前图画" },
    { ID_BUTTON_PAINT_HIDE, 32892, "隐藏 涂鸦", "", "" },
    { ID_BUTTON_PAINT_CLEAR, 32776, "清除 涂鸦", "", "" },
    { ID_BUTTON_PEN_WIDETH, 32893, "画笔选择", "挥毫泼墨", "选择不同粗细画笔" },
    { ID_BUTTON_FRAME_SHOWIF, 32838, "相框状态：显示", "相框显示", "点此按钮可显示或隐藏相框" },
    { ID_BUTTON_FRAME_TYPE, 32841, "相框类型切换", "相框文件类型选择", "支持GIF或者PNG格式，选择后在相框显示区显示相应相框" },
    { ID_BUTTON_FRAME_GIF, 32842, "动态 GIF", "", "" },
    { ID_BUTTON_FRAME_PNG, 32843, "透明 PNG", "", "" },
    { ID_BUTTON_ADDON_SHOWIF, 32839, "挂件状态：显示", "挂件显示", "点此按钮可显示或隐藏挂件" },
    { ID_BUTTON_ADD_ON_TYPE, 32847, "挂件类型切换", "挂件文件类型选择", "支持GIF或者PNG格式，选择后在挂件显示区显示相应挂件" },
    { ID_BUTTON_ADD_ON_GIF, 32848, "动态 GIF", "", "" },
    { ID_BUTTON_ADD_ON_PNG, 32849, "透明 PNG", "", "" },
    { ID_BUTTON_DRAG_ADD_ON, 32882, "鼠标拖动", "挂件操作", "按钮点中状态下，可鼠标移动挂件到指定位置" },
    { ID_BUTTON_CLEAR_ADDON, 32840, "全部清除", "挂件操作", "清除所有添加的挂件" },
    { ID_FACE_STICKERS, 33020, "贴脸挂件", "贴脸挂件", "按钮点中状态下，放到脸上的挂件会跟着脸移动和缩放；拖离脸部即可取下" },
    { ID_FACE_BOXES, 33021, "显示人脸框", "显示人脸框", "贴脸挂件开启时，在画面上框出找到的人脸（只显示在屏幕上）" },
    { ID_BUTTON_OPEN_PHOTO_DIR, 32818, "打开照片文件夹", "照片文件夹", "打开照片文件夹或者设置自定义目录" },
    { ID_BUTTON_PHOTO_DIR, 32817, "设置照片文件夹 . . .", "", "" },
    { ID_BUTTON_OPEN_FRAME, 32819, "打开相框文件夹", "相框文件夹", "打开相框文件夹或者设置自定义目录" },
    { ID_BUTTON_FRAME_DIR, 32820, "设置相框文件夹 . .", "", "" },
    { ID_BUTTON_OPEN_ADD_ON_DIR, 32833, "打开挂件文件夹", "挂件文件夹", "打开挂件文件夹或者设置自定义目录" },
    { ID_BUTTON_ADD_ON_DIR, 32834, "设置挂件文件夹 . .", "", "" },
    { ID_BUTTON_ABOUT, 32809, "关于 Parvel乐影屋", "关于本软件", nullptr }, // our own dedication
    { ID_BUTTON_DOC, 32899, "使用指南", nullptr, nullptr },
    { ID_SYSLINK_MY_WEB, 32816, "我的博客", "访问我的博客", "提出您的宝贵意见" },
    { ID_VIEW_STATUS_BAR, 59393, "状态栏", "切换状态栏", "显示或隐藏状态栏" },
    { ID_VIEW_CAPTION_BAR, 221, "标题栏", "切换标题栏", "显示或隐藏标题栏" },
    { ID_APP_EXIT, 57665, "退出(&X)", "退出", "退出应用程序；提示保存文档" },
    { ID_APP_ABOUT, 57664, nullptr, "关于", "显示程序信息、版本号和版权信息" },
    { ID_VIEW_APPLOOK_OFF_2007_BLUE, 215, "Office 2007 (蓝色样式)(&B)", "", "" },
    { ID_VIEW_APPLOOK_OFF_2007_BLACK, 216, "Office 2007 (黑色样式)(&L)", "", "" },
    { ID_VIEW_APPLOOK_OFF_2007_SILVER, 217, "Office 2007 (银色样式)(&S)", "", "" },
    { ID_VIEW_APPLOOK_OFF_2007_AQUA, 218, "Office 2007 (水绿色样式)(&A)", "", "" },
    { ID_VIEW_APPLOOK_WINDOWS_7, 219, "Windows 7(&D)", "", "" },
};

TEST(CommandTableEntries, ValuesCaptionsAndTooltipsOfEveryCommand)
{
    EnsureQtApp();
    const CommandTable table = BuildCommandTable();
    for (const Entry& e : kEntries) {
        SCOPED_TRACE(std::string(NameOfCommand(e.id)));
        EXPECT_EQ(int(e.id), e.value);
        ASSERT_TRUE(table.Contains(e.id));
        if (e.caption != nullptr) {
            EXPECT_EQ(table.Caption(e.id), QString::fromUtf8(e.caption));
        }
        QString tip = table.ToolTip(e.id);
        if (!table.Shortcut(e.id).isEmpty())
            tip.remove(QRegularExpression(QStringLiteral(" \\(.+\\)$")));
        if (e.title == nullptr)
            continue;
        if (*e.title == '\0') {
            EXPECT_EQ(tip, table.Caption(e.id).remove(QRegularExpression(QStringLiteral("\\(&.\\)"))));
        } else if (e.description == nullptr) {
            EXPECT_TRUE(tip.endsWith(QStringLiteral("\n") + QString::fromUtf8(e.title))) << tip.toStdString();
        } else {
            EXPECT_EQ(tip, QString::fromUtf8(e.description) + '\n' + QString::fromUtf8(e.title));
        }
    }
}

// Key tips are unique where they are typed: the tab row with the categories, and each category
// with its panels; the letters the window's users know keep their places.
TEST(CommandTableEntries, KeyTipsAreUniqueAtEachLevelAndKeepTheKnownLetters)
{
    EnsureQtApp();
    const CommandTable table = BuildCommandTable();
    const RibbonLayout& layout = ProgramRibbonLayout();
    auto tipOf = [&](const ControlLayout& c) {
        return c.id ? QString::fromUtf8(table.Find(*c.id)->keyTip) : c.keyTip;
    };
    auto unique = [](const QStringList& tips, const QString& where) {
        for (int i = 0; i < tips.size(); ++i) {
            EXPECT_FALSE(tips[i].isEmpty()) << where.toStdString();
            for (int j = 0; j < tips.size(); ++j) {
                if (i != j) {
                    EXPECT_FALSE(tips[j].startsWith(tips[i])) << where.toStdString() << ": " << tips[i].toStdString();
                }
            }
        }
    };
    QStringList top { layout.application.keyTip };
    for (const ControlLayout& c : layout.tabRow)
        top << tipOf(c);
    for (const CategoryLayout& category : layout.categories)
        top << category.keyTip;
    unique(top, QStringLiteral("tab row"));
    EXPECT_EQ(layout.application.keyTip, "F");
    EXPECT_EQ(layout.tabRow[0].keyTip, "S");
    EXPECT_EQ(QString::fromUtf8(table.Find(ID_APP_ABOUT)->keyTip), "A");
    EXPECT_EQ(layout.categories[0].panels[0].keyTip, "M");
    EXPECT_EQ(QString::fromUtf8(table.Find(ID_VIEW_STATUS_BAR)->keyTip), "S");
    EXPECT_EQ(QString::fromUtf8(table.Find(ID_VIEW_CAPTION_BAR)->keyTip), "P");

    for (const CategoryLayout& category : layout.categories) {
        QStringList tips;
        for (const PanelLayout& panel : category.panels) {
            tips << panel.keyTip;
            for (const ControlLayout& c : panel.controls) {
                if (c.id)
                    tips << tipOf(c);
            }
        }
        unique(tips, category.caption);
    }
}

// The update rules: which commands have a pressed state at all, and the pressed ones at start.
TEST_F(CommandRig, UpdateRulesGivePressedStatesOnlyWhereTheyHaveThem)
{
    const std::set<CommandId> pressable { ID_BUTTON_CAM_MANGER, ID_BUTTON_SIZE1, ID_BUTTON_SIZE2, ID_BUTTON_SIZE3,
        ID_BUTTON_LOOGO, ID_BUTTON_PHOTO_CLICK, ID_BUTTON_PHOTO_DELAY, ID_BUTTON_DEFUALT_COLOR, ID_CHECK_RGB,
        ID_CHECK_HSV, ID_CHECK_HLS, ID_CHECK_YCRCB, ID_BUTTON_BLACKWHITE, ID_BUTTON_INVERT, ID_BUTTON_SKETCH,
        ID_BUTTON_SMOOTH_SKETCH, ID_BUTTON_ERODE, ID_BUTTON_GRAIN, ID_BUTTON_ROI, ID_BUTTON_EFFECT_ROI, ID_BUTTON_H_FLIP,
        ID_BUTTON_V_FLIP, ID_BUTTON_HV_FLIP, ID_BUTTON_LIGHTFLOW_AUTO, ID_BUTTON_LIGHTFLOW_MANUAL,
        ID_BUTTON_LIGHTFLOW_NIGHT, ID_BUTTON_MOUSE_PAINT, ID_BUTTON_FRAME_SHOWIF, ID_BUTTON_FRAME_GIF,
        ID_BUTTON_FRAME_PNG, ID_BUTTON_ADDON_SHOWIF, ID_BUTTON_ADD_ON_GIF, ID_BUTTON_ADD_ON_PNG,
        ID_BUTTON_DRAG_ADD_ON };
    const std::set<CommandId> pressedAtStart { ID_BUTTON_SIZE1, ID_CHECK_RGB, ID_BUTTON_FRAME_PNG, ID_BUTTON_ADD_ON_GIF,
        ID_BUTTON_DRAG_ADD_ON };
    for (const Entry& e : kEntries) {
        if (e.value < 32000 || e.value > 33000)
            continue; // the window's own commands need the main window
        SCOPED_TRACE(std::string(NameOfCommand(e.id)));
        const CommandState state = Update(e.id);
        EXPECT_TRUE(state.enabled);
        EXPECT_EQ(state.pressed.has_value(), pressable.count(e.id) == 1);
        EXPECT_EQ(state.pressed.value_or(false), pressedAtStart.count(e.id) == 1);
    }
    EXPECT_EQ(*Update(ID_BUTTON_DEFUALT_COLOR).caption, "通道状态：默认");
    EXPECT_EQ(*Update(ID_BUTTON_PAINT_HIDE).caption, "显示 涂鸦");
    EXPECT_EQ(*Update(ID_SLIDER_C2).value, 100);
    EXPECT_EQ(*Update(ID_BUTTON_PEN_WIDETH).value, 0);
}

// The commands that need the camera do nothing at all while it is stopped, and act once it runs.
TEST_F(CommandRig, CameraCommandsAreIgnoredWhileStoppedAndActWhileRunning)
{
    Run(ID_BUTTON_BLACKWHITE); // so the effect region has a style to work on
    const PictureSettings before = webcam()->model().settings.Snapshot();
    for (CommandId id : { ID_BUTTON_ROI, ID_BUTTON_EFFECT_ROI, ID_BUTTON_LIGHTFLOW_AUTO, ID_BUTTON_LIGHTFLOW_MANUAL,
             ID_BUTTON_PHOTO_DELAY, ID_PHOTO_NOW }) {
        SCOPED_TRACE(std::string(NameOfCommand(id)));
        table.Run(id, *context);
        const PictureSettings after = webcam()->model().settings.Snapshot();
        EXPECT_EQ(after.mouseMode, before.mouseMode);
        EXPECT_EQ(after.regionPurpose, before.regionPurpose);
        EXPECT_FALSE(after.regionArmed);
        EXPECT_FALSE(after.flowOn);
        EXPECT_FALSE(session().countdownActive());
        EXPECT_FALSE(webcam()->model().photos.requested());
    }
    EXPECT_TRUE(boxes.shown.empty());

    ASSERT_TRUE(session().Start());
    Run(ID_BUTTON_ROI);
    EXPECT_EQ(webcam()->model().settings.Snapshot().regionPurpose, kRegionZoom);
    Run(ID_BUTTON_EFFECT_ROI);
    EXPECT_EQ(webcam()->model().settings.Snapshot().regionPurpose, kRegionEffect);
    Run(ID_BUTTON_LIGHTFLOW_MANUAL);
    EXPECT_TRUE(webcam()->model().settings.Snapshot().flowManualAdd);
    Run(ID_BUTTON_PHOTO_DELAY);
    EXPECT_TRUE(session().countdownActive());
    int saved = 0;
    QStringList failed;
    QObject::connect(&session(), &PictureSession::photoSaved, webcam(), [&saved] { ++saved; });
    QObject::connect(&session(), &PictureSession::photoFailed, webcam(), [&failed](const QString& why) { failed << why; });
    // The photo is taken from the next picture: wait until pictures come (a loaded machine is slow).
    ASSERT_TRUE(WaitUntil([&] { return !webcam()->shownImage().isNull(); }, 10000));
    Run(ID_PHOTO_NOW);
    EXPECT_TRUE(webcam()->flashing());
    EXPECT_TRUE(WaitUntil([&] { return saved == 1; }, 10000)) << failed.join(' ').toStdString() << status.toStdString();
}

// The face-sticker check button switches following on and off, with or without the camera, and
// shows pressed while it is on.
TEST_F(CommandRig, FaceStickersToggleFollowingAndShowPressedWhileOn)
{
    EXPECT_FALSE(*Update(ID_FACE_STICKERS).pressed);
    Run(ID_FACE_STICKERS);
    EXPECT_TRUE(webcam()->model().overlays.followFaces());
    EXPECT_TRUE(*Update(ID_FACE_STICKERS).pressed);
    Run(ID_FACE_STICKERS);
    EXPECT_FALSE(webcam()->model().overlays.followFaces());
    EXPECT_FALSE(*Update(ID_FACE_STICKERS).pressed);
}

// Without a usable cascade (here a damaged copy beside the program, which is preferred) the
// command stays off and says why, instead of looking switched on while nothing can follow.
TEST_F(CommandRig, FaceStickersStayOffAndSayWhyWithoutFaceData)
{
    std::ofstream(folders.systemDir / "haarcascade_frontalface_alt2.xml") << "<?xml version=\"1.0\"?><opencv_storage>";
    Run(ID_FACE_STICKERS);
    EXPECT_FALSE(webcam()->model().overlays.followFaces());
    EXPECT_FALSE(*Update(ID_FACE_STICKERS).pressed);
    EXPECT_TRUE(status.contains("opencv-data")) << status.toStdString();
}

// The face boxes: offered only while stickers follow faces, and drawn over the picture where the
// tracker has the face, on the screen only.
TEST_F(CommandRig, FaceBoxesShowWhereTheTrackerHasTheFaceWhileStickersFollowFaces)
{
    EXPECT_EQ(table.Shortcut(ID_FACE_BOXES), QKeySequence("Ctrl+Shift+F"));
    EXPECT_FALSE(Update(ID_FACE_BOXES).enabled);
    Run(ID_FACE_STICKERS);
    EXPECT_TRUE(Update(ID_FACE_BOXES).enabled);
    EXPECT_FALSE(*Update(ID_FACE_BOXES).pressed);
    Run(ID_FACE_BOXES);
    EXPECT_TRUE(*Update(ID_FACE_BOXES).pressed);
    ASSERT_TRUE(session().Start());
    // The test's own moments: no frame of the camera and no passing time changes the tracks.
    session().SetPaused(true);

    const cv::Mat photo = LoadTestSceneFace(PARVEL_TEST_DATA_DIR "/../../resources/system/" + std::string(kTestSceneFaceFile));
    ASSERT_FALSE(photo.empty());
    cv::Mat picture(480, 640, CV_8UC3, cv::Scalar(80, 80, 80));
    DrawMovingFace(picture, 3.0, photo);
    FaceTracker& faces = webcam()->model().faces;
    const double t = 1000.0;
    session().SetFaceClock([t] { return t + 0.02; });
    faces.DetectNow(picture, t); // a face counts from its second find
    faces.DetectNow(picture, t + 0.01);
    // Found on the camera frame; drawn where the picture shows it.
    const std::vector<TrackedFace> found = webcam()->model().ShownFaces(t + 0.02);
    ASSERT_EQ(found.size(), 1u);

    // The middle of the box's top edge, in widget pixels.
    const cv::Rect2d& box = found[0].box;
    const QPoint edge(qRound((box.x + box.width / 2) / webcam()->scaleX()), qRound(box.y / webcam()->scaleY()));
    const auto greenNear = [&](const QImage& image) {
        for (int dy = -1; dy <= 1; ++dy) {
            const QColor c = image.pixelColor(edge + QPoint(0, dy));
            if (c.green() > 200 && c.red() < 60 && c.blue() < 60)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(greenNear(webcam()->grab().toImage()));
    Run(ID_FACE_BOXES);
    EXPECT_FALSE(*Update(ID_FACE_BOXES).pressed);
    EXPECT_FALSE(greenNear(webcam()->grab().toImage()));
}

// A slider sends its position; the reset brings every value, and with it every slider, to 100.
TEST_F(CommandRig, SlidersSendTheirPositionAndTheResetMovesThemBack)
{
    input.value = 40;
    Run(ID_SLIDER_C2);
    input.value = 170;
    Run(ID_SLIDER_B0);
    PictureSettings s = webcam()->model().settings.Snapshot();
    EXPECT_EQ(s.sliders.contrast[2], 40);
    EXPECT_EQ(s.sliders.brightness[0], 170);
    EXPECT_FALSE(s.channelsDefault);
    EXPECT_EQ(*Update(ID_SLIDER_C2).value, 40);
    // Moved back: still the user's own channels until RGB or the reset.
    input.value = 100;
    Run(ID_SLIDER_C2);
    Run(ID_SLIDER_B0);
    EXPECT_EQ(*Update(ID_BUTTON_DEFUALT_COLOR).caption, "通道状态：自定义");
    Run(ID_BUTTON_DEFUALT_COLOR);
    for (CommandId id : { ID_SLIDER_B0, ID_SLIDER_B1, ID_SLIDER_B2, ID_SLIDER_C0, ID_SLIDER_C1, ID_SLIDER_C2 })
        EXPECT_EQ(*Update(id).value, 100) << id;
    EXPECT_EQ(*Update(ID_BUTTON_DEFUALT_COLOR).caption, "通道状态：默认");
}

// Colour buttons hand on red in the low byte; the pen gallery's item 3 is eight pixels.
TEST_F(CommandRig, ColourButtonsAndPenGallerySetWhatThePaintAndFlowUse)
{
    input.value = 0x00C08040; // red 0x40, green 0x80, blue 0xC0
    Run(ID_BUTTON_PAINT_COLOR);
    EXPECT_EQ(webcam()->model().settings.Snapshot().paintColour, cv::Scalar(0xC0, 0x80, 0x40));
    Run(ID_BUTTON_MOUSE_PAINT); // starts the doodle with the button's colour
    EXPECT_EQ(webcam()->model().settings.Snapshot().paintColour, cv::Scalar(0xC0, 0x80, 0x40));

    input.value = 0x000000FF;
    Run(ID_BUTTON_FLOW_COLOR);
    EXPECT_EQ(webcam()->model().flow.Colour(), cv::Scalar(0, 0, 255));

    input.value = 3;
    Run(ID_BUTTON_PEN_WIDETH);
    EXPECT_EQ(webcam()->model().settings.Snapshot().penWidth, 8);
    EXPECT_EQ(*Update(ID_BUTTON_PEN_WIDETH).value, 3);
    input.value = 9; // no such item
    Run(ID_BUTTON_PEN_WIDETH);
    EXPECT_EQ(webcam()->model().settings.Snapshot().penWidth, 8);
}

TEST_F(CommandRig, AboutGuideAndHomePageGoThroughTheServices)
{
    Run(ID_BUTTON_ABOUT);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("Parvel乐影屋 V2.0\n\n")) << boxes.shown[0].text.toStdString();
    EXPECT_GT(boxes.shown[0].text.count('\n'), 2);
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Information);

    Run(ID_BUTTON_DOC);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], PathToQString(folders.systemDir / "document of ParvelWebcam.pdf"));
    shell.openSucceeds = false; // the desktop refuses: the status bar says so
    Run(ID_BUTTON_DOC);
    EXPECT_TRUE(status.contains("document of ParvelWebcam.pdf"));

    shell.openSucceeds = true;
    Run(ID_SYSLINK_MY_WEB);
    ASSERT_EQ(shell.links.size(), 1u);
    EXPECT_TRUE(shell.links[0].startsWith("https://"));
}

} // namespace

// What the rows say is theirs: the captions and texts of the picture's rules.
TEST_F(CommandRig, RowsSayWhatTheRulesDecide)
{
    input.value = 150;
    Run(ID_SLIDER_B2);
    EXPECT_EQ(*Update(ID_BUTTON_DEFUALT_COLOR).caption, "通道状态：自定义");
    Run(ID_BUTTON_MOUSE_PAINT);
    EXPECT_EQ(*Update(ID_BUTTON_PAINT_HIDE).caption, "隐藏 涂鸦");
    Run(ID_BUTTON_PHOTO_CLICK);
    EXPECT_EQ(status, "鼠标单击拍照功能已开启，在图像客户区单击即可轻松拍照，试试吧！");
    Run(ID_BUTTON_PHOTO_CLICK);
    EXPECT_EQ(status, "鼠标单击拍照功能已暂停");

}

TEST_F(CommandRig, EditMenuShowsCutCopyPasteDisabledUntilSomethingHandlesThem)
{
    CommandActions actions(table, *context);
    std::unique_ptr<QMenu> menu(BuildEditMenu(actions, nullptr));
    EXPECT_EQ(menu->title(), QString("编辑"));
    QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 8); // the doodle's undo first, and after a separator, the two removals
    EXPECT_EQ(items[0]->text(), QString("撤销笔画"));
    EXPECT_TRUE(items[1]->isSeparator());
    items.remove(0, 2);
    EXPECT_EQ(items[0]->text(), QString("剪切(&T)\tCtrl+X"));
    EXPECT_EQ(items[1]->text(), QString("复制(&C)\tCtrl+C"));
    EXPECT_EQ(items[2]->text(), QString("粘贴(&P)\tCtrl+V"));
    EXPECT_TRUE(items[3]->isSeparator());
    EXPECT_EQ(items[4]->text(), QString("删除此挂件"));
    EXPECT_EQ(items[5]->text(), QString("移除相框"));
    for (QAction* item : items)
        if (!item->isSeparator())
            EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();

    // The menu follows the table: a row that gains a handler (and loses the rule that keeps it
    // off) is offered.
    CommandRow copy = *table.Find(ID_EDIT_COPY);
    copy.run = [](CommandContext&, const CommandInput&) {};
    copy.update = {};
    table.Add(copy);
    CommandActions after(table, *context);
    menu.reset(BuildEditMenu(after, nullptr));
    EXPECT_FALSE(menu->actions()[2]->isEnabled());
    EXPECT_TRUE(menu->actions()[3]->isEnabled());
}

// "复制" puts the picture a photo would save on the clipboard: at the picture's own size, as it
// is shown (mirrored here), while the camera runs; cut and paste stay off.
TEST_F(CommandRig, EditMenuCopyPutsThePhotoPictureOnTheClipboard)
{
    state->frameFor = [](int) {
        cv::Mat frame(480, 640, CV_8UC3, cv::Scalar(90, 90, 90));
        frame.colRange(0, 160).setTo(cv::Scalar(0, 0, 255)); // red on the camera's left
        return frame;
    };
    CommandActions actions(table, *context);
    std::unique_ptr<QMenu> menu(BuildEditMenu(actions, nullptr));
    EXPECT_FALSE(menu->actions()[3]->isEnabled()) << "nothing to copy while the camera is off";
    EXPECT_EQ(table.Shortcut(ID_EDIT_COPY), QKeySequence("Ctrl+C"));

    window.SetDisplaySize(kDisplayHalf);
    ASSERT_TRUE(session().Start());
    ASSERT_TRUE(WaitUntil([&] { return webcam()->shownImage().size() == QSize(320, 240); }, 10000));
    actions.Refresh();
    const QList<QAction*> items = menu->actions().mid(2); // after the undo and its separator
    EXPECT_FALSE(items[0]->isEnabled());
    EXPECT_TRUE(items[1]->isEnabled());
    EXPECT_FALSE(items[2]->isEnabled());

    QGuiApplication::clipboard()->clear();
    items[1]->trigger();
    ASSERT_TRUE(WaitUntil([] { return !QGuiApplication::clipboard()->image().isNull(); }, 10000));
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(640, 480)); // the picture itself, not the screen's half-size copy
    EXPECT_EQ(QColor(copied.pixel(630, 240)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(copied.pixel(10, 240)), QColor(90, 90, 90));
    EXPECT_EQ(status, QString("画面已复制到剪贴板"));
}

// The pane's picks of a small still sticker or frame, through the rows' input.
class DecorationRowsTest : public CommandRig {
protected:
    void PickStill()
    {
        const QString sticker = dir.filePath("s.png");
        QImage(10, 10, QImage::Format_ARGB32).save(sticker);
        input.path = sticker;
        input.kind = 1;
    }
    int stills() const
    {
        return webcam()->model().overlays.WithAddOns([](const AddOnCollection& a) { return a.stillCount(); });
    }
};

// The side pane's picks run as rows: dropped while the camera is stopped, refused with a box
// while the frames or add-ons are hidden.
TEST_F(DecorationRowsTest, PicksAreDroppedWhileStoppedAndRefusedWhileHidden)
{
    OverlayStore& decorations = webcam()->model().overlays;
    PickStill();

    Run(ID_PICK_ADD_ON);
    Run(ID_PICK_FRAME);
    EXPECT_EQ(stills(), 0);
    EXPECT_EQ(decorations.frameKind(), std::nullopt);
    EXPECT_TRUE(boxes.shown.empty());

    ASSERT_TRUE(session().Start());
    Run(ID_PICK_ADD_ON);
    EXPECT_EQ(stills(), 1);
    Run(ID_PICK_FRAME);
    EXPECT_EQ(decorations.frameKind(), DecorationKind::Png);

    decorations.ToggleAddOnsShown();
    decorations.ToggleFrameShown();
    Run(ID_PICK_ADD_ON);
    input.kind = 0;
    Run(ID_PICK_FRAME);
    EXPECT_EQ(stills(), 1);
    EXPECT_EQ(decorations.frameKind(), DecorationKind::Png);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, QString("^_^挂件暂时无法添加\n\n目前挂件状态为：隐藏~\n\n请首先切换挂件状态为：显示~~"));
    EXPECT_EQ(boxes.shown[1].text, QString("^_^相框暂时无法添加\n\n目前相框状态为：隐藏~\n\n请首先切换相框状态为：显示~~"));
    EXPECT_EQ(boxes.shown[1].caption, "乐影屋");
}

// One sticker or the frame taken off the picture, not only hidden; the rows say or show when
// there is nothing to take.
TEST_F(DecorationRowsTest, OneStickerOrTheFrameIsTakenOffThePicture)
{
    OverlayStore& decorations = webcam()->model().overlays;
    PickStill();
    ASSERT_TRUE(session().Start());
    Run(ID_PICK_ADD_ON);
    Run(ID_PICK_ADD_ON);
    Run(ID_PICK_FRAME);
    ASSERT_EQ(stills(), 2);
    EXPECT_TRUE(Update(ID_REMOVE_FRAME).enabled);
    Run(ID_REMOVE_ADD_ON); // none under the mouse, none grabbed: nothing goes, and it says why
    EXPECT_EQ(stills(), 2);
    EXPECT_EQ(status, "请先把鼠标移到要删除的挂件上");

    const AddOnBounds first = decorations.WithAddOns([](const AddOnCollection& a) { return a.still()[0].bounds; });
    decorations.PointerMove(first.left, first.top);
    const std::uint64_t under = decorations.WithAddOns([](const AddOnCollection& a) { return a.removable(); });
    ASSERT_NE(under, 0u);
    Run(ID_REMOVE_ADD_ON);
    EXPECT_EQ(stills(), 1);
    EXPECT_EQ(decorations.WithAddOns([&](const AddOnCollection& a) { return a.Find(under) != nullptr; }), false);
    EXPECT_EQ(table.Shortcut(ID_REMOVE_ADD_ON), QKeySequence(Qt::Key_Delete));

    Run(ID_REMOVE_FRAME);
    EXPECT_EQ(decorations.frameKind(), std::nullopt);
    EXPECT_FALSE(Update(ID_REMOVE_FRAME).enabled);
    EXPECT_TRUE(decorations.frameShown()); // the next frame picked shows at once
    decorations.ClearAddOns();
    EXPECT_FALSE(Update(ID_REMOVE_ADD_ON).enabled);
    Run(ID_PICK_FRAME);
    EXPECT_EQ(decorations.frameKind(), DecorationKind::Png);
}

// The show/hide toggles of the decorations are pressed while hidden and name the state.
TEST_F(CommandRig, ShowTogglesArePressedWhileHiddenAndNameTheState)
{
    const auto look = [&](CommandId id) { return std::make_pair(*Update(id).pressed, *Update(id).caption); };
    EXPECT_EQ(look(ID_BUTTON_LOOGO), std::make_pair(false, QString("LOOGO状态：显示")));
    EXPECT_EQ(look(ID_BUTTON_FRAME_SHOWIF), std::make_pair(false, QString("相框状态：显示")));
    EXPECT_EQ(look(ID_BUTTON_ADDON_SHOWIF), std::make_pair(false, QString("挂件状态：显示")));
    Run(ID_BUTTON_LOOGO);
    Run(ID_BUTTON_FRAME_SHOWIF);
    Run(ID_BUTTON_ADDON_SHOWIF);
    EXPECT_EQ(look(ID_BUTTON_LOOGO), std::make_pair(true, QString("LOOGO状态：隐藏")));
    EXPECT_EQ(look(ID_BUTTON_FRAME_SHOWIF), std::make_pair(true, QString("相框状态：隐藏")));
    EXPECT_EQ(look(ID_BUTTON_ADDON_SHOWIF), std::make_pair(true, QString("挂件状态：隐藏")));
}

// A sticker whose pictures would take too much memory is refused, and the status bar says why.
TEST_F(CommandRig, ATooLargeStickerIsRefusedWithAWord)
{
    const QString gif = dir.filePath("huge.gif");
    ASSERT_TRUE(testimages::WriteSparseGif(gif, 9000, 9000, 3, 5));
    ASSERT_TRUE(session().Start());
    input.path = gif;
    input.kind = static_cast<int>(DecorationKind::Gif);
    Run(ID_PICK_ADD_ON);
    EXPECT_EQ(webcam()->model().overlays.WithAddOns([](const AddOnCollection& a) { return a.animatedCount(); }), 0);
    EXPECT_EQ(status, "这个挂件的图片太大，无法添加：" + QDir::toNativeSeparators(gif));
}
