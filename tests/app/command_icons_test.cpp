#include "QtTestApp.h"

#include "app/commands/CommandNames.h"
#include "app/ribbon/CommandIcons.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include <cstdlib>
#include <map>
#include <set>
#include <vector>

namespace {

struct Ink {
    int opaque = 0;            // pixels at least half covered
    std::set<QRgb> colours;    // distinct colours among them
    double alphaSum = 0;       // total coverage, in pixels
    double luminance = 0;      // mean grey of the opaque pixels
};

Ink Measure(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    Ink ink;
    double grey = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            ink.alphaSum += qAlpha(row[x]) / 255.0;
            if (qAlpha(row[x]) >= 128) {
                ++ink.opaque;
                ink.colours.insert(row[x] | 0xFF000000u);
                grey += qGray(row[x]);
            }
        }
    }
    ink.luminance = ink.opaque ? grey / ink.opaque : 0;
    return ink;
}

bool Contains(const QImage& source, const QColor& colour)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (row[x] == colour.rgba())
                return true;
    }
    return false;
}

// Share of the painted pixels that are solid dark outline.
double SolidOutlineShare(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    int painted = 0, solid = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            painted += qAlpha(px) > 0;
            solid += qAlpha(px) > 200 && qGray(px) < 80;
        }
    }
    return painted ? double(solid) / painted : 0;
}

int PixelsNear(const QImage& source, const QColor& colour, int tolerance = 10)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            count += qAlpha(px) == 255 && std::abs(qRed(px) - colour.red()) <= tolerance &&
                     std::abs(qGreen(px) - colour.green()) <= tolerance && std::abs(qBlue(px) - colour.blue()) <= tolerance;
        }
    }
    return count;
}

class CommandIconsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApp(); }
};

// The list that icons and layout checks walk must hold every id of the enum, once.
TEST_F(CommandIconsTest, IdListHoldsEveryValueOfTheEnumOnce)
{
    QFile header(QStringLiteral(PARVEL_TEST_DATA_DIR "/../../app/commands/CommandId.h"));
    ASSERT_TRUE(header.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(header.readAll());
    std::set<int> declared;
    const QRegularExpression entry(QStringLiteral(R"(\b(ID_\w+)\s*=\s*(\d+))"));
    for (auto it = entry.globalMatch(text); it.hasNext();)
        declared.insert(it.next().captured(2).toInt());
    ASSERT_GT(declared.size(), 80u);

    std::set<int> listed;
    for (const CommandId id : AllCommandIds())
        EXPECT_TRUE(listed.insert(id).second) << "listed twice: " << id;
    EXPECT_EQ(listed, declared);
}

TEST_F(CommandIconsTest, EveryCommandHasAVisiblePictureAtEverySize)
{
    for (const CommandId id : AllCommandIds()) {
        for (const int size : kCommandIconSizes) {
            const QImage image = CommandIconImage(id, size);
            ASSERT_EQ(image.size(), QSize(size, size)) << id;
            const Ink ink = Measure(image);
            EXPECT_GE(ink.opaque, size * size / 8) << "too little ink: " << id << " at " << size;
            EXPECT_GE(ink.colours.size(), 3u) << "flat picture: " << id << " at " << size;
            // Something must be left uncovered, or the button would be a solid square.
            EXPECT_LT(ink.opaque, size * size) << id << " at " << size;
        }
    }
}

// The icon holds the picture drawn for each size, not one picture scaled.
TEST_F(CommandIconsTest, IconsHoldThePictureDrawnForEachSize)
{
    for (const CommandId id : {ID_BUTTON_CAM_MANGER, ID_BUTTON_SKETCH, ID_SLIDER_B2, ID_FACE_STICKERS}) {
        const QIcon icon = CommandIcon(id);
        for (const int size : kCommandIconSizes) {
            EXPECT_EQ(icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32),
                      CommandIconImage(id, size).convertToFormat(QImage::Format_ARGB32))
                << id << " at " << size;
        }
    }
}

// Small icons are drawn with pen widths of their own: their outlines stay solid where a 32-pixel
// picture scaled down would thin them into grey.
TEST_F(CommandIconsTest, SmallIconsKeepSolidOutlines)
{
    double drawn = 0, scaled = 0;
    for (const CommandId id : AllCommandIds()) {
        drawn += SolidOutlineShare(CommandIconImage(id, 16));
        scaled += SolidOutlineShare(
            CommandIconImage(id, 32).scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    EXPECT_GT(drawn, scaled * 1.2);
}

// Related commands share a motif in its colours; the badge in the lower right corner alone tells
// them apart, so everything outside that corner is the same picture.
TEST_F(CommandIconsTest, RelatedCommandsShareTheirMotif)
{
    const std::vector<std::vector<CommandId>> groups{
        {ID_BUTTON_OPEN_PHOTO_DIR, ID_BUTTON_PHOTO_DIR},
        {ID_BUTTON_OPEN_FRAME, ID_BUTTON_FRAME_DIR},
        {ID_BUTTON_OPEN_ADD_ON_DIR, ID_BUTTON_ADD_ON_DIR},
        {ID_BUTTON_FRAME_SHOWIF, ID_BUTTON_FRAME_TYPE, ID_BUTTON_FRAME_GIF, ID_BUTTON_FRAME_PNG},
        {ID_BUTTON_ADDON_SHOWIF, ID_BUTTON_ADD_ON_TYPE, ID_BUTTON_ADD_ON_GIF, ID_BUTTON_ADD_ON_PNG,
         ID_BUTTON_CLEAR_ADDON},
        {ID_BUTTON_CAM_MANGER, ID_BUTTON_PHOTO_DELAY},
        {ID_BUTTON_LIGHTFLOW_AUTO, ID_BUTTON_ESC_LIGHTFLOW},
    };
    for (const auto& group : groups) {
        const QImage first = CommandIconImage(group.front(), 32).convertToFormat(QImage::Format_ARGB32);
        for (const CommandId other : group) {
            const QImage image = CommandIconImage(other, 32).convertToFormat(QImage::Format_ARGB32);
            int differing = 0;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x)
                    differing += (x < 16 || y < 16) && image.pixel(x, y) != first.pixel(x, y);
            EXPECT_EQ(differing, 0) << other << " and " << group.front();
        }
    }

    // The colour families: coral cameras, gold folders and frames, pink add-ons, sky-blue pictures.
    const std::vector<std::pair<QColor, std::vector<CommandId>>> families{
        {QColor(0xF7, 0x87, 0x6F), {ID_BUTTON_CAM_MANGER, ID_BUTTON_PHOTO_CLICK, ID_BUTTON_PHOTO_DELAY, ID_PHOTO_NOW,
                                    ID_RECORD_VIDEO, ID_BUTTON_ABOUT}},
        {QColor(0xFF, 0xD4, 0x4D), {ID_BUTTON_OPEN_PHOTO_DIR, ID_BUTTON_FRAME_DIR, ID_BUTTON_ADD_ON_DIR,
                                    ID_BUTTON_FRAME_SHOWIF, ID_BUTTON_FRAME_PNG}},
        {QColor(0xFF, 0x8F, 0xAB), {ID_BUTTON_ADDON_SHOWIF, ID_BUTTON_DRAG_ADD_ON, ID_BUTTON_CLEAR_ADDON}},
        {QColor(0xCD, 0xEB, 0xFA), {ID_BUTTON_SIZE1, ID_BUTTON_SIZE2, ID_BUTTON_SIZE3, ID_BUTTON_SIZE_FIT,
                                    ID_VIEW_FULL_SCREEN, ID_BUTTON_ROI, ID_BUTTON_GRAIN}},
    };
    for (const auto& [colour, ids] : families)
        for (const CommandId id : ids)
            EXPECT_GE(PixelsNear(CommandIconImage(id, 32), colour), 12) << id << " lacks " << colour.name().toStdString();
}

TEST_F(CommandIconsTest, NoTwoCommandsShareAPicture)
{
    for (const int size : {16, 32}) {
        std::map<QByteArray, CommandId> seen;
        for (const CommandId id : AllCommandIds()) {
            const QImage image = CommandIconImage(id, size).convertToFormat(QImage::Format_ARGB32);
            const QByteArray bytes(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
            const auto [it, fresh] = seen.emplace(bytes, id);
            EXPECT_TRUE(fresh) << id << " looks like " << it->second << " at " << size;
        }
    }
}

TEST_F(CommandIconsTest, UnknownIdGetsAPlainMarkOfItsOwn)
{
    const QImage unknown = CommandIconImage(static_cast<CommandId>(31999), 32);
    const Ink ink = Measure(unknown);
    EXPECT_GE(ink.opaque, 32 * 32 / 8);
    EXPECT_GE(ink.colours.size(), 2u);
    for (const CommandId id : AllCommandIds())
        EXPECT_NE(unknown, CommandIconImage(id, 32)) << id;
    EXPECT_FALSE(CommandIcon(static_cast<CommandId>(31999)).isNull());
}

// Each look's swatch is painted in that look's colours.
TEST_F(CommandIconsTest, LookSwatchesTakeTheLooksColours)
{
    const double black = Measure(CommandIconImage(ID_VIEW_APPLOOK_OFF_2007_BLACK, 32)).luminance;
    for (const CommandId light : {ID_VIEW_APPLOOK_OFF_2007_BLUE, ID_VIEW_APPLOOK_OFF_2007_SILVER,
                                  ID_VIEW_APPLOOK_OFF_2007_AQUA, ID_VIEW_APPLOOK_WINDOWS_7})
        EXPECT_LT(black + 40, Measure(CommandIconImage(light, 32)).luminance) << light;
}

TEST_F(CommandIconsTest, ColourButtonsShowTheColourTheySend)
{
    const QColor first(12, 200, 90), second(230, 40, 180);
    for (const CommandId id : {ID_BUTTON_FLOW_COLOR, ID_BUTTON_PAINT_COLOR}) {
        for (const int size : {16, 32}) {
            const QImage a = ColourButtonImage(id, first, size), b = ColourButtonImage(id, second, size);
            EXPECT_TRUE(Contains(a, first)) << id << " at " << size;
            EXPECT_FALSE(Contains(a, second)) << id << " at " << size;
            EXPECT_TRUE(Contains(b, second)) << id << " at " << size;
            EXPECT_NE(a, b);
        }
        const QIcon icon = ColourButtonIcon(id, first);
        EXPECT_EQ(icon.pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32),
                  ColourButtonImage(id, first, 32).convertToFormat(QImage::Format_ARGB32));
        // The plain icon shows the buttons' starting red.
        EXPECT_EQ(CommandIconImage(id, 32), ColourButtonImage(id, QColor(255, 0, 0), 32));
    }
    // Other commands have no colour to show.
    EXPECT_EQ(ColourButtonImage(ID_BUTTON_SKETCH, first, 32), CommandIconImage(ID_BUTTON_SKETCH, 32));
}

TEST_F(CommandIconsTest, PenImagesGrowInInkWithTheIndex)
{
    double previous = 0;
    for (int i = 0; i < kPenImageCount; ++i) {
        const QPixmap pen = PenWidthImage(i);
        ASSERT_EQ(pen.size(), QSize(32, 32)) << i;
        const QImage image = pen.toImage();
        const double ink = Measure(image).alphaSum;
        EXPECT_GT(ink, previous * 1.05) << "pen " << i;
        previous = ink;
        // The stroke stays inside the image: its round caps are not cut at the border.
        for (int x = 0; x < 32; ++x) {
            EXPECT_EQ(qAlpha(image.pixel(x, 0)), 0) << "pen " << i;
            EXPECT_EQ(qAlpha(image.pixel(x, 31)), 0) << "pen " << i;
            EXPECT_EQ(qAlpha(image.pixel(0, x)), 0) << "pen " << i;
            EXPECT_EQ(qAlpha(image.pixel(31, x)), 0) << "pen " << i;
        }
    }
    EXPECT_TRUE(PenWidthImage(-1).isNull());
    EXPECT_TRUE(PenWidthImage(kPenImageCount).isNull());
}

TEST_F(CommandIconsTest, AppIconHasEverySize)
{
    const QIcon icon = AppIcon();
    for (const int size : kAppIconSizes) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        const Ink ink = Measure(AppIconImage(size));
        EXPECT_GE(ink.opaque, size * size / 3) << size;
        EXPECT_GE(ink.colours.size(), 3u) << size;
    }
}

} // namespace

